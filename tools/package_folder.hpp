#pragma once
// A package folder on the host, read and joined in memory the way the installer's
// preparation joins it, for vrz extract and vrz verify.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/package_reader.hpp"
#include "package/volume_header.hpp"

namespace tools {

struct package_folder {
    std::optional<package::volume_header> header;  ///< "arkci.vrz"
    std::string directory_bytes;                   ///< "arkmtx.vrz"
    std::string piece_bytes;                       ///< "ark.vrz"
    std::string joined;                            ///< the volumes joined
    std::uint32_t volumes_joined = 0;
    std::optional<std::string> project_bytes;      ///< "arkbs.vrz", when present
    /// Missing files and volumes, then the package's own problems.
    std::vector<std::string> problems;
    /// The entries; their packed bytes point into joined, so the folder is never moved.
    package::package_contents contents;
};

/// Reads the folder. Volumes are joined in order up to the first missing one, as the
/// installer does; each missing file is a problem. Never throws for a damaged package.
std::unique_ptr<package_folder> read_package_folder(const std::filesystem::path& folder);

}  // namespace tools
