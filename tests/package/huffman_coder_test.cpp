#include "package/huffman_coder.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/package/huffman_reference.hpp"
#include "tests/package/huffman_sample_data.hpp"

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

std::string unhex(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 3)
        out.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

/// Equality of two byte strings that reports where they part instead of printing them.
testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
    return testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                       << ", first difference at byte " << i;
}

/// The tables' warm-up lengths the coder is tested with: tables from the start, switched on
/// within the first symbols, and the default.
constexpr std::uint32_t warm_ups[] = {0, 37, package::huffman_coder::default_warm_up};

std::string encode_with(std::uint32_t warm_up, const std::string& plain) {
    package::huffman_coder coder(warm_up);
    package::bit_writer out;
    for (unsigned char c : plain) {
        coder.encode_symbol(c, out);
        coder.update(c);
    }
    coder.encode_symbol(package::huffman_coder::end_symbol, out);
    out.pad();
    return out.take();
}

std::string decode_with(std::uint32_t warm_up, const std::string& packed, bool* ended_with_symbol = nullptr) {
    package::huffman_coder coder(warm_up);
    package::bit_reader in(std::as_bytes(std::span(packed)));
    std::vector<std::byte> buffer(4096);
    std::string out;
    while (!coder.finished()) {
        std::size_t n = coder.decode_some(in, buffer);
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    }
    if (ended_with_symbol) *ended_with_symbol = coder.reached_end_symbol();
    return out;
}

/// Packs a text of '0' and '1' (other characters ignored), padding with 0 bits.
std::string bits(const std::string& text) {
    package::bit_writer out;
    for (char c : text)
        if (c == '0' || c == '1') out.put_bit(c - '0');
    out.pad();
    return out.take();
}

// --- the known streams ---

struct stream_example {
    std::string plain;
    std::string packed_hex;
};

class huffman_stream_example : public testing::TestWithParam<stream_example> {};

TEST_P(huffman_stream_example, encodes_to_the_known_bytes) {
    EXPECT_EQ(hex(package::huffman_encode(bytes_of(GetParam().plain))), GetParam().packed_hex);
    EXPECT_EQ(hex(huffman_reference::encode(bytes_of(GetParam().plain))), GetParam().packed_hex);
}

TEST_P(huffman_stream_example, decodes_the_known_bytes) {
    std::string packed = unhex(GetParam().packed_hex);
    EXPECT_EQ(package::huffman_decode(bytes_of(packed)), GetParam().plain);
    bool ended_with_symbol = false;
    EXPECT_EQ(huffman_reference::decode(bytes_of(packed), &ended_with_symbol), GetParam().plain);
    EXPECT_TRUE(ended_with_symbol);
}

INSTANTIATE_TEST_SUITE_P(known_streams, huffman_stream_example,
                         testing::Values(stream_example{"", "80"}, stream_example{"A", "20 80"},
                                         stream_example{"abc", "30 CC 43 1C"},
                                         stream_example{"aaaa", "30 FA"}));

// --- round trips, checked against the reference coder ---

struct sample {
    const char* name;
    std::function<std::string()> make;
};

std::string every_byte_value(int rounds) {
    std::string out;
    for (int r = 0; r < rounds; ++r)
        for (int v = 0; v < 256; ++v) out.push_back(static_cast<char>(r % 2 == 0 ? v : 255 - v));
    return out;
}

/// Byte i appears about fib(i) times, shuffled: the skew that makes the tree deepest.
std::string fibonacci_weights() {
    std::vector<char> out;
    std::uint32_t a = 1, b = 1;
    for (int v = 0; v < 24; ++v) {
        out.insert(out.end(), a, static_cast<char>(v * 7));
        std::uint32_t next = a + b;
        a = b;
        b = next;
    }
    huffman_sample::source rng(5);
    for (std::size_t i = out.size(); i > 1; --i) std::swap(out[i - 1], out[rng.below(static_cast<std::uint32_t>(i))]);
    return std::string(out.begin(), out.end());
}

