#pragma once
// Writer of shortcut (.lnk) files in the Shell Link binary format, for the host sandbox,
// where no shell is there to write them. Written in stored order:
//   header        76 bytes: size 0x4C, class id {00021401-0000-0000-C000-000000000046},
//                 link flags, target attributes, creation/access/write times (FILETIME),
//                 target size, icon index, show command, hot key, 10 reserved bytes
//   LinkInfo      when there is a target: volume id (drive type, no serial, empty label)
//                 and the target as local base path, code page 932, zero-terminated
//   StringData    description, working folder, arguments, icon location, each when not
//                 empty: a 16-bit count of code page 932 bytes, then the bytes (no zero)
//   ExtraData     only the 4-byte terminal block
// No item id list and no Unicode strings: the link flags carry neither HasLinkTargetIDList
// nor IsUnicode, so a reader takes every text in the code page of the writing system.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/system.hpp"

namespace platform {

/// What the header records about the link's target, as the shell would find it on disk.
struct shell_link_target {
    std::uint32_t attributes = 0;
    std::uint32_t size = 0;
    std::uint64_t created = 0;   ///< FILETIME: 100-ns ticks since 1601-01-01 UTC; 0 when unknown
    std::uint64_t accessed = 0;  ///< FILETIME
    std::uint64_t written = 0;   ///< FILETIME
    int drive_type = DriveFixed;
};

/// Link flags of the header.
enum shell_link_flag : std::uint32_t {
    HasLinkInfo = 0x02,
    HasName = 0x04,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
};

/// The bytes of a .lnk file for link; nullopt when a text holds a zero byte or is longer
/// than a 16-bit count can state.
std::optional<std::vector<std::byte>> write_shell_link(const shell_link& link,
                                                       const shell_link_target& target = {});

/// FILETIME of a time given in seconds since 1970-01-01 UTC.
std::uint64_t file_time_from_unix(std::int64_t seconds);

}  // namespace platform
