#include <gtest/gtest.h>

#include <algorithm>

#include "copy_test_package.hpp"
#include "install/file_copy_engine.hpp"
#include "install/file_copy_messages.hpp"
#include "install/removal_record.hpp"
#include "package/huffman_coder.hpp"
#include "package/table_file_writer.hpp"

namespace {

using install::copy_next;
using install_test::app_file;
using install_test::file_spec;
using install_test::make_component;
using install_test::make_file;

constexpr const char* caption = "Tool Setup";
constexpr const char* uninstall_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";

class copy_engine_test : public ::testing::Test {
protected:
    install_test::sandbox box{R"({"drives": {"C": {}, "D": {}}})"};
    install_test::scripted_screen screen;
    install_test::recording_view view;
    model::project_data project = install_test::make_project();
    package::package_image image;
    std::string temp = install_test::temp_of(box);

    void add(const std::string& key, const file_spec& desc) {
        project.files.files.insert_or_assign(key, make_file(desc));
    }

    void prepare(const std::vector<app_file>& files, std::uint32_t volumes = 1) {
        image = install_test::build(files, volumes);
        install_test::write_prepared_temp(box, image, project);
    }

    /// Drives the engine from start to its end the way the copy window's timers do.
    copy_next run_all(install::file_copy_engine& engine, int* entry_steps = nullptr) {
        copy_next next = engine.start(caption);
        for (int guard = 0; install::is_step(next) && guard < 100000; ++guard) {
            if (entry_steps && next == copy_next::Entry) ++*entry_steps;
            next = engine.run(next);
        }
        return next;
    }