std::string growing_runs() {
    std::string out;
    for (int v = 0; v < 256; v += 3) out.append(static_cast<std::size_t>(v) * 13 + 1, static_cast<char>(v));
    return out;
}

const sample samples[] = {
    {"empty", [] { return std::string(); }},
    {"one_zero_byte", [] { return std::string(1, '\0'); }},
    {"one_ff_byte", [] { return std::string(1, '\xFF'); }},
    {"two_values_alternating", [] {
         std::string s;
         for (int i = 0; i < 1000; ++i) s += (i % 2 ? 'x' : 'y');
         return s;
     }},
    {"long_run", [] { return std::string(300000, 'z'); }},
    {"run_then_new_values", [] { return std::string(5000, '\0') + "abcdef" + std::string(5000, '\xFF'); }},
    {"every_byte_value_once", [] { return every_byte_value(1); }},
    {"every_byte_value_many_times", [] { return every_byte_value(40); }},
    {"fibonacci_weights", fibonacci_weights},
    {"growing_runs", growing_runs},
    {"text_small", [] { return huffman_sample::text_like(777, 1); }},
    {"text_large", [] { return huffman_sample::text_like(400000, 2); }},
    {"binary_small", [] { return huffman_sample::binary_like(1500, 3); }},
    {"binary_large", [] { return huffman_sample::binary_like(300000, 4); }},
    {"random_small", [] { return huffman_sample::random_bytes(100, 5); }},
    {"random_large", [] { return huffman_sample::random_bytes(300000, 6); }},
};

class huffman_round_trip : public testing::TestWithParam<sample> {};

TEST_P(huffman_round_trip, encoding_matches_the_reference_and_decodes_back) {
    std::string plain = GetParam().make();
    std::string packed = package::huffman_encode(bytes_of(plain));
    ASSERT_TRUE(same_bytes(packed, huffman_reference::encode(bytes_of(plain))));
    EXPECT_TRUE(same_bytes(package::huffman_decode(bytes_of(packed)), plain));
    bool ended_with_symbol = false;
    EXPECT_TRUE(same_bytes(huffman_reference::decode(bytes_of(packed), &ended_with_symbol), plain));
    EXPECT_TRUE(ended_with_symbol);
    for (std::uint32_t warm_up : warm_ups) {
        EXPECT_TRUE(same_bytes(encode_with(warm_up, plain), packed)) << "warm-up " << warm_up;
        ended_with_symbol = false;
        EXPECT_TRUE(same_bytes(decode_with(warm_up, packed, &ended_with_symbol), plain)) << "warm-up " << warm_up;
        EXPECT_TRUE(ended_with_symbol);
    }
}

