#include "install/installation.hpp"

#include <gtest/gtest.h>

#include "install/file_copy_messages.hpp"
#include "tests/install/installation_sandbox.hpp"

namespace {

using install::installation;
using install::installation_stage;
using installation_test::file;
using installation_test::menu_folder;
using installation_test::registry_entry;
using installation_test::sandbox;
using installation_test::scripted_screen;
using installation_test::shortcut;
using platform::root_key;

const std::string machine = R"({"drives": {"C": {}, "D": {"type": "cdrom"}}})";
const std::string package_folder = "D:\\SETUP";
const std::string app = "C:\\Program Files\\Tool\\";

class recording_observer : public install::installation_observer {
public:
    std::vector<installation_stage> stages;
    std::vector<std::pair<int, int>> progress;
    int failure_pages = 0;
    void stage_started(installation_stage stage) override { stages.push_back(stage); }
    void copy_progress(int done, int total) override { progress.emplace_back(done, total); }
    void failure_page() override { ++failure_pages; }
};

std::shared_ptr<model::compo_file_object> component(std::int16_t id, bool selected) {
    auto c = std::make_shared<model::compo_file_object>();
    c->component_id = id;
    c->selected = selected ? 1 : 0;
    return c;
}

model::project_data tool_project() {
    model::project_data p;
    p.app_name.app_name = "Tool";
    p.dsp_mainfrm.frame_title = "Tool Setup";
    p.act_info.register_uninstall = 1;
    p.hi_level_info.run_program = "[PROGRAM FILES]\\Tool\\tool.exe";
    p.files.component_map.insert_or_assign(1, component(1, true));
    p.files.component_map.insert_or_assign(2, component(2, false));
    auto folder = std::make_shared<model::folder_object>();
    folder->files.insert_or_assign("tool",
                                   file("tool.exe", "[PROGRAM FILES]\\Tool\\tool.exe", "tool.exe", 1));
    folder->files.insert_or_assign("extra",
                                   file("extra.dat", "[PROGRAM FILES]\\Tool\\extra.dat", "extra.dat", 2));
    p.files.folders.insert_or_assign("tool", folder);
    auto menu = menu_folder("Tool");
    menu->shortcuts.insert_or_assign(1, shortcut("Tool", "[PROGRAM FILES]\\Tool\\tool.exe"));
    p.files.start_menu.child_folders.insert_or_assign(1, menu);
    p.files.registry_entries.insert_or_assign(
        "owner", registry_entry("HKEY_CURRENT_USER\\Software\\Tool\\Owner", "%qorde_setup_user"));
    return p;
}

const std::vector<std::pair<std::string, std::string>> tool_files{{"tool.exe", "MZ tool"},
                                                                  {"extra.dat", "extra"}};

TEST(installation, runs_every_stage_in_the_installers_order) {
    sandbox box(machine);
    installation_test::write_package(box, package_folder, tool_files, tool_project(), 2);
    scripted_screen screen;
    recording_observer observer;
    install::installation_choices choices;
    choices.user_name = "太郎";
    choices.launch = true;
    installation run(box.sys(), screen, tool_project(), package_folder, choices, &observer);
    const auto report = run.run("Tool Setup");

    ASSERT_TRUE(report.completed);
    EXPECT_TRUE(screen.boxes.empty());
    using s = installation_stage;
    EXPECT_EQ(observer.stages,
              (std::vector<s>{s::Preparation, s::Copy, s::StartMenu, s::Registry, s::Finish}));
    ASSERT_FALSE(observer.progress.empty());
    EXPECT_EQ(observer.progress.back(), std::make_pair(2, 2));
    EXPECT_EQ(observer.failure_pages, 0);

    ASSERT_EQ(report.placed.size(), 1u);
    EXPECT_EQ(report.placed[0].real_path, app + "tool.exe");
    EXPECT_TRUE(box.exists(app + "tool.exe"));
    EXPECT_FALSE(box.exists(app + "extra.dat"));
    EXPECT_TRUE(box.exists(app + "qlun.exe"));
    EXPECT_EQ(report.start_menu.size(), 4u) << "a folder and a shortcut for each of two users";
    for (const auto& item : report.start_menu) EXPECT_TRUE(box.exists(item.path)) << item.path;
    EXPECT_EQ(box.sys().query_value(root_key::CurrentUser, "Software\\Tool", "Owner"), "太郎");
    ASSERT_EQ(report.registry.size(), 1u);
    EXPECT_EQ(report.launched, app + "tool.exe");
    EXPECT_EQ(box.sys().started_processes(), std::vector<std::string>{app + "tool.exe"});
    EXPECT_FALSE(box.exists(report.temp_folder + "arkmtx.vrz"));
    EXPECT_FALSE(box.exists(report.temp_folder + "~vrncomp.tmp"));
}

TEST(installation, a_restart_asked_for_starts_no_program) {
    sandbox box(machine);
    auto project = tool_project();
    project.act_info.restart_windows = 1;
    installation_test::write_package(box, package_folder, tool_files, project);
    scripted_screen screen;
    install::installation_choices choices;
    choices.launch = true;
    const auto report = installation(box.sys(), screen, project, package_folder, choices).run("Tool Setup");
    ASSERT_TRUE(report.completed);
    EXPECT_TRUE(report.restart_requested);
    EXPECT_TRUE(report.launched.empty());
    EXPECT_TRUE(box.sys().started_processes().empty());
}

TEST(installation, a_selection_replaces_the_projects_own) {
    sandbox box(machine);
    installation_test::write_package(box, package_folder, tool_files, tool_project());
    scripted_screen screen;
    install::installation_choices choices;
    choices.selection = install::component_selection{2};
    installation run(box.sys(), screen, tool_project(), package_folder, choices);
    ASSERT_TRUE(run.run("Tool Setup").completed);
    EXPECT_FALSE(box.exists(app + "tool.exe"));
    EXPECT_TRUE(box.exists(app + "extra.dat"));
    EXPECT_EQ(run.project().files.component_map.find(1)->selected, 0u);
    EXPECT_EQ(run.project().files.component_map.find(2)->selected, 1u);
}

TEST(installation, a_package_that_cannot_be_read_fails_in_the_preparation) {
    sandbox box(machine);
    installation_test::write_package(box, package_folder, tool_files, tool_project());
    ASSERT_EQ(box.sys().delete_file(package_folder + "\\arkci.vrz"), platform::file_error::None);
    scripted_screen screen;
    recording_observer observer;
    const auto report =
        installation(box.sys(), screen, tool_project(), package_folder, {}, &observer).run("Tool Setup");
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.failed_stage, installation_stage::Preparation);
    EXPECT_EQ(observer.failure_pages, 1);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, install::package_file_failure_text);
    EXPECT_FALSE(box.sys().key_exists(root_key::CurrentUser, "Software\\Tool"));
}

