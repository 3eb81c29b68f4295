#pragma once
// A registry_info key path taken apart: root name, sub-key and value name. The
// installer writes and the uninstaller deletes by the same split.

#include <optional>
#include <string>
#include <string_view>

#include "platform/system.hpp"

namespace install {

/// The root key of one of the four names "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
/// "HKEY_USERS" and "HKEY_CURRENT_CONFIG" (whole text, case-sensitive); nullopt otherwise.
std::optional<platform::root_key> root_key_from_name(std::string_view name);
/// The name of a root key, such as "HKEY_CURRENT_USER".
std::string_view root_key_name(platform::root_key root);

struct registry_value_location {
    platform::root_key root = platform::root_key::CurrentUser;
    std::string sub_key;     ///< "" for the root key itself
    std::string value_name;  ///< "" for the unnamed value (a path ending in a backslash)
    friend bool operator==(const registry_value_location&, const registry_value_location&) = default;
};

/// The key and value that rest (the key path after the root name and its backslash)
/// names below root_name: the value name follows the last backslash of rest.
/// nullopt when root_name is not one of the four names.
std::optional<registry_value_location> locate_registry_value(std::string_view root_name,
                                                             std::string_view rest);

/// Splits a whole key path at its first backslash and locates the value; nullopt for an
/// empty path, a path without a backslash or an unrecognised root name.
std::optional<registry_value_location> locate_registry_value(std::string_view key_path);

}  // namespace install
