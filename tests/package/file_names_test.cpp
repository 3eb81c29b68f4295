#include "package/file_names.hpp"

#include <gtest/gtest.h>

namespace {

struct name_case {
    std::string name;
    bool plain;
};

class plain_file_name : public ::testing::TestWithParam<name_case> {};

TEST_P(plain_file_name, keeps_names_inside_their_folder) {
    EXPECT_EQ(package::is_plain_file_name(GetParam().name), GetParam().plain) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    names, plain_file_name,
    ::testing::Values(name_case{"readme.txt", true}, name_case{"..foo", true}, name_case{"a..b", true},
                      name_case{"表示.txt", true},   // 表 is 95 5C: its trail byte is no separator
                      name_case{"ソフト", true},     // ソ is 83 5C
                      name_case{"", false}, name_case{".", false}, name_case{"..", false},
                      name_case{". .", false}, name_case{"..\\x", false}, name_case{"a\\b", false},
                      name_case{"a/b", false}, name_case{"C:x", false}, name_case{"\\x", false},
                      name_case{std::string("a\tb"), false},
                      name_case{std::string("a\x81"), true}));  // a lone lead byte at the end

TEST(reserved_temp_name, covers_the_files_the_copy_step_still_needs) {
    for (const char* name : {"ark.vrz", "ARK.VRZ", "~vrncomp.tmp", "arkmtx.vrz", "Arkbs.vrz", "QLUN.EXE"}) {
        EXPECT_TRUE(package::is_reserved_temp_name(name)) << name;
    }
    for (const char* name : {"ark.vr", "arkci.vrz", "ray000.vrz", "setup.exe"}) {
        EXPECT_FALSE(package::is_reserved_temp_name(name)) << name;
    }
}

}  // namespace
