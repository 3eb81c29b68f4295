#include "package/table_record.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/byte_cursor.hpp"

namespace package {

namespace {

constexpr std::size_t file_name_offset = 24;
constexpr std::size_t entry_name_offset = 38;

/// The bytes of a NUL-terminated field, cut at the field's end when no terminator is found.
std::string_view terminated(std::span<const std::byte> field) {
    const char* p = reinterpret_cast<const char*>(field.data());
    const void* nul = std::memchr(p, 0, field.size());
    const std::size_t n = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : field.size();
    return {p, n};
}

void put_name(std::string& out, std::size_t offset, std::size_t capacity, const std::string& name) {
    const std::size_t n = std::min(name.size(), capacity - 1);
    std::copy_n(name.data(), n, out.begin() + static_cast<std::ptrdiff_t>(offset));
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

table_record parse_table_record(std::span<const std::byte, table_record_size> bytes) {
    model::byte_cursor in(bytes);
    table_record record;
    record.data_offset = in.read_u32le();
    record.volume = in.read_u32le();
    auto reserved = in.read_bytes(record.reserved.size());
    std::copy(reserved.begin(), reserved.end(), record.reserved.begin());
    record.file_name = std::string(terminated(bytes.subspan(file_name_offset, table_file_name_capacity)));
    record.entry_name = std::string(table_record_entry_name(bytes));
    return record;
}

std::string serialize_table_record(const table_record& record) {
    model::byte_writer out;
    out.write_u32le(record.data_offset);
    out.write_u32le(record.volume);
    out.write_bytes({reinterpret_cast<const char*>(record.reserved.data()), record.reserved.size()});
    std::string bytes = out.take();
    bytes.resize(table_record_size, '\0');
    put_name(bytes, file_name_offset, table_file_name_capacity, record.file_name);
    put_name(bytes, entry_name_offset, table_entry_name_capacity, record.entry_name);
    return bytes;
}

std::uint32_t table_record_offset(std::span<const std::byte> bytes) {
    model::byte_cursor in(bytes);
    return in.read_u32le();
}

std::string_view table_record_entry_name(std::span<const std::byte, table_record_size> bytes) {
    return terminated(bytes.subspan(entry_name_offset, table_entry_name_capacity));
}

int compare_entry_names(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(fold(a[i]));
        const auto y = static_cast<unsigned char>(fold(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string entry_name(std::uint32_t number) {
    char name[16];
    std::snprintf(name, sizeof name, "%03u", static_cast<unsigned>(number));
    return name;
}

}  // namespace package
