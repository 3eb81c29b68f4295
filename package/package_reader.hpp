#pragma once
// Reads a whole package from its files' bytes, without a file system: the package
// directory, the piece directory and the joined volumes. Used by the vrz tools to list,
// extract and verify packages; it checks what the installer's copy step relies on and
// lists every problem instead of stopping at the first.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/package_directory.hpp"

namespace package {

/// The package directory object that a packed file of this name decodes by: the first, in
/// map order, whose packed_name equals file_name (ignoring ASCII case); failing that, the
/// first whose non-empty packed_name is a part of file_name. Null when none.
const model::comp_file_object* find_packed_object(const model::package_directory& directory,
                                                  std::string_view file_name);

/// One numbered entry as the package describes it.
struct package_entry {
    std::uint32_t number = 0;
    std::string name;             ///< "%03d" of number
    bool in_pieces = false;       ///< found in the piece directory
    std::uint32_t volume = 0;     ///< from the piece record
    std::string file_name;        ///< packed file name from the piece record
    const model::comp_file_object* object = nullptr;  ///< the matching directory object
    bool in_volumes = false;      ///< its packed bytes are in the joined volumes
    std::span<const std::byte> packed;  ///< those bytes (inside the joined bytes given)
    /// True when the installer would extract it: every check passed.
    bool usable = false;
};

struct package_contents {
    model::package_directory directory;
    std::vector<package_entry> entries;  ///< numbers 1 to N - 1 of the piece directory
    std::vector<std::string> problems;   ///< one line each, in plain words
};

/// Reads the package. Never throws for malformed input: each fault becomes a problem. The
/// entries' packed spans point into joined, which must outlive the result.
package_contents read_package(std::span<const std::byte> directory_bytes, std::span<const std::byte> piece_bytes,
                              std::span<const std::byte> joined);

}  // namespace package
