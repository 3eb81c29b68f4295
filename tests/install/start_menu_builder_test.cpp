#include "install/start_menu_builder.hpp"

#include <gtest/gtest.h>

#include "model/record_map.hpp"
#include "tests/install/installation_sandbox.hpp"

namespace {

using install::start_menu_builder;
using install::start_menu_item;
using installation_test::menu_folder;
using installation_test::sandbox;
using installation_test::shortcut;
using kind = start_menu_item::item_kind;

std::vector<std::pair<kind, std::string>> shapes(const std::vector<start_menu_item>& items) {
    std::vector<std::pair<kind, std::string>> out;
    for (const auto& item : items) out.emplace_back(item.kind, item.path);
    return out;
}

// A tree with a "プログラム" folder at the top level and one below a named folder. Keys
// 0x10 and 0x20 fall into buckets 1 and 2, so the top level is visited in that order.
model::startup_menu_files sample_menu() {
    model::startup_menu_files menu;
    menu.shortcuts.insert_or_assign(1, shortcut("Top", "[PROGRAM FILES]\\App\\app.exe"));

    auto tools = menu_folder("ツール");
    tools->shortcuts.insert_or_assign(1, shortcut("Tool", "[PROGRAM FILES]\\App\\tool.exe"));
    auto inner = menu_folder("プログラム");
    inner->shortcuts.insert_or_assign(1, shortcut("Inner", "[PROGRAM FILES]\\App\\inner.exe"));
    tools->child_folders.insert_or_assign(1, inner);
    menu.child_folders.insert_or_assign(0x10, tools);

    auto programs = menu_folder("プログラム");
    programs->shortcuts.insert_or_assign(1, shortcut("Direct", "[PROGRAM FILES]\\App\\direct.exe"));
    auto sub = menu_folder("Sub");
    sub->shortcuts.insert_or_assign(1, shortcut("Deep", "[PROGRAM FILES]\\App\\deep.exe"));
    programs->child_folders.insert_or_assign(1, sub);
    menu.child_folders.insert_or_assign(0x20, programs);
    return menu;
}

TEST(start_menu_builder, builds_a_level_shortcuts_first_and_programs_folders_in_place) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    const auto menu = sample_menu();
    const std::string p = "C:\\Menu";
    box.folders(p);
    const std::vector<std::pair<kind, std::string>> expected{
        {kind::Shortcut, p + "\\Top.lnk"},          {kind::Folder, p + "\\ツール"},
        {kind::Shortcut, p + "\\ツール\\Tool.lnk"}, {kind::Shortcut, p + "\\ツール\\Inner.lnk"},
        {kind::Shortcut, p + "\\Direct.lnk"},       {kind::Folder, p + "\\Sub"},
        {kind::Shortcut, p + "\\Sub\\Deep.lnk"},
    };
    EXPECT_EQ(shapes(builder.plan_menu_folder(menu.child_folders, menu.shortcuts, p)), expected);

    builder.create_menu_folder(menu.child_folders, menu.shortcuts, p);
    for (const auto& [k, path] : expected) {
        EXPECT_EQ(box.is_folder(path), k == kind::Folder) << path;
        EXPECT_TRUE(box.exists(path)) << path;
    }
    EXPECT_FALSE(box.exists(p + "\\プログラム"));
    EXPECT_FALSE(box.exists(p + "\\ツール\\プログラム"));
    ASSERT_EQ(box.sys().links.size(), 5u);
    EXPECT_EQ(box.sys().links[3].link.target, "C:\\Program Files\\App\\direct.exe");
}

TEST(start_menu_builder, builds_the_tree_for_the_user_then_for_the_default_user) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    const auto menu = sample_menu();
    builder.create_start_menu_items(menu);
    const auto& links = box.sys().links;
    ASSERT_EQ(links.size(), 10u);
    EXPECT_EQ(links.front().path, installation_test::user_programs + "\\Top.lnk");
    EXPECT_EQ(links[5].path, installation_test::default_programs + "\\Top.lnk");
    for (const auto& base : {installation_test::user_programs, installation_test::default_programs}) {
        EXPECT_TRUE(box.exists(base + "\\ツール\\Inner.lnk")) << base;
        EXPECT_TRUE(box.exists(base + "\\Sub\\Deep.lnk")) << base;
    }
}

TEST(start_menu_builder, without_a_user_name_only_the_default_user_gets_the_tree) {
    sandbox box(R"({"user_name": ""})");
    start_menu_builder builder(box.sys(), "C:\\", "");
    const auto items = builder.plan_start_menu_items(sample_menu());
    ASSERT_EQ(items.size(), 7u);
    for (const auto& item : items)
        EXPECT_EQ(item.path.rfind(installation_test::default_programs, 0), 0u) << item.path;
}

