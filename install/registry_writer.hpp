#pragma once
// The registry step of the installer: every registry_info value of the project, written
// as a string with the user's name and organisation filled in and folder macros resolved.

#include <optional>
#include <string>
#include <vector>

#include "install/registry_key_path.hpp"
#include "model/file_set_records.hpp"
#include "platform/system.hpp"

namespace install {

/// The value text that stands for the user's name.
inline constexpr const char* user_name_macro = "%qorde_setup_user";
/// The value text that stands for the user's organisation.
inline constexpr const char* organisation_macro = "%qorde_setup_group";

/// One value the registry step writes.
struct registry_write {
    registry_value_location location;
    std::string data;
    friend bool operator==(const registry_write&, const registry_write&) = default;
};

class registry_writer {
public:
    /// user_name and organisation: what the user typed on the user-information page.
    registry_writer(platform::system& sys, std::string user_name, std::string organisation);

    /// Writes every entry of registry_entries in map order; a malformed one is skipped.
    /// Returns the values it wrote (or tried to write), in order.
    std::vector<registry_write> write_registry_entries(const model::setup_files& files);
    /// Writes value_text below root_name; rest is the key path after the root name and
    /// its backslash. The key is created when missing; failures are skipped silently.
    void write_registry_value(const std::string& root_name, const std::string& rest,
                              const std::string& value_text);

    /// What write_registry_entries writes, in order.
    std::vector<registry_write> plan_registry_entries(const model::setup_files& files);
    /// What write_registry_value writes; nullopt for an unrecognised root name.
    std::optional<registry_write> plan_registry_value(const std::string& root_name, const std::string& rest,
                                                      const std::string& value_text);
    /// The data of value_text: a whole-text user macro replaced, then folder macros resolved.
    std::string value_data(const std::string& value_text);

private:
    void write(const registry_write& value);

    platform::system& sys_;
    std::string user_name_;
    std::string organisation_;
};

}  // namespace install
