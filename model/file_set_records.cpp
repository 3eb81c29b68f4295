// Stored field order of the file-set records: each read is followed by its write.

#include "model/file_set_records.hpp"

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"

namespace model {

// folder_object: text folder_name, text folder_text, date-time folder_stamp,
// text map subfolders, text map files.
void folder_object::read(archive_reader& in) {
    folder_name = in.read_text();
    folder_text = in.read_text();
    folder_stamp = in.read_date_time();
    in.read_map(subfolders);
    in.read_map(files);
}

void folder_object::write(archive_writer& out) const {
    out.write_text(folder_name);
    out.write_text(folder_text);
    out.write_date_time(folder_stamp);
    out.write_map(subfolders);
    out.write_map(files);
}

// file_object: text file_key, text source_name, date-time created_stamp, date-time
// modified_stamp, int32 file_size, text file_note, text sub_path, text install_path,
// int16 overwrite_mode, int16 component_id.
void file_object::read(archive_reader& in) {
    file_key = in.read_text();
    source_name = in.read_text();
    created_stamp = in.read_date_time();
    modified_stamp = in.read_date_time();
    file_size = in.read_int32();
    file_note = in.read_text();
    sub_path = in.read_text();
    install_path = in.read_text();
    overwrite_mode = in.read_int16();
    component_id = in.read_int16();
}

void file_object::write(archive_writer& out) const {
    out.write_text(file_key);
    out.write_text(source_name);
    out.write_date_time(created_stamp);
    out.write_date_time(modified_stamp);
    out.write_int32(file_size);
    out.write_text(file_note);
    out.write_text(sub_path);
    out.write_text(install_path);
    out.write_int16(overwrite_mode);
    out.write_int16(component_id);
}

// compo_file_object: int16 component_id, text component_name, int16 selected (held zero-extended).
void compo_file_object::read(archive_reader& in) {
    component_id = in.read_int16();
    component_name = in.read_text();
    selected = in.read_uint16();
}

void compo_file_object::write(archive_writer& out) const {
    out.write_int16(component_id);
    out.write_text(component_name);
    out.write_uint16(static_cast<std::uint16_t>(selected));
}

// compo_folder_object: int16 folder_number, text folder_name, word map child_folders, word map items.
void compo_folder_object::read(archive_reader& in) {
    folder_number = in.read_int16();
    folder_name = in.read_text();
    in.read_map(child_folders);
    in.read_map(items);
}

void compo_folder_object::write(archive_writer& out) const {
    out.write_int16(folder_number);
    out.write_text(folder_name);
    out.write_map(child_folders);
    out.write_map(items);
}

// component_files: word map child_folders, word map items (tree_text is not stored).
void component_files::read(archive_reader& in) {
    in.read_map(child_folders);
    in.read_map(items);
}

void component_files::write(archive_writer& out) const {
    out.write_map(child_folders);
    out.write_map(items);
}

// stmenu_file_object: int16 entry_number, text link_name, text target_path, int32 entry_value,
// text description, text arguments, int32 icon_index, text icon_path, int32 work_folder_base,
// text work_folder, int32 show_command, int32 entry_value again, int16 hot_key.
void stmenu_file_object::read(archive_reader& in) {
    entry_number = in.read_int16();
    link_name = in.read_text();
    target_path = in.read_text();
    entry_value = in.read_int32();
    description = in.read_text();
    arguments = in.read_text();
    icon_index = in.read_int32();
    icon_path = in.read_text();
    work_folder_base = in.read_int32();
    work_folder = in.read_text();
    show_command = in.read_int32();
    entry_value = in.read_int32();  // the second copy wins
    hot_key = in.read_int16();
}

void stmenu_file_object::write(archive_writer& out) const {
    out.write_int16(entry_number);
    out.write_text(link_name);
    out.write_text(target_path);
    out.write_int32(entry_value);
    out.write_text(description);
    out.write_text(arguments);
    out.write_int32(icon_index);
    out.write_text(icon_path);
    out.write_int32(work_folder_base);
    out.write_text(work_folder);
    out.write_int32(show_command);
    out.write_int32(entry_value);
    out.write_int16(hot_key);
}

// stmenu_folder_object: int16 folder_number, text folder_name, word map child_folders, word map shortcuts.
void stmenu_folder_object::read(archive_reader& in) {
    folder_number = in.read_int16();
    folder_name = in.read_text();
    in.read_map(child_folders);
    in.read_map(shortcuts);
}

void stmenu_folder_object::write(archive_writer& out) const {
    out.write_int16(folder_number);
    out.write_text(folder_name);
    out.write_map(child_folders);
    out.write_map(shortcuts);
}

// startup_menu_files: word map child_folders, word map shortcuts (tree_text is not stored).
void startup_menu_files::read(archive_reader& in) {
    in.read_map(child_folders);
    in.read_map(shortcuts);
}

void startup_menu_files::write(archive_writer& out) const {
    out.write_map(child_folders);
    out.write_map(shortcuts);
}

// setup_files: folders, files, spare_map_1 to spare_map_4, exec_checks, start_menu (in place),
// component_tree (in place), component_map, registry_entries.
void setup_files::read(archive_reader& in) {
    in.read_map(folders);
    in.read_map(files);
    in.read_map(spare_map_1);
    in.read_map(spare_map_2);
    in.read_map(spare_map_3);
    in.read_map(spare_map_4);
    in.read_map(exec_checks);
    start_menu.read(in);
    component_tree.read(in);
    in.read_map(component_map);
    in.read_map(registry_entries);
}

void setup_files::write(archive_writer& out) const {
    out.write_map(folders);
    out.write_map(files);
    out.write_map(spare_map_1);
    out.write_map(spare_map_2);
    out.write_map(spare_map_3);
    out.write_map(spare_map_4);
    out.write_map(exec_checks);
    start_menu.write(out);
    component_tree.write(out);
    out.write_map(component_map);
    out.write_map(registry_entries);
}

}  // namespace model