    std::string removal_kit(const std::string& folder, const char* name) { return folder + name; }
};

// ---- progress ----

struct progress_case {
    std::uint32_t files;
    std::uint32_t volumes;
    int step;
};

class copy_progress_test : public copy_engine_test, public ::testing::WithParamInterface<progress_case> {};

TEST_P(copy_progress_test, StepIsFiftyTwoByTheDirectorySizeAndAdvancesOncePerEntryStep) {
    const auto& c = GetParam();
    std::vector<app_file> files;
    for (std::uint32_t i = 0; i < c.files; ++i)
        files.push_back({"f" + std::to_string(i) + ".dat", std::string(300, 'x')});
    prepare(files, c.volumes);
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    int entry_steps = 0;
    ASSERT_EQ(run_all(engine, &entry_steps), copy_next::Finished);
    EXPECT_EQ(engine.progress_step(), c.step);
    // Every entry once, the final step, and one more for each entry that waited for its volume.
    const std::uint32_t changes = image.entries.empty() ? 0 : image.entries.back().volume - 1;
    EXPECT_EQ(entry_steps, static_cast<int>(c.files + 1 + changes));
    std::vector<int> expected{0};
    for (int i = 1; i <= entry_steps; ++i) expected.push_back(i * c.step);
    EXPECT_EQ(view.progress, expected);
    EXPECT_TRUE(screen.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(cases, copy_progress_test,
                         ::testing::Values(progress_case{0, 1, 0}, progress_case{1, 1, 52},
                                           progress_case{10, 1, 5}, progress_case{10, 3, 5},
                                           progress_case{52, 1, 1}, progress_case{53, 1, 0}));

// ---- placement ----

TEST_F(copy_engine_test, PlacesEveryFileOfTheDecodedNameWithTheProjectsTimes) {
    file_spec tool{"tool.exe", "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe", "tool.exe"};
    tool.created = {1998, 12, 24, 8, 15, 30};
    tool.modified = {1999, 1, 15, 12, 34, 56};
    add("tool", tool);
    // One package file, two destinations: both receive it.
    add("dll1", {"x.dll", "[PROGRAM FILES]\\Vendor\\Tool\\x.dll", "x.dll"});
    add("dll2", {"x.dll", "[SYSTEM]\\x.dll", "x.dll"});
    prepare({{"tool.exe", "TOOL"}, {"x.dll", "DLL"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    EXPECT_EQ(box.get("C:\\Program Files\\Vendor\\Tool\\tool.exe"), "TOOL");
    EXPECT_EQ(box.get("C:\\Program Files\\Vendor\\Tool\\x.dll"), "DLL");
    EXPECT_EQ(box.get("C:\\WINDOWS\\System\\x.dll"), "DLL");
    const auto st = box.sys().status("C:\\Program Files\\Vendor\\Tool\\tool.exe");
    ASSERT_TRUE(st);
    EXPECT_EQ(st->created, tool.created);
    EXPECT_EQ(st->last_write, tool.modified);
    // Each decoded file is gone once placed.
    EXPECT_FALSE(box.exists(temp + "tool.exe"));
    EXPECT_FALSE(box.exists(temp + "x.dll"));
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(view.failure_pages, 0);
}

TEST_F(copy_engine_test, ChecksTheComponentOfFolderFilesOnly) {
    project.files.component_map.insert_or_assign(1, make_component(1, true));
    project.files.component_map.insert_or_assign(2, make_component(2, false));
    add("loose", {"loose.txt", "[ROOT]\\App\\loose.txt", "loose.txt", 0, 2});
    auto app = install_test::add_folder(project.files.folders, "App");
    app->files.insert_or_assign("a", make_file({"a.txt", "[ROOT]\\App\\a.txt", "a.txt", 0, 1}));
    app->files.insert_or_assign("b", make_file({"b.txt", "[ROOT]\\App\\b.txt", "b.txt", 0, 2}));
    app->files.insert_or_assign("c", make_file({"c.txt", "[ROOT]\\App\\c.txt", "c.txt", 0, 9}));
    auto sub = install_test::add_folder(app->subfolders, "Sub");
    sub->files.insert_or_assign("d", make_file({"d.txt", "[ROOT]\\App\\Sub\\d.txt", "Sub\\d.txt", 0, 2}));
    sub->files.insert_or_assign("e", make_file({"e.txt", "[ROOT]\\App\\Sub\\e.txt", "Sub\\e.txt", 0, 1}));
    prepare(
        {{"loose.txt", "L"}, {"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}, {"d.txt", "D"}, {"e.txt", "E"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    EXPECT_TRUE(box.exists("C:\\App\\loose.txt")) << "a loose file is placed whatever its component";
    EXPECT_TRUE(box.exists("C:\\App\\a.txt"));
    EXPECT_FALSE(box.exists("C:\\App\\b.txt")) << "unselected component";
    EXPECT_TRUE(box.exists("C:\\App\\c.txt")) << "a component missing from the map installs its files";
    EXPECT_FALSE(box.exists("C:\\App\\Sub\\d.txt"));
    EXPECT_TRUE(box.exists("C:\\App\\Sub\\e.txt"));
    // Folder files show their destination; the decoded file of a skipped one is gone too.
    EXPECT_EQ(view.destinations,
              (std::vector<std::string>{"C:\\App\\a.txt", "C:\\App\\c.txt", "C:\\App\\Sub\\e.txt"}));
    EXPECT_FALSE(box.exists(temp + "b.txt"));
}

TEST_F(copy_engine_test, AnUnselectedFileDoesNotHoldBackALaterFileOfTheSameName) {
    project.files.component_map.insert_or_assign(1, make_component(1, true));
    project.files.component_map.insert_or_assign(2, make_component(2, false));
    auto app = install_test::add_folder(project.files.folders, "App");
    // Whatever the visiting order, only the unselected copy stays out.
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        app->files.insert_or_assign("k" + n, make_file({"same.txt", "[ROOT]\\App\\" + n + ".txt", n + ".txt",
                                                        0, static_cast<std::int16_t>(i == 2 ? 2 : 1)}));
    }
    prepare({{"same.txt", "S"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(box.exists("C:\\App\\" + std::to_string(i) + ".txt"), i != 2) << i;
    }
}

TEST_F(copy_engine_test, AChosenFolderTakesTheFilesTheRemovalKitAndTheUninstallEntry) {
    add("font", {"x.ttf", "[WINDOWS]\\Fonts\\x.ttf", "x.ttf"});
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    auto bin = install_test::add_folder(project.files.folders, "bin");
    bin->files.insert_or_assign("a",
                                make_file({"a.exe", "[PROGRAM FILES]\\Vendor\\bin\\a.exe", "bin\\a.exe"}));
    prepare({{"x.ttf", "F"}, {"tool.exe", "T"}, {"a.exe", "A"}});
    // Outside "Program Files": still registered, and the kit goes to the chosen folder.
    install::file_copy_engine engine(box.sys(), screen, view, project, "D:\\Apps\\Tool");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    EXPECT_EQ(box.get("C:\\WINDOWS\\Fonts\\x.ttf"), "F");
    EXPECT_EQ(box.get("D:\\Apps\\Tool\\tool.exe"), "T");
    EXPECT_EQ(box.get("D:\\Apps\\Tool\\bin\\a.exe"), "A");
    EXPECT_FALSE(box.exists("C:\\Program Files\\Vendor"));
    EXPECT_EQ(engine.uninstall_source(), "D:\\Apps\\Tool");
    EXPECT_EQ(box.get("D:\\Apps\\Tool\\qlun.exe"), install_test::uninstaller_image);
    EXPECT_TRUE(box.exists("D:\\Apps\\Tool\\arkbs.vrz"));
    EXPECT_EQ(box.sys().query_value(platform::root_key::LocalMachine, uninstall_key, "UninstallString"),
              "\"D:\\Apps\\Tool\\qlun.exe\" \"D:\\Apps\\Tool\\arkbs.vrz\"");
}

TEST_F(copy_engine_test, AChosenDriveRootHoldsTheFilesDirectly) {
    auto bin = install_test::add_folder(project.files.folders, "bin");
    bin->files.insert_or_assign("a",
                                make_file({"a.exe", "[PROGRAM FILES]\\Vendor\\bin\\a.exe", "bin\\a.exe"}));
    prepare({{"a.exe", "A"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "D:");
    ASSERT_EQ(run_all(engine), copy_next::Finished);
    EXPECT_EQ(box.get("D:\\bin\\a.exe"), "A");
    EXPECT_TRUE(box.exists("D:\\qlun.exe"));
    EXPECT_EQ(box.sys().query_value(platform::root_key::LocalMachine, uninstall_key, "UninstallString"),
              "\"D:\\qlun.exe\" \"D:\\arkbs.vrz\"");
}

// ---- overwrite rules on the machine ----

TEST_F(copy_engine_test, OverwriteRulesKeepExistingFilesOutOfTheRemovalRecord) {
    const platform::civil_time stamp{1999, 1, 15, 12, 0, 0};
    struct {
        const char* name;
        std::int16_t mode;
        bool exists;
        platform::civil_time existing_written;
        std::string existing;
        std::int32_t project_size;
        bool replaced;
    } cases[] = {
        {"m1_older", 1, true, {1998, 12, 31, 0, 0, 0}, "old", 3, true},
        {"m1_newer", 1, true, {1999, 1, 15, 12, 0, 1}, "old", 3, false},
        {"m1_missing", 1, false, {}, "", 3, true},
        {"m2_same", 2, true, stamp, "old", 3, false},
        {"m2_other", 2, true, stamp, "older", 3, true},
        {"m4_exists", 4, true, stamp, "old", 3, false},
        {"m4_missing", 4, false, {}, "", 3, true},
        {"m0_exists", 0, true, {2030, 1, 1, 0, 0, 0}, "old", 3, true},
        {"m7_exists", 7, true, {2030, 1, 1, 0, 0, 0}, "old", 3, true},
    };
    std::vector<app_file> files;
    box.folders("C:\\Program Files\\Tool");
    for (const auto& c : cases) {
        const std::string path = std::string("C:\\Program Files\\Tool\\") + c.name + ".dat";
        file_spec desc{std::string(c.name) + ".dat", std::string("[PROGRAM FILES]\\Tool\\") + c.name + ".dat",
                       std::string(c.name) + ".dat", c.mode};
        desc.modified = stamp;
        desc.file_size = c.project_size;
        add(c.name, desc);
        files.push_back({desc.source_name, "new"});
        if (c.exists) {
            box.put(path, c.existing);
            box.sys().set_file_times(path, c.existing_written, c.existing_written);
        }
    }
    prepare(files);
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    const auto record_bytes = box.get("C:\\Program Files\\Tool\\arkrm.vrz");
    ASSERT_TRUE(record_bytes);
    const auto record = install::removal_record::parse(model::as_bytes(*record_bytes));
    for (const auto& c : cases) {
        const std::string path = std::string("C:\\Program Files\\Tool\\") + c.name + ".dat";
        EXPECT_EQ(box.get(path), c.replaced ? "new" : c.existing) << c.name;
        const bool recorded =
            std::any_of(record.entries.begin(), record.entries.end(),
                        [&](const install::removal_entry& e) { return e.real_path == path; });
        EXPECT_EQ(recorded, c.replaced) << c.name;
    }
}

// ---- the uninstall entry and the removal kit ----

TEST_F(copy_engine_test, WritesTheRemovalKitWithItsAttributesAndTheUninstallEntry) {
    add("other", {"w.txt", "[WINDOWS]\\w.txt", "w.txt"});
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe", "tool.exe"});
    prepare({{"w.txt", "W"}, {"tool.exe", "T"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    const std::string f = "C:\\Program Files\\Vendor\\Tool\\";
    const auto project_copy = box.sys().status(f + "arkbs.vrz");
    const auto uninstaller = box.sys().status(f + "qlun.exe");
    const auto record_file = box.sys().status(f + "arkrm.vrz");
    ASSERT_TRUE(project_copy && uninstaller && record_file);
    EXPECT_EQ(project_copy->attributes & (platform::Hidden | platform::ReadOnly), platform::Hidden);
    EXPECT_EQ(uninstaller->attributes, platform::ReadOnly | platform::Hidden | platform::Archive);
    EXPECT_EQ(record_file->attributes & platform::Hidden, platform::Hidden);
    EXPECT_EQ(box.get(f + "arkbs.vrz"), model::serialize_project(project));
    EXPECT_EQ(box.get(f + "qlun.exe"), install_test::uninstaller_image);

    const auto record = install::removal_record::parse(model::as_bytes(*box.get(f + "arkrm.vrz")));
    EXPECT_EQ(record.entries, (std::vector<install::removal_entry>{
                                  {"other", "[WINDOWS]\\w.txt", "C:\\WINDOWS\\w.txt"},
                                  {"tool", "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe", f + "tool.exe"}}));

    auto& sys = box.sys();
    EXPECT_EQ(sys.query_value(platform::root_key::LocalMachine, uninstall_key, "DisplayName"), "Tool");
    EXPECT_EQ(sys.query_value(platform::root_key::LocalMachine, uninstall_key, "UninstallString"),
              "\"" + f + "qlun.exe\" \"" + f + "arkbs.vrz\"");
}

TEST_F(copy_engine_test, NoUninstallEntryWithoutTheSwitchOrWithoutASource) {
    struct {
        const char* name;
        bool switch_on;
        const char* install_path;
    } cases[] = {
        {"switch off", false, "[PROGRAM FILES]\\Vendor\\tool.exe"},
        {"no Program Files file", true, "[ROOT]\\Vendor\\tool.exe"},
    };
    for (const auto& c : cases) {
        install_test::sandbox machine;
        model::project_data p = install_test::make_project();
        p.act_info.register_uninstall = c.switch_on ? 1 : 0;
        p.files.files.insert_or_assign("tool", make_file({"tool.exe", c.install_path, "tool.exe"}));
        install_test::write_prepared_temp(machine, install_test::build({{"tool.exe", "T"}}), p);
        install::file_copy_engine engine(machine.sys(), screen, view, p, "");
        copy_next next = engine.start(caption);
        while (install::is_step(next)) next = engine.run(next);
        EXPECT_EQ(next, copy_next::Finished) << c.name;
        EXPECT_FALSE(machine.sys().key_exists(platform::root_key::LocalMachine, uninstall_key)) << c.name;
        EXPECT_FALSE(machine.exists("C:\\Program Files\\Vendor\\qlun.exe")) << c.name;
        EXPECT_FALSE(machine.exists("C:\\Vendor\\qlun.exe")) << c.name;
    }
}

TEST_F(copy_engine_test, AnInstallationOverAnEarlierOneReplacesItsKitAndKeepsItsRecord) {
    const std::string f = "C:\\Program Files\\Vendor\\";
    box.folders("C:\\Program Files\\Vendor");
    // What an earlier run left: the hidden, read-only kit and a record of a file this run keeps.
    box.put(f + "qlun.exe", "old uninstaller");
    box.put(f + "arkbs.vrz", "old project");
    box.put(f + "kept.dat", "kept");
    install::removal_record earlier;
    earlier.entries.push_back({"kept", "[PROGRAM FILES]\\Vendor\\kept.dat", f + "kept.dat"});
    earlier.entries.push_back({"tool", "[PROGRAM FILES]\\Vendor\\tool.exe", f + "TOOL.EXE"});
    box.put(f + "arkrm.vrz", earlier.serialize());
    box.sys().set_attributes(f + "qlun.exe", platform::ReadOnly | platform::Hidden | platform::Archive);
    box.sys().set_attributes(f + "arkbs.vrz", platform::Hidden | platform::Archive);
    box.sys().set_attributes(f + "arkrm.vrz", platform::Hidden);

    add("kept", {"kept.dat", "[PROGRAM FILES]\\Vendor\\kept.dat", "kept.dat", 4});
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    prepare({{"kept.dat", "new kept"}, {"tool.exe", "T"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);

    EXPECT_EQ(box.get(f + "qlun.exe"), install_test::uninstaller_image);
    EXPECT_EQ(box.get(f + "arkbs.vrz"), model::serialize_project(project));
    EXPECT_EQ(box.get(f + "kept.dat"), "kept");
    const auto record = install::removal_record::parse(model::as_bytes(*box.get(f + "arkrm.vrz")));
    EXPECT_EQ(record.entries, (std::vector<install::removal_entry>{
                                  {"kept", "[PROGRAM FILES]\\Vendor\\kept.dat", f + "kept.dat"},
                                  {"tool", "[PROGRAM FILES]\\Vendor\\tool.exe", f + "tool.exe"}}));
}

TEST_F(copy_engine_test, AProjectWithoutANameGetsItsKitButNoKeyOverTheUninstallList) {
    project.app_name.app_name.clear();
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    prepare({{"tool.exe", "T"}});
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);
    EXPECT_TRUE(box.exists("C:\\Program Files\\Vendor\\qlun.exe"));
    EXPECT_FALSE(box.sys().query_value(platform::root_key::LocalMachine,
                                       "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                       "DisplayName"));
}

// ---- temporary files ----

TEST_F(copy_engine_test, LeavesNothingOfThePackageInTheTemporaryFolder) {
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    prepare({{"tool.exe", std::string(5000, 't')}, {"unused.dat", "U"}, {"more.dat", "M"}}, 3);
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);
    // The installer's own copy stays, as the view's clean-up leaves it too.
    EXPECT_EQ(box.sys().list_directory(temp), std::vector<std::string>{"Setup.exe"});
}

TEST_F(copy_engine_test, NumberedVolumesAreDeletedUpToTheFirstGap) {
    prepare({});
    const std::string t = temp;
    box.put(t + "ray000.vrz", "0");
    box.put(t + "ray002.vrz", "2");
    box.put(t + "licence.lic", "l");
    box.sys().set_attributes(t + "licence.lic", platform::ReadOnly);
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    ASSERT_EQ(run_all(engine), copy_next::Finished);
    EXPECT_FALSE(box.exists(t + "ray000.vrz"));
    EXPECT_TRUE(box.exists(t + "ray002.vrz"));
    EXPECT_FALSE(box.exists(t + "licence.lic")) << "attributes are cleared before deleting";
}

// ---- package failures ----

struct package_failure_case {
    const char* name;
    const char* removed;  ///< file removed from T before the run
    const char* message;
};

class copy_package_failure : public copy_engine_test,
                             public ::testing::WithParamInterface<package_failure_case> {};

TEST_P(copy_package_failure, ShowsTheMessageAndTheFailurePage) {
    const auto& c = GetParam();
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    prepare({{"tool.exe", "T"}});
    ASSERT_EQ(box.sys().delete_file(temp + c.removed), platform::file_error::None);
    screen.answers = {platform::IdOk};
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    EXPECT_EQ(run_all(engine), copy_next::Failed);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, c.message);
    EXPECT_EQ(screen.boxes[0].caption, caption);
    EXPECT_EQ(screen.boxes[0].flags, platform::MbOk | platform::MbIconStop);
    EXPECT_EQ(view.failure_pages, 1);
    EXPECT_FALSE(screen.wait_cursor);
    EXPECT_FALSE(box.exists("C:\\Program Files\\Vendor\\tool.exe"));
}

INSTANTIATE_TEST_SUITE_P(cases, copy_package_failure,
                         ::testing::Values(package_failure_case{"package directory", "arkmtx.vrz",
                                                                install::package_file_failure_text},
                                           package_failure_case{"piece directory", "ark.vrz",
                                                                install::package_file_failure_text},
                                           package_failure_case{"joined volumes", "~vrncomp.tmp",
                                                                install::joined_volume_failure_text}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n) ch = ch == ' ' ? '_' : ch;
                             return n;
                         });

TEST_F(copy_engine_test, AVolumeNumberFarAheadIsReachedInOneVolumeStep) {
    add("tool", {"tool.exe", "[PROGRAM FILES]\\Vendor\\tool.exe", "tool.exe"});
    prepare({{"tool.exe", "T"}});
    // The piece directory claims that entry 001 starts on volume 100000.
    package::table_file_writer pieces;
    pieces.add({"000", 0, "", "", {}});
    pieces.add({"001", 100000, image.entries[0].packed_name, "", {}});
    box.put(temp + "ark.vrz", pieces.bytes());
    package::table_file_writer joined;
    joined.add(
        {"001", 100000, image.entries[0].packed_name, package::huffman_encode(model::as_bytes("T")), {}});
    box.put(temp + "~vrncomp.tmp", joined.bytes());
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    int entry_steps = 0;
    EXPECT_EQ(run_all(engine, &entry_steps), copy_next::Finished);
    EXPECT_EQ(entry_steps, 3);
    EXPECT_EQ(box.get("C:\\Program Files\\Vendor\\tool.exe"), "T");
}

TEST_F(copy_engine_test, AVolumeNumberGoingBackIsADamagedPackage) {
    add("a", {"a.txt", "[ROOT]\\a.txt", "a.txt"});
    add("b", {"b.txt", "[ROOT]\\b.txt", "b.txt"});
    prepare({{"a.txt", "A"}, {"b.txt", "B"}});
    package::table_file_writer pieces;
    pieces.add({"000", 0, "", "", {}});
    pieces.add({"001", 2, image.entries[0].packed_name, "", {}});
    pieces.add({"002", 1, image.entries[1].packed_name, "", {}});
    box.put(temp + "ark.vrz", pieces.bytes());
    screen.answers = {platform::IdOk};
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    EXPECT_EQ(run_all(engine), copy_next::Failed);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, install::package_file_failure_text);
    EXPECT_EQ(view.failure_pages, 1);
}

TEST_F(copy_engine_test, AnEntryMissingFromTheJoinedVolumesIsReportedNotSkipped) {
    add("a", {"a.txt", "[ROOT]\\a.txt", "a.txt"});
    add("b", {"b.txt", "[ROOT]\\b.txt", "b.txt"});
    prepare({{"a.txt", "A"}, {"b.txt", "B"}});
    // The joined volumes lost entry 002.
    package::table_file_writer joined;
    joined.add({"001", 1, image.entries[0].packed_name, package::huffman_encode(model::as_bytes("A")), {}});
    box.put(temp + "~vrncomp.tmp", joined.bytes());
    screen.answers = {platform::IdOk};
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    EXPECT_EQ(run_all(engine), copy_next::Failed);
    EXPECT_TRUE(box.exists("C:\\a.txt"));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, install::joined_volume_failure_text);
    EXPECT_EQ(view.failure_pages, 1);
}

}  // namespace
