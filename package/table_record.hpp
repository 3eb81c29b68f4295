#pragma once
// The 48-byte directory record of a table file ("ark.vrz", "~vrncomp.tmp").
//
//   offset 0   uint32    data offset: absolute file offset of the entry's first byte
//   offset 4   uint32    volume number
//   offset 8   16 bytes  not interpreted (kept as read)
//   offset 24  14 bytes  file name, NUL-terminated, at most 12 characters
//   offset 38  10 bytes  entry name, NUL-terminated, at most 9 characters: the search key
//
// A table file is: uint32 record count N, N records sorted by entry name under
// case-insensitive ASCII comparison, the uint32 end offset of the last entry's data, then
// the entries' data. An entry runs from its data offset to the next record's data offset.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace package {

inline constexpr std::size_t table_record_size = 48;
inline constexpr std::size_t table_file_name_capacity = 14;   ///< bytes, terminator included
inline constexpr std::size_t table_entry_name_capacity = 10;  ///< bytes, terminator included
/// Longest names the fields hold with their terminator (the file name may fill its field in
/// files written elsewhere; readers then cut it at the field's end).
inline constexpr std::size_t table_file_name_max = 12;
inline constexpr std::size_t table_entry_name_max = 9;
/// Offset of the first directory record in a table file.
inline constexpr std::size_t table_directory_offset = 4;

struct table_record {
    std::uint32_t data_offset = 0;
    std::uint32_t volume = 0;
    std::array<std::byte, 16> reserved{};
    std::string file_name;   ///< at most 12 characters
    std::string entry_name;  ///< at most 9 characters
};

/// Reads one record from exactly 48 bytes. A name without a terminator is cut at its field's end.
table_record parse_table_record(std::span<const std::byte, table_record_size> bytes);
/// The 48 bytes of a record; names longer than their fields allow are cut (writers check first).
std::string serialize_table_record(const table_record& record);

/// The data offset of the record that starts at bytes (at least 4 bytes).
std::uint32_t table_record_offset(std::span<const std::byte> bytes);
/// The entry name stored in a record (48 bytes), without its terminator.
std::string_view table_record_entry_name(std::span<const std::byte, table_record_size> bytes);

/// Case-insensitive ASCII comparison of two names: <0, 0 or >0.
int compare_entry_names(std::string_view a, std::string_view b);

/// An entry number formatted "%03d": "007" for 7.
std::string entry_name(std::uint32_t number);

}  // namespace package
