#include <gtest/gtest.h>

#include "copy_test_package.hpp"
#include "install/file_copy_engine.hpp"
#include "install/install_plan.hpp"

namespace {

using install::plan_action;
using install_test::app_file;
using install_test::file_spec;
using install_test::make_component;
using install_test::make_file;

class plan_test : public ::testing::Test {
protected:
    install_test::sandbox box{R"({"drives": {"C": {}, "D": {}}})"};
    install_test::scripted_screen screen;
    install_test::recording_view view;
    model::project_data project = install_test::make_project();
    package::package_image image;
    std::vector<install::plan_entry> entries;

    /// A project that exercises every decision: loose and folder files, components in and
    /// out of the map, overwrite rules against files already there, one package file for
    /// two destinations, two files for one destination, and a package file nobody takes.
    void rich_project() {
        project.files.component_map.insert_or_assign(1, make_component(1, true));
        project.files.component_map.insert_or_assign(2, make_component(2, false));
        auto& loose = project.files.files;
        loose.insert_or_assign(
            "tool", make_file({"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe", 0, 2}));
        loose.insert_or_assign("font", make_file({"x.ttf", "[WINDOWS]\\Fonts\\x.ttf", "x.ttf", 4}));
        loose.insert_or_assign("dll", make_file({"x.dll", "[SYSTEM]\\x.dll", "x.dll", 1}));
        auto app = install_test::add_folder(project.files.folders, "App");
        app->files.insert_or_assign("dll copy",
                                    make_file({"x.dll", "[PROGRAM FILES]\\Vendor\\x.dll", "x.dll"}));
        app->files.insert_or_assign(
            "help", make_file({"help.txt", "[PROGRAM FILES]\\Vendor\\help.txt", "help.txt", 0, 2}));
        app->files.insert_or_assign(
            "data", make_file({"data.dat", "[PROGRAM FILES]\\Vendor\\data.dat", "data.dat", 0, 9}));
        auto sub = install_test::add_folder(app->subfolders, "Sub");
        // Two files for one destination; the second never overwrites.
        sub->files.insert_or_assign(
            "first", make_file({"one.txt", "[PROGRAM FILES]\\Vendor\\Sub\\n.txt", "Sub\\n.txt", 0, 1}));
        sub->files.insert_or_assign(
            "second", make_file({"two.txt", "[PROGRAM FILES]\\Vendor\\Sub\\n.txt", "Sub\\n.txt", 4, 1}));
        image = install_test::build({{"tool.exe", "T"},
                                     {"x.ttf", "F"},
                                     {"x.dll", "D"},
                                     {"help.txt", "H"},
                                     {"data.dat", "DA"},
                                     {"one.txt", "1"},
                                     {"two.txt", "2"},
                                     {"orphan.bin", "O"}},
                                    2);
        install_test::write_prepared_temp(box, image, project);
        for (const auto& e : image.entries) entries.push_back({e.number, e.real_name});
        // Already on the machine: a font (mode 4 keeps it) and a newer DLL (mode 1 keeps it).
        box.folders("C:\\WINDOWS\\Fonts");
        box.put("C:\\WINDOWS\\Fonts\\x.ttf", "old font");
        box.folders("C:\\WINDOWS\\System");
        box.put("C:\\WINDOWS\\System\\x.dll", "newer dll");
        box.sys().set_file_times("C:\\WINDOWS\\System\\x.dll", {2001, 1, 1, 0, 0, 0}, {2001, 1, 1, 0, 0, 0});
    }

    install::install_plan plan(const std::string& destination = {},
                               const std::optional<install::component_selection>& selection = std::nullopt) {
        return install::make_install_plan(
            project, model::parse_package_directory(model::as_bytes(image.package_directory)), entries,
            box.sys(), destination, selection);
    }

