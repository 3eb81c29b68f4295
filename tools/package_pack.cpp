#include "tools/package_pack.hpp"

#include <limits>
#include <stdexcept>
#include <system_error>

#include "package/volume_join.hpp"
#include "tools/package_files.hpp"

namespace tools {

namespace fs = std::filesystem;

package::package_image pack_package(package_manifest manifest, const fs::path& out_dir) {
    std::vector<package::packed_file> files;
    for (std::size_t i = 0; i < manifest.files.size(); ++i) {
        const auto& file = manifest.files[i];
        auto bytes = read_host_file(file.source);
        if (!bytes) throw manifest_error("files[" + std::to_string(i) + "].source: cannot read " + file.source.string());
        if (bytes->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            throw manifest_error("files[" + std::to_string(i) + "].source: larger than a package file can be");
        }
        files.push_back({file.real_name, file.packed_name, file.packed_value, std::move(*bytes)});
    }
    std::map<std::string, std::string> extras;
    for (const auto& [name, path] : manifest.extras) {
        auto bytes = read_host_file(path);
        if (!bytes) throw manifest_error(name + ": cannot read " + path.string());
        extras[name] = std::move(*bytes);
    }

    package::package_image image;
    try {
        image = package::build_package(files, manifest.options);
    } catch (const std::invalid_argument& e) {
        throw manifest_error(e.what());
    } catch (const std::length_error& e) {
        throw manifest_error(e.what());
    }
    if (manifest.fill_file_sizes) {
        for (const auto& file : files) {
            fill_file_size(manifest.project, file.real_name, static_cast<std::int32_t>(file.data.size()));
        }
    }

    std::error_code ec;
    fs::create_directories(out_dir, ec);
    if (ec) throw std::runtime_error(out_dir.string() + ": cannot create the folder: " + ec.message());
    write_host_file(out_dir / "arkbs.vrz", model::serialize_project(manifest.project));
    write_host_file(out_dir / "arkmtx.vrz", image.package_directory);
    write_host_file(out_dir / "ark.vrz", image.piece_directory);
    write_host_file(out_dir / "arkci.vrz", package::serialize_volume_header(image.header));
    std::uint32_t index = 0;
    for (; index < image.volumes.size(); ++index) {
        write_host_file(out_dir / package::volume_file_name(index), image.volumes[index]);
    }
    // Volumes left from an earlier package in the folder do not belong to this one.
    for (;; ++index) {
        const fs::path stale = out_dir / package::volume_file_name(index);
        if (!fs::is_regular_file(stale, ec)) break;
        fs::remove(stale, ec);
    }
    for (const auto& [name, bytes] : extras) write_host_file(out_dir / name, bytes);
    return image;
}

}  // namespace tools
