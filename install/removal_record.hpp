#pragma once
// The removal record: a hidden file beside the removal kit that lists every file the
// installer placed, so that the uninstaller deletes exactly those files where they are.

#include <span>
#include <string>
#include <vector>

namespace install {

/// One placed file.
struct removal_entry {
    std::string entry_key;     ///< key of the file_object in its map
    std::string install_path;  ///< the file_object's install_path (folder-macro form)
    std::string real_path;     ///< where the file was placed
    friend bool operator==(const removal_entry&, const removal_entry&) = default;
};

struct removal_record {
    /// Name of the record file in the application's folder.
    static constexpr const char* file_name = "arkrm.vrz";

    std::vector<removal_entry> entries;

    /// The stored form: "VRZRM1\n", uint32 count, then per entry three texts in the
    /// project archive's text encoding (entry_key, install_path, real_path).
    std::string serialize() const;
    /// Parses the stored form; throws model::format_error.
    static removal_record parse(std::span<const std::byte> bytes);
};

}  // namespace install
