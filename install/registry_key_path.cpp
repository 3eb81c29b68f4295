#include "install/registry_key_path.hpp"

#include <array>
#include <utility>

#include "install/folder_macros.hpp"

namespace install {

namespace {

constexpr std::array<std::pair<std::string_view, platform::root_key>, 4> root_names{{
    {"HKEY_CURRENT_USER", platform::root_key::CurrentUser},
    {"HKEY_LOCAL_MACHINE", platform::root_key::LocalMachine},
    {"HKEY_USERS", platform::root_key::Users},
    {"HKEY_CURRENT_CONFIG", platform::root_key::CurrentConfig},
}};

}  // namespace

std::optional<platform::root_key> root_key_from_name(std::string_view name) {
    for (const auto& [text, root] : root_names) {
        if (text == name) return root;
    }
    return std::nullopt;
}

std::string_view root_key_name(platform::root_key root) {
    for (const auto& [text, key] : root_names) {
        if (key == root) return text;
    }
    return {};
}

std::optional<registry_value_location> locate_registry_value(std::string_view root_name,
                                                             std::string_view rest) {
    const auto root = root_key_from_name(root_name);
    if (!root) return std::nullopt;
    registry_value_location location;
    location.root = *root;
    const auto last = last_backslash(rest);
    if (last == std::string_view::npos) {
        location.value_name = std::string(rest);
    } else {
        location.sub_key = std::string(rest.substr(0, last));
        location.value_name = std::string(rest.substr(last + 1));
    }
    return location;
}

std::optional<registry_value_location> locate_registry_value(std::string_view key_path) {
    const auto first = find_text(key_path, "\\");
    if (key_path.empty() || first == std::string_view::npos) return std::nullopt;
    return locate_registry_value(key_path.substr(0, first), key_path.substr(first + 1));
}

}  // namespace install