    const install::planned_file* find(const install::install_plan& p, const std::string& key) {
        for (const auto& f : p.files) {
            if (f.entry_key == key) return &f;
        }
        return nullptr;
    }
};

TEST_F(plan_test, ListsEveryDecisionWithItsReason) {
    rich_project();
    const auto p = plan();
    struct {
        const char* key;
        plan_action action;
        const char* destination;
    } expected[] = {
        {"tool", plan_action::Copy, "C:\\Program Files\\Vendor\\tool.exe"},
        {"font", plan_action::SkipOverwrite, "C:\\WINDOWS\\Fonts\\x.ttf"},
        {"dll", plan_action::SkipOverwrite, "C:\\WINDOWS\\System\\x.dll"},
        {"dll copy", plan_action::Copy, "C:\\Program Files\\Vendor\\x.dll"},
        {"help", plan_action::SkipComponent, ""},
        {"data", plan_action::Copy, "C:\\Program Files\\Vendor\\data.dat"},
        {"first", plan_action::Copy, "C:\\Program Files\\Vendor\\Sub\\n.txt"},
        {"second", plan_action::SkipOverwrite, "C:\\Program Files\\Vendor\\Sub\\n.txt"},
    };
    EXPECT_EQ(p.files.size(), std::size(expected));
    for (const auto& e : expected) {
        const auto* f = find(p, e.key);
        ASSERT_TRUE(f) << e.key;
        EXPECT_EQ(f->action, e.action) << e.key;
        EXPECT_EQ(f->destination, e.destination) << e.key;
        EXPECT_EQ(f->reason.empty(), e.action == plan_action::Copy) << e.key;
        EXPECT_FALSE(f->packed_name.empty()) << e.key;
    }
    EXPECT_EQ(find(p, "font")->verdict, install::overwrite_verdict::Exists);
    EXPECT_EQ(find(p, "dll")->verdict, install::overwrite_verdict::ExistingIsNewer);
    EXPECT_EQ(find(p, "help")->reason, "component 2 is not selected");
    EXPECT_EQ(find(p, "data")->component, install::component_state::NotInMap);
    ASSERT_EQ(p.unused.size(), 1u);
    EXPECT_EQ(p.unused[0].real_name, "orphan.bin");
    EXPECT_EQ(p.unused[0].entry_number, 8u);

    ASSERT_TRUE(p.uninstall);
    EXPECT_EQ(p.uninstall->folder, "C:\\Program Files\\Vendor\\");
    EXPECT_EQ(p.uninstall->key, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
    EXPECT_EQ(p.uninstall->values,
              (std::vector<std::pair<std::string, std::string>>{
                  {"DisplayName", "Tool"},
                  {"UninstallString",
                   "\"C:\\Program Files\\Vendor\\qlun.exe\" \"C:\\Program Files\\Vendor\\arkbs.vrz\""}}));
    // The plan only reads the machine.
    EXPECT_FALSE(box.exists("C:\\Program Files\\Vendor"));
    EXPECT_EQ(box.get("C:\\WINDOWS\\Fonts\\x.ttf"), "old font");
}

class plan_engine_agreement : public plan_test, public ::testing::WithParamInterface<const char*> {};

TEST_P(plan_engine_agreement, TheEngineDoesWhatThePlanSays) {
    rich_project();
    const std::string destination = GetParam();
    const auto p = plan(destination);
    const std::string old_font = *box.get("C:\\WINDOWS\\Fonts\\x.ttf");

    install::file_copy_engine engine(box.sys(), screen, view, project, destination);
    install::copy_next next = engine.start("Tool Setup");
    while (install::is_step(next)) next = engine.run(next);
    ASSERT_EQ(next, install::copy_next::Finished);

    EXPECT_EQ(p.record.entries, engine.placed_files().entries);
    EXPECT_EQ(p.uninstall_source, engine.uninstall_source());
    for (const auto& f : p.files) {
        if (f.action == plan_action::Copy) {
            EXPECT_TRUE(box.exists(f.destination)) << f.entry_key;
        }
    }
    EXPECT_EQ(box.get("C:\\WINDOWS\\Fonts\\x.ttf"), old_font);
    // The second file for one destination kept the first one's bytes.
    const std::string sub =
        destination.empty() ? "C:\\Program Files\\Vendor\\Sub\\n.txt" : destination + "\\Sub\\n.txt";
    EXPECT_EQ(box.get(sub), "1");

    ASSERT_TRUE(p.uninstall);
    for (const auto& kit : p.uninstall->kit) EXPECT_TRUE(box.exists(kit)) << kit;
    for (const auto& [name, value] : p.uninstall->values) {
        EXPECT_EQ(box.sys().query_value(platform::root_key::LocalMachine, p.uninstall->key, name), value)
            << name;
    }
}

INSTANTIATE_TEST_SUITE_P(destinations, plan_engine_agreement, ::testing::Values("", "D:\\Apps\\Tool", "D:"));

TEST_F(plan_test, AGivenSelectionReplacesTheComponentFlags) {
    rich_project();
    const auto p = plan({}, install::component_selection{2});
    EXPECT_EQ(find(p, "help")->action, plan_action::Copy);
    EXPECT_EQ(find(p, "first")->action, plan_action::SkipComponent);
    EXPECT_EQ(find(p, "second")->action, plan_action::SkipComponent);
    // Loose files ignore the selection; files of unknown components stay in.
    EXPECT_EQ(find(p, "tool")->action, plan_action::Copy);
    EXPECT_EQ(find(p, "data")->action, plan_action::Copy);
}

TEST_F(plan_test, SaysWhyThereIsNoUninstallEntry) {
    project.files.files.insert_or_assign("w", make_file({"w.txt", "[WINDOWS]\\w.txt", "w.txt"}));
    image = install_test::build({{"w.txt", "W"}});
    entries = {{1, "w.txt"}};
    auto p = plan();
    EXPECT_FALSE(p.uninstall);
    EXPECT_NE(p.uninstall_note.find("no file"), std::string::npos);
    project.act_info.register_uninstall = 0;
    p = plan("D:\\Apps");
    EXPECT_FALSE(p.uninstall);
    EXPECT_NE(p.uninstall_note.find("does not register"), std::string::npos);
    project.act_info.register_uninstall = 1;
    p = plan("D:\\Apps");
    ASSERT_TRUE(p.uninstall);
    EXPECT_EQ(p.uninstall->folder, "D:\\Apps\\");
}

}  // namespace
