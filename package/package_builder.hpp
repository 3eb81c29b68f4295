#pragma once
// Builds the package files from the application files: the package directory
// "arkmtx.vrz", the piece directory "ark.vrz", the joined volume table cut into volumes,
// and the volume header "arkci.vrz". Used by vrz pack and to make test packages.
//
// Layout produced:
// - Entries are numbered 1 to n in the order given; entry k is named "%03d" of k.
// - The joined volume table holds one record per entry with its packed bytes, the packed
//   file's name and the entry's volume number. It is cut into the volumes ray000.vrz, ...
// - The piece directory holds the same records without data, plus a record "000" (volume 0,
//   no file name) that no extraction opens: its record count N is thus n + 1, and the
//   installer extracts the entries 1 to N - 1.
// - Volume numbers count from 1 and rise by exactly 1 whenever the volume in which an entry's
//   data starts (taking the furthest seen so far) changes, so that the copy step's volume
//   counter, which starts at 1 with the first entry and rises by 1 per volume change, meets
//   every entry's number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/volume_header.hpp"

namespace package {

/// One application file to pack. Names are code page 932.
struct packed_file {
    std::string real_name;    ///< the file's name in the package (matched by file_object source_name)
    std::string packed_name;  ///< 8.3 name of the packed temporary file; empty: one is generated
    std::int32_t packed_value = 0;  ///< carried in the package directory
    std::string data;         ///< the file's bytes
};

struct build_options {
    /// Number of volumes; used when volume_size is 0. The joined bytes are shared out evenly.
    std::uint32_t volume_count = 1;
    /// Largest size of a volume in bytes; 0: cut by volume_count instead.
    std::uint64_t volume_size = 0;
    /// Space the installation needs; nullopt: the sum of the files' sizes.
    std::optional<std::uint32_t> required_bytes;
    std::uint32_t value_1 = 0;  ///< the header's two kept values
    std::uint32_t value_2 = 0;
};

/// What became of one packed file.
struct built_entry {
    std::uint32_t number = 0;
    std::uint32_t volume = 0;
    std::string packed_name;
    std::string real_name;
    std::uint64_t packed_size = 0;
    std::uint64_t size = 0;
};

struct package_image {
    std::string package_directory;  ///< "arkmtx.vrz"
    std::string piece_directory;    ///< "ark.vrz"
    std::string joined;             ///< "~vrncomp.tmp": the volumes joined
    std::vector<std::string> volumes;  ///< ray000.vrz, ray001.vrz, ...
    volume_header header;           ///< "arkci.vrz"
    std::vector<built_entry> entries;
};

/// Generated packed names: "PK" + the entry number formatted "%06u" + ".TMP".
std::string generated_packed_name(std::uint32_t number);

/// Encodes and lays out the files. Throws std::invalid_argument for a name that is not a
/// plain file name, a packed name that is not 8.3, names that repeat (case-insensitive),
/// or contradicting volume options; std::length_error when the joined table passes 4 GiB.
package_image build_package(const std::vector<packed_file>& files, const build_options& options);

}  // namespace package
