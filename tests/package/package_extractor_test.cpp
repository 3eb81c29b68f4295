#include "package/package_extractor.hpp"

#include <gtest/gtest.h>

#include "package/package_builder.hpp"
#include "package/volume_join.hpp"
#include "tests/package/package_fixture.hpp"
#include "tests/package/package_memory_system.hpp"

namespace {

using package::extract_status;
using package_test::fixture_row;
using package_test::memory_system;

const std::string temp = "C:\\WINDOWS\\temp\\";

void install(memory_system& sys, const package_test::fixture_package& p) {
    sys.put(temp + "arkmtx.vrz", p.directory);
    sys.put(temp + "ark.vrz", p.pieces);
    sys.put(temp + "~vrncomp.tmp", p.joined);
}

/// The copy step's loop: open the piece table, a volume step, then one entry per tick,
/// stepping back by one at a volume change. Stops at anything but Done or VolumeChange.
struct engine_run {
    std::vector<std::string> placed;  ///< real names in order
    int volume_changes = 0;
    package::extract_result last;
    bool finished = false;
};

engine_run run_copy_step(memory_system& sys) {
    engine_run run;
    package::package_extractor extractor(sys, temp);
    if (!extractor.load_directory() || !extractor.open_piece_table() || !extractor.next_volume()) return run;
    std::int32_t index = 0;
    for (int ticks = 0; ticks < 10000; ++ticks) {
        ++index;
        if (index > extractor.last_entry_number()) {
            run.finished = true;
            extractor.close_all();
            return run;
        }
        run.last = extractor.extract_entry(index);
        if (run.last.status == extract_status::Done) {
            run.placed.push_back(run.last.real_name);
            // The copy engine moves the decoded file away.
            sys.files.erase(temp + run.last.real_name);
        } else if (run.last.status == extract_status::VolumeChange) {
            --index;
            ++run.volume_changes;
            if (!extractor.next_volume()) return run;
        } else {
            return run;
        }
    }
    ADD_FAILURE() << "the copy step does not end";
    return run;
}

/// Every path the extraction created lies directly in the temporary folder.
void expect_only_temp_writes(const memory_system& sys) {
    for (const auto& path : sys.created) {
        ASSERT_EQ(path.compare(0, temp.size(), temp), 0) << path;
        EXPECT_TRUE(package::is_plain_file_name(path.substr(temp.size()))) << path;
    }
}

std::string binary_data(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (auto& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>((seed >> 16) % 7 == 0 ? seed >> 8 : 'a' + (seed >> 24) % 4);
    }
    return s;
}

TEST(package_extractor, extracts_entry_007_and_its_neighbours_into_the_temporary_folder) {
    std::vector<fixture_row> rows;
    for (std::uint32_t i = 1; i <= 9; ++i) {
        rows.push_back({i, 1, "F" + std::to_string(i) + ".PK_", "", "file" + std::to_string(i) + ".dat",
                        binary_data(100 * i, i)});
    }
    rows[6].real_name = "表示.txt";  // the second byte of 表 is 0x5C, which is not a separator here
    memory_system sys;
    install(sys, package_test::make_fixture(rows));

    package::package_extractor extractor(sys, temp);
    ASSERT_TRUE(extractor.load_directory());
    EXPECT_EQ(extractor.directory().size(), 9u);
    ASSERT_TRUE(extractor.open_piece_table());
    EXPECT_EQ(extractor.last_entry_number(), 9) << "N - 1 with the record 000 counted in N";
    ASSERT_TRUE(extractor.next_volume());
    EXPECT_EQ(extractor.volume_counter(), 1u);

    auto r = extractor.extract_entry(7);
    ASSERT_EQ(r.status, extract_status::Done) << r.problem;
    EXPECT_EQ(r.real_name, "表示.txt");
    EXPECT_EQ(extractor.packed_path(), temp + "F7.PK_");
    ASSERT_NE(sys.get(temp + "表示.txt"), nullptr);
    EXPECT_EQ(*sys.get(temp + "表示.txt"), rows[6].data);
    EXPECT_EQ(*sys.get(temp + "F7.PK_"), package::huffman_encode(model::as_bytes(rows[6].data)));

    for (std::int32_t i = 1; i <= 9; ++i) {
        r = extractor.extract_entry(i);
        ASSERT_EQ(r.status, extract_status::Done) << i << ": " << r.problem;
        EXPECT_EQ(*sys.get(temp + r.real_name), rows[static_cast<std::size_t>(i - 1)].data);
    }
    expect_only_temp_writes(sys);
}

TEST(package_extractor, clears_the_attributes_of_files_it_replaces) {
    memory_system sys;
    install(sys, package_test::make_fixture({{1, 1, "A.PK_", "", "a.txt", "new"}}));
    sys.put(temp + "a.txt", "old");
    sys.attributes[temp + "a.txt"] = platform::ReadOnly | platform::Hidden;
    sys.put(temp + "A.PK_", "old");
    sys.attributes[temp + "A.PK_"] = platform::ReadOnly;
    package::package_extractor extractor(sys, temp);
    ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
    ASSERT_EQ(extractor.extract_entry(1).status, extract_status::Done);
    EXPECT_EQ(*sys.get(temp + "a.txt"), "new");
}

TEST(package_extractor, the_copy_loop_changes_volume_when_the_number_rises) {
    memory_system sys;
    install(sys, package_test::make_fixture({{1, 1, "A.PK_", "", "a", "1"},
                                             {2, 2, "B.PK_", "", "b", "2"},
                                             {3, 2, "C.PK_", "", "c", "3"},
                                             {4, 3, "D.PK_", "", "d", "4"}}));
    auto run = run_copy_step(sys);
    EXPECT_TRUE(run.finished) << run.last.problem;
    EXPECT_EQ(run.placed, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(run.volume_changes, 2);
}

TEST(package_extractor, reports_a_volume_change_and_the_same_entry_extracts_after_it) {
    memory_system sys;
    install(sys, package_test::make_fixture({{1, 2, "A.PK_", "", "a", "x"}}));
    package::package_extractor extractor(sys, temp);
    ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
    EXPECT_EQ(extractor.extract_entry(1).status, extract_status::VolumeChange);
    EXPECT_TRUE(sys.created.empty()) << "nothing is written before the volume matches";
    ASSERT_TRUE(extractor.next_volume());
    EXPECT_EQ(extractor.extract_entry(1).status, extract_status::Done);
}

struct damage_case {
    const char* what;
    std::vector<fixture_row> rows;
    extract_status expected;
    std::size_t placed_before;  ///< entries extracted before the fault
};

class package_extractor_damage : public ::testing::TestWithParam<damage_case> {};

TEST_P(package_extractor_damage, is_reported_and_nothing_leaves_the_temporary_folder) {
    const auto& c = GetParam();
    memory_system sys;
    install(sys, package_test::make_fixture(c.rows));
    auto run = run_copy_step(sys);
    EXPECT_FALSE(run.finished) << c.what;
    EXPECT_EQ(run.last.status, c.expected) << c.what << ": " << run.last.problem;
    EXPECT_EQ(run.placed.size(), c.placed_before) << c.what;
    EXPECT_FALSE(run.last.problem.empty());
    expect_only_temp_writes(sys);
}

fixture_row row(std::uint32_t number, std::uint32_t volume, std::string file, std::string real) {
    return {number, volume, std::move(file), "", std::move(real), "data " + std::to_string(number)};
}

fixture_row spoilt(fixture_row r, void (*spoil)(fixture_row&)) {
    spoil(r);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    packages, package_extractor_damage,
    ::testing::Values(
        damage_case{"a number missing from the piece directory",
                    {row(1, 1, "A.PK_", "a"), spoilt(row(2, 1, "B.PK_", "b"), [](fixture_row& r) { r.in_pieces = false; }),
                     row(3, 1, "C.PK_", "c")},
                    extract_status::Damaged, 1},
        damage_case{"volume numbers going backwards",
                    {row(1, 2, "A.PK_", "a"), row(2, 1, "B.PK_", "b")}, extract_status::Damaged, 1},
        damage_case{"a first volume number of 0", {row(1, 0, "A.PK_", "a")}, extract_status::Damaged, 0},
        damage_case{"a packed file name that climbs out", {row(1, 1, "..\\EVIL.EXE", "a")}, extract_status::Damaged, 0},
        damage_case{"a packed file name that is ..", {row(1, 1, "..", "a")}, extract_status::Damaged, 0},
        damage_case{"a real name with a path", {row(1, 1, "A.PK_", "..\\..\\autoexec.bat")}, extract_status::Damaged, 0},
        damage_case{"a real name with a slash", {row(1, 1, "A.PK_", "sub/a.txt")}, extract_status::Damaged, 0},
        damage_case{"a real name with a drive", {row(1, 1, "A.PK_", "C:a.txt")}, extract_status::Damaged, 0},
        damage_case{"a real name that overwrites the joined volumes",
                    {row(1, 1, "A.PK_", "~VRNCOMP.TMP")}, extract_status::Damaged, 0},
        damage_case{"a packed file that is the piece directory", {row(1, 1, "ark.vrz", "a")}, extract_status::Damaged, 0},
        damage_case{"a packed file named like its decoded file", {row(1, 1, "A.TXT", "a.txt")}, extract_status::Damaged, 0},
        damage_case{"a packed file that matches no packed_name",
                    {spoilt(row(1, 1, "A.PK_", "a"), [](fixture_row& r) { r.packed_name = "Z.PK_"; })},
                    extract_status::Damaged, 0},
        damage_case{"an entry missing from the joined volumes",
                    {row(1, 1, "A.PK_", "a"), spoilt(row(2, 1, "B.PK_", "b"), [](fixture_row& r) { r.in_volumes = false; })},
                    extract_status::NameNotFound, 1}));

TEST(package_extractor, a_packed_name_is_matched_exactly_before_it_is_searched_as_a_part) {
    // "A.PK_" is a part of "AA.PK_": the exact name must win whatever the map order.
    memory_system sys;
    install(sys, package_test::make_fixture({{1, 1, "AA.PK_", "", "long", "L"}, {2, 1, "A.PK_", "", "short", "S"}}));
    package::package_extractor extractor(sys, temp);
    ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
    auto r = extractor.extract_entry(1);
    ASSERT_EQ(r.status, extract_status::Done);
    EXPECT_EQ(r.real_name, "long");
    r = extractor.extract_entry(2);
    ASSERT_EQ(r.status, extract_status::Done);
    EXPECT_EQ(r.real_name, "short");
}

TEST(package_extractor, a_packed_name_that_is_part_of_the_file_name_still_matches_but_never_the_folder) {
    memory_system sys;
    // "temp" occurs in T itself; only "PK1" occurs in the packed file's own name.
    install(sys, package_test::make_fixture({{1, 1, "XPK1.TMP", "PK1", "one", "1"},
                                             {2, 1, "B.PK_", "temp", "two", "2"}}));
    package::package_extractor extractor(sys, temp);
    ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
    auto r = extractor.extract_entry(1);
    ASSERT_EQ(r.status, extract_status::Done);
    EXPECT_EQ(r.real_name, "one");
    EXPECT_EQ(extractor.extract_entry(2).status, extract_status::Damaged);
}

TEST(package_extractor, write_failures_are_reported) {
    for (int variant = 0; variant < 3; ++variant) {
        memory_system sys;
        install(sys, package_test::make_fixture({{1, 1, "A.PK_", "", "a.txt", std::string(5000, 'q')}}));
        if (variant == 0) sys.refuse_create = {temp + "A.PK_"};
        if (variant == 1) sys.refuse_create = {temp + "a.txt"};
        if (variant == 2) sys.write_budget = 10;
        package::package_extractor extractor(sys, temp);
        ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
        EXPECT_EQ(extractor.extract_entry(1).status, extract_status::WriteFailure) << variant;
    }
}

TEST(package_extractor, missing_or_malformed_files_fail_their_step) {
    const auto good = package_test::make_fixture({{1, 1, "A.PK_", "", "a", "x"}});
    {
        memory_system sys;
        package::package_extractor extractor(sys, temp);
        EXPECT_FALSE(extractor.load_directory());
        EXPECT_FALSE(extractor.open_piece_table());
        EXPECT_FALSE(extractor.next_volume());
        EXPECT_EQ(extractor.extract_entry(1).status, extract_status::Damaged) << "no entry 1 in no table";
    }
    {
        memory_system sys;
        install(sys, good);
        sys.put(temp + "arkmtx.vrz", "\x01\x00\xFF\xFF\x00\x00\x05\x00junk");
        sys.put(temp + "ark.vrz", std::string("\x00\x00\x00\x00", 4));
        sys.put(temp + "~vrncomp.tmp", "\x05\x00\x00\x00");
        package::package_extractor extractor(sys, temp);
        EXPECT_FALSE(extractor.load_directory());
        EXPECT_FALSE(extractor.open_piece_table()) << "a count of 0 leaves no slot";
        EXPECT_FALSE(extractor.next_volume());
    }
    {
        memory_system sys;
        install(sys, good);
        package::package_extractor extractor(sys, temp);
        ASSERT_TRUE(extractor.load_directory() && extractor.open_piece_table() && extractor.next_volume());
        EXPECT_EQ(extractor.extract_entry(0).status, extract_status::Damaged);
        EXPECT_EQ(extractor.extract_entry(2).status, extract_status::Damaged);
    }
}

TEST(package_extractor, a_built_package_with_several_volumes_installs_through_the_copy_loop) {
    std::vector<package::packed_file> files;
    for (unsigned i = 0; i < 12; ++i) {
        files.push_back({"file" + std::to_string(i) + ".bin", "", 0, binary_data(700 + 300 * i, 40 + i)});
    }
    package::build_options options;
    options.volume_size = 2000;
    const auto image = package::build_package(files, options);
    ASSERT_GT(image.volumes.size(), 3u);

    memory_system sys;
    sys.put(temp + "arkmtx.vrz", image.package_directory);
    sys.put(temp + "ark.vrz", image.piece_directory);
    for (std::uint32_t i = 0; i < image.volumes.size(); ++i) {
        sys.put(temp + package::volume_file_name(i), image.volumes[i]);
    }
    ASSERT_TRUE(package::join_volumes(sys, temp, image.header.volume_count));
    ASSERT_EQ(*sys.get(temp + "~vrncomp.tmp"), image.joined);

    std::map<std::string, std::string> decoded;
    auto run = run_copy_step(sys);
    ASSERT_TRUE(run.finished) << run.last.problem;
    ASSERT_EQ(run.placed.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(run.placed[i], files[i].real_name);
    EXPECT_EQ(run.volume_changes, static_cast<int>(image.entries.back().volume) - 1);
    EXPECT_GT(run.volume_changes, 1);
}

}  // namespace

namespace {

TEST(package_extractor, a_jump_in_volume_numbers_takes_one_volume_step) {
    memory_system sys;
    install(sys, package_test::make_fixture({{1, 1, "A.PK_", "", "a", "1"},
                                             {2, 4000000000u, "B.PK_", "", "b", "2"},
                                             {3, 4000000000u, "C.PK_", "", "c", "3"}}));
    auto run = run_copy_step(sys);
    EXPECT_TRUE(run.finished) << run.last.problem;
    EXPECT_EQ(run.placed, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(run.volume_changes, 1);
}

}  // namespace
