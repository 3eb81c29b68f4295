#pragma once
// An in-memory machine for the start-up tests: files by exact path, nothing else.
// Every other service answers as a machine on which it fails.

#include <cstring>
#include <map>
#include <set>
#include <vector>
#include <string>

#include "platform/system.hpp"
#include "tests/support/inert_system.hpp"

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

class fake_system : public test_support::inert_system {
public:
    std::map<std::string, std::string> files;  ///< exact path -> contents
    std::set<std::string> folders;             ///< exact paths
    std::set<std::string> unreadable;          ///< paths whose status works but map_file fails
    std::vector<std::string> status_queries;

    fake_system() { refusal = platform::file_error::AccessDenied; }

    int platform_id() override { return 2; }

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
    std::string current_directory() override { return "C:\\PACKAGE"; }
    std::unique_ptr<platform::mapped_file> map_file(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end() || unreadable.count(path)) return nullptr;
        return std::make_unique<memory_mapped_file>(it->second);
    }
};

}  // namespace setup_test
