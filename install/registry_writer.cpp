#include "install/registry_writer.hpp"

#include <utility>

#include "install/folder_macros.hpp"

namespace install {

registry_writer::registry_writer(platform::system& sys, std::string user_name, std::string organisation)
    : sys_(sys), user_name_(std::move(user_name)), organisation_(std::move(organisation)) {}

std::vector<registry_write> registry_writer::write_registry_entries(const model::setup_files& files) {
    auto values = plan_registry_entries(files);
    for (const auto& value : values) write(value);
    return values;
}

void registry_writer::write_registry_value(const std::string& root_name, const std::string& rest,
                                           const std::string& value_text) {
    if (auto value = plan_registry_value(root_name, rest, value_text)) write(*value);
}

std::vector<registry_write> registry_writer::plan_registry_entries(const model::setup_files& files) {
    std::vector<registry_write> values;
    files.registry_entries.for_each([&](const std::string&, const model::registry_info& entry) {
        const auto& path = entry.key_path;
        const auto first = find_text(path, "\\");
        if (path.empty() || first == std::string::npos) return;
        if (auto value =
                plan_registry_value(path.substr(0, first), path.substr(first + 1), entry.value_text)) {
            values.push_back(std::move(*value));
        }
    });
    return values;
}

std::optional<registry_write> registry_writer::plan_registry_value(const std::string& root_name,
                                                                   const std::string& rest,
                                                                   const std::string& value_text) {
    auto location = locate_registry_value(root_name, rest);
    if (!location) return std::nullopt;
    return registry_write{std::move(*location), value_data(value_text)};
}

std::string registry_writer::value_data(const std::string& value_text) {
    std::string data = value_text;
    if (data == organisation_macro) data = organisation_;
    if (data == user_name_macro) data = user_name_;
    return resolve_macros(sys_, data);
}

void registry_writer::write(const registry_write& value) {
    const auto& where = value.location;
    if (!sys_.create_key(where.root, where.sub_key)) return;
    sys_.set_value(where.root, where.sub_key, where.value_name, value.data);
}

}  // namespace install