TEST(start_menu_builder, without_programs_folders_nothing_is_made) {
    sandbox box(R"({"programs_folder": null, "user_programs_folder": null})");
    start_menu_builder builder(box.sys(), "C:\\", "");
    builder.create_start_menu_items(sample_menu());
    EXPECT_TRUE(box.sys().links.empty());
}

TEST(start_menu_builder, an_empty_tree_makes_nothing) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    EXPECT_TRUE(builder.plan_start_menu_items(model::startup_menu_files{}).empty());
}

TEST(start_menu_builder, visits_a_bucket_from_its_latest_entry_and_overwrites_an_existing_link) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    box.put(installation_test::default_programs + "\\Same.lnk", "old bytes");
    model::word_map<model::stmenu_file_object> shortcuts;
    // 0x0123 and 0x0124 share bucket 1; the one inserted later is visited first.
    shortcuts.insert_or_assign(0x0123, shortcut("Same", "C:\\first.exe"));
    shortcuts.insert_or_assign(0x0124, shortcut("Same", "C:\\second.exe"));
    builder.create_menu_folder({}, shortcuts, installation_test::default_programs);
    const auto& links = box.sys().links;
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].link.target, "C:\\second.exe");
    EXPECT_EQ(links[1].link.target, "C:\\first.exe");
    auto mapped = box.sys().map_file(installation_test::default_programs + "\\Same.lnk");
    ASSERT_TRUE(mapped);
    ASSERT_GE(mapped->bytes().size(), 4u);
    EXPECT_EQ(mapped->bytes()[0], std::byte{0x4C}) << "a shell link replaced the old file";
}

struct target_case {
    const char* what;
    std::string destination_folder;
    std::string target_path;
    std::string expected;
};

class shortcut_target_rule : public testing::TestWithParam<target_case> {};

