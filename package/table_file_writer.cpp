#include "package/table_file_writer.hpp"

#include <algorithm>
#include <stdexcept>

#include "model/byte_cursor.hpp"
#include "package/table_record.hpp"

namespace package {

void table_file_writer::add(table_entry entry) {
    if (entry.entry_name.empty() || entry.entry_name.size() > table_entry_name_max ||
        entry.entry_name.find('\0') != std::string::npos) {
        throw std::invalid_argument("table entry name \"" + entry.entry_name + "\" must have 1 to 9 characters");
    }
    if (entry.file_name.size() > table_file_name_max || entry.file_name.find('\0') != std::string::npos) {
        throw std::invalid_argument("table file name \"" + entry.file_name + "\" is longer than 12 characters");
    }
    auto at = std::lower_bound(entries_.begin(), entries_.end(), entry, [](const auto& a, const auto& b) {
        return compare_entry_names(a.entry_name, b.entry_name) < 0;
    });
    if (at != entries_.end() && compare_entry_names(at->entry_name, entry.entry_name) == 0) {
        throw std::invalid_argument("table entry name \"" + entry.entry_name + "\" occurs twice");
    }
    entries_.insert(at, std::move(entry));
}

std::string table_file_writer::bytes() const {
    const std::uint64_t data_start = table_directory_offset + entries_.size() * table_record_size + 4;
    std::uint64_t total = data_start;
    for (const auto& entry : entries_) total += entry.data.size();
    if (total > UINT32_MAX) throw std::length_error("table file larger than 4 GiB");

    model::byte_writer out;
    out.write_u32le(static_cast<std::uint32_t>(entries_.size()));
    std::uint64_t offset = data_start;
    for (const auto& entry : entries_) {
        table_record record;
        record.data_offset = static_cast<std::uint32_t>(offset);
        record.volume = entry.volume;
        record.reserved = entry.reserved;
        record.file_name = entry.file_name;
        record.entry_name = entry.entry_name;
        out.write_bytes(serialize_table_record(record));
        offset += entry.data.size();
    }
    out.write_u32le(static_cast<std::uint32_t>(offset));
    for (const auto& entry : entries_) out.write_bytes(entry.data);
    return out.take();
}

}  // namespace package
