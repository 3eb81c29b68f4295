#include "install/placement.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using install::component_state;
using install::file_origin;
using install::overwrite_verdict;
using platform::civil_time;

model::date_time stamp(const civil_time& t) { return install::from_local_time(t); }

model::file_object file(const std::string& install_path, const std::string& sub_path = {}) {
    model::file_object f;
    f.install_path = install_path;
    f.sub_path = sub_path;
    return f;
}

// ---- times ----

TEST(local_time, ConvertsDaysSinceTheEpochWithTheFractionAsTimeOfDay) {
    struct {
        double days;
        civil_time expected;
    } cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0}},
        {36161.5, {1999, 1, 1, 12, 0, 0}},
        {36175.0, {1999, 1, 15, 0, 0, 0}},
        // Before the epoch the fraction still counts forward from midnight.
        {-1.25, {1899, 12, 29, 6, 0, 0}},
        {2.0 / 86400, {1899, 12, 30, 0, 0, 2}},
        // Rounded to the nearest second, carried into the next day.
        {36161.0 + 86399.6 / 86400, {1999, 1, 2, 0, 0, 0}},
        {36161.0 + 59.4 / 86400, {1999, 1, 1, 0, 0, 59}},
        {-109205.0, {1601, 1, 1, 0, 0, 0}},
        {2958465.0 + 0.5, {9999, 12, 31, 12, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto t = install::to_local_time({0, c.days});
        ASSERT_TRUE(t) << c.days;
        EXPECT_EQ(*t, c.expected) << c.days;
    }
}

TEST(local_time, RefusesStampsThatAreNoDate) {
    const model::date_time refused[] = {
        {1, 36161.0},       // invalid
        {2, 36161.0},       // null
        {0, std::nan("")},  // not a number
        {0, -109206.0},     // before 1601
        {0, 2958466.0},     // after 9999
        {0, 1e300},         // far out
    };
    for (const auto& s : refused) EXPECT_FALSE(install::to_local_time(s)) << s.status << " " << s.days;
}

TEST(local_time, RoundTripsThroughTheStoredForm) {
    const civil_time times[] = {{1998, 12, 31, 23, 59, 59}, {1899, 12, 29, 6, 30, 1}, {2024, 2, 29, 0, 0, 0}};
    for (const auto& t : times) EXPECT_EQ(install::to_local_time(stamp(t)), t);
}

// ---- destinations ----

struct target_case {
    const char* name;
    const char* destination_folder;
    file_origin origin;
    const char* install_path;
    const char* sub_path;
    const char* destination;
    const char* folders_path;
};

const target_case target_cases[] = {
    {"no folder chosen: the macro path", "", file_origin::FilesMap, "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe",
     "tool.exe", "C:\\Program Files\\Vendor\\Tool\\tool.exe", "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe"},
    {"no folder chosen: folder file too", "", file_origin::FolderTree, "[SYSTEM]\\x.dll", "bin\\x.dll",
     "C:\\WINDOWS\\System\\x.dll", "[SYSTEM]\\x.dll"},
    {"chosen folder: sub_path below it", "C:\\Tools\\App", file_origin::FolderTree,
     "[PROGRAM FILES]\\V\\bin\\a.exe", "bin\\a.exe", "C:\\Tools\\App\\bin\\a.exe",
     "C:\\Tools\\App\\bin\\a.exe"},
    {"chosen folder: loose file of another macro", "D:\\App", file_origin::FilesMap, "[ROOT]\\Tool\\a.txt",
     "a.txt", "D:\\App\\a.txt", "D:\\App\\a.txt"},
    {"chosen drive root", "C:", file_origin::FolderTree, "[PROGRAM FILES]\\V\\bin\\a.exe", "bin\\a.exe",
     "C:\\bin\\a.exe", "C:\\bin\\a.exe"},
    {"Windows file keeps its place", "D:\\App", file_origin::FilesMap, "[WINDOWS]\\Fonts\\x.ttf", "x.ttf",
     "C:\\WINDOWS\\Fonts\\x.ttf", "C:\\WINDOWS\\Fonts\\x.ttf"},
    {"System file keeps its place", "D:\\App", file_origin::FilesMap, "[SYSTEM]\\x.dll", "lib\\x.dll",
     "C:\\WINDOWS\\System\\x.dll", "C:\\WINDOWS\\System\\x.dll"},
    {"Windows folder file takes its sub_path", "D:\\App", file_origin::FolderTree, "[WINDOWS]\\Fonts\\x.ttf",
     "Fonts2\\x.ttf", "C:\\WINDOWS\\Fonts2\\x.ttf", "C:\\WINDOWS\\Fonts2\\x.ttf"},
    {"the last macro decides", "D:\\App", file_origin::FilesMap, "[ROOT]\\[SYSTEM]", "s.dll",
     "C:\\WINDOWS\\System\\YSTEM]", "C:\\WINDOWS\\System\\YSTEM]"},
};