TEST_P(shortcut_target_rule, points_into_the_chosen_folder_or_resolves_the_macro) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", GetParam().destination_folder);
    EXPECT_EQ(builder.shortcut_target(*shortcut("x", GetParam().target_path)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, shortcut_target_rule,
    testing::Values(target_case{"project_path", "", "[PROGRAM FILES]\\App\\app.exe",
                                "C:\\Program Files\\App\\app.exe"},
                    target_case{"windows_macro", "", "[WINDOWS]\\notepad.exe", "C:\\WINDOWS\\notepad.exe"},
                    target_case{"root_macro", "", "[ROOT]\\Tools\\t.exe", "C:\\Tools\\t.exe"},
                    target_case{"full_path", "", "D:\\Apps\\a.exe", "D:\\Apps\\a.exe"},
                    target_case{"chosen_folder_ignores_the_macro", "C:\\Program Files\\App",
                                "[PROGRAM FILES]\\Other\\app.exe", "C:\\Program Files\\App\\app.exe"},
                    target_case{"chosen_folder_double_byte_name", "D:\\Tools",
                                "[PROGRAM FILES]\\App\\表示.exe", "D:\\Tools\\表示.exe"},
                    target_case{"chosen_folder_with_windows_macro", "D:\\Tools", "[WINDOWS]\\x\\help.exe",
                                "D:\\Tools\\help.exe"},
                    // A bare file name goes into the folder behind a backslash of its own.
                    target_case{"chosen_folder_bare_name", "D:\\Tools", "app.exe", "D:\\Tools\\app.exe"}),
    [](const testing::TestParamInfo<target_case>& info) { return std::string(info.param.what); });

struct work_folder_case {
    const char* what;
    std::int32_t base;
    std::string work_folder;
    std::string expected;
};

class shortcut_work_folder_rule : public testing::TestWithParam<work_folder_case> {};

TEST_P(shortcut_work_folder_rule, puts_the_base_macro_in_front_and_drops_a_trailing_backslash) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    EXPECT_EQ(builder.shortcut_work_folder(*shortcut("x", "", GetParam().base, GetParam().work_folder)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, shortcut_work_folder_rule,
    testing::Values(work_folder_case{"windows_help", 2, "\\Help", "C:\\WINDOWS\\Help"},
                    work_folder_case{"root_alone_drops_its_backslash", 0, "", "C:"},
                    work_folder_case{"root_backslash", 0, "\\", "C:"},
                    work_folder_case{"macro_already_there", 2, "[WINDOWS]\\Help", "C:\\WINDOWS\\Help"},
                    work_folder_case{"program_files_trailing_backslash", 1, "\\App\\",
                                     "C:\\Program Files\\App"},
                    work_folder_case{"system", 3, "", "C:\\WINDOWS\\System"},
                    work_folder_case{"root_folder", 0, "\\Work", "C:\\Work"},
                    work_folder_case{"other_base_adds_nothing", 7, "D:\\Work\\", "D:\\Work"},
                    work_folder_case{"other_base_empty", -1, "", ""},
                    work_folder_case{"short_text_keeps_its_backslash", 9, "C\\", "C\\"},
                    work_folder_case{"double_byte_name_keeps_its_last_byte", 2, "\\表", "C:\\WINDOWS\\表"}),
    [](const testing::TestParamInfo<work_folder_case>& info) { return std::string(info.param.what); });

struct icon_case {
    const char* what;
    std::string icon_path;
    std::string expected;
};

class icon_macro_rule : public testing::TestWithParam<icon_case> {};

// The first fixed drive D: differs from the Windows drive, and the system directory is not
// the Windows directory + "\System", so each source of a folder shows.
TEST_P(icon_macro_rule, replaces_every_macro_present_at_the_front) {
    sandbox box(
        R"({"windows_directory": "C:\\WIN", "system_directory": "C:\\WIN\\SYS32", "drives": {"C": {}, "D": {}}})");
    start_menu_builder builder(box.sys(), "D:\\", "");
    EXPECT_EQ(builder.resolve_icon_macros(GetParam().icon_path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, icon_macro_rule,
    testing::Values(icon_case{"program_files", "[PROGRAM FILES]\\App\\a.ico",
                              "D:\\Program Files\\App\\a.ico"},
                    icon_case{"system", "[SYSTEM]\\shell.dll", "C:\\WIN\\SYS32\\shell.dll"},
                    icon_case{"windows", "[WINDOWS]\\a.ico", "C:\\WIN\\a.ico"},
                    icon_case{"root_drops_one_backslash", "[ROOT]\\a.ico", "D:\\a.ico"},
                    icon_case{"root_without_backslash", "[ROOT]a.ico", "D:\\a.ico"},
                    icon_case{"plain", "C:\\Icons\\a.ico", "C:\\Icons\\a.ico"}, icon_case{"empty", "", ""},
                    icon_case{"lower_case_is_no_macro", "[windows]\\a.ico", "[windows]\\a.ico"},
                    // A macro is taken to stand at the front wherever it is.
                    icon_case{"macro_inside", "x\\[WINDOWS]", "C:\\WINS]"},
                    // Every macro present is applied, each to the result of the one before.
                    icon_case{"two_macros", "[SYSTEM]\\[WINDOWS]", "C:\\WINS32\\[WINDOWS]"}),
    [](const testing::TestParamInfo<icon_case>& info) { return std::string(info.param.what); });

TEST(start_menu_builder, hands_every_field_to_the_link) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    auto s = shortcut("App", "[PROGRAM FILES]\\App\\app.exe", 1, "\\App");
    s->arguments = "/quiet 名前";
    s->description = "説明";
    s->icon_path = "[PROGRAM FILES]\\App\\app.exe";
    s->icon_index = 3;
    s->show_command = 7;
    s->hot_key = static_cast<std::int16_t>(0x8641);
    builder.create_shortcut(*s, installation_test::default_programs);
    ASSERT_EQ(box.sys().links.size(), 1u);
    const auto& written = box.sys().links[0];
    EXPECT_EQ(written.path, installation_test::default_programs + "\\App.lnk");
    EXPECT_EQ(installation_test::link_fields(written.link),
              installation_test::link_fields(platform::shell_link{
                  "C:\\Program Files\\App\\app.exe", "/quiet 名前", "説明", "C:\\Program Files\\App\\app.exe",
                  3, "C:\\Program Files\\App", 7, 0x8641}));
    EXPECT_TRUE(box.exists(written.path));
}

TEST(start_menu_builder, a_link_that_cannot_be_written_is_skipped) {
    sandbox box;
    start_menu_builder builder(box.sys(), "C:\\", "");
    model::word_map<model::stmenu_file_object> shortcuts;
    shortcuts.insert_or_assign(0x10, shortcut("Lost", "C:\\a.exe"));
    shortcuts.insert_or_assign(0x20, shortcut("Kept", "C:\\b.exe"));
    // The first goes into a folder that does not exist.
    builder.create_menu_folder({}, shortcuts, "C:\\Missing");
    builder.create_menu_folder({}, shortcuts, installation_test::default_programs);
    EXPECT_FALSE(box.exists("C:\\Missing\\Lost.lnk"));
    EXPECT_TRUE(box.exists(installation_test::default_programs + "\\Kept.lnk"));
}

}  // namespace
