#pragma once
// Generated inputs for the coder's tests and benchmark. Each is fixed by its seed; only the
// raw output of std::mt19937 is used, so the bytes are the same with every standard library.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace huffman_sample {

class source {
public:
    explicit source(std::uint32_t seed) : engine_(seed) {}
    /// A number in [0, n).
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>((std::uint64_t{engine_()} * n) >> 32); }
    /// Index in [0, n) with a Zipf-like skew: small indices are far more frequent.
    std::uint32_t skewed(std::uint32_t n) {
        std::uint32_t a = below(n);
        std::uint32_t b = below(n);
        std::uint32_t c = below(n);
        return std::min(a, std::min(b, c));
    }

private:
    std::mt19937 engine_;
};

/// English-like prose with simple markup: words drawn with a skew, capitals after full stops,
/// punctuation, line breaks and tags.
inline std::string text_like(std::size_t size, std::uint32_t seed) {
    static const char* const words[] = {
        "the", "of", "and", "to", "in", "a", "is", "that", "for", "it", "as", "was", "with", "be",
        "by", "on", "not", "he", "this", "are", "or", "his", "from", "at", "which", "but", "have",
        "an", "had", "they", "you", "were", "their", "one", "all", "we", "can", "her", "has",
        "there", "been", "if", "more", "when", "will", "would", "who", "so", "no", "install",
        "program", "folder", "setup", "window", "system", "file", "files", "version", "user",
        "select", "component", "destination", "directory", "license", "agreement", "software",
        "computer", "windows", "restart", "registry", "shortcut", "menu", "start", "options",
        "following", "information", "please", "continue", "cancel", "between", "important",
        "different", "available", "additional", "documentation", "configuration", "quickly",
        "through", "however", "because", "something", "question", "understand", "everything"};
    static const char* const tags[] = {"<p>", "</p>", "<b>", "</b>", "<a href=\"index.html\">", "</a>",
                                       "<li>", "</li>", "<h2>", "</h2>", "<br>"};
    constexpr std::uint32_t word_count = sizeof(words) / sizeof(words[0]);
    constexpr std::uint32_t tag_count = sizeof(tags) / sizeof(tags[0]);
    source rng(seed);
    std::string out;
    out.reserve(size + 64);
    bool capital = true;
    while (out.size() < size) {
        std::uint32_t roll = rng.below(100);
        if (roll < 4) {
            out += tags[rng.below(tag_count)];
            continue;
        }
        std::string word = words[rng.skewed(word_count)];
        if (roll < 6) word = std::to_string(rng.below(2000));
        if (capital && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
        out += word;
        capital = false;
        std::uint32_t stop = rng.below(100);
        if (stop < 7) {
            out += ". ";
            capital = true;
        } else if (stop < 11) {
            out += ", ";
        } else if (stop < 12) {
            out += ".\r\n";
            capital = true;
        } else {
            out += ' ';
        }
    }
    out.resize(size);
    return out;
}

/// Bytes shaped like a program image: a header, code with common opcodes, small immediates
/// and call offsets, tables of increasing addresses, zero padding and a string table.
inline std::string binary_like(std::size_t size, std::uint32_t seed) {
    static const std::uint8_t opcodes[] = {0x8B, 0x89, 0xE8, 0x83, 0xFF, 0x50, 0x55, 0xC3, 0x74, 0x75,
                                           0x85, 0x33, 0x8D, 0x6A, 0x5D, 0xC7, 0x0F, 0xEB, 0x56, 0x57};
    constexpr std::uint32_t opcode_count = sizeof(opcodes);
    source rng(seed);
    std::string out;
    out.reserve(size + 4096);
    auto put32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
    };
    out += "MZ";
    out.append(58, '\0');
    std::uint32_t address = 0x401000;
    while (out.size() < size) {
        std::uint32_t section = rng.below(100);
        if (section < 70) {
            for (int i = 0; i < 512; ++i) {
                out.push_back(static_cast<char>(opcodes[rng.skewed(opcode_count)]));
                std::uint32_t operand = rng.below(10);
                if (operand < 4) {
                    out.push_back(static_cast<char>(rng.skewed(64) * 4));
                } else if (operand < 6) {
                    put32(address + rng.skewed(0x10000));
                } else if (operand < 7) {
                    out.push_back(static_cast<char>(rng.below(256)));
                }
            }
        } else if (section < 82) {
            for (int i = 0; i < 128; ++i) {
                address += 4 + rng.skewed(64) * 4;
                put32(address);
            }
        } else if (section < 92) {
            out.append(256 + rng.below(1024), '\0');
        } else {
            for (int i = 0; i < 32; ++i) {
                std::uint32_t length = 4 + rng.below(16);
                for (std::uint32_t j = 0; j < length; ++j) out.push_back(static_cast<char>('A' + rng.skewed(58)));
                out.push_back('\0');
            }
        }
    }
    out.resize(size);
    return out;
}

/// Uniformly random bytes.
inline std::string random_bytes(std::size_t size, std::uint32_t seed) {
    source rng(seed);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(rng.below(256));
    return out;
}

}  // namespace huffman_sample
