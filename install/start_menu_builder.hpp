#pragma once
// The Start-menu step of the installer: the project's tree of folders and shortcuts,
// built under the default user's and the current user's Programs folders.

#include <functional>
#include <string>
#include <vector>

#include "model/file_set_records.hpp"
#include "platform/system.hpp"

namespace install {

/// One thing the Start-menu step makes, in the order it makes them.
struct start_menu_item {
    enum class item_kind { Folder, Shortcut };
    item_kind kind = item_kind::Folder;
    /// The folder, or the shortcut file (folder + "\\" + link_name + ".lnk").
    std::string path;
    /// What the shortcut holds (shortcuts only).
    platform::shell_link link;
};

/// The folder name that stands for the folder holding it: no sub-folder is made for it.
inline constexpr const char* programs_folder_name = "プログラム";

class start_menu_builder {
public:
    using folder_map = model::word_map<model::stmenu_folder_object>;
    using shortcut_map = model::word_map<model::stmenu_file_object>;

    /// first_fixed_root: the root of the first fixed drive, such as C:\ (the icon macros);
    /// destination_folder: the folder the user chose, without a trailing backslash, or "".
    start_menu_builder(platform::system& sys, std::string first_fixed_root, std::string destination_folder);

    /// Builds the tree under the current user's Programs folder, then under the default
    /// one; nothing when the Programs folders cannot be found. Returns what it made (or
    /// tried to make), in order.
    std::vector<start_menu_item> create_start_menu_items(const model::startup_menu_files& menu);
    /// Builds one level into folder_path: its shortcuts first, then its folders.
    void create_menu_folder(const folder_map& folders, const shortcut_map& shortcuts,
                            const std::string& folder_path);
    /// Writes folder_path + "\\" + link_name + ".lnk"; a failure is skipped silently.
    void create_shortcut(const model::stmenu_file_object& shortcut, const std::string& folder_path);

    /// What create_start_menu_items does, in order, without doing it.
    std::vector<start_menu_item> plan_start_menu_items(const model::startup_menu_files& menu);
    /// What create_menu_folder does, in order, without doing it.
    std::vector<start_menu_item> plan_menu_folder(const folder_map& folders, const shortcut_map& shortcuts,
                                                  const std::string& folder_path);

    /// The icon file's macros replaced: "[PROGRAM FILES]", "[SYSTEM]", "[WINDOWS]", then
    /// "[ROOT]", each that occurs anywhere taken to stand at the front.
    std::string resolve_icon_macros(const std::string& text);
    /// The program a shortcut starts: its target_path resolved, or, when a destination
    /// folder was chosen, the target's file name in that folder.
    std::string shortcut_target(const model::stmenu_file_object& shortcut);
    /// The working folder: work_folder below the macro of work_folder_base, resolved,
    /// without a trailing backslash.
    std::string shortcut_work_folder(const model::stmenu_file_object& shortcut);
    /// Everything the shortcut file holds.
    platform::shell_link make_shell_link(const model::stmenu_file_object& shortcut);

private:
    using item_sink = std::function<void(const start_menu_item&)>;
    void visit_menu_folder(const folder_map& folders, const shortcut_map& shortcuts,
                           const std::string& folder_path, const item_sink& sink);
    void visit_start_menu_items(const model::startup_menu_files& menu, const item_sink& sink);
    start_menu_item shortcut_item(const model::stmenu_file_object& shortcut, const std::string& folder_path);
    void make_item(const start_menu_item& item);

    platform::system& sys_;
    std::string first_fixed_root_;
    std::string destination_folder_;
};

}  // namespace install
