#include <gtest/gtest.h>

#include <bit>

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"
#include "model/byte_cursor.hpp"
#include "tests/model/test_bytes.hpp"

namespace {

using namespace test_support;

struct text_case {
    std::size_t length;
    std::string prefix;
};

class text_form : public ::testing::TestWithParam<text_case> {};

TEST_P(text_form, WritesShortestPrefixAndReadsBack) {
    const std::string body(GetParam().length, 'q');
    model::archive_writer out;
    out.write_text(body);
    const std::string written = out.take();
    EXPECT_EQ(written.substr(0, GetParam().prefix.size()), GetParam().prefix);
    EXPECT_EQ(written.size(), GetParam().prefix.size() + body.size());

    model::archive_reader in(model::as_bytes(written));
    EXPECT_EQ(in.read_text(), body);
    EXPECT_EQ(in.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, text_form,
    ::testing::Values(text_case{0, bytes({0x00})}, text_case{3, bytes({0x03})}, text_case{254, bytes({0xFE})},
                      text_case{255, bytes({0xFF, 0xFF, 0x00})}, text_case{0xFFFD, bytes({0xFF, 0xFD, 0xFF})},
                      text_case{0xFFFE, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      text_case{0x10000, bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})}));

TEST(archive_text, AbcIsLengthThenBytes) {
    model::archive_writer out;
    out.write_text("abc");
    EXPECT_EQ(out.bytes(), bytes({0x03, 0x61, 0x62, 0x63}));
}

TEST(archive_text, ReaderAcceptsLongFormsOfShortTexts) {
    // Another writer may use a longer prefix than needed: the reader takes any.
    for (const std::string& stored : {bytes({0xFF, 0x02, 0x00}) + "hi", bytes({0xFF, 0xFF, 0xFF, 2, 0, 0, 0}) + "hi"}) {
        model::archive_reader in(model::as_bytes(stored));
        EXPECT_EQ(in.read_text(), "hi");
    }
}

struct wide_case {
    const char* name;
    std::string stored;
    std::string expected;
};

class wide_text : public ::testing::TestWithParam<wide_case> {};

TEST_P(wide_text, IsConvertedToCodePage932) {
    model::archive_reader in(model::as_bytes(GetParam().stored));
    EXPECT_EQ(in.read_text(), GetParam().expected);
    EXPECT_EQ(in.remaining(), 0u);
}

// 日本 is U+65E5 U+672C; in code page 932 it is 93 FA 96 7B.
INSTANTIATE_TEST_SUITE_P(
    Forms, wide_text,
    ::testing::Values(
        wide_case{"ShortLength", bytes({0xFF, 0xFE, 0xFF, 0x03, 0xE5, 0x65, 0x2C, 0x67, 0x41, 0x00}),
                  bytes({0x93, 0xFA, 0x96, 0x7B, 0x41})},
        wide_case{"WordLength", bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 0x41, 0x00}), "A"},
        wide_case{"DwordLength", bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x41, 0x00}), "A"},
        wide_case{"Empty", bytes({0xFF, 0xFE, 0xFF, 0x00}), ""},
        // U+0E01 (Thai) has no code page 932 form; a lone surrogate is no character.
        wide_case{"UnmappableBecomesQuestionMark", bytes({0xFF, 0xFE, 0xFF, 0x03, 0x01, 0x0E, 0x00, 0xD8, 0x42, 0x00}),
                  "??B"}),
    [](const auto& info) { return info.param.name; });

TEST(archive_text, TruncatedTextsFail) {
    const std::string cases[] = {
        bytes({0x05, 'a', 'b'}),
        bytes({0xFF, 0x00}),
        bytes({0xFF, 0xFF, 0x01, 0x00}) + "short",
        bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "four billion bytes promised",
        bytes({0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00}),
        bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
    };
    for (const auto& stored : cases) {
        model::archive_reader in(model::as_bytes(stored));
        EXPECT_THROW(in.read_text(), model::format_error) << ::testing::PrintToString(stored);
    }
}

TEST(archive_count, ShortAndLongForms) {
    struct {
        std::uint32_t count;
        std::string stored;
    } cases[] = {{0, bytes({0, 0})},
                 {0xFFFE, bytes({0xFE, 0xFF})},
                 {0xFFFF, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0})},
                 {0x12345678, bytes({0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12})}};
    for (const auto& c : cases) {
        model::archive_writer out;
        out.write_count(c.count);
        EXPECT_EQ(out.bytes(), c.stored);
        model::archive_reader in(model::as_bytes(c.stored));
        EXPECT_EQ(in.read_count(), c.count);
    }
}

TEST(archive_date_time, StatusThenDoubleBitsExactly) {
    const model::date_time values[] = {{0, 36526.5}, {1, -0.0}, {2, 0.0}, {0, std::bit_cast<double>(0x7FF8000000000abcull)}};
    for (const auto& v : values) {
        model::archive_writer out;
        out.write_date_time(v);
        ASSERT_EQ(out.bytes(), stamp(v.status, std::bit_cast<std::uint64_t>(v.days)));
        model::archive_reader in(model::as_bytes(out.bytes()));
        const model::date_time back = in.read_date_time();
        EXPECT_EQ(back.status, v.status);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back.days), std::bit_cast<std::uint64_t>(v.days));
    }
}

TEST(archive_integers, LittleEndianAndSigned) {
    const std::string stored = bytes({0xFE, 0xFF, 0x01, 0x02, 0x03, 0x84});
    model::archive_reader in(model::as_bytes(stored));
    EXPECT_EQ(in.read_int16(), -2);
    EXPECT_EQ(in.read_uint32(), 0x84030201u);
    EXPECT_THROW(in.read_int16(), model::format_error);
}

TEST(date_time_now, IsAValidCurrentDate) {
    const model::date_time now = model::date_time::now();
    EXPECT_EQ(now.status, 0);
    // Later than 1 January 2020 (43831) and earlier than 2100 (73051).
    EXPECT_GT(now.days, 43831.0);
    EXPECT_LT(now.days, 73051.0);
}

}  // namespace
