#pragma once
// A machine for tests on which nothing exists: every query finds nothing and every change
// fails with `refusal`. A test's fake derives from it and overrides only what it models.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.hpp"

namespace test_support {

class inert_system : public platform::system {
public:
    /// What every file operation that is not overridden answers.
    platform::file_error refusal = platform::file_error::Other;

    std::string windows_directory() override { return "C:\\WINDOWS"; }
    std::string system_directory() override { return "C:\\WINDOWS\\SYSTEM"; }
    int platform_id() override { return 1; }
    std::optional<std::string> user_name() override { return std::nullopt; }
    std::uint32_t logical_drives() override { return 0x4; }
    int drive_type(const std::string&) override { return platform::DriveFixed; }
    std::optional<platform::disk_space> free_space(const std::string&) override { return std::nullopt; }

    std::optional<platform::file_status> status(const std::string&) override { return std::nullopt; }
    platform::file_error copy_file(const std::string&, const std::string&, bool) override { return refusal; }
    platform::file_error delete_file(const std::string&) override { return refusal; }
    platform::file_error set_attributes(const std::string&, std::uint32_t) override { return refusal; }
    platform::file_error set_file_times(const std::string&, const platform::civil_time&,
                                        const platform::civil_time&) override {
        return refusal;
    }
    platform::file_error create_directory(const std::string&) override { return refusal; }
    platform::file_error remove_directory(const std::string&) override { return refusal; }
    std::string current_directory() override { return "C:\\"; }
    bool set_current_directory(const std::string&) override { return false; }
    std::vector<std::string> list_directory(const std::string&) override { return {}; }
    std::unique_ptr<platform::mapped_file> map_file(const std::string&) override { return nullptr; }
    std::unique_ptr<platform::output_file> create_file(const std::string&, platform::file_error* error) override {
        if (error) *error = refusal;
        return nullptr;
    }

    bool key_exists(platform::root_key, const std::string&) override { return false; }
    bool create_key(platform::root_key, const std::string&) override { return false; }
    std::optional<std::string> query_value(platform::root_key, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool set_value(platform::root_key, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    bool delete_value(platform::root_key, const std::string&, const std::string&) override { return false; }
    bool key_is_empty(platform::root_key, const std::string&) override { return true; }
    bool delete_key(platform::root_key, const std::string&) override { return false; }

    bool create_shell_link(const platform::shell_link&, const std::string&) override { return false; }
    bool start_process(const std::string&) override { return false; }
};

}  // namespace test_support
