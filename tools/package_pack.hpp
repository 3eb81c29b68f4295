#pragma once
// vrz pack: a package folder from a manifest.

#include <filesystem>

#include "package/package_builder.hpp"
#include "tools/package_manifest.hpp"

namespace tools {

/// Writes the package folder out_dir (created when missing): "arkbs.vrz", "arkmtx.vrz",
/// "ark.vrz", "arkci.vrz", the volumes and the optional files. Volumes of an earlier package
/// that follow the new ones in out_dir are deleted. Throws manifest_error for a file that
/// cannot be read or a name the package cannot hold, std::runtime_error when writing fails.
package::package_image pack_package(package_manifest manifest, const std::filesystem::path& out_dir);

}  // namespace tools
