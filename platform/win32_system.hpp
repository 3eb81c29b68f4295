#pragma once
// The real Windows machine: every call goes to the wide-character Win32 API, with the
// code page 932 texts of the core converted at this boundary.

#include "platform/system.hpp"

namespace platform {

class win32_system : public system {
public:
    win32_system() = default;

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
    bool start_process(const std::string& path) override;
};

}  // namespace platform
