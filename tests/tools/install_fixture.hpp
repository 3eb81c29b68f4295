#pragma once
// Helpers of the vrz plan/install/uninstall tests: a scratch folder, a sample package made
// with vrz pack, the commands run in-process with their output captured, and a snapshot of
// a sandbox's files and registry.

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/project_data.hpp"
#include "tools/commands.hpp"

namespace install_tool_test {

namespace fs = std::filesystem;

struct vrz_result {
    int code = 0;
    std::string out;
    std::string err;
};

/// Runs vrz with the arguments given (after the program name), in-process.
inline vrz_result run_vrz(std::vector<std::string> args) {
    CLI::App app;
    app.require_subcommand(1);
    tools::add_project_commands(app);
    tools::add_package_commands(app);
    tools::add_install_commands(app);
    std::ostringstream out, err;
    auto* old_out = std::cout.rdbuf(out.rdbuf());
    auto* old_err = std::cerr.rdbuf(err.rdbuf());
    vrz_result result;
    std::reverse(args.begin(), args.end());  // CLI11 takes a vector last argument first
    try {
        app.parse(args);
    } catch (const tools::command_failed& e) {
        result.code = e.exit_code();
    } catch (const CLI::ParseError& e) {
        result.code = 100 + e.get_exit_code();
        err << e.what();
    }
    std::cout.rdbuf(old_out);
    std::cerr.rdbuf(old_err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

/// A folder of its own per test, removed afterwards.
class scratch_test : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vrz_install_tool_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        root = fs::temp_directory_path() / name;
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path put(const fs::path& relative, const std::string& bytes) const {
        const fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    /// Packs project and files (name -> bytes) with vrz pack into root/name and returns that folder.
    fs::path pack(const std::string& name, const model::project_data& project,
                  const std::map<std::string, std::string>& files, const nlohmann::json& options = {}) const {
        const fs::path src = root / (name + "_src");
        put(src.filename() / "arkbs.in", model::serialize_project(project));
        nlohmann::json list = nlohmann::json::array();
        for (const auto& [file, data] : files) {
            put(src.filename() / file, data);
            list.push_back({{"source", file}});
        }
        put(src.filename() / "spex1.dat", "setup program");
        put(src.filename() / "spex2.dat", "uninstaller program");
        nlohmann::json manifest{{"project_file", "arkbs.in"},
                                {"files", list},
                                {"installer", "spex1.dat"},
                                {"uninstaller", "spex2.dat"}};
        if (options.is_object()) manifest.update(options);
        put(src.filename() / "manifest.json", manifest.dump());
        const auto packed = run_vrz({"pack", (src / "manifest.json").string(), (root / name).string()});
        EXPECT_EQ(packed.code, 0) << packed.err;
        return root / name;
    }

    fs::path root;
};

/// The files (host paths below root, '/'-separated) and the registry of a sandbox.
struct sandbox_snapshot {
    std::set<std::string> files;
    std::set<std::string> folders;
    nlohmann::json registry;
};

inline sandbox_snapshot snapshot(const fs::path& sandbox_root) {
    sandbox_snapshot s;
    for (const auto& entry : fs::recursive_directory_iterator(sandbox_root)) {
        const std::string relative = fs::relative(entry.path(), sandbox_root).generic_string();
        if (entry.is_directory()) {
            s.folders.insert(relative);
        } else if (relative.find('/') != std::string::npos) {  // files of the drives only
            s.files.insert(relative);
        }
    }
    std::ifstream in(sandbox_root / "registry.json");
    s.registry = in ? nlohmann::json::parse(in) : nlohmann::json::object();
    return s;
}

/// A[i] \ B.
inline std::vector<std::string> difference(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

/// UTF-8 text of a u8 literal.
inline std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace install_tool_test
