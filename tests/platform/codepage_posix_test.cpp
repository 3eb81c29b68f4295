#include <gtest/gtest.h>

#include "platform/codepage.hpp"

namespace {

// Narrow literals are code page 932; u8 literals keep UTF-8.
std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

struct both_ways {
    const char* name;
    std::string cp932;
    std::string utf8;
};

class codepage_valid : public ::testing::TestWithParam<both_ways> {};

TEST_P(codepage_valid, ConvertsBothWays) {
    const auto& c = GetParam();
    EXPECT_EQ(platform::cp932_to_utf8(c.cp932), c.utf8);
    EXPECT_EQ(platform::utf8_to_cp932(c.utf8), c.cp932);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, codepage_valid,
    ::testing::Values(both_ways{"Empty", "", ""}, both_ways{"Ascii", "abc", "abc"},
                      both_ways{"BackslashAndTilde", "C:\\a~b", "C:\\a~b"},
                      both_ways{"Kanji", "日本語", utf8(u8"日本語")},
                      both_ways{"HalfWidthKatakana", "ﾌｧｲﾙ", utf8(u8"ﾌｧｲﾙ")},
                      both_ways{"ZeroByte", std::string("a\0b", 3), std::string("a\0b", 3)}),
    [](const auto& info) { return info.param.name; });

TEST(codepage, InvalidCodePage932IsRefused) {
    for (const std::string& bad : {std::string("\x80"), std::string("\x82"), std::string("a\xff"),
                                   std::string("\x82\x20"), std::string("\xfd\x40")}) {
        EXPECT_FALSE(platform::cp932_to_utf8(bad).has_value()) << ::testing::PrintToString(bad);
        EXPECT_FALSE(platform::cp932_to_utf16(bad).has_value()) << ::testing::PrintToString(bad);
    }
}

TEST(codepage, InvalidOrUnmappableUtf8IsRefused) {
    EXPECT_FALSE(platform::utf8_to_cp932("\xc3").has_value());          // cut short
    EXPECT_FALSE(platform::utf8_to_cp932(std::string("\xe0\xb8\x81")).has_value());     // Thai ko kai: no code page 932 form
    EXPECT_FALSE(platform::utf8_to_cp932(std::string("\xf0\x9f\x98\x80")).has_value());
}

TEST(codepage, Utf16ToCp932ReplacesWhatHasNoForm) {
    EXPECT_EQ(platform::utf16_to_cp932(u"日本"), "日本");
    EXPECT_EQ(platform::utf16_to_cp932(u"a\u0E01b"), "a?b");
    EXPECT_EQ(platform::utf16_to_cp932(u"x\U0001F600y"), "x?y");                  // a pair is one character
    EXPECT_EQ(platform::utf16_to_cp932(std::u16string{u'a', char16_t(0xDC00), u'b'}), "a?b");  // lone surrogate
    EXPECT_EQ(platform::utf16_to_cp932(u""), "");
}

TEST(codepage, Cp932ToUtf16) {
    EXPECT_EQ(platform::cp932_to_utf16("ｱ日"), std::u16string(u"\uFF71\u65E5"));
}

TEST(codepage, LongTextsConvertWhole) {
    std::string long_text;
    for (int i = 0; i < 5000; ++i) long_text += "日本";
    const auto u = platform::cp932_to_utf8(long_text);
    ASSERT_TRUE(u.has_value());
    EXPECT_EQ(u->size(), 5000u * 6);
    EXPECT_EQ(platform::utf8_to_cp932(*u), long_text);
}

}  // namespace
