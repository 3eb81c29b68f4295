#include "package/volume_join.hpp"

#include <algorithm>
#include <cstdio>

#include "platform/system.hpp"

namespace package {

std::string volume_file_name(std::uint32_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "ray%03u.vrz", static_cast<unsigned>(index));
    return name;
}

namespace {

bool is_file(platform::system& sys, const std::string& path) {
    auto status = sys.status(path);
    return status && !status->is_directory;
}

}  // namespace

bool join_volumes(platform::system& sys, const std::string& temp_folder, std::uint32_t volume_count,
                  const join_progress& progress) {
    auto joined = sys.create_file(temp_folder + joined_volume_name);
    if (!joined) return false;
    for (std::uint32_t i = 0; i < volume_count; ++i) {
        if (progress) progress(i);
        const std::string path = temp_folder + volume_file_name(i);
        if (!is_file(sys, path)) break;
        auto volume = sys.map_file(path);
        if (!volume) return false;
        auto bytes = volume->bytes();
        // Block-wise, so that a large volume is written in bounded pieces.
        for (std::size_t at = 0; at < bytes.size(); at += join_block_size) {
            const std::size_t n = std::min(join_block_size, bytes.size() - at);
            if (!joined->write(bytes.subspan(at, n))) return false;
        }
    }
    return joined->close();
}

}  // namespace package
