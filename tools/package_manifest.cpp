#include "tools/package_manifest.hpp"

#include <fstream>
#include <iterator>
#include <set>

#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"
#include "platform/codepage.hpp"
#include "tools/project_json.hpp"

namespace tools {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& field, const std::string& what) {
    throw manifest_error(field + ": " + what);
}

/// A host path from a UTF-8 text of the manifest, relative ones against base.
fs::path host_path(const nlohmann::json& j, const std::string& field, const fs::path& base) {
    if (!j.is_string() || j.get<std::string>().empty()) fail(field, "expected a file path");
    const std::string text = j.get<std::string>();
    const fs::path path(std::u8string(text.begin(), text.end()));
    return path.is_absolute() ? path : base / path;
}

std::string read_file(const fs::path& path, const std::string& field) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(field, "cannot read " + path.string());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) fail(field, "cannot read " + path.string());
    return bytes;
}

std::uint64_t unsigned_value(const nlohmann::json& j, const std::string& field, std::uint64_t max) {
    const std::string expected = "expected a whole number from 0 to " + std::to_string(max);
    if (!j.is_number_integer()) fail(field, expected);
    if (!j.is_number_unsigned() && j.get<std::int64_t>() < 0) fail(field, expected);
    if (j.get<std::uint64_t>() > max) fail(field, expected);
    return j.get<std::uint64_t>();
}

std::string cp932_text(const nlohmann::json& j, const std::string& field) {
    try {
        return text_from_json(j, field);
    } catch (const json_error& e) {
        throw manifest_error(e.what());
    }
}

manifest_file file_from_json(const nlohmann::json& j, const std::string& field, const fs::path& base) {
    if (!j.is_object()) fail(field, "expected an object {\"source\", \"name\", ...}");
    manifest_file file;
    for (const auto& item : j.items()) {
        const std::string key = item.key();
        const std::string sub = field + "." + key;
        if (key == "source") {
            file.source = host_path(item.value(), sub, base);
        } else if (key == "name") {
            file.real_name = cp932_text(item.value(), sub);
        } else if (key == "packed_name") {
            file.packed_name = cp932_text(item.value(), sub);
        } else if (key == "packed_value") {
            if (!item.value().is_number_integer() || item.value().get<std::int64_t>() < INT32_MIN ||
                item.value().get<std::int64_t>() > INT32_MAX) {
                fail(sub, "expected a 32-bit whole number");
            }
            file.packed_value = static_cast<std::int32_t>(item.value().get<std::int64_t>());
        } else {
            fail(sub, "unknown field");
        }
    }
    if (file.source.empty()) fail(field + ".source", "missing field");
    if (file.real_name.empty()) {
        const auto u8 = file.source.filename().u8string();
        auto name = platform::utf8_to_cp932(std::string(u8.begin(), u8.end()));
        if (!name) fail(field + ".source", "the file name has no code page 932 form; give \"name\"");
        file.real_name = *name;
    }
    return file;
}

model::project_data project_from_file(const fs::path& path, const std::string& field) {
    const std::string bytes = read_file(path, field);
    try {
        return model::parse_project(model::as_bytes(bytes));
    } catch (const model::format_error& e) {
        fail(field, path.string() + " is not a valid project file: " + e.what());
    }
}

const std::map<std::string, std::string> extra_names = {
    {"licence", "licence.lic"}, {"readme", "readme.txt"},  {"background", "raybinf.vrz"},
    {"installer", "spex1.dat"}, {"uninstaller", "spex2.dat"},
};

void fill_folder(model::folder_object& folder, const std::string& name, std::int32_t size, std::size_t& changed,
                 std::set<const model::folder_object*>& seen) {
    if (!seen.insert(&folder).second) return;
    folder.files.for_each([&](const std::string&, model::file_object& f) {
        if (f.source_name == name && f.file_size != size) {
            f.file_size = size;
            ++changed;
        }
    });
    folder.subfolders.for_each(
        [&](const std::string&, model::folder_object& sub) { fill_folder(sub, name, size, changed, seen); });
}

}  // namespace

std::size_t fill_file_size(model::project_data& project, const std::string& name, std::int32_t size) {
    std::size_t changed = 0;
    project.files.files.for_each([&](const std::string&, model::file_object& f) {
        if (f.source_name == name && f.file_size != size) {
            f.file_size = size;
            ++changed;
        }
    });
    std::set<const model::folder_object*> seen;
    project.files.folders.for_each(
        [&](const std::string&, model::folder_object& folder) { fill_folder(folder, name, size, changed, seen); });
    return changed;
}

package_manifest manifest_from_json(const nlohmann::json& json, const fs::path& base) {
    if (!json.is_object()) fail("manifest", "expected a JSON object");
    if (json.contains("project") && json.contains("project_file")) {
        fail("project", "give either \"project\" or \"project_file\"");
    }
    package_manifest manifest;
    bool have_project = false;
    bool have_count = false;
    for (const auto& item : json.items()) {
        const std::string key = item.key();
        const auto& value = item.value();
        if (key == "project") {
            try {
                manifest.project = project_from_json(value);
            } catch (const json_error& e) {
                fail(key, e.what());
            }
            have_project = true;
        } else if (key == "project_file") {
            manifest.project = project_from_file(host_path(value, key, base), key);
            have_project = true;
        } else if (key == "files") {
            if (!value.is_array()) fail(key, "expected a list of files");
            for (std::size_t i = 0; i < value.size(); ++i) {
                manifest.files.push_back(file_from_json(value[i], "files[" + std::to_string(i) + "]", base));
            }
        } else if (key == "volumes") {
            manifest.options.volume_count = static_cast<std::uint32_t>(unsigned_value(value, key, 999));
            if (manifest.options.volume_count == 0) fail(key, "a package needs at least one volume");
            have_count = true;
        } else if (key == "volume_size") {
            manifest.options.volume_size = unsigned_value(value, key, UINT32_MAX);
            if (manifest.options.volume_size == 0) fail(key, "a volume holds at least one byte");
        } else if (key == "required_bytes") {
            manifest.options.required_bytes = static_cast<std::uint32_t>(unsigned_value(value, key, UINT32_MAX));
        } else if (key == "header_values") {
            if (!value.is_array() || value.size() != 2) fail(key, "expected two whole numbers");
            manifest.options.value_1 = static_cast<std::uint32_t>(unsigned_value(value[0], key + "[0]", UINT32_MAX));
            manifest.options.value_2 = static_cast<std::uint32_t>(unsigned_value(value[1], key + "[1]", UINT32_MAX));
        } else if (key == "fill_file_sizes") {
            if (!value.is_boolean()) fail(key, "expected true or false");
            manifest.fill_file_sizes = value.get<bool>();
        } else if (auto extra = extra_names.find(key); extra != extra_names.end()) {
            manifest.extras[extra->second] = host_path(value, key, base);
        } else {
            fail(key, "unknown field");
        }
    }
    if (!have_project) fail("project", "missing field (or give \"project_file\")");
    if (have_count && manifest.options.volume_size > 0) fail("volume_size", "give either \"volumes\" or \"volume_size\"");
    return manifest;
}

package_manifest read_manifest(const fs::path& path) {
    const std::string text = read_file(path, path.string());
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        throw manifest_error(path.string() + ": not valid JSON: " + e.what());
    }
    return manifest_from_json(json, path.parent_path());
}

}  // namespace tools
