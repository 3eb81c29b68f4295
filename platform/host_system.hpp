#pragma once
// The host sandbox: a Windows machine kept in one folder ROOT of the build host.
//   ROOT/X/            drive X: (upper-case letter), names in UTF-8
//   ROOT/registry.json the registry: full key path -> { value name -> string }
//   ROOT/machine.json  optional machine facts (Windows folder, drives, user, ...)
//   ROOT/attributes.json  Windows attributes and creation times of files
// Windows paths (code page 932) are found case-insensitively, component by component,
// as on Windows; nothing outside ROOT is ever touched. docs/sandbox.md has the formats.
// One host_system per ROOT at a time; not for use from several threads.

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "platform/system.hpp"

namespace platform {

/// A sandbox whose files cannot be read or whose settings are malformed.
class sandbox_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class host_system : public system {
public:
    /// Opens (creating when needed) the sandbox in root: reads machine.json, creates the
    /// drive folders, the Windows, system and temporary folders and the Programs folders,
    /// and enters the Programs folders in the registry when they are missing there.
    /// Throws sandbox_error when a settings file is malformed or the folders cannot be made.
    explicit host_system(std::filesystem::path root);

    /// The host path a Windows path names (existing entries matched case-insensitively);
    /// nullopt when the path is malformed, leaves the sandbox or its folder is missing.
    std::optional<std::filesystem::path> host_path(const std::string& path);

    std::string windows_directory() override;
    std::string system_directory() override;
    int platform_id() override;
    std::optional<std::string> user_name() override;
    std::uint32_t logical_drives() override;
    int drive_type(const std::string& root) override;
    std::optional<disk_space> free_space(const std::string& root) override;

    std::optional<file_status> status(const std::string& path) override;
    file_error copy_file(const std::string& from, const std::string& to, bool replace) override;
    file_error delete_file(const std::string& path) override;
    file_error set_attributes(const std::string& path, std::uint32_t attributes) override;
    file_error set_file_times(const std::string& path, const civil_time& created,
                              const civil_time& last_write) override;
    file_error create_directory(const std::string& path) override;
    file_error remove_directory(const std::string& path) override;
    std::string current_directory() override;
    bool set_current_directory(const std::string& path) override;
    std::vector<std::string> list_directory(const std::string& path) override;
    std::unique_ptr<mapped_file> map_file(const std::string& path) override;
    std::unique_ptr<output_file> create_file(const std::string& path, file_error* error = nullptr) override;

    bool key_exists(root_key root, const std::string& sub_key) override;
    bool create_key(root_key root, const std::string& sub_key) override;
    std::optional<std::string> query_value(root_key root, const std::string& sub_key,
                                           const std::string& name) override;
    bool set_value(root_key root, const std::string& sub_key, const std::string& name,
                   const std::string& data) override;
    bool delete_value(root_key root, const std::string& sub_key, const std::string& name) override;
    bool key_is_empty(root_key root, const std::string& sub_key) override;
    bool delete_key(root_key root, const std::string& sub_key) override;

    bool create_shell_link(const shell_link& link, const std::string& link_path) override;
    /// The sandbox runs nothing: true when path names an existing file, which is recorded
    /// in started_processes().
    bool start_process(const std::string& path) override;
    /// The programs start_process was asked to start, in order.
    const std::vector<std::string>& started_processes() const { return started_; }

private:
    struct drive {
        int type = DriveFixed;
        disk_space space;
    };
    struct resolved;
    struct file_meta {
        std::optional<std::uint32_t> attributes;  ///< settable bits; none: the default
        std::optional<civil_time> created;
    };
    struct reg_value {
        std::string name;
        std::string data;
    };
    struct reg_key {
        std::string path;                         ///< full path as first spelled
        std::map<std::string, reg_value> values;  ///< by folded name
    };

    void load_machine();
    void prepare_folders();
    void load_registry();
    void save_registry();
    void load_attributes();
    void save_attributes();
    void seed_programs_folder(root_key root, const std::string& folder);

    resolved resolve(const std::string& path);
    std::string sidecar_key(const std::filesystem::path& host) const;
    std::uint32_t attributes_of(const std::filesystem::path& host, bool is_directory) const;
    void forget(const std::filesystem::path& host);

    std::optional<std::string> key_path(root_key root, const std::string& sub_key) const;
    reg_key* find_key(root_key root, const std::string& sub_key);

    std::filesystem::path root_;
    std::string windows_directory_ = "C:\\WINDOWS";
    std::string system_directory_ = "C:\\WINDOWS\\SYSTEM";
    int platform_id_ = 1;
    std::optional<std::string> user_name_ = "user";
    std::optional<std::string> default_programs_;
    std::optional<std::string> user_programs_;
    std::map<char, drive> drives_;
    std::string current_;                      ///< normalised, such as C:\ or C:\WINDOWS
    std::map<std::string, reg_key> registry_;  ///< by folded full path
    std::map<std::string, file_meta> meta_;    ///< by host path relative to root, '/'-separated
    std::vector<std::string> started_;
};

}  // namespace platform
