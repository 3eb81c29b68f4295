#pragma once
// Reads a byte span as a bit stream, most significant bit of each byte first.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace package {

/// Bits are kept left-aligned in a 64-bit buffer that `refill` tops up from the input,
/// eight bytes at a time where the input allows.
class bit_reader {
public:
    explicit bit_reader(std::span<const std::byte> in)
        : data_(reinterpret_cast<const std::uint8_t*>(in.data())), size_(in.size()) {}

    /// Tops the buffer up to at least 56 bits, or to every bit left in the input.
    void refill() {
        if (size_ - pos_ >= 8) {
            // Loads eight bytes; the bytes beyond the ones counted are loaded again, at the
            // same place, by the next refill, so or-ing them in early does no harm.
            bits_ |= load_be64(data_ + pos_) >> count_;
            pos_ += (63 - count_) >> 3;
            count_ |= 56;
            return;
        }
        while (count_ <= 56 && pos_ < size_) {
            bits_ |= static_cast<std::uint64_t>(data_[pos_++]) << (56 - count_);
            count_ += 8;
        }
    }

    /// The buffered bits, the next one in the top bit; the bits past `count` are not data.
    std::uint64_t bits() const { return bits_; }
    /// Number of buffered bits.
    unsigned count() const { return count_; }
    /// Drops n <= count buffered bits.
    void consume(unsigned n) {
        // A shift by 64 would be undefined; n = 64 happens only with a full buffer.
        bits_ = n < 64 ? bits_ << n : 0;
        count_ -= n;
    }
    /// True when every input bit has been consumed.
    bool at_end() const { return count_ == 0 && pos_ == size_; }

    /// The next bit, or -1 at the end of the input.
    int read_bit() {
        if (count_ == 0) {
            refill();
            if (count_ == 0) return -1;
        }
        int bit = static_cast<int>(bits_ >> 63);
        consume(1);
        return bit;
    }

private:
    static std::uint64_t load_be64(const std::uint8_t* p) {
        std::uint64_t v;
        std::memcpy(&v, p, sizeof v);
        if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
        return v;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
};

}  // namespace package
