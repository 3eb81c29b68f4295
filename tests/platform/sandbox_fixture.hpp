#pragma once
// A fresh sandbox folder per test, removed afterwards, with helpers to look at the host side.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/host_system.hpp"

namespace platform::testing {

namespace fs = std::filesystem;

/// A host path below base from a UTF-8 relative path ("C/日本語/a.txt" written as u8"...").
inline fs::path below(const fs::path& base, std::u8string_view relative) { return base / fs::path(relative); }

class sandbox_test : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
        name += "_";
        name += ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        root_ = fs::temp_directory_path() / ("vrz_platform_test_" + name);
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        sys_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    /// Opens (or reopens) the sandbox.
    host_system& open() {
        sys_.reset();
        sys_ = std::make_unique<host_system>(root_);
        return *sys_;
    }

    fs::path host(std::u8string_view relative) const { return below(root_, relative); }

    static void write_host(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << content;
    }

    static std::string read_host(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path root_;
    std::unique_ptr<host_system> sys_;
};

}  // namespace platform::testing
