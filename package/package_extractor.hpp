#pragma once
// Extraction of the package's packed entries in the temporary folder: the copy step's
// open-piece-table, volume and entry steps. One object serves a whole copy step.
//
// Files read from the temporary folder T: "arkmtx.vrz" (package directory), "ark.vrz"
// (piece directory, a table file) and "~vrncomp.tmp" (the joined volumes, a table file).
// For each entry it writes the packed temporary file T + the piece record's file name and
// decodes it into T + the entry's real_name. Nothing is ever written outside T: a package
// whose names would leave T is reported as damaged.

#include <cstdint>
#include <string>

#include "model/package_directory.hpp"
#include "package/file_names.hpp"
#include "package/table_store.hpp"

namespace platform {
class system;
}

namespace package {

inline constexpr const char* package_directory_name = "arkmtx.vrz";
inline constexpr const char* piece_directory_name = "ark.vrz";

enum class extract_status {
    /// The decoded application file is in T under real_name.
    Done,
    /// The entry's volume number is above the volume counter: run the volume step
    /// (next_volume), then ask for the same entry again.
    VolumeChange,
    /// The entry is missing from the joined volume table, or its bytes lie outside the file
    /// (the joining stopped early). Reopening the joined file cannot bring it back, so the
    /// caller reports the joined volumes as unreadable instead of going on without the file.
    NameNotFound,
    /// The packed temporary file or the decoded file could not be written in full.
    WriteFailure,
    /// The piece directory or the package directory is damaged: an entry number is missing,
    /// volume numbers go backwards, a name would leave T or overwrite a package file that
    /// the copy step still needs, the packed and the decoded file share a name, or the packed
    /// file matches no packed_name. The caller reports the package as unreadable.
    Damaged,
};

struct extract_result {
    extract_status status = extract_status::Damaged;
    /// Done: the application file's name, to be placed by the copy engine.
    std::string real_name;
    /// Anything but Done: what was wrong, in plain words (for logs and tools, not for the user).
    std::string problem;
};

class package_extractor {
public:
    /// temp_folder is T: it ends with a backslash, or is empty for the current folder.
    package_extractor(platform::system& sys, std::string temp_folder);

    /// Reads T + "arkmtx.vrz"; false when it is missing or malformed.
    bool load_directory();
    /// The package directory read by load_directory.
    const model::package_directory& directory() const { return directory_; }

    /// Opens T + "ark.vrz" with N - 1 handle slots, N being its record count. False when the
    /// file is missing or is no table file.
    bool open_piece_table();
    /// N - 1: entries are numbered 1 to this (0 until the piece table is open).
    std::int32_t last_entry_number() const { return last_entry_number_; }

    /// The volume step: advances the volume counter and opens T + "~vrncomp.tmp" afresh.
    /// The counter goes up by 1, or straight to the volume number of the entry that asked
    /// for the change when that is higher: the joined file is the same for every volume, so
    /// a package whose numbers jump needs one step per change, not one per number.
    /// False when the file is missing or is no table file.
    bool next_volume();
    /// Starts at 0; the first next_volume makes it 1.
    std::uint32_t volume_counter() const { return volume_counter_; }

    /// Extracts entry number i (1 to last_entry_number()).
    extract_result extract_entry(std::int32_t i);

    /// Path of the last packed temporary file written (empty before the first).
    const std::string& packed_path() const { return packed_path_; }

    /// Releases both tables.
    void close_all();

private:
    extract_result damaged(std::string problem);

    platform::system& sys_;
    std::string temp_folder_;
    model::package_directory directory_;
    table_store piece_table_;
    table_store volume_table_;
    std::int32_t last_entry_number_ = 0;
    std::uint32_t volume_counter_ = 0;
    std::uint32_t pending_volume_ = 0;  // the volume an entry asked for
    std::string packed_path_;
};

}  // namespace package
