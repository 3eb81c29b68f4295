#pragma once
// Packs bits into bytes, most significant bit first.

#include <cstddef>
#include <cstdint>
#include <string>

namespace package {

/// Collects the packed bytes in a string.
class bit_writer {
public:
    /// Appends the low n bits of code (n <= 64), the highest of them first.
    void put(std::uint64_t code, unsigned n) {
        if (n > 32) {
            put32(static_cast<std::uint32_t>(code >> 32), n - 32);
            n = 32;
        }
        put32(static_cast<std::uint32_t>(code), n);
    }
    void put_bit(int bit) { put32(static_cast<std::uint32_t>(bit & 1), 1); }

    /// Completes the last byte with 0 bits.
    void pad() {
        if (count_ % 8 != 0) put32(0, 8 - count_ % 8);
        while (count_ > 0) {
            count_ -= 8;
            out_.push_back(static_cast<char>(acc_ >> count_));
        }
    }
    /// The packed bytes; call `pad` first.
    std::string take() { return std::move(out_); }
    const std::string& bytes() const { return out_; }

private:
    void put32(std::uint32_t code, unsigned n) {
        if (n == 0) return;
        // acc_ holds count_ < 32 pending bits in its low end.
        acc_ = (acc_ << n) | (code & (0xFFFFFFFFu >> (32 - n)));
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            auto word = static_cast<std::uint32_t>(acc_ >> count_);
            char bytes[4] = {static_cast<char>(word >> 24), static_cast<char>(word >> 16),
                             static_cast<char>(word >> 8), static_cast<char>(word)};
            out_.append(bytes, 4);
        }
    }

    std::string out_;
    std::uint64_t acc_ = 0;
    unsigned count_ = 0;
};

}  // namespace package
