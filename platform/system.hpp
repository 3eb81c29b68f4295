#pragma once
// The narrow operating-system interface of the core. Every path and text here is a
// code page 932 byte string with Windows conventions (drive letters, backslashes).
// Two implementations: win32_system (the real machine) and host_system (a sandbox
// folder on the build host, with the registry in a JSON file).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

/// Windows file attribute bits as the core uses them.
enum file_attribute : std::uint32_t {
    ReadOnly = 0x01,
    Hidden = 0x02,
    System = 0x04,
    Directory = 0x10,
    Archive = 0x20,
    Normal = 0x80,
};

/// Why a file operation failed, in the terms the programs report to the user.
enum class file_error {
    None,
    NotFound,
    PathNotFound,
    AccessDenied,
    SharingViolation,
    DiskFull,
    Other,
};

/// A broken-down local date and time, to the second.
struct civil_time {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const civil_time&, const civil_time&) = default;
    friend auto operator<=>(const civil_time&, const civil_time&) = default;
};

struct file_status {
    bool is_directory = false;
    std::uint64_t size = 0;
    std::uint32_t attributes = 0;
    civil_time created;     ///< local time
    civil_time last_write;  ///< local time
};

/// Free space of a drive in the terms of GetDiskFreeSpace.
struct disk_space {
    std::uint32_t sectors_per_cluster = 0;
    std::uint32_t bytes_per_sector = 0;
    std::uint32_t free_clusters = 0;
};

/// Drive types as GetDriveType reports them.
enum drive_type : int {
    DriveUnknown = 0,
    DriveNoRootDir = 1,
    DriveRemovable = 2,
    DriveFixed = 3,
    DriveRemote = 4,
    DriveCdrom = 5,
    DriveRamdisk = 6,
};

enum class root_key { CurrentUser, LocalMachine, Users, CurrentConfig };

/// Everything a shortcut (.lnk) file carries.
struct shell_link {
    std::string target;
    std::string arguments;
    std::string description;
    std::string icon_path;
    std::int32_t icon_index = 0;
    std::string working_directory;
    std::int32_t show_command = 0;
    std::uint16_t hot_key = 0;
};

/// A read-only view of a whole file; the bytes stay valid while the object lives.
class mapped_file {
public:
    virtual ~mapped_file() = default;
    virtual std::span<const std::byte> bytes() const = 0;
};

/// A file open for writing (created or truncated).
class output_file {
public:
    virtual ~output_file() = default;
    /// Writes all of data; false on any failure (disk full, I/O error).
    virtual bool write(std::span<const std::byte> data) = 0;
    /// Flushes and closes; false when data could not be written. Called by the destructor too.
    virtual bool close() = 0;
};

class system {
public:
    virtual ~system() = default;

    // Machine facts.
    /// The Windows directory without a trailing backslash, such as C:\WINDOWS.
    virtual std::string windows_directory() = 0;
    /// The system directory without a trailing backslash, such as C:\WINDOWS\SYSTEM.
    virtual std::string system_directory() = 0;
    /// 1 for the Windows 95/98 family, 2 for NT.
    virtual int platform_id() = 0;
    /// The logged-on user's name; nullopt when it cannot be read.
    virtual std::optional<std::string> user_name() = 0;
    /// Bit i set: drive 'A' + i exists.
    virtual std::uint32_t logical_drives() = 0;
    virtual int drive_type(const std::string& root) = 0;
    virtual std::optional<disk_space> free_space(const std::string& root) = 0;

    // Files and folders.
    virtual std::optional<file_status> status(const std::string& path) = 0;
    virtual file_error copy_file(const std::string& from, const std::string& to, bool replace) = 0;
    virtual file_error delete_file(const std::string& path) = 0;
    virtual file_error set_attributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual file_error set_file_times(const std::string& path, const civil_time& created,
                                      const civil_time& last_write) = 0;
    /// Creates one folder; an existing folder is not an error.
    virtual file_error create_directory(const std::string& path) = 0;
    /// Removes an empty folder.
    virtual file_error remove_directory(const std::string& path) = 0;
    virtual std::string current_directory() = 0;
    virtual bool set_current_directory(const std::string& path) = 0;
    /// Names (not paths) of the entries of a folder, without "." and "..".
    virtual std::vector<std::string> list_directory(const std::string& path) = 0;
    /// Maps a whole file read-only; null when it cannot be opened. An empty file maps to no bytes.
    virtual std::unique_ptr<mapped_file> map_file(const std::string& path) = 0;
    /// Creates or truncates a file for writing; null with the cause in error when that fails.
    virtual std::unique_ptr<output_file> create_file(const std::string& path, file_error* error = nullptr) = 0;

    // Registry. sub_key is the path below the root ("" for the root itself); value
    // name "" is the unnamed value. Values are always REG_SZ.
    virtual bool key_exists(root_key root, const std::string& sub_key) = 0;
    /// Opens or creates the key with every missing key above it.
    virtual bool create_key(root_key root, const std::string& sub_key) = 0;
    virtual std::optional<std::string> query_value(root_key root, const std::string& sub_key,
                                                   const std::string& name) = 0;
    virtual bool set_value(root_key root, const std::string& sub_key, const std::string& name,
                           const std::string& data) = 0;
    virtual bool delete_value(root_key root, const std::string& sub_key, const std::string& name) = 0;
    /// True when the key has neither values nor sub-keys.
    virtual bool key_is_empty(root_key root, const std::string& sub_key) = 0;
    /// Deletes a key that has no sub-keys.
    virtual bool delete_key(root_key root, const std::string& sub_key) = 0;

    // Shell and processes.
    /// Writes a shortcut file, replacing an existing one.
    virtual bool create_shell_link(const shell_link& link, const std::string& link_path) = 0;
    /// Starts a program without waiting for it.
    virtual bool start_process(const std::string& path) = 0;
};

}  // namespace platform
