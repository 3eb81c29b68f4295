#pragma once
// The package half of the installer's preparation: the temporary folder, the copy of the
// package's control files into it, the volumes gathered from one or more disks and joined
// into "~vrncomp.tmp". The checks before it (drives, free space, running programs) belong
// to the preparation window; it calls these steps in order and keeps the progress position.

#include <cstdint>
#include <optional>
#include <string>

#include "package/volume_header.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"

namespace install {

/// The progress bar of the preparation window (control 1001, range 0 to 100; larger
/// positions show as full).
class preparation_view {
public:
    virtual ~preparation_view() = default;
    virtual void set_progress(int position) = 0;
};

class package_preparation {
public:
    /// source_folder is the package's folder (the installer's current directory); empty
    /// means names relative to the current directory.
    package_preparation(platform::system& sys, platform::screen& screen, preparation_view& view,
                        std::string source_folder);

    /// Reads the volume header "arkci.vrz" of the package. When it cannot be read, or holds
    /// fewer than 16 bytes, shows the package-file message (stop icon, title) and returns
    /// false: the preparation has failed.
    bool read_volume_header(const std::string& title);
    /// Sets the header instead of reading it.
    void set_volume_header(const package::volume_header& header) { header_ = header; }
    const std::optional<package::volume_header>& volume_header() const { return header_; }

    /// The Windows folder and the temporary folder T of the machine.
    void find_folders();
    const std::string& windows_folder() const { return windows_folder_; }
    /// T, ending in a backslash (empty on a platform that has none).
    const std::string& temp_folder() const { return temp_folder_; }

    /// Copies the control files into T, overwriting, in their fixed order; failures are not
    /// reported (the steps that need a file report its absence).
    void copy_control_files();

    /// Gathers the volumes into T, asking for the next floppy disk for each volume missing
    /// from the package folder, then joins them into T + "~vrncomp.tmp". Moves the bar from
    /// position on and leaves position at the end. False when the user cancels a disk
    /// request (the control files are then deleted from T) or when the joined file cannot
    /// be made.
    bool gather_and_join(int& position);

    /// Steps 16 to 20 in a row: control files, bar, volumes, join.
    bool copy_package(int& position);

    /// Deletes the copied control files from T.
    void delete_temp_files();

    /// The package file name in the package folder.
    std::string source_path(const std::string& name) const;

private:
    bool gather_volumes(std::uint32_t count, std::uint32_t share, int& position);
    void set_bar(int position);

    platform::system& sys_;
    platform::screen& screen_;
    preparation_view& view_;
    std::string source_folder_;
    std::string windows_folder_;
    std::string temp_folder_;
    std::optional<package::volume_header> header_;
};

/// The control files of a package and their names in T, in the order they are copied.
struct control_file {
    const char* source;
    const char* copy;
};
inline constexpr control_file control_files[] = {
    {"spex1.dat", "Setup.exe"},     {"spex2.dat", "qlun.exe"},    {"arkmtx.vrz", "arkmtx.vrz"},
    {"ark.vrz", "ark.vrz"},         {"arkbs.vrz", "arkbs.vrz"},   {"arkci.vrz", "arkci.vrz"},
    {"licence.lic", "licence.lic"}, {"readme.txt", "readme.txt"},
};

}  // namespace install
