#include "package/package_reader.hpp"

#include <exception>
#include <memory>
#include <unordered_set>

#include "package/file_names.hpp"
#include "package/memory_file.hpp"
#include "package/table_record.hpp"
#include "package/table_store.hpp"

namespace package {

const model::comp_file_object* find_packed_object(const model::package_directory& directory,
                                                  std::string_view file_name) {
    const model::comp_file_object* found = nullptr;
    directory.for_each([&](const std::string&, const model::comp_file_object& object) {
        if (!found && same_file_name(object.packed_name, file_name)) found = &object;
    });
    if (found) return found;
    // Older packages may name the packed file by a part of it; an empty name matches nothing.
    directory.for_each([&](const std::string&, const model::comp_file_object& object) {
        if (!found && !object.packed_name.empty() && file_name.find(object.packed_name) != std::string_view::npos) {
            found = &object;
        }
    });
    return found;
}

namespace {

/// True when the table's directory has a record of this name, whether or not it can be opened.
bool has_record(const table_store& table, std::string_view name) {
    const auto view = table.view();
    for (std::int32_t i = 0; i < table.record_count(); ++i) {
        const auto record =
            view.subspan(table_directory_offset + std::size_t(i) * table_record_size).first<table_record_size>();
        if (compare_entry_names(table_record_entry_name(record), name) == 0) return true;
    }
    return false;
}

void read_piece(table_store& pieces, package_entry& entry, std::vector<std::string>& problems) {
    table_handle h = pieces.open(entry.name);
    if (!h) {
        problems.push_back("entry " + entry.name + " is missing from the piece directory");
        return;
    }
    const table_record record = parse_table_record(pieces.record_of(h).first<table_record_size>());
    pieces.close(h);
    entry.in_pieces = true;
    entry.volume = record.volume;
    entry.file_name = record.file_name;
}

void read_volume_bytes(table_store& joined, package_entry& entry, std::vector<std::string>& problems) {
    table_handle h = joined.open(entry.name);
    if (!h) {
        problems.push_back(has_record(joined, entry.name)
                               ? "entry " + entry.name + " lies beyond the end of the joined volumes"
                               : "entry " + entry.name + " is missing from the joined volumes");
        return;
    }
    const std::byte* bytes = joined.lock(h, 0, h->size);
    entry.packed = {bytes, static_cast<std::size_t>(h->size)};
    joined.unlock(h, 0, h->size);
    joined.close(h);
    entry.in_volumes = true;
}

/// Names and directory object; true when both names stay inside the temporary folder.
bool check_names(const model::package_directory& directory, package_entry& entry,
                 std::vector<std::string>& problems) {
    if (!is_plain_file_name(entry.file_name) || is_reserved_temp_name(entry.file_name)) {
        problems.push_back("entry " + entry.name + " names the packed file \"" + entry.file_name +
                           "\", which is not a plain file name of its own");
        return false;
    }
    entry.object = find_packed_object(directory, entry.file_name);
    if (!entry.object) {
        problems.push_back("entry " + entry.name + ": packed file \"" + entry.file_name +
                           "\" is not in the package directory");
        return false;
    }
    const std::string& real = entry.object->real_name;
    if (!is_plain_file_name(real) || is_reserved_temp_name(real) || same_file_name(real, entry.file_name)) {
        problems.push_back("entry " + entry.name + " names the file \"" + real +
                           "\", which is not a plain file name of its own");
        return false;
    }
    return true;
}

}  // namespace

package_contents read_package(std::span<const std::byte> directory_bytes, std::span<const std::byte> piece_bytes,
                              std::span<const std::byte> joined_bytes) {
    package_contents contents;
    auto& problems = contents.problems;
    if (directory_bytes.empty()) {
        problems.push_back("arkmtx.vrz is missing or empty");
    } else {
        try {
            contents.directory = model::parse_package_directory(directory_bytes);
        } catch (const std::exception& e) {
            problems.push_back(std::string("arkmtx.vrz cannot be read: ") + e.what());
        }
    }

    if (piece_bytes.empty()) {
        problems.push_back("ark.vrz is missing or empty");
        return contents;
    }
    table_store pieces;
    if (!pieces.init(std::make_unique<memory_file>(piece_bytes), 1)) {
        problems.push_back("ark.vrz is not a table file (its directory does not fit in it)");
        return contents;
    }
    if (pieces.record_count() == 0) {
        problems.push_back("ark.vrz has no records");
        return contents;
    }
    table_store joined;
    const bool joined_ok = joined.init(std::make_unique<memory_file>(joined_bytes), 1);
    if (!joined_ok) problems.push_back("the joined volumes are truncated: their directory does not fit in them");

    // The copy step's volume counter starts at 1 and can only rise.
    std::uint32_t counter = 1;
    for (std::uint32_t number = 1; number < static_cast<std::uint32_t>(pieces.record_count()); ++number) {
        package_entry entry;
        entry.number = number;
        entry.name = entry_name(number);
        read_piece(pieces, entry, problems);
        if (entry.in_pieces) {
            bool ok = check_names(contents.directory, entry, problems);
            if (entry.volume < counter) {
                problems.push_back("entry " + entry.name + " has volume " + std::to_string(entry.volume) +
                                   " after volume " + std::to_string(counter) +
                                   ": the installer cannot go back to it");
                ok = false;
            } else {
                counter = entry.volume;
            }
            if (joined_ok) read_volume_bytes(joined, entry, problems);
            entry.usable = ok && entry.in_volumes;
        }
        contents.entries.push_back(std::move(entry));
    }

    std::unordered_set<const model::comp_file_object*> used;
    for (const auto& entry : contents.entries) used.insert(entry.object);
    contents.directory.for_each([&](const std::string& key, const model::comp_file_object& object) {
        if (used.count(&object)) return;
        problems.push_back("package directory entry \"" + key + "\" (" + object.real_name +
                           ") belongs to no packed entry");
    });
    return contents;
}

}  // namespace package
