#include "install/removal_record.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"

namespace {

using namespace std::string_literals;
using install::removal_entry;
using install::removal_record;

removal_record parse(const std::string& bytes) { return removal_record::parse(model::as_bytes(bytes)); }

std::string u32(std::uint32_t v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (8 * i));
    return out;
}

TEST(removal_record, StoredFormIsTheMagicACountAndThreeTextsPerEntry) {
    removal_record r;
    r.entries.push_back({"k", "[ROOT]\\a", "C:\\a"});
    const std::string expected = std::string("VRZRM1\n") + u32(1) + "\x01k" + "\x08[ROOT]\\a" +
                                 "\x04"
                                 "C:\\a";
    EXPECT_EQ(r.serialize(), expected);
    EXPECT_EQ(parse(expected).entries, r.entries);
}

TEST(removal_record, RoundTripsLongAndJapaneseTexts) {
    removal_record r;
    r.entries.push_back({"", "", ""});
    r.entries.push_back({std::string(254, 'a'), std::string(255, 'b'), std::string(70000, 'c')});
    r.entries.push_back({"ツール", "[PROGRAM FILES]\\ツール\\表.exe", "C:\\Program Files\\ツール\\表.exe"});
    const std::string bytes = r.serialize();
    EXPECT_EQ(parse(bytes).entries, r.entries);
    EXPECT_EQ(parse(removal_record{}.serialize()).entries.size(), 0u);
}

struct malformed_case {
    const char* name;
    std::string bytes;
    std::size_t offset;  ///< where the reader stops, counted from the start of the file
};

class removal_record_malformed : public ::testing::TestWithParam<malformed_case> {};

TEST_P(removal_record_malformed, ThrowsFormatErrorAtTheFault) {
    const auto& c = GetParam();
    try {
        parse(c.bytes);
        ADD_FAILURE() << c.name << ": no error";
    } catch (const model::format_error& e) {
        EXPECT_EQ(e.offset(), c.offset) << c.name << ": " << e.what();
    }
}

const std::string magic = "VRZRM1\n";

INSTANTIATE_TEST_SUITE_P(
    cases, removal_record_malformed,
    ::testing::Values(malformed_case{"empty", "", 0}, malformed_case{"other magic", "VRZRM2\n" + u32(0), 0},
                      malformed_case{"short count", magic + "\x01\x00", 7},
                      // A count that the bytes cannot hold is refused before any entry is read.
                      malformed_case{"huge count", magic + u32(0xFFFFFFFF) + "\x00\x00\x00"s, 11},
                      malformed_case{"text past the end",
                                     magic + u32(1) +
                                         "\x05"
                                         "ab",
                                     11},
                      malformed_case{"long text past the end",
                                     magic + u32(1) +
                                         "\xFF\xFF\xFF\xFF\xFF\xFF\x7F"
                                         "a\x00\x00"s,
                                     11},
                      malformed_case{"entry cut short", magic + u32(1) + "\x01k\x00"s, 14},
                      malformed_case{"bytes after the entries", magic + u32(0) + "x", 11}),
    [](const ::testing::TestParamInfo<malformed_case>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (ch == ' ') ch = '_';
        }
        return name;
    });

}  // namespace
