// vrz show FILE: a project file as JSON. vrz project JSON OUT: a project file from JSON.

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>

#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"
#include "tools/commands.hpp"
#include "tools/project_json.hpp"

namespace tools {

namespace {

std::optional<std::string> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

[[noreturn]] void failed(const std::string& message) {
    std::cerr << "vrz: " << message << "\n";
    throw command_failed(1, message);
}

void show(const std::string& path) {
    const auto bytes = read_whole_file(path);
    if (!bytes) failed(path + ": cannot read the file");
    nlohmann::ordered_json json;
    try {
        json = project_file_to_json(model::as_bytes(*bytes));
    } catch (const model::format_error& e) {
        failed(path + ": not a valid project file: " + e.what());
    }
    std::cout << json.dump(2) << "\n";
    std::cout.flush();
    if (!std::cout) failed("cannot write the output");
}

void build(const std::string& json_path, const std::string& out_path) {
    const auto text = read_whole_file(json_path);
    if (!text) failed(json_path + ": cannot read the file");
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(*text);
    } catch (const nlohmann::json::exception& e) {
        failed(json_path + ": not valid JSON: " + e.what());
    }
    std::string bytes;
    try {
        bytes = model::serialize_project(project_from_json(json));
        // What was built must read back: the reader's bounds hold for it too.
        model::parse_project(model::as_bytes(bytes));
    } catch (const json_error& e) {
        failed(json_path + ": " + e.what());
    } catch (const model::format_error& e) {
        failed(json_path + ": the project would not read back: " + e.what());
    }
    std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) failed(out_path + ": cannot write the file");
}

}  // namespace

void add_project_commands(CLI::App& app) {
    auto* show_cmd = app.add_subcommand("show", "Print a project file (arkbs.vrz) as JSON");
    auto file = std::make_shared<std::string>();
    show_cmd->add_option("FILE", *file, "the project file")->required();
    show_cmd->callback([file] { show(*file); });

    auto* project_cmd = app.add_subcommand("project", "Write a project file from its JSON (as vrz show prints it)");
    auto json_path = std::make_shared<std::string>();
    auto out_path = std::make_shared<std::string>();
    project_cmd->add_option("JSON", *json_path, "the project as JSON")->required();
    project_cmd->add_option("OUT", *out_path, "the project file to write")->required();
    project_cmd->callback([json_path, out_path] { build(*json_path, *out_path); });
}

}  // namespace tools
