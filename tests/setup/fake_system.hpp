#pragma once
// An in-memory machine for the start-up tests: files by exact path, nothing else.
// Every other service answers as a machine on which it fails.

#include <cstring>
#include <map>
#include <set>
#include <vector>
#include <string>

#include "platform/system.hpp"

namespace setup_test {

class memory_mapped_file : public platform::mapped_file {
public:
    explicit memory_mapped_file(std::string bytes) : bytes_(std::move(bytes)) {}
    std::span<const std::byte> bytes() const override {
        return {reinterpret_cast<const std::byte*>(bytes_.data()), bytes_.size()};
    }

private:
    std::string bytes_;
};

class fake_system : public platform::system {
public:
    std::map<std::string, std::string> files;  ///< exact path -> contents
    std::set<std::string> folders;             ///< exact paths
    std::set<std::string> unreadable;          ///< paths whose status works but map_file fails
    std::vector<std::string> status_queries;

    std::string windows_directory() override { return "C:\\WINDOWS"; }
    std::string system_directory() override { return "C:\\WINDOWS\\SYSTEM"; }
    int platform_id() override { return 2; }
    std::optional<std::string> user_name() override { return std::nullopt; }
    std::uint32_t logical_drives() override { return 0x4; }
    int drive_type(const std::string&) override { return platform::DriveFixed; }
    std::optional<platform::disk_space> free_space(const std::string&) override { return std::nullopt; }

    std::optional<platform::file_status> status(const std::string& path) override {
        status_queries.push_back(path);
        platform::file_status st;
        if (folders.count(path)) {
            st.is_directory = true;
            st.attributes = platform::Directory;
            return st;
        }
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        st.size = it->second.size();
        st.attributes = platform::Archive;
        return st;
    }
    platform::file_error copy_file(const std::string&, const std::string&, bool) override { return denied(); }
    platform::file_error delete_file(const std::string&) override { return denied(); }
    platform::file_error set_attributes(const std::string&, std::uint32_t) override { return denied(); }
    platform::file_error set_file_times(const std::string&, const platform::civil_time&,
                                        const platform::civil_time&) override {
        return denied();
    }
    platform::file_error create_directory(const std::string&) override { return denied(); }
    platform::file_error remove_directory(const std::string&) override { return denied(); }
    std::string current_directory() override { return "C:\\PACKAGE"; }
    bool set_current_directory(const std::string&) override { return false; }
    std::vector<std::string> list_directory(const std::string&) override { return {}; }
    std::unique_ptr<platform::mapped_file> map_file(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end() || unreadable.count(path)) return nullptr;
        return std::make_unique<memory_mapped_file>(it->second);
    }
    std::unique_ptr<platform::output_file> create_file(const std::string&,
                                                       platform::file_error* error) override {
        if (error) *error = denied();
        return nullptr;
    }

    bool key_exists(platform::root_key, const std::string&) override { return false; }
    bool create_key(platform::root_key, const std::string&) override { return false; }
    std::optional<std::string> query_value(platform::root_key, const std::string&,
                                           const std::string&) override {
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

private:
    static platform::file_error denied() { return platform::file_error::AccessDenied; }
};

}  // namespace setup_test
