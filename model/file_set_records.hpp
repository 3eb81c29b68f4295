#pragma once
// The installable file sets: folder trees and files, components, the Start-menu tree,
// and the maps of registry values and programs to check.

#include <cstdint>
#include <string>

#include "model/record.hpp"
#include "model/record_map.hpp"
#include "model/settings_records.hpp"

namespace model {

class file_object;

/// One folder of an installable tree. Fields: folder_name, folder_text, folder_stamp, subfolders, files.
class folder_object : public record {
public:
    std::string folder_name;
    std::string folder_text;
    date_time folder_stamp = date_time::now();
    text_map<folder_object> subfolders;
    text_map<file_object> files;

    std::string_view class_name() const override { return "folder_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// One file to install. Note the stored order: file_size comes before file_note.
class file_object : public record {
public:
    std::string file_key;
    std::string source_name;
    date_time created_stamp = date_time::now();
    date_time modified_stamp = date_time::now();
    std::int32_t file_size = 0;
    std::string file_note;
    std::string sub_path;
    std::string install_path;
    std::int16_t overwrite_mode = 0;
    std::int16_t component_id = 0;

    /// Takes every field from other.
    void copy_from(const file_object& other) { *this = other; }

    std::string_view class_name() const override { return "file_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// One selectable component. selected is stored as int16 and held zero-extended.
class compo_file_object : public record {
public:
    std::int16_t component_id = 0;
    std::string component_name;
    std::uint32_t selected = 0;

    /// Takes component_id, component_name and selected from other.
    void copy_from(const compo_file_object& other) {
        component_id = other.component_id;
        component_name = other.component_name;
        selected = other.selected;
    }

    std::string_view class_name() const override { return "compo_file_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// A folder of the component tree (carried). The number is stored before the name.
class compo_folder_object : public record {
public:
    std::int16_t folder_number = 0;
    std::string folder_name;
    word_map<compo_folder_object> child_folders;
    word_map<compo_file_object> items;

    std::string_view class_name() const override { return "compo_folder_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// The component tree: top-level folders and items (carried, not consulted).
class component_files : public record {
public:
    std::string tree_text;  ///< not stored
    word_map<compo_folder_object> child_folders;
    word_map<compo_file_object> items;

    std::string_view class_name() const override { return "component_files"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// One Start-menu shortcut.
class stmenu_file_object : public record {
public:
    std::int16_t entry_number = 0;
    std::string link_name;
    std::string target_path;
    /// Stored twice; the later copy wins on reading, the same value is written twice.
    std::int32_t entry_value = 0;
    std::string description;
    std::string arguments;
    std::int32_t icon_index = 0;
    std::string icon_path;
    std::int32_t work_folder_base = 0;
    std::string work_folder;
    std::int32_t show_command = 0;
    std::int16_t hot_key = 0;

    std::string_view class_name() const override { return "stmenu_file_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// One Start-menu folder. The number is stored before the name.
class stmenu_folder_object : public record {
public:
    std::int16_t folder_number = 0;
    std::string folder_name;
    word_map<stmenu_folder_object> child_folders;
    word_map<stmenu_file_object> shortcuts;

    std::string_view class_name() const override { return "stmenu_folder_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// The Start-menu tree: top-level folders and shortcuts.
class startup_menu_files : public record {
public:
    std::string tree_text;  ///< not stored
    word_map<stmenu_folder_object> child_folders;
    word_map<stmenu_file_object> shortcuts;

    std::string_view class_name() const override { return "startup_menu_files"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// Everything to install, in stored order.
class setup_files : public record {
public:
    text_map<folder_object> folders;
    text_map<file_object> files;
    word_map<record> spare_map_1;
    word_map<record> spare_map_2;
    word_map<record> spare_map_3;
    word_map<record> spare_map_4;
    text_map<exec_check_file> exec_checks;
    startup_menu_files start_menu;
    component_files component_tree;
    word_map<compo_file_object> component_map;
    text_map<registry_info> registry_entries;

    std::string_view class_name() const override { return "setup_files"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

}  // namespace model
