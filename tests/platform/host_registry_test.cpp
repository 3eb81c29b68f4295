// The sandbox registry: key and value semantics as on Windows, and registry.json on disk.

#include <nlohmann/json.hpp>

#include "sandbox_fixture.hpp"

namespace platform::testing {
namespace {

using json = nlohmann::json;

const std::string app_key = "Software\\Maker\\App";

class host_registry : public sandbox_test {
protected:
    json registry_file() const { return json::parse(read_host(root_ / "registry.json")); }
};

TEST_F(host_registry, create_key_makes_every_missing_key_above_it) {
    host_system& sys = open();
    EXPECT_FALSE(sys.key_exists(root_key::LocalMachine, "Software\\Maker"));
    ASSERT_TRUE(sys.create_key(root_key::LocalMachine, app_key));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "Software"));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "SOFTWARE\\maker"));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "software\\MAKER\\app"));
    EXPECT_FALSE(sys.key_exists(root_key::CurrentUser, app_key));
    EXPECT_TRUE(sys.key_exists(root_key::CurrentConfig, ""));  // a root always exists
    // An existing key is opened, keeping its first spelling.
    ASSERT_TRUE(sys.create_key(root_key::LocalMachine, "SOFTWARE\\MAKER\\APP"));
    EXPECT_TRUE(registry_file().contains("HKEY_LOCAL_MACHINE\\Software\\Maker\\App"));
    EXPECT_FALSE(registry_file().contains("HKEY_LOCAL_MACHINE\\SOFTWARE\\MAKER\\APP"));
}

TEST_F(host_registry, malformed_sub_keys_are_refused) {
    host_system& sys = open();
    EXPECT_FALSE(sys.create_key(root_key::LocalMachine, "\\Software"));
    EXPECT_FALSE(sys.create_key(root_key::LocalMachine, "Software\\\\Maker"));
    EXPECT_TRUE(sys.create_key(root_key::LocalMachine, "Software\\Maker\\"));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "Software\\Maker"));
}

TEST_F(host_registry, values_are_set_queried_and_deleted) {
    host_system& sys = open();
    EXPECT_FALSE(sys.set_value(root_key::CurrentUser, app_key, "Owner", "x"));  // the key must exist
    ASSERT_TRUE(sys.create_key(root_key::CurrentUser, app_key));
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, app_key, "Owner", "山田 太郎"));
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, app_key, "", "unnamed"));
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, app_key, "Empty", ""));
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, app_key, "owner"), "山田 太郎");
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, app_key, ""), "unnamed");
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, app_key, "Empty"), "");
    EXPECT_FALSE(sys.query_value(root_key::CurrentUser, app_key, "Missing"));
    EXPECT_FALSE(sys.query_value(root_key::CurrentUser, "Software\\Nowhere", "Owner"));

    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, app_key, "OWNER", "overwritten"));
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, app_key, "Owner"), "overwritten");
    EXPECT_EQ(registry_file()["HKEY_CURRENT_USER\\Software\\Maker\\App"]["Owner"], "overwritten");

    EXPECT_TRUE(sys.delete_value(root_key::CurrentUser, app_key, "owner"));
    EXPECT_FALSE(sys.delete_value(root_key::CurrentUser, app_key, "owner"));
    EXPECT_FALSE(sys.delete_value(root_key::CurrentUser, "Software\\Nowhere", "x"));
    EXPECT_FALSE(sys.query_value(root_key::CurrentUser, app_key, "Owner"));
}

TEST_F(host_registry, values_in_a_root_key) {
    host_system& sys = open();
    ASSERT_TRUE(sys.set_value(root_key::LocalMachine, "", "Flag", "1"));
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, "", "Flag"), "1");
    EXPECT_EQ(registry_file()["HKEY_LOCAL_MACHINE"]["Flag"], "1");
    EXPECT_FALSE(sys.delete_key(root_key::LocalMachine, ""));
}

TEST_F(host_registry, empty_keys_and_key_deletion) {
    host_system& sys = open();
    ASSERT_TRUE(sys.create_key(root_key::LocalMachine, app_key));
    EXPECT_TRUE(sys.key_is_empty(root_key::LocalMachine, app_key));
    EXPECT_FALSE(sys.key_is_empty(root_key::LocalMachine, "Software\\Maker"));    // has a sub-key
    EXPECT_FALSE(sys.key_is_empty(root_key::LocalMachine, "Software\\Nowhere"));  // missing
    // "Software\\Maker App" sorts right after "Software\\Maker" but is no sub-key of it.
    ASSERT_TRUE(sys.create_key(root_key::LocalMachine, "Software\\Maker App"));
    ASSERT_TRUE(sys.set_value(root_key::LocalMachine, app_key, "v", "1"));
    EXPECT_FALSE(sys.key_is_empty(root_key::LocalMachine, app_key));

    EXPECT_FALSE(sys.delete_key(root_key::LocalMachine, "Software\\Maker"));      // has a sub-key
    EXPECT_TRUE(sys.delete_key(root_key::LocalMachine, "software\\maker\\app"));  // values go with it
    EXPECT_FALSE(sys.key_exists(root_key::LocalMachine, app_key));
    EXPECT_TRUE(sys.key_is_empty(root_key::LocalMachine, "Software\\Maker"));
    EXPECT_TRUE(sys.delete_key(root_key::LocalMachine, "Software\\Maker"));
    EXPECT_FALSE(sys.delete_key(root_key::LocalMachine, "Software\\Maker"));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "Software\\Maker App"));
    EXPECT_FALSE(registry_file().contains("HKEY_LOCAL_MACHINE\\Software\\Maker"));
}

