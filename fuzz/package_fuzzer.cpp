// Arbitrary package files through extraction: the package directory, the piece directory
// and the joined volumes are cut from the input. Extraction runs in memory the way the copy
// step drives it; it must end, never crash, and never create a file outside the temporary
// folder. The tools' package reader reads the same bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model/byte_cursor.hpp"
#include "package/file_names.hpp"
#include "package/huffman_coder.hpp"
#include "package/package_extractor.hpp"
#include "package/package_reader.hpp"
#include "tests/package/package_memory_system.hpp"

namespace {

const std::string temp = "C:\\WINDOWS\\temp\\";

/// Input layout: uint16 length of the package directory, uint16 length of the piece
/// directory, then the two and the joined volumes (the rest).
bool split(std::span<const std::uint8_t> in, std::string parts[3]) {
    if (in.size() < 4) return false;
    std::size_t first = in[0] | (in[1] << 8);
    std::size_t second = in[2] | (in[3] << 8);
    in = in.subspan(4);
    first = std::min(first, in.size());
    second = std::min(second, in.size() - first);
    parts[0].assign(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(first));
    parts[1].assign(in.begin() + static_cast<std::ptrdiff_t>(first),
                    in.begin() + static_cast<std::ptrdiff_t>(first + second));
    parts[2].assign(in.begin() + static_cast<std::ptrdiff_t>(first + second), in.end());
    return true;
}

void run_copy_step(package_test::memory_system& sys) {
    package::package_extractor extractor(sys, temp);
    if (!extractor.load_directory() || !extractor.open_piece_table() || !extractor.next_volume()) return;
    std::int32_t index = 0;
    // Each entry takes at most two ticks: a volume change and its extraction.
    const long bound = 2L * extractor.last_entry_number() + 2;
    for (long ticks = 0; ticks < bound; ++ticks) {
        ++index;
        if (index > extractor.last_entry_number()) return;
        const auto result = extractor.extract_entry(index);
        if (result.status == package::extract_status::Done) continue;
        if (result.status != package::extract_status::VolumeChange) return;
        --index;
        if (!extractor.next_volume()) return;
    }
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string parts[3];
    if (!split({data, size}, parts)) return 0;

    const auto contents = package::read_package(model::as_bytes(parts[0]), model::as_bytes(parts[1]),
                                                model::as_bytes(parts[2]));
    for (const auto& entry : contents.entries) {
        if (entry.usable) package::huffman_decode(entry.packed);
    }

    package_test::memory_system sys;
    sys.put(temp + "arkmtx.vrz", parts[0]);
    sys.put(temp + "ark.vrz", parts[1]);
    sys.put(temp + "~vrncomp.tmp", parts[2]);
    run_copy_step(sys);
    for (const auto& path : sys.created) {
        if (path.compare(0, temp.size(), temp) != 0) __builtin_trap();
        const std::string name = path.substr(temp.size());
        if (!package::is_plain_file_name(name) || package::is_reserved_temp_name(name)) __builtin_trap();
    }
    return 0;
}
