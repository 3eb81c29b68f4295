#pragma once
// An in-memory platform::system for the package tests and fuzzers: files live in a map from
// path to bytes, every created path is recorded, and the rest of the machine is inert.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "package/memory_file.hpp"
#include "platform/system.hpp"
#include "tests/support/inert_system.hpp"

namespace package_test {

class memory_system : public test_support::inert_system {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::uint32_t> attributes;
    /// Every path passed to create_file, in order.
    std::vector<std::string> created;
    /// Paths whose creation fails; a write budget in bytes after which writes fail (-1: none).
    std::vector<std::string> refuse_create;
    long long write_budget = -1;
    /// The size of every write, in order.
    std::vector<std::size_t> write_sizes;
    int platform = 1;
    std::string windows = "C:\\WINDOWS";

    void put(const std::string& path, std::string bytes) { files[path] = std::move(bytes); }
    const std::string* get(const std::string& path) const {
        auto it = files.find(path);
        return it == files.end() ? nullptr : &it->second;
    }

    std::string windows_directory() override { return windows; }
    int platform_id() override { return platform; }
    std::uint32_t logical_drives() override { return 0; }
    int drive_type(const std::string&) override { return platform::DriveUnknown; }

    std::optional<platform::file_status> status(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        platform::file_status s;
        s.size = it->second.size();
        auto a = attributes.find(path);
        s.attributes = a == attributes.end() ? platform::Archive : a->second;
        return s;
    }
    platform::file_error copy_file(const std::string& from, const std::string& to, bool) override {
        auto it = files.find(from);
        if (it == files.end()) return platform::file_error::NotFound;
        created.push_back(to);
        files[to] = it->second;
        return platform::file_error::None;
    }
    platform::file_error delete_file(const std::string& path) override {
        return files.erase(path) ? platform::file_error::None : platform::file_error::NotFound;
    }
    platform::file_error set_attributes(const std::string& path, std::uint32_t a) override {
        if (!files.count(path)) return platform::file_error::NotFound;
        attributes[path] = a;
        return platform::file_error::None;
    }
    platform::file_error set_file_times(const std::string&, const platform::civil_time&,
                                        const platform::civil_time&) override {
        return platform::file_error::None;
    }
    platform::file_error create_directory(const std::string&) override { return platform::file_error::None; }
    platform::file_error remove_directory(const std::string&) override { return platform::file_error::None; }
    bool set_current_directory(const std::string&) override { return true; }

    std::unique_ptr<platform::mapped_file> map_file(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<package::memory_file>(it->second);
    }

    class memory_output : public platform::output_file {
    public:
        memory_output(memory_system& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        bool write(std::span<const std::byte> data) override {
            owner_.write_sizes.push_back(data.size());
            if (owner_.write_budget >= 0) {
                if (static_cast<long long>(data.size()) > owner_.write_budget) {
                    owner_.write_budget = 0;
                    return false;
                }
                owner_.write_budget -= static_cast<long long>(data.size());
            }
            owner_.files[path_].append(reinterpret_cast<const char*>(data.data()), data.size());
            return true;
        }
        bool close() override { return true; }

    private:
        memory_system& owner_;
        std::string path_;
    };

    std::unique_ptr<platform::output_file> create_file(const std::string& path,
                                                       platform::file_error* error) override {
        created.push_back(path);
        for (const auto& refused : refuse_create) {
            if (refused == path) {
                if (error) *error = platform::file_error::AccessDenied;
                return nullptr;
            }
        }
        files[path].clear();
        attributes.erase(path);
        return std::make_unique<memory_output>(*this, path);
    }
};

}  // namespace package_test
