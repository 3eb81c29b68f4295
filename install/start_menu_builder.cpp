#include "install/start_menu_builder.hpp"

#include <array>
#include <string_view>
#include <utility>

#include "install/folder_macros.hpp"
#include "install/start_menu_folders.hpp"

namespace install {

start_menu_builder::start_menu_builder(platform::system& sys, std::string first_fixed_root,
                                       std::string destination_folder)
    : sys_(sys),
      first_fixed_root_(std::move(first_fixed_root)),
      destination_folder_(std::move(destination_folder)) {}

std::vector<start_menu_item> start_menu_builder::create_start_menu_items(
    const model::startup_menu_files& menu) {
    std::vector<start_menu_item> items;
    visit_start_menu_items(menu, [&](const start_menu_item& item) {
        make_item(item);
        items.push_back(item);
    });
    return items;
}

void start_menu_builder::create_menu_folder(const folder_map& folders, const shortcut_map& shortcuts,
                                            const std::string& folder_path) {
    visit_menu_folder(folders, shortcuts, folder_path,
                      [this](const start_menu_item& item) { make_item(item); });
}

void start_menu_builder::create_shortcut(const model::stmenu_file_object& shortcut,
                                         const std::string& folder_path) {
    make_item(shortcut_item(shortcut, folder_path));
}

std::vector<start_menu_item> start_menu_builder::plan_start_menu_items(
    const model::startup_menu_files& menu) {
    std::vector<start_menu_item> items;
    visit_start_menu_items(menu, [&items](const start_menu_item& item) { items.push_back(item); });
    return items;
}

std::vector<start_menu_item> start_menu_builder::plan_menu_folder(const folder_map& folders,
                                                                  const shortcut_map& shortcuts,
                                                                  const std::string& folder_path) {
    std::vector<start_menu_item> items;
    visit_menu_folder(folders, shortcuts, folder_path,
                      [&items](const start_menu_item& item) { items.push_back(item); });
    return items;
}

void start_menu_builder::visit_start_menu_items(const model::startup_menu_files& menu,
                                                const item_sink& sink) {
    const auto folders = find_programs_folders(sys_);
    if (!folders) return;
    if (folders->user_folder)
        visit_menu_folder(menu.child_folders, menu.shortcuts, *folders->user_folder, sink);
    visit_menu_folder(menu.child_folders, menu.shortcuts, folders->default_folder, sink);
}

void start_menu_builder::visit_menu_folder(const folder_map& folders, const shortcut_map& shortcuts,
                                           const std::string& folder_path, const item_sink& sink) {
    shortcuts.for_each([&](std::uint16_t, const model::stmenu_file_object& shortcut) {
        sink(shortcut_item(shortcut, folder_path));
    });
    folders.for_each([&](std::uint16_t, const model::stmenu_folder_object& folder) {
        std::string path = folder_path;
        if (folder.folder_name != programs_folder_name) {
            path += "\\" + folder.folder_name;
            sink(start_menu_item{start_menu_item::item_kind::Folder, path, {}});
        }
        visit_menu_folder(folder.child_folders, folder.shortcuts, path, sink);
    });
}

start_menu_item start_menu_builder::shortcut_item(const model::stmenu_file_object& shortcut,
                                                  const std::string& folder_path) {
    return start_menu_item{start_menu_item::item_kind::Shortcut,
                           folder_path + "\\" + shortcut.link_name + ".lnk", make_shell_link(shortcut)};
}

void start_menu_builder::make_item(const start_menu_item& item) {
    // Failures are skipped: the Start-menu step never stops the installation.
    if (item.kind == start_menu_item::item_kind::Folder) {
        sys_.create_directory(item.path);
    } else {
        sys_.create_shell_link(item.link, item.path);
    }
}

std::string start_menu_builder::resolve_icon_macros(const std::string& text) {
    const std::string windows = sys_.windows_directory();
    const std::string system = sys_.system_directory();
    const std::array<std::pair<std::string_view, std::string>, 4> macros{{
        {"[PROGRAM FILES]", first_fixed_root_ + "Program Files"},
        {"[SYSTEM]", system},
        {"[WINDOWS]", windows},
        {"[ROOT]", first_fixed_root_},
    }};
    std::string result = text;
    for (const auto& [macro, folder] : macros) {
        if (find_text(result, macro) == std::string::npos) continue;
        std::string rest = result.substr(macro.size());
        if (macro == "[ROOT]" && ends_with_backslash(folder) && !rest.empty() && rest.front() == '\\') {
            rest.erase(0, 1);
        }
        result = folder + rest;
    }
    return result;
}

std::string start_menu_builder::shortcut_target(const model::stmenu_file_object& shortcut) {
    const std::string& target = shortcut.target_path;
    if (destination_folder_.empty()) return resolve_macros(sys_, target);
    const auto last = last_backslash(target);
    // A bare file name still goes into the folder, behind a backslash.
    return destination_folder_ + (last == std::string::npos ? "\\" + target : target.substr(last));
}

std::string start_menu_builder::shortcut_work_folder(const model::stmenu_file_object& shortcut) {
    static constexpr std::array<std::string_view, 4> base_macros{"[ROOT]", "[PROGRAM FILES]", "[WINDOWS]",
                                                                 "[SYSTEM]"};
    std::string folder = shortcut.work_folder;
    if (shortcut.work_folder_base >= 0 && shortcut.work_folder_base < 4) {
        const auto macro = base_macros[static_cast<std::size_t>(shortcut.work_folder_base)];
        if (find_text(folder, macro) == std::string::npos) folder = std::string(macro) + folder;
    }
    folder = resolve_macros(sys_, folder);
    if (folder.size() >= 3 && ends_with_backslash(folder)) folder.pop_back();
    return folder;
}

platform::shell_link start_menu_builder::make_shell_link(const model::stmenu_file_object& shortcut) {
    platform::shell_link link;
    link.target = shortcut_target(shortcut);
    link.arguments = shortcut.arguments;
    link.description = shortcut.description;
    link.icon_path = resolve_icon_macros(shortcut.icon_path);
    link.icon_index = shortcut.icon_index;
    link.working_directory = shortcut_work_folder(shortcut);
    link.show_command = shortcut.show_command;
    link.hot_key = static_cast<std::uint16_t>(shortcut.hot_key);
    return link;
}

}  // namespace install
