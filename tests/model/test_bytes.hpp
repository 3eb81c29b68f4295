#pragma once
// Building byte strings for archive tests.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace test_support {

/// Bytes from a list of values 0 to 255.
inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

inline std::string u16(std::uint16_t v) { return bytes({v & 0xFF, v >> 8}); }
inline std::string u32(std::uint32_t v) {
    return bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                  static_cast<int>(v >> 24)});
}
/// A short text in the one-byte form.
inline std::string text(const std::string& s) { return static_cast<char>(s.size()) + s; }
/// The new-class tag with schema 0 and the name.
inline std::string new_class(const std::string& name) {
    return u16(0xFFFF) + u16(0) + u16(static_cast<std::uint16_t>(name.size())) + name;
}
/// A date-time: status, then the double's bits.
inline std::string stamp(std::int32_t status, std::uint64_t bits) {
    return u32(static_cast<std::uint32_t>(status)) + u32(static_cast<std::uint32_t>(bits)) +
           u32(static_cast<std::uint32_t>(bits >> 32));
}

}  // namespace test_support
