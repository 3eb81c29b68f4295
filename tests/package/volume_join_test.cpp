#include "package/volume_join.hpp"

#include <gtest/gtest.h>

#include "package/temp_folder.hpp"
#include "package/volume_header.hpp"
#include "tests/package/package_memory_system.hpp"

namespace {

using package_test::memory_system;

std::span<const std::byte> bytes_of(const std::string& s) {
    return {reinterpret_cast<const std::byte*>(s.data()), s.size()};
}

std::string filled(std::size_t n, char seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seed + i * 7);
    return s;
}

TEST(volume_header, reads_four_little_endian_values_and_writes_them_back) {
    const std::string bytes("\x03\x00\x00\x00\x10\x20\x00\x00\xFF\xFF\xFF\xFF\x00\x00\x00\x80", 16);
    auto header = package::parse_volume_header(bytes_of(bytes));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->volume_count, 3u);
    EXPECT_EQ(header->value_1, 0x2010u);
    EXPECT_EQ(header->value_2, 0xFFFFFFFFu);
    EXPECT_EQ(header->required_bytes, 0x80000000u) << "required_bytes is unsigned";
    EXPECT_EQ(package::serialize_volume_header(*header), bytes);
    EXPECT_FALSE(package::parse_volume_header(bytes_of(bytes.substr(0, 15))));
    EXPECT_TRUE(package::parse_volume_header(bytes_of(bytes + "extra")));
}

TEST(volume_header, read_from_a_file_fails_when_it_is_missing_or_short) {
    memory_system sys;
    sys.put("arkci.vrz", package::serialize_volume_header({2, 0, 0, 1000}));
    sys.put("short.vrz", "\x02\x00\x00");
    auto header = package::read_volume_header(sys, "arkci.vrz");
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, (package::volume_header{2, 0, 0, 1000}));
    EXPECT_FALSE(package::read_volume_header(sys, "short.vrz"));
    EXPECT_FALSE(package::read_volume_header(sys, "none.vrz"));
}

TEST(volume_join, names_volumes_with_three_digits) {
    EXPECT_EQ(package::volume_file_name(0), "ray000.vrz");
    EXPECT_EQ(package::volume_file_name(12), "ray012.vrz");
    EXPECT_EQ(package::volume_file_name(1234), "ray1234.vrz");
}

TEST(volume_join, appends_the_volumes_in_order_in_blocks_of_16384_bytes) {
    memory_system sys;
    const std::string t = "C:\\WINDOWS\\temp\\";
    const std::string v0 = filled(16384 * 2, 'a');  // an exact multiple of the block size
    const std::string v1 = filled(40000, 'b');
    const std::string v2 = filled(5, 'c');
    sys.put(t + "ray000.vrz", v0);
    sys.put(t + "ray001.vrz", v1);
    sys.put(t + "ray002.vrz", v2);
    std::vector<std::uint32_t> seen;
    ASSERT_TRUE(package::join_volumes(sys, t, 3, [&](std::uint32_t i) { seen.push_back(i); }));
    EXPECT_EQ(*sys.get(t + "~vrncomp.tmp"), v0 + v1 + v2);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0, 1, 2}));
    for (std::size_t n : sys.write_sizes) EXPECT_LE(n, 16384u);
}

TEST(volume_join, a_volume_missing_from_the_temporary_folder_ends_the_joining) {
    memory_system sys;
    sys.put("ray000.vrz", "first");
    sys.put("ray002.vrz", "third");
    sys.put("~vrncomp.tmp", "an old joined file");
    ASSERT_TRUE(package::join_volumes(sys, "", 3));
    EXPECT_EQ(*sys.get("~vrncomp.tmp"), "first");
}

TEST(volume_join, no_volumes_make_an_empty_joined_file) {
    memory_system sys;
    ASSERT_TRUE(package::join_volumes(sys, "T\\", 0));
    EXPECT_EQ(*sys.get("T\\~vrncomp.tmp"), "");
}

TEST(volume_join, fails_when_the_joined_file_cannot_be_created_or_written) {
    memory_system sys;
    sys.put("ray000.vrz", filled(20000, 'x'));
    sys.refuse_create = {"~vrncomp.tmp"};
    EXPECT_FALSE(package::join_volumes(sys, "", 1));

    memory_system full;
    full.put("ray000.vrz", filled(20000, 'x'));
    full.write_budget = 16384;
    EXPECT_FALSE(package::join_volumes(full, "", 1)) << "a full disk is not a successful join";
}

struct temp_case {
    int platform;
    const char* windows;
    const char* expected;
};

class temp_folder_test : public ::testing::TestWithParam<temp_case> {};

TEST_P(temp_folder_test, follows_the_platform) {
    memory_system sys;
    sys.platform = GetParam().platform;
    sys.windows = GetParam().windows;
    EXPECT_EQ(package::temp_folder(sys), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(platforms, temp_folder_test,
                         ::testing::Values(temp_case{1, "C:\\WINDOWS", "C:\\WINDOWS\\temp\\"},
                                           temp_case{2, "D:\\WINNT", "D:\\temp\\"},
                                           temp_case{3, "C:\\WINDOWS", ""}));

}  // namespace
