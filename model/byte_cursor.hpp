#pragma once
// A bounds-checked little-endian reader over bytes, and the matching writer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/format_error.hpp"

namespace model {

class byte_cursor {
public:
    explicit byte_cursor(std::span<const std::byte> bytes) : bytes_(bytes) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool at_end() const { return pos_ == bytes_.size(); }

    std::uint8_t read_u8() { return static_cast<std::uint8_t>(take(1)[0]); }
    std::uint16_t read_u16le() {
        auto b = take(2);
        return static_cast<std::uint16_t>(u(b[0]) | (u(b[1]) << 8));
    }
    std::uint32_t read_u32le() {
        auto b = take(4);
        return u(b[0]) | (u(b[1]) << 8) | (u(b[2]) << 16) | (u(b[3]) << 24);
    }
    std::uint64_t read_u64le() {
        std::uint64_t lo = read_u32le();
        std::uint64_t hi = read_u32le();
        return lo | (hi << 32);
    }
    std::span<const std::byte> read_bytes(std::size_t n) { return take(n); }
    std::string read_string(std::size_t n) {
        auto b = take(n);
        return std::string(reinterpret_cast<const char*>(b.data()), b.size());
    }

private:
    static std::uint32_t u(std::byte b) { return static_cast<std::uint32_t>(b); }
    std::span<const std::byte> take(std::size_t n) {
        if (n > bytes_.size() - pos_) throw format_error(pos_, "unexpected end of data");
        auto out = bytes_.subspan(pos_, n);
        pos_ += n;
        return out;
    }

    std::span<const std::byte> bytes_;
    std::size_t pos_ = 0;
};

class byte_writer {
public:
    void write_u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void write_u16le(std::uint16_t v) {
        write_u8(static_cast<std::uint8_t>(v));
        write_u8(static_cast<std::uint8_t>(v >> 8));
    }
    void write_u32le(std::uint32_t v) {
        write_u16le(static_cast<std::uint16_t>(v));
        write_u16le(static_cast<std::uint16_t>(v >> 16));
    }
    void write_u64le(std::uint64_t v) {
        write_u32le(static_cast<std::uint32_t>(v));
        write_u32le(static_cast<std::uint32_t>(v >> 32));
    }
    void write_bytes(std::string_view bytes) { out_.append(bytes); }

    const std::string& bytes() const { return out_; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

/// The bytes of a string as a span.
inline std::span<const std::byte> as_bytes(std::string_view s) {
    return {reinterpret_cast<const std::byte*>(s.data()), s.size()};
}

}  // namespace model