TEST(installation, a_copy_stopped_by_the_user_ends_before_the_shortcuts) {
    sandbox box(machine);
    installation_test::write_package(box, package_folder, tool_files, tool_project());
    // A read-only file where the program goes: the copy fails and the user answers Abort.
    box.put(app + "tool.exe", "old");
    ASSERT_EQ(box.sys().set_attributes(app + "tool.exe", platform::ReadOnly), platform::file_error::None);
    scripted_screen screen;
    screen.answers = {platform::IdAbort};
    recording_observer observer;
    const auto report =
        installation(box.sys(), screen, tool_project(), package_folder, {}, &observer).run("Tool Setup");
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.failed_stage, installation_stage::Copy);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, "Tool Setup");
    EXPECT_EQ(observer.failure_pages, 1);
    EXPECT_EQ(observer.stages.back(), installation_stage::Copy);
    EXPECT_FALSE(box.exists(installation_test::default_programs + "\\Tool"));
    EXPECT_FALSE(box.sys().key_exists(root_key::CurrentUser, "Software\\Tool"));
    EXPECT_FALSE(box.exists(report.temp_folder + "~vrncomp.tmp"));
    EXPECT_FALSE(box.exists(report.temp_folder + "arkmtx.vrz"));
}

struct drive_case {
    const char* what;
    std::string machine;
    std::string root;
};

class first_fixed_drive : public testing::TestWithParam<drive_case> {};

TEST_P(first_fixed_drive, is_the_first_fixed_or_unknown_drive) {
    sandbox box(GetParam().machine);
    EXPECT_EQ(install::first_fixed_root(box.sys()), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(
    machines, first_fixed_drive,
    testing::Values(
        drive_case{"floppy_first", R"({"drives": {"A": {"type": "removable"}, "C": {}}})", "C:\\"},
        drive_case{"unknown_type_counts", R"({"drives": {"A": {"type": "unknown"}, "C": {}}})", "A:\\"},
        drive_case{"no_root_dir_counts", R"({"drives": {"B": {"type": "no_root_dir"}, "C": {}}})", "B:\\"},
        drive_case{
            "network_cdrom_ramdisk_skipped",
            R"({"drives": {"C": {"type": "remote"}, "D": {"type": "cdrom"}, "E": {"type": "ramdisk"}, "F": {}}})",
            "F:\\"},
        drive_case{"none", R"({"drives": {"C": {"type": "cdrom"}}})", ""}),
    [](const testing::TestParamInfo<drive_case>& info) { return std::string(info.param.what); });

}  // namespace
