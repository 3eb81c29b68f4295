#include "install/installation_text.hpp"

#include <gtest/gtest.h>

namespace {

using install::ends_with_backslash;
using install::first_backslash;
using install::last_backslash;

constexpr auto npos = std::string_view::npos;

struct backslash_case {
    const char* what;
    std::string text;
    std::size_t first;
    std::size_t last;
    bool ends;
};

class backslash_search : public testing::TestWithParam<backslash_case> {};

TEST_P(backslash_search, skips_the_trail_bytes_of_double_byte_characters) {
    const auto& c = GetParam();
    EXPECT_EQ(first_backslash(c.text), c.first);
    EXPECT_EQ(last_backslash(c.text), c.last);
    EXPECT_EQ(ends_with_backslash(c.text), c.ends);
}

// 表 is 95 5C and ソ is 83 5C: their second byte is the byte of a backslash.
INSTANTIATE_TEST_SUITE_P(
    cases, backslash_search,
    testing::Values(backslash_case{"ascii", "C:\\a\\b", 2, 4, false},
                    backslash_case{"trailing", "C:\\a\\", 2, 4, true},
                    backslash_case{"trail_byte_at_the_end", "C:\\表", 2, 2, false},
                    backslash_case{"trail_byte_only", "ソ", npos, npos, false},
                    backslash_case{"trail_byte_before_a_backslash", "表\\x", 2, 2, false},
                    backslash_case{"half_width_katakana_are_single_bytes", "ｿ\\", 1, 1, true},
                    backslash_case{"lead_byte_cut_off", "a\\\x95", 1, 1, false},
                    backslash_case{"empty", "", npos, npos, false}),
    [](const testing::TestParamInfo<backslash_case>& info) { return std::string(info.param.what); });

TEST(backslash_search, first_starts_at_a_position) {
    EXPECT_EQ(first_backslash("表\\a\\b", 3), 4u);
    EXPECT_EQ(first_backslash("表\\a\\b", 5), npos);
}

}  // namespace
