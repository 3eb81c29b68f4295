// Windows paths in the host sandbox: drive folders, case-insensitive lookup, code page 932
// names, relative paths and refusal of everything that would leave the sandbox.

#include <algorithm>
#include <optional>

#include "sandbox_fixture.hpp"

namespace platform::testing {
namespace {

struct path_case {
    const char* title;
    std::string windows;                         // code page 932
    std::optional<std::u8string_view> expected;  // host path below the root; nullopt: refused
    friend void PrintTo(const path_case& c, std::ostream* os) { *os << c.title; }
};

class host_path_mapping : public sandbox_test, public ::testing::WithParamInterface<path_case> {
protected:
    void SetUp() override {
        sandbox_test::SetUp();
        write_host(root_ / "machine.json", R"({"drives": {"C": {}, "D": {"type": "fixed"}}})");
        write_host(host(u8"C/Program Files/Maker/App.exe"), "app");
        write_host(host(u8"C/日本語/表示.txt"), "hyouji");
        write_host(host(u8"C/ｂｉｇ/x.txt"), "x");
        write_host(host(u8"D/Data/d.txt"), "d");
    }
};

TEST_P(host_path_mapping, maps_or_refuses) {
    host_system& sys = open();
    const path_case& c = GetParam();
    auto mapped = sys.host_path(c.windows);
    if (!c.expected) {
        EXPECT_FALSE(mapped) << c.windows << " -> " << (mapped ? mapped->string() : "");
        return;
    }
    ASSERT_TRUE(mapped) << c.windows;
    EXPECT_EQ(*mapped, host(*c.expected));
}

const path_case path_cases[] = {
    {"exact", "C:\\Program Files\\Maker\\App.exe", u8"C/Program Files/Maker/App.exe"},
    {"other_case", "c:\\PROGRAM FILES\\maker\\app.EXE", u8"C/Program Files/Maker/App.exe"},
    {"slashes", "C:/Program Files/Maker/App.exe", u8"C/Program Files/Maker/App.exe"},
    {"doubled_separators", "C:\\\\Program Files\\\\Maker\\App.exe", u8"C/Program Files/Maker/App.exe"},
    // 表 is 95 5C in code page 932: its trail byte is a backslash and must not split the name.
    {"trail_byte_backslash", "C:\\日本語\\表示.txt", u8"C/日本語/表示.txt"},
    {"full_width_letters", "C:\\ＢＩＧ\\X.TXT", u8"C/ｂｉｇ/x.txt"},
    {"new_name_as_given", "C:\\program files\\MAKER\\New.txt", u8"C/Program Files/Maker/New.txt"},
    {"dot_and_dot_dot", "C:\\Program Files\\.\\..\\Program Files\\Maker", u8"C/Program Files/Maker"},
    {"drive_root", "C:\\", u8"C"},
    {"other_drive", "d:\\data\\D.TXT", u8"D/Data/d.txt"},
    {"missing_folder", "C:\\Program Files\\Nowhere\\a.txt", std::nullopt},
    {"file_as_folder", "C:\\Program Files\\Maker\\App.exe\\a.txt", std::nullopt},
    {"above_root", "C:\\..\\etc", std::nullopt},
    {"above_root_later", "C:\\Program Files\\..\\..\\x", std::nullopt},
    {"unknown_drive", "Q:\\x", std::nullopt},
    {"network_path", "\\\\server\\share\\x", std::nullopt},
    {"reserved_character", "C:\\a|b", std::nullopt},
    {"wildcard", "C:\\Program Files\\*.exe", std::nullopt},
    {"empty", "", std::nullopt},
    {"invalid_code_page_932", "C:\\\x81", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(table, host_path_mapping, ::testing::ValuesIn(path_cases),
                         [](const auto& info) { return std::string(info.param.title); });

class host_paths : public sandbox_test {};

TEST_F(host_paths, relative_paths_follow_the_current_folder) {
    write_host(host(u8"C/Program Files/Maker/App.exe"), "app");
    host_system& sys = open();
    EXPECT_EQ(sys.current_directory(), "C:\\");
    ASSERT_TRUE(sys.set_current_directory("c:\\program files"));
    EXPECT_EQ(sys.current_directory(), "C:\\Program Files");  // the stored spelling
    EXPECT_EQ(*sys.host_path("Maker\\App.exe"), host(u8"C/Program Files/Maker/App.exe"));
    EXPECT_EQ(*sys.host_path("C:Maker\\App.exe"), host(u8"C/Program Files/Maker/App.exe"));
    EXPECT_EQ(*sys.host_path("..\\WINDOWS"), host(u8"C/WINDOWS"));
    EXPECT_EQ(*sys.host_path("\\WINDOWS"), host(u8"C/WINDOWS"));
    EXPECT_FALSE(sys.host_path("..\\..\\x"));
    EXPECT_FALSE(sys.set_current_directory("C:\\Program Files\\Maker\\App.exe"));
    EXPECT_FALSE(sys.set_current_directory("C:\\Nowhere"));
    EXPECT_EQ(sys.current_directory(), "C:\\Program Files");
}

TEST_F(host_paths, new_names_are_created_as_given_below_stored_folders) {
    write_host(host(u8"C/Program Files/keep"), "");
    host_system& sys = open();
    ASSERT_EQ(sys.create_directory("C:\\PROGRAM FILES\\新しい Folder"), file_error::None);
    EXPECT_TRUE(fs::is_directory(host(u8"C/Program Files/新しい Folder")));
    auto out = sys.create_file("c:\\program files\\新しい folder\\Read Me.TXT");
    ASSERT_TRUE(out);
    out->close();
    EXPECT_TRUE(fs::is_regular_file(host(u8"C/Program Files/新しい Folder/Read Me.TXT")));
    EXPECT_FALSE(fs::exists(root_ / "C" / "PROGRAM FILES"));
}

TEST_F(host_paths, symbolic_links_are_never_followed) {
    fs::path outside = root_.parent_path() / (root_.filename().string() + "_outside");
    fs::remove_all(outside);
    write_host(outside / "secret.txt", "secret");
    host_system& sys = open();
    fs::create_directory_symlink(outside, host(u8"C/link"));
    fs::create_symlink(outside / "secret.txt", host(u8"C/file_link.txt"));

    EXPECT_FALSE(sys.host_path("C:\\link\\secret.txt"));
    EXPECT_FALSE(sys.status("C:\\link"));
    EXPECT_FALSE(sys.map_file("C:\\file_link.txt"));
    EXPECT_EQ(sys.delete_file("C:\\file_link.txt"), file_error::AccessDenied);
    EXPECT_EQ(sys.copy_file("C:\\file_link.txt", "C:\\copy.txt", true), file_error::AccessDenied);
    EXPECT_EQ(sys.create_directory("C:\\link\\new"), file_error::AccessDenied);
    EXPECT_FALSE(sys.create_file("C:\\LINK\\secret.txt"));
    auto names = sys.list_directory("C:\\");
    EXPECT_EQ(std::count(names.begin(), names.end(), "link"), 0);
    EXPECT_EQ(read_host(outside / "secret.txt"), "secret");
    EXPECT_FALSE(fs::exists(outside / "new"));
    fs::remove_all(outside);
}

TEST_F(host_paths, an_exact_name_wins_over_a_case_variant) {
    write_host(host(u8"C/dir/readme.txt"), "lower");
    write_host(host(u8"C/dir/README.TXT"), "upper");
    host_system& sys = open();
    EXPECT_EQ(*sys.host_path("C:\\dir\\README.TXT"), host(u8"C/dir/README.TXT"));
    EXPECT_EQ(*sys.host_path("C:\\dir\\readme.txt"), host(u8"C/dir/readme.txt"));
    // Neither spelling given: the first stored name in byte order.
    EXPECT_EQ(*sys.host_path("C:\\dir\\ReadMe.txt"), host(u8"C/dir/README.TXT"));
}

}  // namespace
}  // namespace platform::testing