class placement_target_test : public ::testing::TestWithParam<target_case> {};

TEST_P(placement_target_test, PlacesTheFile) {
    const auto& c = GetParam();
    const auto target = install::placement_target_of(file(c.install_path, c.sub_path), c.origin,
                                                     c.destination_folder, "C:\\WINDOWS");
    EXPECT_EQ(target.destination, c.destination) << c.name;
    EXPECT_EQ(target.folders_path, c.folders_path) << c.name;
}

INSTANTIATE_TEST_SUITE_P(cases, placement_target_test, ::testing::ValuesIn(target_cases));

// ---- overwrite rules ----

struct overwrite_case {
    const char* name;
    std::int16_t mode;
    bool exists;
    civil_time existing_written;
    std::uint64_t existing_size;
    civil_time project_written;
    std::int32_t project_size;
    overwrite_verdict expected;
};

constexpr civil_time jan15{1999, 1, 15, 12, 0, 0};

const overwrite_case overwrite_cases[] = {
    {"mode 1, missing", 1, false, {}, 0, jan15, 0, overwrite_verdict::Copy},
    {"mode 1, older by a year boundary",
     1,
     true,
     {1998, 12, 31, 23, 0, 0},
     0,
     jan15,
     0,
     overwrite_verdict::Copy},
    {"mode 1, same second", 1, true, jan15, 0, jan15, 0, overwrite_verdict::Copy},
    {"mode 1, one second later",
     1,
     true,
     {1999, 1, 15, 12, 0, 1},
     0,
     jan15,
     0,
     overwrite_verdict::ExistingIsNewer},
    {"mode 1, later day earlier hour",
     1,
     true,
     {1999, 1, 16, 1, 0, 0},
     0,
     {1999, 1, 15, 23, 0, 0},
     0,
     overwrite_verdict::ExistingIsNewer},
    {"mode 1, earlier month later day",
     1,
     true,
     {1999, 1, 31, 0, 0, 0},
     0,
     {1999, 2, 1, 0, 0, 0},
     0,
     overwrite_verdict::Copy},
    {"mode 2, same size", 2, true, jan15, 100, jan15, 100, overwrite_verdict::SameSize},
    {"mode 2, other size", 2, true, jan15, 101, jan15, 100, overwrite_verdict::Copy},
    {"mode 2, missing", 2, false, {}, 0, jan15, 0, overwrite_verdict::Copy},
    {"mode 2, size beyond 2 GB", 2, true, jan15, 0xFFFFFFFFu, jan15, -1, overwrite_verdict::SameSize},
    {"mode 4, exists", 4, true, jan15, 0, jan15, 0, overwrite_verdict::Exists},
    {"mode 4, missing", 4, false, {}, 0, jan15, 0, overwrite_verdict::Copy},
    {"mode 0 always copies", 0, true, {2030, 1, 1, 0, 0, 0}, 5, jan15, 5, overwrite_verdict::Copy},
    {"mode 3 always copies", 3, true, {2030, 1, 1, 0, 0, 0}, 5, jan15, 5, overwrite_verdict::Copy},
    {"mode -1 always copies", -1, true, {2030, 1, 1, 0, 0, 0}, 5, jan15, 5, overwrite_verdict::Copy},
};

class overwrite_test : public ::testing::TestWithParam<overwrite_case> {};

