#include "package/package_reader.hpp"

#include <gtest/gtest.h>

#include "package/package_builder.hpp"
#include "tests/package/package_fixture.hpp"

namespace {

using package_test::fixture_row;

std::span<const std::byte> bytes_of(const std::string& s) { return model::as_bytes(s); }

package::package_contents read(const package_test::fixture_package& p) {
    return package::read_package(bytes_of(p.directory), bytes_of(p.pieces), bytes_of(p.joined));
}

bool mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const auto& p : problems) {
        if (p.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(package_reader, reads_a_built_package_without_problems) {
    std::vector<package::packed_file> files{{"a.txt", "", 0, "alpha"}, {"b.txt", "B.PK_", 3, "beta"}};
    const auto image = package::build_package(files, {});
    const auto contents =
        package::read_package(bytes_of(image.package_directory), bytes_of(image.piece_directory), bytes_of(image.joined));
    EXPECT_TRUE(contents.problems.empty()) << contents.problems.front();
    ASSERT_EQ(contents.entries.size(), 2u);
    const auto& b = contents.entries[1];
    EXPECT_EQ(b.name, "002");
    EXPECT_TRUE(b.usable);
    EXPECT_EQ(b.file_name, "B.PK_");
    ASSERT_NE(b.object, nullptr);
    EXPECT_EQ(b.object->real_name, "b.txt");
    EXPECT_EQ(b.object->packed_value, 3);
    EXPECT_EQ(package::huffman_decode(b.packed), "beta");
    EXPECT_EQ(contents.entries[0].file_name, package::generated_packed_name(1));
}

struct problem_case {
    const char* what;
    std::vector<fixture_row> rows;
    const char* expected;  ///< a part of the problem text
};

class package_reader_problems : public ::testing::TestWithParam<problem_case> {};

TEST_P(package_reader_problems, are_each_reported) {
    const auto contents = read(package_test::make_fixture(GetParam().rows));
    EXPECT_TRUE(mentions(contents.problems, GetParam().expected))
        << GetParam().what << ": " << (contents.problems.empty() ? "no problem" : contents.problems.front());
}

fixture_row row(std::uint32_t number, std::uint32_t volume, std::string file, std::string real) {
    return {number, volume, file + ".PK_", "", real + ".txt", "data"};
}

INSTANTIATE_TEST_SUITE_P(
    packages, package_reader_problems,
    ::testing::Values(
        problem_case{"missing piece",
                     {row(1, 1, "A", "a"), {2, 1, "B.PK_", "", "b.txt", "x", false}, row(3, 1, "C", "c")},
                     "entry 002 is missing from the piece directory"},
        problem_case{"missing volume bytes",
                     {row(1, 1, "A", "a"), {2, 1, "B.PK_", "", "b.txt", "x", true, false}},
                     "entry 002 is missing from the joined volumes"},
        problem_case{"volumes backwards", {row(1, 2, "A", "a"), row(2, 1, "B", "b")}, "installer cannot go back"},
        problem_case{"unsafe real name", {row(1, 1, "A", "..\\a")}, "not a plain file name"},
        problem_case{"packed and decoded file alike", {{1, 1, "A.TXT", "", "a.txt", "x"}}, "not a plain file name"},
        problem_case{"unsafe packed name", {row(1, 1, "..\\A", "a")}, "not a plain file name"},
        problem_case{"no packed_name", {{1, 1, "A", "Z", "a", "x"}}, "is not in the package directory"},
        problem_case{"unused directory object", {row(1, 1, "A", "a"), {2, 1, "B.PK_", "", "b.txt", "x", false, false}},
                     "belongs to no packed entry"}));

TEST(package_reader, a_cut_joined_file_reports_entries_beyond_its_end) {
    auto p = package_test::make_fixture({row(1, 1, "A", "a"), row(2, 1, "B", "b")});
    EXPECT_TRUE(read(p).problems.empty());
    p.joined.resize(p.joined.size() - 2);
    const auto contents = read(p);
    EXPECT_TRUE(mentions(contents.problems, "entry 002 lies beyond the end of the joined volumes"));
    EXPECT_TRUE(contents.entries[0].usable);
    EXPECT_FALSE(contents.entries[1].usable);

    p.joined.resize(10);
    EXPECT_TRUE(mentions(read(p).problems, "the joined volumes are truncated"));
}

TEST(package_reader, malformed_files_are_problems_not_exceptions) {
    const std::string junk = "\x07\x00\x00\x00garbage";
    const auto contents = package::read_package(bytes_of(junk), bytes_of(junk), bytes_of(junk));
    EXPECT_TRUE(mentions(contents.problems, "arkmtx.vrz cannot be read"));
    EXPECT_TRUE(mentions(contents.problems, "ark.vrz is not a table file"));
    EXPECT_TRUE(contents.entries.empty());
}

}  // namespace