TEST_F(host_registry, persists_across_instances_in_utf8) {
    {
        host_system& sys = open();
        ASSERT_TRUE(sys.create_key(root_key::LocalMachine, "Software\\メーカー\\表示"));
        ASSERT_TRUE(
            sys.set_value(root_key::LocalMachine, "Software\\メーカー\\表示", "場所", "C:\\表示\\ソフト"));
    }
    json j = registry_file();
    std::string key(reinterpret_cast<const char*>(u8"HKEY_LOCAL_MACHINE\\Software\\メーカー\\表示"));
    std::string name(reinterpret_cast<const char*>(u8"場所"));
    std::string data(reinterpret_cast<const char*>(u8"C:\\表示\\ソフト"));
    ASSERT_TRUE(j.contains(key));
    EXPECT_EQ(j[key][name], data);
    EXPECT_FALSE(fs::exists(root_ / "registry.json.tmp"));

    host_system& again = open();
    EXPECT_EQ(again.query_value(root_key::LocalMachine, "SOFTWARE\\メーカー\\表示", "場所"),
              "C:\\表示\\ソフト");
    EXPECT_TRUE(again.key_exists(root_key::LocalMachine, "Software\\メーカー"));
}

TEST_F(host_registry, bytes_outside_code_page_932_survive) {
    // A lone lead byte, a byte 0x80 and 0xFF have no Unicode form of their own.
    const std::string odd = std::string("a\x80z\xFF") + "表" + "\x81";
    {
        host_system& sys = open();
        ASSERT_TRUE(sys.create_key(root_key::CurrentUser, "Software\\Odd\x80"));
        ASSERT_TRUE(sys.set_value(root_key::CurrentUser, "Software\\Odd\x80", odd, odd));
    }
    std::string text = read_host(root_ / "registry.json");
    EXPECT_NE(text.find("\xEF\x9E\x80"), std::string::npos);  // 0x80 kept as U+F780
    host_system& again = open();
    EXPECT_EQ(again.query_value(root_key::CurrentUser, "Software\\Odd\x80", odd), odd);
}

TEST_F(host_registry, hand_written_file_is_read_case_insensitively) {
    write_host(root_ / "registry.json", reinterpret_cast<const char*>(u8R"({
  "hkey_local_machine\\Software\\Maker\\App": {"": "default", "Path": "C:\\アプリ"}
})"));
    host_system& sys = open();
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, app_key, ""), "default");
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, app_key, "path"), "C:\\アプリ");
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, "Software\\Maker"));
    ASSERT_TRUE(sys.set_value(root_key::LocalMachine, app_key, "x", "y"));
    EXPECT_TRUE(registry_file().contains("HKEY_LOCAL_MACHINE\\Software\\Maker\\App"));
}

TEST_F(host_registry, the_file_is_written_in_a_stable_sorted_form) {
    const char* keys[] = {"Software\\B", "Software\\A", "Software\\C\\D"};
    {
        host_system& sys = open();
        for (const char* k : keys) ASSERT_TRUE(sys.create_key(root_key::LocalMachine, k));
        ASSERT_TRUE(sys.set_value(root_key::LocalMachine, "Software\\A", "z", "1"));
        ASSERT_TRUE(sys.set_value(root_key::LocalMachine, "Software\\A", "a", "2"));
    }
    std::string first = read_host(root_ / "registry.json");
    fs::remove_all(root_);
    {
        host_system& sys = open();
        for (int i = 2; i >= 0; --i) ASSERT_TRUE(sys.create_key(root_key::LocalMachine, keys[i]));
        ASSERT_TRUE(sys.set_value(root_key::LocalMachine, "Software\\A", "a", "2"));
        ASSERT_TRUE(sys.set_value(root_key::LocalMachine, "Software\\A", "z", "1"));
    }
    EXPECT_EQ(read_host(root_ / "registry.json"), first);
    EXPECT_LT(first.find("Software\\\\A"), first.find("Software\\\\B"));
}

TEST_F(host_registry, malformed_files_are_refused) {
    const char* files[] = {
        "{",                                // not JSON
        "[]",                               // not an object
        R"({"HKEY_CLASSES_ROOT\\x": {}})",  // root key the system does not know
        R"({"HKEY_USERS\\x": {"v": 1}})",   // value not a string
        R"({"HKEY_USERS\\x\\\\y": {}})",    // empty key name
    };
    for (const char* text : files) {
        write_host(root_ / "registry.json", text);
        EXPECT_THROW(open(), sandbox_error) << text;
    }
}

}  // namespace
}  // namespace platform::testing