TEST_P(overwrite_test, DecidesByMode) {
    const auto& c = GetParam();
    model::file_object f;
    f.overwrite_mode = c.mode;
    f.modified_stamp = stamp(c.project_written);
    f.file_size = c.project_size;
    std::optional<platform::file_status> existing;
    if (c.exists) {
        existing.emplace();
        existing->size = c.existing_size;
        existing->last_write = c.existing_written;
    }
    EXPECT_EQ(install::decide_overwrite(f, existing), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(cases, overwrite_test, ::testing::ValuesIn(overwrite_cases));

TEST(overwrite, AFolderAtTheDestinationIsNoFile) {
    model::file_object f;
    f.overwrite_mode = 4;
    platform::file_status folder;
    folder.is_directory = true;
    EXPECT_EQ(install::decide_overwrite(f, folder), overwrite_verdict::Copy);
}

TEST(overwrite, ModeOneWithoutAUsableStampCopies) {
    model::file_object f;
    f.overwrite_mode = 1;
    f.modified_stamp = {2, 0.0};
    platform::file_status existing;
    existing.last_write = {2030, 1, 1, 0, 0, 0};
    EXPECT_EQ(install::decide_overwrite(f, existing), overwrite_verdict::Copy);
}

// ---- uninstall folder ----

TEST(uninstall_source, IsSetOnceFromTheFirstProgramFilesFile) {
    std::string source;
    install::note_uninstall_source(source, file("[WINDOWS]\\x.dll"), "");
    EXPECT_EQ(source, "");
    install::note_uninstall_source(source, file("[ROOT]\\Program Files\\x.exe"), "");
    EXPECT_EQ(source, "");
    install::note_uninstall_source(source, file("[PROGRAM FILES]\\Vendor\\Tool\\tool.exe"), "");
    EXPECT_EQ(source, "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe");
    install::note_uninstall_source(source, file("[PROGRAM FILES]\\Other\\o.exe"), "");
    EXPECT_EQ(source, "[PROGRAM FILES]\\Vendor\\Tool\\tool.exe");
}

TEST(uninstall_source, IsTheChosenFolderWhereverItIs) {
    for (const char* chosen : {"D:\\Apps\\Tool", "C:\\Program Files\\Tool", "C:"}) {
        std::string source;
        install::note_uninstall_source(source, file("[WINDOWS]\\x.dll"), chosen);
        EXPECT_EQ(source, chosen);
    }
}

TEST(uninstall_folder, IsDerivedFromTheSourceOrIsTheChosenFolder) {
    struct {
        const char* source;
        const char* chosen;
        const char* folder;
    } cases[] = {
        {"[PROGRAM FILES]\\Vendor\\Tool\\tool.exe", "", "C:\\Program Files\\Vendor\\Tool\\"},
        {"[PROGRAM FILES]\\tool.exe", "", "C:\\Program Files\\"},
        {"D:\\Apps\\Tool", "D:\\Apps\\Tool", "D:\\Apps\\Tool\\"},
        {"C:", "C:", "C:\\"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(install::uninstall_folder(c.source, c.chosen, "C:\\WINDOWS"), c.folder) << c.source;
    }
}

TEST(uninstall_command, QuotesBothPaths) {
    EXPECT_EQ(install::uninstall_command("C:\\Program Files\\Vendor\\Tool\\"),
              "\"C:\\Program Files\\Vendor\\Tool\\qlun.exe\" \"C:\\Program Files\\Vendor\\Tool\\arkbs.vrz\"");
    EXPECT_EQ(install::uninstall_key("Tool"),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
}

TEST(same_path, IgnoresTheCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(install::same_path("C:\\Tool\\A.EXE", "c:\\tool\\a.exe"));
    EXPECT_FALSE(install::same_path("C:\\Tool\\a.exe", "C:\\Tool\\b.exe"));
    EXPECT_FALSE(install::same_path("C:\\a", "C:\\a\\"));
    // The trail byte of a double-byte character is no letter: \x83\x41 and \x83\x61 differ.
    EXPECT_FALSE(install::same_path("C:\\\x83\x41", "C:\\\x83\x61"));
    EXPECT_TRUE(install::same_path("C:\\\x83\x41X", "c:\\\x83\x41x"));
}

// ---- components and the walk ----

std::shared_ptr<model::compo_file_object> component(std::int16_t id, std::uint32_t selected) {
    auto c = std::make_shared<model::compo_file_object>();
    c->component_id = id;
    c->selected = selected;
    return c;
}

TEST(component_state, ComesFromTheMapOrTheGivenSelection) {
    model::setup_files files;
    files.component_map.insert_or_assign(1, component(1, 1));
    files.component_map.insert_or_assign(2, component(2, 0));
    files.component_map.insert_or_assign(3, component(3, 0xFFFF));
    EXPECT_EQ(install::component_state_of(files, 1), component_state::Selected);
    EXPECT_EQ(install::component_state_of(files, 2), component_state::Unselected);
    EXPECT_EQ(install::component_state_of(files, 3), component_state::Selected);
    EXPECT_EQ(install::component_state_of(files, 4), component_state::NotInMap);
    EXPECT_TRUE(install::component_installs(component_state::NotInMap));
    EXPECT_FALSE(install::component_installs(component_state::Unselected));

    const install::component_selection chosen{2};
    EXPECT_EQ(install::component_state_of(files, 1, &chosen), component_state::Unselected);
    EXPECT_EQ(install::component_state_of(files, 2, &chosen), component_state::Selected);
    EXPECT_EQ(install::component_state_of(files, 4, &chosen), component_state::NotInMap);
}

std::shared_ptr<model::file_object> named(const std::string& source, std::int16_t component_id = 0) {
    auto f = std::make_shared<model::file_object>();
    f->source_name = source;
    f->component_id = component_id;
    return f;
}

TEST(candidate_walk, VisitsLooseFilesThenFolderTreesInMapOrder) {
    model::setup_files files;
    // Keys chosen so that insertion order differs from visiting order.
    for (const char* key : {"k1", "k2", "k3", "k4", "k5"}) files.files.insert_or_assign(key, named("a.dll"));
    files.files.insert_or_assign("other", named("b.dll"));
    auto top = std::make_shared<model::folder_object>();
    auto sub = std::make_shared<model::folder_object>();
    sub->files.insert_or_assign("deep", named("a.dll", 7));
    top->subfolders.insert_or_assign("sub", sub);
    top->files.insert_or_assign("own", named("a.dll", 5));
    files.folders.insert_or_assign("top", top);
    files.component_map.insert_or_assign(5, component(5, 0));

    std::vector<std::string> expected;
    files.files.for_each([&](const std::string& key, const model::file_object& f) {
        if (f.source_name == "a.dll") expected.push_back(key);
    });
    expected.push_back("own");
    expected.push_back("deep");

    std::vector<std::string> seen;
    std::vector<component_state> states;
    EXPECT_TRUE(install::for_each_candidate(
        files, "a.dll",
        [&](const std::string& key, const model::file_object&, file_origin, component_state state) {
            seen.push_back(key);
            states.push_back(state);
            return true;
        }));
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(states[5], component_state::Unselected);
    EXPECT_EQ(states[6], component_state::NotInMap);

    // Stopping ends the walk at once.
    int calls = 0;
    EXPECT_FALSE(install::for_each_candidate(
        files, "a.dll", [&](const std::string&, const model::file_object&, file_origin, component_state) {
            return ++calls < 2;
        }));
    EXPECT_EQ(calls, 2);
}

}  // namespace

namespace {

TEST(uninstall_folder_double_byte, TheLastBackslashIsAWholeCharacter) {
    EXPECT_EQ(install::uninstall_folder("[PROGRAM FILES]\\ソフト\\表.exe", "", "C:\\WINDOWS"),
              "C:\\Program Files\\ソフト\\");
    EXPECT_EQ(install::uninstall_folder("[PROGRAM FILES]\\表", "", "C:\\WINDOWS"), "C:\\Program Files\\");
}

}  // namespace

namespace {

TEST(placed_files, KeepsOneEntryPerPathReplacedWhereItStands) {
    install::removal_record earlier;
    earlier.entries = {{"a", "[ROOT]\\a", "C:\\A.TXT"}, {"b", "[ROOT]\\b", "C:\\b.txt"}};
    install::placed_files placed(earlier);
    placed.add({"a2", "[ROOT]\\a", "c:\\a.txt"});
    placed.add({"c", "[ROOT]\\c", "C:\\c.txt"});
    // Different characters whose trail bytes differ only in ASCII case stay apart.
    placed.add({"d", "", "C:\\\x83\x41"});
    placed.add({"e", "", "C:\\\x83\x61"});
    EXPECT_EQ(placed.record().entries, (std::vector<install::removal_entry>{{"a2", "[ROOT]\\a", "c:\\a.txt"},
                                                                            {"b", "[ROOT]\\b", "C:\\b.txt"},
                                                                            {"c", "[ROOT]\\c", "C:\\c.txt"},
                                                                            {"d", "", "C:\\\x83\x41"},
                                                                            {"e", "", "C:\\\x83\x61"}}));
}

}  // namespace
