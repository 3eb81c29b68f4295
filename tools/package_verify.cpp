#include "tools/package_verify.hpp"

#include <map>
#include <ostream>
#include <set>

#include "model/byte_cursor.hpp"
#include "model/project_data.hpp"
#include "tools/package_extract.hpp"
#include "tools/package_files.hpp"
#include "tools/package_folder.hpp"

namespace tools {

namespace {

/// A file_object with a description of where it sits in the project.
struct placed_object {
    std::string where;
    const model::file_object* object;
};

void collect_folder(const model::folder_object& folder, const std::string& where, std::vector<placed_object>& out,
                    std::set<const model::folder_object*>& seen) {
    if (!seen.insert(&folder).second) return;
    folder.files.for_each([&](const std::string& key, const model::file_object& f) {
        out.push_back({where + "/" + key, &f});
    });
    folder.subfolders.for_each([&](const std::string& key, const model::folder_object& sub) {
        collect_folder(sub, where + "/" + key, out, seen);
    });
}

std::vector<placed_object> file_objects(const model::project_data& project) {
    std::vector<placed_object> out;
    project.files.files.for_each([&](const std::string& key, const model::file_object& f) {
        out.push_back({"files/" + key, &f});
    });
    std::set<const model::folder_object*> seen;
    project.files.folders.for_each([&](const std::string& key, const model::folder_object& folder) {
        collect_folder(folder, "folders/" + key, out, seen);
    });
    return out;
}

}  // namespace

std::vector<std::string> verify_problems(const std::filesystem::path& package_dir) {
    auto package = read_package_folder(package_dir);
    std::vector<std::string> problems = package->problems;

    // Decoded sizes by application file name.
    std::map<std::string, std::uint64_t> decoded_size;
    for (const auto& entry : package->contents.entries) {
        if (!entry.usable) continue;
        const decoded_entry decoded = decode_packed(entry.packed);
        if (!decoded.complete) {
            problems.push_back("entry " + entry.name + " (" + entry.object->real_name +
                               "): the packed stream ends before its end symbol");
        }
        decoded_size[entry.object->real_name] = decoded.data.size();
    }

    if (!package->project_bytes) {
        problems.push_back("arkbs.vrz is missing");
        return problems;
    }
    model::project_data project;
    try {
        project = model::parse_project(model::as_bytes(*package->project_bytes));
    } catch (const std::exception& e) {
        problems.push_back(std::string("arkbs.vrz cannot be read: ") + e.what());
        return problems;
    }
    const auto objects = file_objects(project);
    std::set<std::string> used;
    for (const auto& [where, object] : objects) {
        used.insert(object->source_name);
        auto size = decoded_size.find(object->source_name);
        if (size == decoded_size.end()) {
            problems.push_back("file_object " + where + " installs \"" + object->source_name +
                               "\", which the package does not hold");
        } else if (static_cast<std::uint64_t>(static_cast<std::uint32_t>(object->file_size)) != size->second) {
            problems.push_back("file_object " + where + " (" + object->source_name + ") has file_size " +
                               std::to_string(object->file_size) + " but the file decodes to " +
                               std::to_string(size->second) + " bytes");
        }
    }
    for (const auto& entry : package->contents.entries) {
        if (entry.usable && !used.count(entry.object->real_name)) {
            problems.push_back("entry " + entry.name + " (" + entry.object->real_name + ") is used by no file_object");
        }
    }
    return problems;
}

int verify_package(const std::filesystem::path& package_dir, std::ostream& out) {
    const auto problems = verify_problems(package_dir);
    for (const auto& p : problems) out << display_text(p) << "\n";
    if (problems.empty()) {
        out << package_dir.string() << ": no problems found\n";
        return 0;
    }
    out << problems.size() << (problems.size() == 1 ? " problem" : " problems") << " found\n";
    return 1;
}

}  // namespace tools
