#pragma once
// A scratch folder on the host for the package tool tests, removed afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/project_data.hpp"

namespace package_tool_test {

namespace fs = std::filesystem;

class scratch_test : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vrz_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        root = fs::temp_directory_path() / name;
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path put(const std::string& relative, const std::string& bytes) {
        const fs::path path = root / fs::path(std::u8string(relative.begin(), relative.end()));
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path root;
};

/// Bytes that compress a little but not to nothing; fixed seed.
inline std::string sample_bytes(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (auto& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>((seed >> 16) % 5 == 0 ? seed >> 9 : 'A' + (seed >> 20) % 6);
    }
    return s;
}

/// A project with one loose file_object per name, file_size 0.
inline model::project_data project_installing(const std::vector<std::string>& names) {
    model::project_data project;
    project.app_name.app_name = "Tool";
    for (const auto& name : names) {
        auto f = std::make_shared<model::file_object>();
        f->source_name = name;
        f->install_path = "[PROGRAM FILES]\\Tool\\" + name;
        project.files.files.insert_or_assign(name, f);
    }
    return project;
}

}  // namespace package_tool_test
