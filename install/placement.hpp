#pragma once
// The rules that decide where a project file goes and whether it is copied there. The
// copy engine and the install plan both take their decisions from these functions only.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "install/removal_record.hpp"
#include "model/file_set_records.hpp"
#include "model/record.hpp"
#include "platform/system.hpp"

namespace install {

/// Where a file_object comes from: the loose `files` map or a folder tree.
enum class file_origin { FilesMap, FolderTree };

/// A project date-time as the local civil time it stands for, rounded to the second;
/// nullopt for a stamp that is not valid or lies outside the years 1601 to 9999.
std::optional<platform::civil_time> to_local_time(const model::date_time& stamp);
/// The project date-time of a local civil time.
model::date_time from_local_time(const platform::civil_time& time);

/// The destination of one file_object.
struct placement_target {
    /// The real path d the file is copied to.
    std::string destination;
    /// The path whose folders are made before the copy (the install_path itself when no
    /// destination folder was chosen, so that make_folders sees its macro).
    std::string folders_path;
};

/// Destination of f with the destination folder D (empty: the project's own paths) and
/// the Windows directory W.
placement_target placement_target_of(const model::file_object& f, file_origin origin,
                                     std::string_view destination_folder, std::string_view windows_dir);

/// Whether a file of a folder tree is installed under the component selection. A
/// component id missing from the component map installs the file.
enum class component_state { Selected, Unselected, NotInMap };
/// Component ids chosen instead of the `selected` flags of the component map.
using component_selection = std::set<std::int16_t>;
/// The state of a component: from the component map's `selected` flag, or, when a
/// selection is given, from that selection (ids missing from the map stay NotInMap).
component_state component_state_of(const model::setup_files& files, std::int16_t component_id,
                                   const component_selection* selection = nullptr);
/// True when a file in that state is placed.
inline bool component_installs(component_state state) { return state != component_state::Unselected; }

/// The overwrite rules against the file that may already be at the destination.
enum class overwrite_verdict {
    Copy,             ///< copy the file
    ExistingIsNewer,  ///< mode 1: the existing file's last-write time is later than the project's
    SameSize,         ///< mode 2: the existing file already has the project's size
    Exists,           ///< mode 4: never overwrite
};
overwrite_verdict decide_overwrite(const model::file_object& f,
                                   const std::optional<platform::file_status>& existing);

/// Short English name of a verdict, for plans and logs.
std::string_view verdict_name(overwrite_verdict verdict);

/// Uninstall source U: set once, from the first file that is placed (copied or kept by
/// its overwrite rule). With a chosen destination folder D it is D; otherwise the
/// install_path of the first file whose macro is "[PROGRAM FILES]".
void note_uninstall_source(std::string& source, const model::file_object& f,
                           std::string_view destination_folder);

/// The application's folder F for the removal kit, ending in a backslash; empty when U is
/// empty. With a chosen destination folder F is that folder itself.
std::string uninstall_folder(std::string_view source, std::string_view destination_folder,
                             std::string_view windows_dir);

/// The uninstall entry's key below HKEY_LOCAL_MACHINE.
std::string uninstall_key(std::string_view app_name);
/// The registered uninstall command: the uninstaller's path and the project's path, each quoted.
std::string uninstall_command(std::string_view folder);

/// Paths compare as Windows compares them: ASCII letters without regard to case.
bool same_path(std::string_view a, std::string_view b);
/// The form in which same_path compares a path (ASCII letters folded to lower case).
std::string path_key(std::string_view path);

/// The files a run has placed, one entry per real path: a later placement at the same path
/// replaces the earlier entry where it stands.
class placed_files {
public:
    placed_files() = default;
    /// Starts from the entries of an earlier record.
    explicit placed_files(const removal_record& earlier);
    void add(removal_entry entry);
    const removal_record& record() const { return record_; }

private:
    removal_record record_;
    std::map<std::string, std::size_t> index_;  ///< path_key of real_path -> entry
};

// The walk over the file sets. f(key, file, origin, state) is called for every
// file_object whose source_name is name (exact comparison), with the component state
// (always Selected for the `files` map, whose files are placed whatever the selection
// says), and returns false to stop the walk. Each walk returns false when it was stopped.

/// The `files` map, in its visiting order.
template <class F>
bool for_each_loose_candidate(const model::setup_files& files, const std::string& name, F&& f) {
    bool go_on = true;
    files.files.for_each([&](const std::string& key, const model::file_object& file) {
        if (go_on && file.source_name == name)
            go_on = f(key, file, file_origin::FilesMap, component_state::Selected);
    });
    return go_on;
}

/// One folder tree: the folder's own files, then each subfolder's tree, maps in visiting order.
template <class F>
bool for_each_folder_candidate(const model::setup_files& files, const model::folder_object& folder,
                               const std::string& name, F&& f,
                               const component_selection* selection = nullptr) {
    bool go_on = true;
    folder.files.for_each([&](const std::string& key, const model::file_object& file) {
        if (go_on && file.source_name == name) {
            go_on = f(key, file, file_origin::FolderTree,
                      component_state_of(files, file.component_id, selection));
        }
    });
    folder.subfolders.for_each([&](const std::string&, const model::folder_object& sub) {
        if (go_on) go_on = for_each_folder_candidate(files, sub, name, f, selection);
    });
    return go_on;
}

/// Everything in the order the copy engine places it: the `files` map, then every
/// folder tree of the `folders` map.
template <class F>
bool for_each_candidate(const model::setup_files& files, const std::string& name, F&& f,
                        const component_selection* selection = nullptr) {
    bool go_on = for_each_loose_candidate(files, name, f);
    files.folders.for_each([&](const std::string&, const model::folder_object& folder) {
        if (go_on) go_on = for_each_folder_candidate(files, folder, name, f, selection);
    });
    return go_on;
}

}  // namespace install
