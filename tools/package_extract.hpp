#pragma once
// vrz extract: decoding a package folder on the host.

#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>

namespace tools {

/// A decoded packed entry; complete is false when the stream ran out before its end symbol.
struct decoded_entry {
    std::string data;
    bool complete = false;
};

decoded_entry decode_packed(std::span<const std::byte> packed);

/// Decodes every entry of the package folder into out_dir (created when missing) under its
/// application file name. Names that are not plain file names are refused; nothing is written
/// outside out_dir. Problems go to err; with progress, a bar is drawn on err. Returns the exit
/// code: 0 when every entry was extracted and nothing was wrong, 1 otherwise.
int extract_package(const std::filesystem::path& package_dir, const std::filesystem::path& out_dir,
                    std::ostream& out, std::ostream& err, bool progress);

/// Lists the entries: number, volume, packed name, application name, packed and decoded sizes.
int list_package(const std::filesystem::path& package_dir, std::ostream& out, std::ostream& err);

}  // namespace tools
