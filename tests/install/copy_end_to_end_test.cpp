// A whole installation of a packed package on the host sandbox: the package folder as
// shipped, the preparation into the temporary folder, then the copy engine driven step by
// step, with one Cancel answered No across a volume change.

#include <gtest/gtest.h>

#include "copy_test_package.hpp"
#include "install/file_copy_engine.hpp"
#include "install/preparation.hpp"
#include "install/removal_record.hpp"

namespace {

using install::copy_next;
using install_test::file_spec;
using install_test::make_component;
using install_test::make_file;

struct machine_case {
    const char* name;
    const char* machine;
    const char* temp;
};

class end_to_end : public ::testing::TestWithParam<machine_case> {};

TEST_P(end_to_end, InstallsAPackedPackageFromItsFolder) {
    const auto& m = GetParam();
    install_test::sandbox box(m.machine);
    install_test::scripted_screen screen;
    install_test::recording_view view;

    // The project: a program and its help in the application's folder, a shared DLL, a
    // font, and an optional component that the user left out.
    model::project_data project = install_test::make_project("ビューア");
    project.files.component_map.insert_or_assign(1, make_component(1, true));
    project.files.component_map.insert_or_assign(2, make_component(2, false));
    file_spec program{"viewer.exe", "[PROGRAM FILES]\\Vendor\\ビューア\\viewer.exe", "viewer.exe", 0, 1};
    program.created = {1999, 4, 1, 9, 0, 0};
    program.modified = {1999, 4, 2, 17, 45, 12};
    auto app = install_test::add_folder(project.files.folders, "ビューア");
    app->files.insert_or_assign("viewer", make_file(program));
    auto help = install_test::add_folder(app->subfolders, "help");
    help->files.insert_or_assign(
        "help", make_file({"viewer.hlp", "[PROGRAM FILES]\\Vendor\\ビューア\\help\\viewer.hlp",
                           "help\\viewer.hlp", 0, 1}));
    help->files.insert_or_assign(
        "samples", make_file({"samples.dat", "[PROGRAM FILES]\\Vendor\\ビューア\\help\\samples.dat",
                              "help\\samples.dat", 0, 2}));
    project.files.files.insert_or_assign("dll", make_file({"vwr.dll", "[SYSTEM]\\vwr.dll", "vwr.dll", 1}));
    project.files.files.insert_or_assign("font",
                                         make_file({"vwr.ttf", "[WINDOWS]\\Fonts\\vwr.ttf", "vwr.ttf", 4}));

    std::vector<install_test::app_file> files = {
        {"viewer.exe", std::string(9000, 'v') + "end"},
        {"viewer.hlp", "help text\r\n"},
        {"samples.dat", std::string(4000, 's')},
        {"vwr.dll", std::string(3000, 'd')},
        {"vwr.ttf", ""},
    };
    const auto image = install_test::build(files, 3);
    ASSERT_GE(image.entries.back().volume, 2u);
    install_test::write_package_folder(box, "D:\\DISK1", image, project);

    // Preparation.
    install::package_preparation preparation(box.sys(), screen, view, "D:\\DISK1");
    ASSERT_TRUE(preparation.read_volume_header("セットアップ"));
    preparation.find_folders();
    EXPECT_EQ(preparation.temp_folder(), m.temp);
    int position = 80;
    ASSERT_TRUE(preparation.copy_package(position));
    EXPECT_EQ(box.get(m.temp + std::string("~vrncomp.tmp")), image.joined);

    // Copying, with Cancel answered No just before the first volume change.
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    copy_next next = engine.start("ビューア Setup");
    bool cancelled = false;
    while (install::is_step(next)) {
        if (!cancelled && next == copy_next::Volume && engine.extractor()->volume_counter() == 1) {
            screen.answers = {platform::IdNo};
            next = engine.cancel();
            cancelled = true;
            continue;
        }
        next = engine.run(next);
    }
    ASSERT_EQ(next, copy_next::Finished);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(screen.boxes.size(), 1u) << "only the Cancel question";
    EXPECT_EQ(view.failure_pages, 0);
    EXPECT_FALSE(screen.wait_cursor);

    // Files, times and components.
    const std::string f = "C:\\Program Files\\Vendor\\ビューア\\";
    const std::string w = box.sys().windows_directory();
    EXPECT_EQ(box.get(f + "viewer.exe"), files[0].data);
    EXPECT_EQ(box.get(f + "help\\viewer.hlp"), files[1].data);
    EXPECT_FALSE(box.exists(f + "help\\samples.dat"));
    EXPECT_EQ(box.get(w + "\\System\\vwr.dll"), files[3].data);
    EXPECT_EQ(box.get(w + "\\Fonts\\vwr.ttf"), "");
    const auto st = box.sys().status(f + "viewer.exe");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->created, program.created);
    EXPECT_EQ(st->last_write, program.modified);

    // Removal kit, record and uninstall entry.
    EXPECT_EQ(box.sys().status(f + "qlun.exe")->attributes,
              platform::ReadOnly | platform::Hidden | platform::Archive);
    EXPECT_TRUE(box.sys().status(f + "arkbs.vrz")->attributes & platform::Hidden);
    EXPECT_TRUE(box.sys().status(f + "arkrm.vrz")->attributes & platform::Hidden);
    EXPECT_EQ(box.get(f + "arkbs.vrz"), model::serialize_project(project));
    const auto record = install::removal_record::parse(model::as_bytes(*box.get(f + "arkrm.vrz")));
    std::vector<std::string> placed;
    for (const auto& e : record.entries) placed.push_back(e.real_path);
    std::sort(placed.begin(), placed.end());
    std::vector<std::string> expected{w + "\\Fonts\\vwr.ttf", w + "\\System\\vwr.dll", f + "help\\viewer.hlp",
                                      f + "viewer.exe"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(placed, expected);
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ビューア";
    EXPECT_EQ(box.sys().query_value(platform::root_key::LocalMachine, key, "DisplayName"), "ビューア");
    EXPECT_EQ(box.sys().query_value(platform::root_key::LocalMachine, key, "UninstallString"),
              "\"" + f + "qlun.exe\" \"" + f + "arkbs.vrz\"");

    // Nothing of the package is left in the temporary folder but the installer's own copy.
    EXPECT_EQ(box.sys().list_directory(m.temp), std::vector<std::string>{"Setup.exe"});
}

INSTANTIATE_TEST_SUITE_P(
    machines, end_to_end,
    ::testing::Values(machine_case{"windows95", R"({"platform_id": 1, "drives": {"C": {}, "D": {}}})",
                                   "C:\\WINDOWS\\temp\\"},
                      machine_case{"nt", R"({"platform_id": 2, "windows_directory": "C:\\WINNT",
                                                                   "system_directory": "C:\\WINNT\\SYSTEM32",
                                                                   "drives": {"C": {}, "D": {}}})",
                                   "C:\\temp\\"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
