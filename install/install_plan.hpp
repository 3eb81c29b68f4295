#pragma once
// What an installation would do, without doing it: every file placement in the copy
// engine's order with its destination or the reason it is left out, and the uninstall
// entry. The decisions come from the same rules the copy engine applies (placement.hpp);
// the machine is only read (Windows directory, existing files).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install/placement.hpp"
#include "install/removal_record.hpp"
#include "model/package_directory.hpp"
#include "model/project_data.hpp"
#include "platform/system.hpp"

namespace install {

/// One packed entry of the piece directory, in entry-number order: the application file
/// it decodes to.
struct plan_entry {
    std::uint32_t number = 0;
    std::string real_name;
};

enum class plan_action {
    Copy,           ///< the file is copied to destination
    SkipComponent,  ///< a folder file whose component is not selected
    SkipOverwrite,  ///< the overwrite rule keeps the file already at destination
};

/// Short English name of an action, for the plan's output.
std::string_view action_name(plan_action action);

struct planned_file {
    std::uint32_t entry_number = 0;
    std::string real_name;    ///< the package file placed
    std::string packed_name;  ///< its packed file in the package directory (empty if none)
    std::string entry_key;    ///< key of the file_object in its map
    file_origin origin = file_origin::FilesMap;
    std::string install_path;
    std::string sub_path;
    std::int16_t overwrite_mode = 0;
    std::int16_t component_id = 0;
    component_state component = component_state::Selected;
    plan_action action = plan_action::Copy;
    overwrite_verdict verdict = overwrite_verdict::Copy;
    /// Where the file goes (empty for SkipComponent, which decides no destination).
    std::string destination;
    /// Why the file is left out, in plain words (empty for Copy).
    std::string reason;
};

/// A decoded package file that no file_object takes: decoded and deleted again.
struct unused_package_file {
    std::uint32_t entry_number = 0;
    std::string real_name;
};

struct planned_uninstall_entry {
    std::string folder;  ///< F, ending in a backslash
    /// The removal kit as placed: F + "arkbs.vrz", F + "qlun.exe", F + the removal record.
    std::vector<std::string> kit;
    /// The key below HKEY_LOCAL_MACHINE (empty when the project has no app_name: no key is written).
    std::string key;
    /// (name, value) pairs written under the key, in writing order.
    std::vector<std::pair<std::string, std::string>> values;
};

struct install_plan {
    std::string windows_directory;
    std::string destination_folder;  ///< D as given
    std::vector<planned_file> files;
    std::vector<unused_package_file> unused;
    /// U as the engine would find it.
    std::string uninstall_source;
    std::optional<planned_uninstall_entry> uninstall;
    /// Why there is no uninstall entry (empty when there is one).
    std::string uninstall_note;
    /// The files the removal record would list (this run's placements only).
    removal_record record;
};

/// The plan of an installation. entries lists the piece directory's entries in number
/// order; selection, when given, replaces the component map's `selected` flags.
install_plan make_install_plan(const model::project_data& project, const model::package_directory& directory,
                               const std::vector<plan_entry>& entries, platform::system& sys,
                               const std::string& destination_folder,
                               const std::optional<component_selection>& selection = std::nullopt);

}  // namespace install
