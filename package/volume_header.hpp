#pragma once
// The volume header "arkci.vrz": four little-endian 32-bit values.
//
//   offset 0   uint32  volume_count    number of volume files ray000.vrz, ray001.vrz, ...
//   offset 4   uint32  value_1         kept, not used by the installer
//   offset 8   uint32  value_2         kept, not used by the installer
//   offset 12  uint32  required_bytes  space the installation needs, in bytes

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {
class system;
}

namespace package {

/// Size of "arkci.vrz" as written; a reader looks at these first bytes only.
inline constexpr std::size_t volume_header_size = 16;

struct volume_header {
    std::uint32_t volume_count = 0;
    std::uint32_t value_1 = 0;
    std::uint32_t value_2 = 0;
    std::uint32_t required_bytes = 0;
    friend bool operator==(const volume_header&, const volume_header&) = default;
};

/// The header from the first 16 bytes; nullopt when there are fewer.
std::optional<volume_header> parse_volume_header(std::span<const std::byte> bytes);
/// The 16 bytes of the header.
std::string serialize_volume_header(const volume_header& header);
/// Reads the header of the file at path; nullopt when it cannot be read or is shorter than 16 bytes.
std::optional<volume_header> read_volume_header(platform::system& sys, const std::string& path);

}  // namespace package
