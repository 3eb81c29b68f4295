#pragma once
// The manifest of vrz pack: a JSON file describing a package to build (docs/manifest.md).

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/project_data.hpp"
#include "package/package_builder.hpp"

namespace tools {

/// A manifest that cannot be used; the message names the field, such as "files[2].source: ...".
class manifest_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One application file to pack.
struct manifest_file {
    std::filesystem::path source;  ///< on the host, resolved against the manifest's folder
    std::string real_name;         ///< code page 932
    std::string packed_name;       ///< code page 932; empty: generated
    std::int32_t packed_value = 0;
};

struct package_manifest {
    model::project_data project;
    std::vector<manifest_file> files;
    package::build_options options;
    /// Set file_size of every file_object whose source_name is a packed file's name.
    bool fill_file_sizes = true;
    /// Optional package files: name in the package ("licence.lic", ...) -> host file.
    std::map<std::string, std::filesystem::path> extras;
};

/// Reads a manifest from its JSON; paths are resolved against base_folder. Throws manifest_error.
package_manifest manifest_from_json(const nlohmann::json& json, const std::filesystem::path& base_folder);
/// Reads the manifest file. Throws manifest_error.
package_manifest read_manifest(const std::filesystem::path& path);

/// Sets file_size of every file_object (loose or in a folder tree) whose source_name equals
/// name. Returns the number of objects changed.
std::size_t fill_file_size(model::project_data& project, const std::string& name, std::int32_t size);

}  // namespace tools
