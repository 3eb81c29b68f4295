#include "tools/package_folder.hpp"

#include <system_error>

#include "model/byte_cursor.hpp"
#include "package/volume_join.hpp"
#include "tools/package_files.hpp"

namespace tools {

namespace fs = std::filesystem;

namespace {

std::string read_or_note(const fs::path& path, const std::string& name, std::vector<std::string>& problems) {
    auto bytes = read_host_file(path);
    if (!bytes) {
        problems.push_back(name + " is missing");
        return {};
    }
    return std::move(*bytes);
}

}  // namespace

std::unique_ptr<package_folder> read_package_folder(const fs::path& folder) {
    auto package = std::make_unique<package_folder>();
    auto& problems = package->problems;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        problems.push_back(folder.string() + " is not a folder");
        return package;
    }

    const std::string header_bytes = read_or_note(folder / "arkci.vrz", "arkci.vrz", problems);
    package->header = package::parse_volume_header(model::as_bytes(header_bytes));
    if (!package->header && !header_bytes.empty()) problems.push_back("arkci.vrz is shorter than 16 bytes");
    // The package reader reports these two when they are missing or empty.
    package->directory_bytes = read_host_file(folder / "arkmtx.vrz").value_or("");
    package->piece_bytes = read_host_file(folder / "ark.vrz").value_or("");
    package->project_bytes = read_host_file(folder / "arkbs.vrz");

    if (package->header) {
        const std::uint32_t count = package->header->volume_count;
        for (std::uint32_t i = 0; i < count; ++i) {
            auto volume = read_host_file(folder / package::volume_file_name(i));
            if (!volume) {
                problems.push_back("volume " + package::volume_file_name(i) + " is missing (" +
                                   std::to_string(count) + " volumes counted); the volumes after it are not joined");
                break;
            }
            package->joined += *volume;
            ++package->volumes_joined;
        }
        if (package->volumes_joined == count && fs::exists(folder / package::volume_file_name(count), ec)) {
            problems.push_back("volume " + package::volume_file_name(count) + " is present but arkci.vrz counts " +
                               std::to_string(count) + " volumes");
        }
    }

    package->contents = package::read_package(model::as_bytes(package->directory_bytes),
                                               model::as_bytes(package->piece_bytes), model::as_bytes(package->joined));
    problems.insert(problems.end(), package->contents.problems.begin(), package->contents.problems.end());
    return package;
}

}  // namespace tools
