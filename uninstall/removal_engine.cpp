#include "uninstall/removal_engine.hpp"

#include <array>
#include <memory>
#include <utility>

#include "install/folder_macros.hpp"
#include "install/placement.hpp"
#include "install/registry_key_path.hpp"
#include "install/start_menu_folders.hpp"
#include "model/format_error.hpp"
#include "platform/screen.hpp"

namespace uninstall {

namespace {

constexpr std::string_view programs_folder_name = "プログラム";

// Replaces every occurrence of macro in text; true when something changed.
bool replace_all(std::string& text, std::string_view macro, std::string_view expansion) {
    bool changed = false;
    for (auto pos = install::find_text(text, macro); pos != std::string::npos;
         pos = install::find_text(text, macro, pos + expansion.size())) {
        text.replace(pos, macro.size(), expansion);
        changed = true;
    }
    return changed;
}

// The macros the uninstaller recognises; a path with none of them is left in place
// (notably "[SYSTEM]", the shared system files).
constexpr std::array<std::string_view, 4> removal_macros{"[PROGRAM FILES]", "[WINDOWS]", "[WINSYS]",
                                                         "[ROOT]"};

bool selected_for_removal(const std::string& install_path) {
    for (auto macro : removal_macros) {
        if (install::find_text(install_path, macro) != std::string::npos) return true;
    }
    return false;
}

void gather_folder(const model::folder_object& folder, model::text_map<model::file_object>& into) {
    folder.files.for_each([&](const std::string& key, const model::file_object& file) {
        into.insert_or_assign(key, std::make_shared<model::file_object>(file));
    });
    folder.subfolders.for_each(
        [&](const std::string&, const model::folder_object& sub) { gather_folder(sub, into); });
}

}  // namespace

std::string file_error_message(platform::file_error error, const std::string& name) {
    std::string_view pattern;
    switch (error) {
        case platform::file_error::NotFound:
            pattern = "%1 が見つかりませんでした。";
            break;
        case platform::file_error::PathNotFound:
            pattern = "%1 には無効なﾊﾟｽが含まれています。";
            break;
        case platform::file_error::AccessDenied:
            pattern = "%1 へのｱｸｾｽは拒否されました。";
            break;
        case platform::file_error::SharingViolation:
            pattern = "%1 へのｱｸｾｽ中に共有違反が発生しました。";
            break;
        default:
            pattern = "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
            break;
    }
    std::string text(pattern);
    text.replace(0, 2, name);
    return text;
}

removal_engine::removal_engine(platform::system& sys, platform::screen& screen,
                               const model::project_data& project, std::string project_path,
                               removal_observer* observer)
    : sys_(sys),
      screen_(screen),
      project_(project),
      project_path_(std::move(project_path)),
      observer_(observer) {}

removal_timer removal_engine::begin_removal() {
    gather_files();
    progress_high_ = static_cast<int>(gathered_order_.size()) + 4;
    counter_ = progress_high_;
    if (observer_) {
        observer_->progress_range(progress_high_);
        observer_->progress_position(counter_);
    }
    windows_directory_ = sys_.windows_directory();
    drive_root_ = windows_directory_.substr(0, 3);
    system_directory_ = sys_.system_directory();
    load_removal_record();
    return removal_timer::ProjectFile;
}

void removal_engine::gather_files() {
    gathered_.clear();
    const auto& files = project_.files;
    files.files.for_each([&](const std::string& key, const model::file_object& file) {
        gathered_.insert_or_assign(key, std::make_shared<model::file_object>(file));
    });
    files.folders.for_each(
        [&](const std::string&, const model::folder_object& folder) { gather_folder(folder, gathered_); });
    gathered_order_.clear();
    gathered_.for_each(
        [&](const std::string& key, const model::file_object&) { gathered_order_.push_back(key); });
    next_file_ = 0;
}

std::string removal_engine::removal_record_path() const {
    const auto slash = install::last_backslash(project_path_);
    const std::string folder =
        slash == std::string::npos ? std::string() : project_path_.substr(0, slash + 1);
    return folder + install::removal_record::file_name;
}

void removal_engine::load_removal_record() {
    record_.reset();
    auto mapped = sys_.map_file(removal_record_path());
    if (!mapped) return;
    try {
        record_ = install::removal_record::parse(mapped->bytes());
    } catch (const model::format_error&) {
        // An unreadable record counts as none: the kit is treated like one from an older installer.
        record_.reset();
    }
}

void removal_engine::tick() {
    --counter_;
    if (observer_) observer_->progress_position(counter_);
}

removal_timer removal_engine::run_timer(int id) {
    switch (static_cast<removal_timer>(id)) {
        case removal_timer::ProjectFile:
            return remove_project_file();
        case removal_timer::Files:
            return remove_next_file();
        case removal_timer::StartMenu:
            return remove_start_menu_stage();
        case removal_timer::Registry:
            return remove_registry_stage();
        case removal_timer::Finish:
            return finish_removal();
        default:
            return removal_timer::None;
    }
}

void removal_engine::delete_reporting(const std::string& path, const std::string& reported_name) {
    const auto error = sys_.delete_file(path);
    if (error != platform::file_error::None) {
        screen_.message_box(file_error_message(error, reported_name), error_caption,
                            platform::MbOk | platform::MbIconStop);
    }
}

removal_timer removal_engine::remove_project_file() {
    tick();
    delete_reporting(project_path_, untitled_file_name);
    return removal_timer::Files;
}

std::vector<planned_deletion> removal_engine::deletions_for(const std::string& key,
                                                            const model::file_object& file) const {
    std::vector<planned_deletion> out;
    if (record_) {
        for (const auto& entry : record_->entries) {
            if (entry.entry_key == key && selected_for_removal(entry.install_path)) {
                out.push_back({entry.real_path, entry.real_path});
            }
        }
        return out;
    }
    std::string path = file.install_path;
    if (replace_all(path, "[PROGRAM FILES]", "Program Files")) {
        path = drive_root_ + path;
        out.push_back({path, untitled_file_name});
    }
    if (replace_all(path, "[WINDOWS]", windows_directory_)) out.push_back({path, untitled_file_name});
    if (replace_all(path, "[WINSYS]", system_directory_)) out.push_back({path, untitled_file_name});
    if (replace_all(path, "[ROOT]", drive_root_.substr(0, 2))) out.push_back({path, untitled_file_name});
    return out;
}

removal_timer removal_engine::remove_next_file() {
    tick();
    if (next_file_ >= gathered_order_.size()) {
        if (record_) {
            // Files that an earlier version of the application placed into this folder are
            // recorded under keys the project no longer has; they go with the last tick.
            for (const auto& entry : record_->entries) {
                if (!gathered_.contains(entry.entry_key) && selected_for_removal(entry.install_path)) {
                    delete_reporting(entry.real_path, entry.real_path);
                }
            }
            // The record is the installer's own hidden file; it goes with the files it lists.
            const auto path = removal_record_path();
            sys_.set_attributes(path, platform::Normal);
            delete_reporting(path, path);
        }
        return removal_timer::StartMenu;
    }
    const auto& key = gathered_order_[next_file_++];
    if (const auto* file = gathered_.find(key)) {
        for (const auto& deletion : deletions_for(key, *file))
            delete_reporting(deletion.path, deletion.reported_name);
    }
    return removal_timer::Files;
}

removal_timer removal_engine::remove_start_menu_stage() {
    remove_start_menu_items();
    tick();
    return removal_timer::Registry;
}

removal_timer removal_engine::remove_registry_stage() {
    remove_registry_entries();
    tick();
    return removal_timer::Finish;
}

removal_timer removal_engine::finish_removal() {
    tick();
    if (observer_) observer_->removal_ending();
    screen_.message_box(project_.app_name.app_name + " はハードディスクから削除されました。",
                        uninstall_caption, platform::MbOk);
    return removal_timer::None;
}

void removal_engine::remove_start_menu_items() {
    start_menu_failed_ = false;
    const auto folders = install::find_programs_folders(sys_);
    if (!folders) return;
    const auto& menu = project_.files.start_menu;
    if (folders->user_folder) remove_menu_folder(menu.child_folders, menu.shortcuts, *folders->user_folder);
    remove_menu_folder(menu.child_folders, menu.shortcuts, folders->default_folder);
}

void removal_engine::remove_menu_folder(const model::word_map<model::stmenu_folder_object>& folders,
                                        const model::word_map<model::stmenu_file_object>& shortcuts,
                                        const std::string& folder_path) {
    // After a shortcut that could not be deleted the stage ends, so the removal goes on
    // with the registry.
    folders.for_each([&](std::uint16_t, const model::stmenu_folder_object& folder) {
        if (start_menu_failed_) return;
        const bool is_programs = folder.folder_name == programs_folder_name;
        const std::string path = is_programs ? folder_path : folder_path + "\\" + folder.folder_name;
        remove_menu_folder(folder.child_folders, folder.shortcuts, path);
        if (!start_menu_failed_ && !is_programs) sys_.remove_directory(path);
    });
    shortcuts.for_each([&](std::uint16_t, const model::stmenu_file_object& shortcut) {
        if (start_menu_failed_) return;
        if (!remove_shortcut(folder_path + "\\" + shortcut.link_name + ".lnk")) start_menu_failed_ = true;
    });
}

bool removal_engine::remove_shortcut(const std::string& link_path) {
    const auto status = sys_.status(link_path);
    if (!status || status->is_directory) return true;
    const auto error = sys_.delete_file(link_path);
    if (error == platform::file_error::None) return true;
    screen_.message_box(file_error_message(error, untitled_file_name), error_caption,
                        platform::MbOk | platform::MbIconStop);
    return false;
}

void removal_engine::remove_registry_entries() {
    project_.files.registry_entries.for_each(
        [&](const std::string&, const model::registry_info& entry) { remove_registry_value(entry); });
    remove_uninstall_entry();
}

void removal_engine::remove_registry_value(const model::registry_info& entry) {
    const auto location = install::locate_registry_value(entry.key_path);
    if (!location || !sys_.key_exists(location->root, location->sub_key)) return;
    // Only the value the entry names: the key may hold other programs' values, and its
    // unnamed value is the entry's own only when the key path ends in a backslash.
    sys_.delete_value(location->root, location->sub_key, location->value_name);
    remove_empty_keys(location->root, location->sub_key);
}

void removal_engine::remove_empty_keys(platform::root_key root, std::string sub_key) {
    // Keys left empty go, up to but not including a key directly below the root.
    for (auto last = install::last_backslash(sub_key); last != std::string::npos;
         last = install::last_backslash(sub_key)) {
        if (!sys_.key_is_empty(root, sub_key) || !sys_.delete_key(root, sub_key)) return;
        sub_key.erase(last);
    }
}

void removal_engine::remove_uninstall_entry() {
    const auto& app_name = project_.app_name.app_name;
    // Without a name the key would be the list of every program's uninstall entries.
    if (app_name.empty()) return;
    const auto key = install::uninstall_key(app_name);
    if (!sys_.key_exists(platform::root_key::LocalMachine, key)) return;
    for (const char* name : {"", "DisplayName", "UninstallString"}) {
        sys_.delete_value(platform::root_key::LocalMachine, key, name);
    }
    sys_.delete_key(platform::root_key::LocalMachine, key);
}

}  // namespace uninstall
