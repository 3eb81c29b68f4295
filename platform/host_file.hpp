#pragma once
// Whole-file access by host path, for code that works on the build host's own files
// (the host sandbox, the tools). One implementation per host system.

#include <filesystem>
#include <memory>

#include "platform/system.hpp"

namespace platform {

/// Maps a whole host file read-only; null when it cannot be opened or is not a regular
/// file. An empty file gives a view of no bytes and no mapping.
std::unique_ptr<mapped_file> map_host_file(const std::filesystem::path& path);

}  // namespace platform
