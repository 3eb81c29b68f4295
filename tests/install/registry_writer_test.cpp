#include "install/registry_writer.hpp"

#include <gtest/gtest.h>

#include "tests/install/installation_sandbox.hpp"

namespace {

using install::registry_writer;
using installation_test::registry_entry;
using installation_test::sandbox;
using platform::root_key;

struct written {
    root_key root;
    std::string sub_key;
    std::string name;
    std::string data;
};

struct entry_case {
    const char* what;
    std::string key_path;
    std::string value_text;
    std::optional<written> expected;  ///< nullopt: nothing is written
};

class registry_entry_rule : public testing::TestWithParam<entry_case> {};

TEST_P(registry_entry_rule, writes_the_value_the_key_path_names) {
    sandbox box;
    auto& sys = box.sys();
    registry_writer writer(sys, "山田太郎", "開発部");
    model::setup_files files;
    files.registry_entries.insert_or_assign("k", registry_entry(GetParam().key_path, GetParam().value_text));

    const auto plan = writer.plan_registry_entries(files);
    writer.write_registry_entries(files);

    const auto& expected = GetParam().expected;
    ASSERT_EQ(plan.size(), expected ? 1u : 0u);
    if (!expected) return;
    EXPECT_EQ(plan[0].location,
              (install::registry_value_location{expected->root, expected->sub_key, expected->name}));
    EXPECT_EQ(plan[0].data, expected->data);
    EXPECT_TRUE(sys.key_exists(expected->root, expected->sub_key));
    EXPECT_EQ(sys.query_value(expected->root, expected->sub_key, expected->name), expected->data);
}

INSTANTIATE_TEST_SUITE_P(
    cases, registry_entry_rule,
    testing::Values(
        entry_case{"user_macro", "HKEY_CURRENT_USER\\Software\\Maker\\App\\Owner", "%qorde_setup_user",
                   written{root_key::CurrentUser, "Software\\Maker\\App", "Owner", "山田太郎"}},
        entry_case{"group_macro", "HKEY_LOCAL_MACHINE\\Software\\Maker\\App\\Org", "%qorde_setup_group",
                   written{root_key::LocalMachine, "Software\\Maker\\App", "Org", "開発部"}},
        entry_case{"macro_inside_a_text_stays", "HKEY_CURRENT_USER\\Software\\A\\V", "by %qorde_setup_user",
                   written{root_key::CurrentUser, "Software\\A", "V", "by %qorde_setup_user"}},
        entry_case{"macro_in_other_case_stays", "HKEY_CURRENT_USER\\Software\\A\\V", "%QORDE_SETUP_USER",
                   written{root_key::CurrentUser, "Software\\A", "V", "%QORDE_SETUP_USER"}},
        entry_case{"windows_macro", "HKEY_LOCAL_MACHINE\\Software\\A\\Ini", "[WINDOWS]\\app.ini",
                   written{root_key::LocalMachine, "Software\\A", "Ini", "C:\\WINDOWS\\app.ini"}},
        entry_case{"program_files_macro", "HKEY_LOCAL_MACHINE\\Software\\A\\Dir", "[PROGRAM FILES]\\App",
                   written{root_key::LocalMachine, "Software\\A", "Dir", "C:\\Program Files\\App"}},
        entry_case{"value_in_the_root_key", "HKEY_LOCAL_MACHINE\\Flag", "1",
                   written{root_key::LocalMachine, "", "Flag", "1"}},
        entry_case{"users_root", "HKEY_USERS\\.Default\\Software\\A\\V", "x",
                   written{root_key::Users, ".Default\\Software\\A", "V", "x"}},
        entry_case{"current_config_root", "HKEY_CURRENT_CONFIG\\Display\\Settings\\Mode", "640",
                   written{root_key::CurrentConfig, "Display\\Settings", "Mode", "640"}},
        entry_case{"unnamed_value", "HKEY_CURRENT_USER\\Software\\A\\", "default",
                   written{root_key::CurrentUser, "Software\\A", "", "default"}},
        // 表 ends in the byte of a backslash; it is one character of a name.
        entry_case{"double_byte_value_name", "HKEY_CURRENT_USER\\Software\\A\\表", "x",
                   written{root_key::CurrentUser, "Software\\A", "表", "x"}},
        entry_case{"double_byte_key_name", "HKEY_CURRENT_USER\\Software\\表\\", "x",
                   written{root_key::CurrentUser, "Software\\表", "", "x"}},
        entry_case{"empty_text", "HKEY_CURRENT_USER\\Software\\A\\Empty", "",
                   written{root_key::CurrentUser, "Software\\A", "Empty", ""}},
        entry_case{"classes_root_is_skipped", "HKEY_CLASSES_ROOT\\.abc\\", "abcfile", std::nullopt},
        entry_case{"root_name_in_lower_case_is_skipped", "hkey_current_user\\Software\\A\\V", "x",
                   std::nullopt},
        entry_case{"no_backslash_is_skipped", "HKEY_CURRENT_USER", "x", std::nullopt},
        entry_case{"empty_path_is_skipped", "", "x", std::nullopt}),
    [](const testing::TestParamInfo<entry_case>& info) { return std::string(info.param.what); });

TEST(registry_writer, the_organisation_is_checked_before_the_user_name) {
    sandbox box;
    // An organisation that reads like the user macro is replaced in turn.
    registry_writer writer(box.sys(), "taro", "%qorde_setup_user");
    EXPECT_EQ(writer.value_data("%qorde_setup_group"), "taro");
    registry_writer plain(box.sys(), "%qorde_setup_group", "org");
    EXPECT_EQ(plain.value_data("%qorde_setup_user"), "%qorde_setup_group");
}

TEST(registry_writer, the_entry_visited_last_wins_and_other_values_stay) {
    sandbox box;
    auto& sys = box.sys();
    ASSERT_TRUE(sys.create_key(root_key::CurrentUser, "Software\\Shared"));
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, "Software\\Shared", "Other", "theirs"));
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, "Software\\Shared", "Mine", "old"));
    model::setup_files files;
    // "a" falls into bucket 12 and "b" into bucket 13: "a" is visited first.
    ASSERT_LT(model::bucket_of(std::string("a")), model::bucket_of(std::string("b")));
    files.registry_entries.insert_or_assign(
        "b", registry_entry("HKEY_CURRENT_USER\\Software\\Shared\\Mine", "second"));
    files.registry_entries.insert_or_assign(
        "a", registry_entry("HKEY_CURRENT_USER\\Software\\Shared\\Mine", "first"));
    registry_writer(sys, "u", "o").write_registry_entries(files);
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, "Software\\Shared", "Mine"), "second");
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, "Software\\Shared", "Other"), "theirs");
}

TEST(registry_writer, write_registry_value_takes_the_rest_after_the_root) {
    sandbox box;
    auto& sys = box.sys();
    registry_writer writer(sys, "u", "o");
    writer.write_registry_value("HKEY_LOCAL_MACHINE", "Software\\Deep\\Er\\Key\\Name", "%qorde_setup_group");
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, "Software\\Deep\\Er\\Key", "Name"), "o");
    writer.write_registry_value("HKEY_CLASSES_ROOT", "Software\\X\\Name", "v");
    EXPECT_FALSE(sys.key_exists(root_key::LocalMachine, "Software\\X"));
    EXPECT_FALSE(sys.key_exists(root_key::CurrentUser, "Software\\X"));
}

}  // namespace