INSTANTIATE_TEST_SUITE_P(samples, huffman_round_trip, testing::ValuesIn(samples),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(huffman_round_trip, random_inputs_of_many_sizes_and_alphabets) {
    huffman_sample::source rng(42);
    for (int round = 0; round < 300; ++round) {
        std::size_t size = rng.below(round < 200 ? 64 : 5000);
        std::uint32_t alphabet = 1 + rng.below(256);
        std::uint32_t base = rng.below(256);
        std::string plain(size, '\0');
        for (char& c : plain) c = static_cast<char>(base + (round % 2 ? rng.skewed(alphabet) : rng.below(alphabet)));
        std::uint32_t warm_up = warm_ups[round % 3];
        std::string packed = encode_with(warm_up, plain);
        ASSERT_TRUE(same_bytes(packed, huffman_reference::encode(bytes_of(plain)))) << "round " << round;
        ASSERT_TRUE(same_bytes(decode_with(warm_up, packed), plain)) << "round " << round;
    }
}

/// Segments of uniformly drawn bytes from alphabets of 2 to 256 values, each long enough
/// for the decoder to settle on the code lengths of that alphabet, in rising and then in
/// falling order, so that the decoder changes how many levels it counts in both directions.
std::string alphabet_segments() {
    huffman_sample::source rng(77);
    std::string out;
    auto segment = [&](std::uint32_t alphabet) {
        for (int i = 0; i < 20000; ++i) out.push_back(static_cast<char>(rng.below(alphabet)));
    };
    for (std::uint32_t alphabet = 2; alphabet <= 256; alphabet *= 2) segment(alphabet);
    for (std::uint32_t alphabet = 256; alphabet >= 2; alphabet /= 2) segment(alphabet + 1);
    return out;
}

TEST(huffman_round_trip, code_lengths_that_change_along_the_stream) {
    std::string plain = alphabet_segments();
    std::string packed = huffman_reference::encode(bytes_of(plain));
    EXPECT_TRUE(same_bytes(package::huffman_encode(bytes_of(plain)), packed));
    EXPECT_TRUE(same_bytes(package::huffman_decode(bytes_of(packed)), plain));
    for (std::uint32_t warm_up : warm_ups) EXPECT_TRUE(same_bytes(decode_with(warm_up, packed), plain)) << "warm-up " << warm_up;
}

TEST(huffman_round_trip, packed_size_shrinks_for_skewed_input) {
    std::string plain = huffman_sample::text_like(100000, 9);
    std::size_t packed = package::huffman_encode(bytes_of(plain)).size();
    EXPECT_LT(packed, plain.size() * 6 / 10);
}

// --- the tree itself ---

TEST(huffman_reference_tree, stays_consistent_after_every_update) {
    for (const std::string& plain : {huffman_sample::text_like(20000, 11), huffman_sample::binary_like(20000, 12),
                                     huffman_sample::random_bytes(20000, 13), fibonacci_weights(),
                                     every_byte_value(3)}) {
        huffman_reference::coder c;
        c.reset();
        ASSERT_NO_THROW(c.check_tree());
        for (std::size_t i = 0; i < plain.size(); ++i) {
            c.update(static_cast<unsigned char>(plain[i]));
            ASSERT_NO_THROW(c.check_tree()) << "after byte " << i;
        }
    }
}

TEST(huffman_coder, reused_coder_starts_each_stream_afresh) {
    package::huffman_coder coder;
    std::string first = package::huffman_encode(bytes_of(std::string("first stream")));
    std::string second = package::huffman_encode(bytes_of(std::string("abc")));
    for (const std::string& packed : {first, second}) {
        coder.reset();
        package::bit_reader in(bytes_of(packed));
        std::vector<std::byte> out(64);
        std::size_t n = coder.decode_some(in, out);
        EXPECT_TRUE(coder.reached_end_symbol());
        EXPECT_EQ(package::huffman_encode(std::span(out).first(n)), packed);
    }
}

TEST(huffman_coder, decode_some_resumes_when_the_buffer_fills) {
    std::string plain = huffman_sample::text_like(10000, 21);
    std::string packed = package::huffman_encode(bytes_of(plain));
    package::huffman_coder coder;
    package::bit_reader in(bytes_of(packed));
    std::string out;
    std::vector<std::byte> buffer(7);
    while (!coder.finished()) {
        std::size_t n = coder.decode_some(in, buffer);
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    }
    EXPECT_TRUE(same_bytes(out, plain));
    EXPECT_TRUE(coder.reached_end_symbol());
}

// --- streams that end early or were never made by the encoder ---

/// Bit position after each symbol's code, the end symbol's last.
std::vector<std::size_t> code_ends(const std::string& plain) {
    huffman_reference::coder c;
    c.reset();
    std::vector<std::size_t> ends;
    for (char ch : plain) {
        c.encode_symbol(static_cast<unsigned char>(ch));
        c.update(static_cast<unsigned char>(ch));
        ends.push_back(c.bits_written());
    }
    c.encode_symbol(-1);
    ends.push_back(c.bits_written());
    return ends;
}

TEST(huffman_truncated, every_cut_gives_exactly_the_symbols_complete_before_it) {
    for (const std::string& plain : {huffman_sample::text_like(300, 31), huffman_sample::random_bytes(120, 32),
                                     std::string(200, 'q')}) {
        std::string packed = package::huffman_encode(bytes_of(plain));
        std::vector<std::size_t> ends = code_ends(plain);
        for (std::size_t cut = 0; cut < packed.size(); ++cut) {
            std::size_t complete = 0;
            while (complete < plain.size() && ends[complete] <= cut * 8) ++complete;
            std::string truncated = packed.substr(0, cut);
            std::string expected = plain.substr(0, complete);
            for (std::uint32_t warm_up : warm_ups)
                ASSERT_TRUE(same_bytes(decode_with(warm_up, truncated), expected)) << "cut at " << cut;
            bool ended_with_symbol = true;
            ASSERT_TRUE(same_bytes(huffman_reference::decode(bytes_of(truncated), &ended_with_symbol), expected));
            EXPECT_FALSE(ended_with_symbol);
        }
    }
}

TEST(huffman_truncated, coder_reports_a_missing_end_symbol) {
    std::string packed = package::huffman_encode(bytes_of(std::string("some text")));
    package::huffman_coder coder;
    package::bit_reader in(bytes_of(packed).first(packed.size() - 1));
    std::vector<std::byte> out(64);
    coder.decode_some(in, out);
    EXPECT_TRUE(coder.finished());
    EXPECT_FALSE(coder.reached_end_symbol());
}

struct hostile_stream {
    const char* name;
    std::string bytes;
};

const hostile_stream hostile_streams[] = {
    {"all_zero", std::string(4000, '\0')},
    {"all_ff", std::string(4000, '\xFF')},
    {"alternating_55_aa", [] {
         std::string s;
         for (int i = 0; i < 4000; ++i) s += (i % 2 ? '\x55' : '\xAA');
         return s;
     }()},
    {"random_a", huffman_sample::random_bytes(4000, 41)},
    {"random_b", huffman_sample::random_bytes(50000, 42)},
    {"text_as_packed", huffman_sample::text_like(4000, 43)},
    {"packed_text_with_flipped_bits", [] {
         std::string plain = huffman_sample::text_like(60000, 44);
         std::string s = package::huffman_encode(std::as_bytes(std::span(plain)));
         for (std::size_t i = 1000; i < s.size(); i += 9000) s[i] = static_cast<char>(s[i] ^ 0x10);
         return s;
     }()},
    {"packed_random_with_end_cut", [] {
         std::string plain = huffman_sample::random_bytes(30000, 45);
         std::string s = package::huffman_encode(std::as_bytes(std::span(plain)));
         s.resize(s.size() - 2);
         return s + std::string(3000, '\0');
     }()},
};

class huffman_hostile : public testing::TestWithParam<hostile_stream> {};

TEST_P(huffman_hostile, decodes_like_the_reference_within_the_size_bound) {
    const std::string& packed = GetParam().bytes;
    std::string expected = huffman_reference::decode(bytes_of(packed));
    EXPECT_LE(expected.size(), packed.size() * 8);
    EXPECT_TRUE(same_bytes(package::huffman_decode(bytes_of(packed)), expected));
    for (std::uint32_t warm_up : warm_ups)
        EXPECT_TRUE(same_bytes(decode_with(warm_up, packed), expected)) << "warm-up " << warm_up;
}

INSTANTIATE_TEST_SUITE_P(streams, huffman_hostile, testing::ValuesIn(hostile_streams),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(huffman_hostile, escaped_byte_already_in_the_tree_decodes_as_that_byte) {
    // 'A' sent new, then the nyt path "10" with 'A' again instead of A's own code.
    std::string packed = bits("0 01000001  10 01000001");
    std::string out = package::huffman_decode(bytes_of(packed));
    EXPECT_EQ(out.substr(0, 2), "AA");
    EXPECT_EQ(out, huffman_reference::decode(bytes_of(packed)));
}

TEST(huffman_decode, ignores_bytes_after_the_end_symbol) {
    std::string plain = "after the end";
    std::string packed = package::huffman_encode(bytes_of(plain)) + "trailing garbage";
    EXPECT_EQ(package::huffman_decode(bytes_of(packed)), plain);
}

}  // namespace
