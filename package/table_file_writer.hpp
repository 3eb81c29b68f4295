#pragma once
// Writes table files: the directory records sorted by entry name (case-insensitive), the end
// offset, then every entry's data in directory order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace package {

/// One entry of a table file to write.
struct table_entry {
    std::string entry_name;  ///< 1 to 9 characters, unique under case-insensitive comparison
    std::uint32_t volume = 0;
    std::string file_name;   ///< at most 12 characters
    std::string data;
    std::array<std::byte, 16> reserved{};
};

class table_file_writer {
public:
    /// Adds an entry; throws std::invalid_argument for a name that does not fit its field or
    /// an entry name already added.
    void add(table_entry entry);
    /// The whole table file. Throws std::length_error when it would exceed 4 GiB - 1.
    std::string bytes() const;
    /// The entries sorted as they are stored.
    const std::vector<table_entry>& entries() const { return entries_; }

private:
    std::vector<table_entry> entries_;  // kept sorted
};

}  // namespace package
