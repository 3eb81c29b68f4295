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

    /// The reading place and the buffer. A decoding loop can work on a copy, which the
    /// compiler keeps in registers, with the static functions below, and `restore` it.
    struct state {
        std::size_t pos = 0;
        std::uint64_t bits = 0;
        unsigned count = 0;
    };
    state save() const { return state_; }
    void restore(const state& s) { state_ = s; }

    /// Tops the buffer up to at least 56 bits, or to every bit left in the input.
    void refill() { refill(state_); }
    void refill(state& s) const {
        if (size_ - s.pos >= 8) {
            // Loads eight bytes; the bytes beyond the ones counted are loaded again, at the
            // same place, by the next refill, so or-ing them in early does no harm. Here
            // count < 64: only the byte loop below fills all 64 bits, and once it has run
            // fewer than eight bytes are left.
            s.bits |= load_be64(data_ + s.pos) >> s.count;
            s.pos += (63 - s.count) >> 3;
            s.count |= 56;
            return;
        }
        while (s.count <= 56 && s.pos < size_) {
            s.bits |= static_cast<std::uint64_t>(data_[s.pos++]) << (56 - s.count);
            s.count += 8;
        }
    }

    /// The buffered bits, the next one in the top bit; the bits past `count` are not data.
    std::uint64_t bits() const { return state_.bits; }
    /// Number of buffered bits.
    unsigned count() const { return state_.count; }
    /// Drops n <= count buffered bits.
    void consume(unsigned n) {
        // A shift by 64 would be undefined; n = 64 happens only with a full buffer.
        state_.bits = n < 64 ? state_.bits << n : 0;
        state_.count -= n;
    }
    /// consume for n < 64.
    void skip(unsigned n) { skip(state_, n); }
    static void skip(state& s, unsigned n) {
        s.bits <<= n;
        s.count -= n;
    }
    /// True when every input bit has been consumed.
    bool at_end() const { return state_.count == 0 && state_.pos == size_; }

    /// The next bit, or -1 at the end of the input.
    int read_bit() {
        if (state_.count == 0) {
            refill();
            if (state_.count == 0) return -1;
        }
        int bit = static_cast<int>(state_.bits >> 63);
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
    state state_;
};

}  // namespace package
