#include "package/huffman_coder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/package/huffman_reference.hpp"

namespace {

std::span<const std::byte> bytes_of(const std::string& s) { return std::as_bytes(std::span(s)); }

std::string hex(const std::string& s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

struct stream_example {
    std::string plain;
    std::string packed_hex;
};

class huffman_stream_example : public testing::TestWithParam<stream_example> {};

TEST_P(huffman_stream_example, encodes_to_the_known_bytes) {
    EXPECT_EQ(hex(package::huffman_encode(bytes_of(GetParam().plain))), GetParam().packed_hex);
    EXPECT_EQ(hex(huffman_reference::encode(bytes_of(GetParam().plain))), GetParam().packed_hex);
}

TEST_P(huffman_stream_example, decodes_to_the_known_bytes) {
    std::string packed = package::huffman_encode(bytes_of(GetParam().plain));
    EXPECT_EQ(package::huffman_decode(bytes_of(packed)), GetParam().plain);
    EXPECT_EQ(huffman_reference::decode(bytes_of(packed)), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(known_streams, huffman_stream_example,
                         testing::Values(stream_example{"", "80"}, stream_example{"A", "20 80"},
                                         stream_example{"abc", "30 CC 43 1C"},
                                         stream_example{"aaaa", "30 FA"}));

}  // namespace
