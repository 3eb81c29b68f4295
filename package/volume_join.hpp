#pragma once
// Joining the numbered volume files of a package into the table file "~vrncomp.tmp".

#include <cstdint>
#include <functional>
#include <string>

#include "package/volume_header.hpp"

namespace platform {
class system;
}

namespace package {

/// Name of the joined volume file in the temporary folder.
inline constexpr const char* joined_volume_name = "~vrncomp.tmp";
/// Size of the blocks in which the volumes are copied.
inline constexpr std::size_t join_block_size = 16384;

/// "ray" + index formatted "%03d" + ".vrz": ray000.vrz for index 0.
std::string volume_file_name(std::uint32_t index);

/// Called before each volume is joined with the volume's index (0 first), for progress.
using join_progress = std::function<void(std::uint32_t index)>;

/// Creates temp_folder + "~vrncomp.tmp" (truncating an old one) and appends the volumes
/// temp_folder + ray000.vrz ... in order, in 16384-byte blocks. A volume missing from the
/// temporary folder ends the joining: later volumes are not appended and the result is still
/// true (the entries that lie beyond are then missing from the joined table).
/// False when "~vrncomp.tmp" cannot be created or written, or when a volume that is present
/// cannot be read. temp_folder ends with a backslash, or is empty for the current folder.
bool join_volumes(platform::system& sys, const std::string& temp_folder, std::uint32_t volume_count,
                  const join_progress& progress = {});

}  // namespace package
