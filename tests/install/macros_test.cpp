#include <gtest/gtest.h>

#include "copy_test_support.hpp"
#include "install/folder_macros.hpp"

namespace {

using install::folder_macro;

struct resolve_case {
    const char* windows;
    const char* text;
    const char* expected;
};

const resolve_case resolve_cases[] = {
    // One backslash after the drive, whether the macro is followed by one or not.
    {"C:\\WINDOWS", "[ROOT]\\Tool\\a.txt", "C:\\Tool\\a.txt"},
    {"C:\\WINDOWS", "[ROOT]Tool\\a.txt", "C:\\Tool\\a.txt"},
    {"C:\\WINDOWS", "[ROOT]", "C:\\"},
    {"C:\\WINDOWS", "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe", "C:\\Program Files\\Vendor\\Tool\\tool.exe"},
    {"C:\\WINDOWS", "[PROGRAM FILES]", "C:\\Program Files"},
    {"D:\\WINNT", "[PROGRAM FILES]\\a.exe", "D:\\Program Files\\a.exe"},
    {"C:\\WINDOWS", "[WINDOWS]\\Fonts\\x.ttf", "C:\\WINDOWS\\Fonts\\x.ttf"},
    {"C:\\WINNT", "[WINDOWS]\\Fonts\\x.ttf", "C:\\WINNT\\Fonts\\x.ttf"},
    {"C:\\WINDOWS", "[SYSTEM]\\x.dll", "C:\\WINDOWS\\System\\x.dll"},
    // Not a macro: lower case, a full path, nothing.
    {"C:\\WINDOWS", "[root]\\Tool\\a.txt", "[root]\\Tool\\a.txt"},
    {"C:\\WINDOWS", "[Windows]\\a.txt", "[Windows]\\a.txt"},
    {"C:\\WINDOWS", "D:\\Apps\\t.exe", "D:\\Apps\\t.exe"},
    {"C:\\WINDOWS", "", ""},
    // The first macro of the test order wins and replaces the first characters of the text.
    {"C:\\WINDOWS", "[SYSTEM]\\[WINDOWS]", "C:\\WINDOWS[WINDOWS]"},
    {"C:\\WINDOWS", "[WINDOWS]\\[PROGRAM FILES]", "C:\\Program FilesRAM FILES]"},
};

class resolve_macros_test : public ::testing::TestWithParam<resolve_case> {};

TEST_P(resolve_macros_test, ResolvesAgainstTheWindowsDirectory) {
    const auto& c = GetParam();
    EXPECT_EQ(install::resolve_macros(c.text, c.windows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(cases, resolve_macros_test, ::testing::ValuesIn(resolve_cases));

struct destination_case {
    const char* windows;
    std::int32_t base;
    const char* path;
    const char* expected;
};

const destination_case destination_cases[] = {
    {"C:\\WINDOWS", 0, "", "C:\\"},
    {"C:\\WINDOWS", 1, "\\Vendor\\Tool\\", "C:\\Program Files\\Vendor\\Tool"},
    {"C:\\WINDOWS", 1, "Vendor\\Tool", "C:\\Program Files\\Vendor\\Tool"},
    // Bases 2 and 3 name the literal folders, whatever the Windows directory is called.
    {"C:\\WINNT", 2, "Tool", "C:\\Windows\\Tool"},
    {"D:\\WINNT", 3, "\\Sub\\", "D:\\Windows\\System\\Sub"},
    {"C:\\WINDOWS", 7, "Tool", "C:\\Tool"},
    {"C:\\WINDOWS", -1, "\\Tool", "C:\\Tool"},
    // Only one backslash goes at each end.
    {"C:\\WINDOWS", 0, "\\\\Tool\\\\", "C:\\\\Tool\\"},
    {"C:\\WINDOWS", 1, "\\", "C:\\Program Files\\"},
};

class default_destination_test : public ::testing::TestWithParam<destination_case> {};

TEST_P(default_destination_test, BuildsTheProposedFolder) {
    const auto& c = GetParam();
    EXPECT_EQ(install::default_destination(c.base, c.path, c.windows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(cases, default_destination_test, ::testing::ValuesIn(destination_cases));

TEST(folder_macro_order, FirstAndLastMatchFollowTheTestOrder) {
    struct {
        const char* text;
        folder_macro first;
        folder_macro last;
    } cases[] = {
        {"[ROOT]\\a", folder_macro::Root, folder_macro::Root},
        {"[SYSTEM]\\[ROOT]\\a", folder_macro::Root, folder_macro::System},
        {"[WINDOWS]\\[PROGRAM FILES]\\a", folder_macro::ProgramFiles, folder_macro::Windows},
        {"x\\[WINDOWS]", folder_macro::Windows, folder_macro::Windows},
        {"[system]\\a", folder_macro::None, folder_macro::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(install::first_macro(c.text), c.first) << c.text;
        EXPECT_EQ(install::last_macro(c.text), c.last) << c.text;
    }
}

TEST(folder_macro_start, SkipsTheMacroAndItsBackslash) {
    struct {
        const char* path;
        const char* folder;
        std::size_t skip;
    } cases[] = {
        {"[ROOT]\\a\\b.txt", "C:\\", 7},
        {"[PROGRAM FILES]\\a\\b.txt", "C:\\Program Files\\", 16},
        {"[WINDOWS]\\a\\b.txt", "C:\\WIN", 10},
        {"[SYSTEM]\\a\\b.txt", "C:\\WIN\\System\\", 9},
        {"D:\\a\\b.txt", "D:\\", 3},
        // The last macro of the test order decides.
        {"[SYSTEM]\\[ROOT]\\b.txt", "C:\\WIN\\System\\", 9},
    };
    for (const auto& c : cases) {
        const auto start = install::make_folders_start(c.path, "C:\\WIN");
        EXPECT_EQ(start.folder, c.folder) << c.path;
        EXPECT_EQ(start.skip, c.skip) << c.path;
    }
}

TEST(machine_macros, ReadTheWindowsDirectoryEachTime) {
    install_test::sandbox box(R"({"windows_directory": "D:\\WINNT", "system_directory": "D:\\WINNT\\SYSTEM32",
                                 "drives": {"C": {}, "D": {}}})");
    EXPECT_EQ(install::windows_directory(box.sys()), "D:\\WINNT");
    EXPECT_EQ(install::drive_root(box.sys()), "D:\\");
    EXPECT_EQ(install::resolve_macros(box.sys(), "[SYSTEM]\\x.dll"), "D:\\WINNT\\System\\x.dll");
    EXPECT_EQ(install::default_destination(box.sys(), 1, "\\V\\"), "D:\\Program Files\\V");
}

struct folders_case {
    const char* path;
    std::vector<const char*> made;      ///< folders that exist afterwards
    std::vector<const char*> not_made;  ///< paths that must not exist afterwards
};

class make_folders_test : public ::testing::TestWithParam<folders_case> {};

TEST_P(make_folders_test, MakesEveryFolderButTheFileAndRestoresTheCurrentDirectory) {
    install_test::sandbox box(
        R"({"drives": {"C": {}, "D": {}}, "current_directory": "C:\\WINDOWS\\SYSTEM"})");
    const auto& c = GetParam();
    install::make_folders(box.sys(), c.path);
    for (const char* folder : c.made) EXPECT_TRUE(box.is_folder(folder)) << folder;
    for (const char* path : c.not_made) EXPECT_FALSE(box.exists(path)) << path;
    EXPECT_EQ(box.sys().current_directory(), "C:\\WINDOWS\\SYSTEM");
}

const folders_case folders_cases[] = {
    {"[ROOT]\\Tool\\bin\\a.txt", {"C:\\Tool", "C:\\Tool\\bin"}, {"C:\\Tool\\bin\\a.txt"}},
    // Program Files is made too when the machine has none.
    {"[PROGRAM FILES]\\Vendor\\Tool\\t.exe",
     {"C:\\Program Files\\Vendor\\Tool"},
     {"C:\\Program Files\\Vendor\\Tool\\t.exe"}},
    {"[WINDOWS]\\Fonts\\x.ttf", {"C:\\WINDOWS\\Fonts"}, {"C:\\WINDOWS\\Fonts\\x.ttf"}},
    {"[SYSTEM]\\Sub\\x.dll", {"C:\\WINDOWS\\System\\Sub"}, {"C:\\WINDOWS\\System\\Sub\\x.dll"}},
    // A full path starts at its own drive, not at the Windows drive.
    {"D:\\Apps\\Tool\\bin\\t.exe", {"D:\\Apps", "D:\\Apps\\Tool", "D:\\Apps\\Tool\\bin"}, {"C:\\Apps"}},
    {"[ROOT]\\a.txt", {}, {"C:\\a.txt"}},
    // The last macro decides: the folders go below the System folder.
    {"[SYSTEM]\\A\\[ROOT]\\f.txt", {"C:\\WINDOWS\\System\\A\\[ROOT]"}, {"C:\\A"}},
    // Lower case is no macro: the text is taken as a full path, which names no drive.
    {"[root]\\Tool\\a.txt", {}, {"C:\\Tool", "C:\\WINDOWS\\SYSTEM\\Tool", "C:\\WINDOWS\\SYSTEM\\[ro"}},
    // Doubled backslashes name no extra folder.
    {"[ROOT]\\Tool\\\\bin\\a.txt", {"C:\\Tool\\bin"}, {}},
};

INSTANTIATE_TEST_SUITE_P(cases, make_folders_test, ::testing::ValuesIn(folders_cases));

TEST(make_folders, StopsAtAFolderThatCannotBeMade) {
    install_test::sandbox box;
    box.put("C:\\Tool", "a file where a folder belongs");
    install::make_folders(box.sys(), "[ROOT]\\Tool\\bin\\a.txt");
    EXPECT_FALSE(box.is_folder("C:\\Tool"));
    // Not made in whatever folder happened to be current instead.
    EXPECT_FALSE(box.exists("C:\\bin"));
    EXPECT_EQ(box.sys().current_directory(), "C:\\");
}

}  // namespace

namespace {

// "ソ" and "表" end in the byte 0x5C, "ー" in 0x5B: neither is a backslash or a bracket.
TEST(double_byte_names, TrailBytesAreNeitherBackslashesNorMacroStarts) {
    EXPECT_EQ(install::default_destination(1, "\\ソフト\\表", "C:\\WINDOWS"),
              "C:\\Program Files\\ソフト\\表");
    EXPECT_EQ(install::default_destination(1, "\\ソフト\\表\\", "C:\\WINDOWS"),
              "C:\\Program Files\\ソフト\\表");
    EXPECT_EQ(install::first_macro("ーROOT]\\a"), folder_macro::None);
    EXPECT_EQ(install::resolve_macros("ーROOT]\\a", "C:\\WINDOWS"), "ーROOT]\\a");
    EXPECT_EQ(install::first_macro("ソ[ROOT]"), folder_macro::Root);
    EXPECT_EQ(install::last_backslash("a\\表"), 1u);
    EXPECT_FALSE(install::ends_with_backslash("表"));
    EXPECT_TRUE(install::ends_with_backslash("表\\"));
    EXPECT_EQ(install::find_text("表\\", "\\"), 2u);
}

TEST(double_byte_names, FoldersWhoseNamesEndInTheByte5CAreMadeWhole) {
    install_test::sandbox box;
    install::make_folders(box.sys(), "[PROGRAM FILES]\\表\\ソ\\a.txt");
    EXPECT_TRUE(box.is_folder("C:\\Program Files\\表\\ソ"));
    EXPECT_EQ(box.sys().list_directory("C:\\Program Files"), std::vector<std::string>{"表"});
}

}  // namespace
