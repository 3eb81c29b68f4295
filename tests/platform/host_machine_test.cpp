// Machine facts of the sandbox: the defaults of a Japanese Windows 98 machine and machine.json.

#include "sandbox_fixture.hpp"

namespace platform::testing {
namespace {

const std::string shell_folders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string default_shell_folders = ".Default\\" + shell_folders;

class host_machine : public sandbox_test {};

TEST_F(host_machine, defaults_are_a_japanese_windows_98) {
    host_system& sys = open();
    EXPECT_EQ(sys.windows_directory(), "C:\\WINDOWS");
    EXPECT_EQ(sys.system_directory(), "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(sys.platform_id(), 1);
    EXPECT_EQ(sys.user_name(), "user");
    EXPECT_EQ(sys.current_directory(), "C:\\");
    EXPECT_EQ(sys.logical_drives(), 1u << 2);
    EXPECT_EQ(sys.drive_type("C:\\"), DriveFixed);
    EXPECT_EQ(sys.drive_type("c:"), DriveFixed);
    EXPECT_EQ(sys.drive_type("D:\\"), DriveNoRootDir);
    auto space = sys.free_space("C:\\");
    ASSERT_TRUE(space);
    std::uint64_t free =
        std::uint64_t{space->sectors_per_cluster} * space->bytes_per_sector * space->free_clusters;
    EXPECT_GE(free, 1000000000u);
    EXPECT_LE(free, 0xFFFFFFFFu);  // the installer multiplies in 32 bits
    EXPECT_FALSE(sys.free_space("D:\\"));

    EXPECT_EQ(sys.query_value(root_key::Users, default_shell_folders, "Programs"),
              "C:\\WINDOWS\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ");
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, shell_folders, "Programs"),
              "C:\\WINDOWS\\Profiles\\user\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ");
    for (const char* folder : {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\TEMP",
                               "C:\\WINDOWS\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ",
                               "C:\\WINDOWS\\Profiles\\user\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"}) {
        auto s = sys.status(folder);
        ASSERT_TRUE(s) << folder;
        EXPECT_TRUE(s->is_directory) << folder;
    }
    EXPECT_TRUE(fs::is_directory(host(u8"C/WINDOWS/Profiles/Default/ｽﾀｰﾄ ﾒﾆｭｰ/ﾌﾟﾛｸﾞﾗﾑ")));
}

TEST_F(host_machine, machine_json_overrides_everything) {
    write_host(root_ / "machine.json", reinterpret_cast<const char*>(u8R"({
  "windows_directory": "D:\\WINNT",
  "system_directory": "D:\\WINNT\\system32",
  "platform_id": 2,
  "user_name": "太郎",
  "current_directory": "D:\\WINNT",
  "drives": {
    "a": {"type": "removable"},
    "D": {"type": "fixed", "free_bytes": 1048576},
    "E": {"type": 5, "sectors_per_cluster": 1, "bytes_per_sector": 2048, "free_clusters": 0},
    "F": {"type": "remote"}
  },
  "programs_folder": "D:\\Menu\\Programs"
})"));
    host_system& sys = open();
    EXPECT_EQ(sys.windows_directory(), "D:\\WINNT");
    EXPECT_EQ(sys.system_directory(), "D:\\WINNT\\system32");
    EXPECT_EQ(sys.platform_id(), 2);
    EXPECT_EQ(sys.user_name(), "太郎");
    EXPECT_EQ(sys.current_directory(), "D:\\WINNT");
    EXPECT_EQ(sys.logical_drives(), (1u << 0) | (1u << 3) | (1u << 4) | (1u << 5));
    EXPECT_EQ(sys.drive_type("A:\\"), DriveRemovable);
    EXPECT_EQ(sys.drive_type("C:\\"), DriveNoRootDir);
    EXPECT_EQ(sys.drive_type("E:\\"), DriveCdrom);
    EXPECT_EQ(sys.drive_type("F:\\"), DriveRemote);
    auto d = sys.free_space("D:\\");
    ASSERT_TRUE(d);
    EXPECT_EQ(std::uint64_t{d->sectors_per_cluster} * d->bytes_per_sector * d->free_clusters, 1048576u);
    auto e = sys.free_space("E:\\");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->bytes_per_sector, 2048u);
    EXPECT_EQ(e->free_clusters, 0u);
    // On NT the temporary folder is at the root of the Windows drive.
    EXPECT_TRUE(fs::is_directory(host(u8"D/TEMP")));
    EXPECT_TRUE(fs::is_directory(host(u8"D/WINNT/system32")));
    EXPECT_EQ(sys.query_value(root_key::Users, default_shell_folders, "Programs"), "D:\\Menu\\Programs");
    EXPECT_EQ(sys.query_value(root_key::CurrentUser, shell_folders, "Programs"),
              "D:\\WINNT\\Profiles\\太郎\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ");
    EXPECT_FALSE(sys.host_path("C:\\x"));
}

TEST_F(host_machine, null_settings_leave_things_out) {
    write_host(root_ / "machine.json", R"({"user_name": null, "programs_folder": null})");
    host_system& sys = open();
    EXPECT_FALSE(sys.user_name());
    EXPECT_FALSE(sys.key_exists(root_key::Users, default_shell_folders));
    EXPECT_FALSE(sys.query_value(root_key::CurrentUser, shell_folders, "Programs"));
}

TEST_F(host_machine, an_existing_programs_value_is_kept) {
    write_host(
        root_ / "registry.json",
        R"({"HKEY_USERS\\.Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders":)"
        R"( {"Programs": "C:\\Menu"}})");
    host_system& sys = open();
    EXPECT_EQ(sys.query_value(root_key::Users, default_shell_folders, "Programs"), "C:\\Menu");
    // The seeded values are written once and found again by the next instance.
    ASSERT_TRUE(sys.set_value(root_key::CurrentUser, shell_folders, "Programs", "C:\\Mine"));
    host_system& again = open();
    EXPECT_EQ(again.query_value(root_key::CurrentUser, shell_folders, "Programs"), "C:\\Mine");
}

TEST_F(host_machine, malformed_machine_json_is_refused) {
    const char* files[] = {
        R"({"windows_folder": "C:\\WINDOWS"})",         // unknown setting
        R"({"platform_id": 3})",                        // no such platform
        R"({"windows_directory": "E:\\WINDOWS"})",      // no drive E:
        R"({"windows_directory": "WINDOWS"})",          // not a full path
        R"({"drives": {"C": {"type": "floppy"}}})",     // no such drive type
        R"({"drives": {"CD": {}}})",                    // not a letter
        R"({"drives": {"C": {"free_clusters": -1}}})",  // not unsigned
        R"({"current_directory": "C:\\Nowhere"})",      // no such folder
        R"({"user_name": 7})",                          // not a string
    };
    for (const char* text : files) {
        write_host(root_ / "machine.json", text);
        EXPECT_THROW(open(), sandbox_error) << text;
    }
}

}  // namespace
}  // namespace platform::testing
