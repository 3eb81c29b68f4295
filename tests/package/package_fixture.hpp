#pragma once
// Hand-made packages for the extraction tests and fuzzers: every row is one entry with its
// piece record, its package directory object and its packed bytes, each of which can be
// left out or spoilt.

#include <memory>
#include <string>
#include <vector>

#include "model/byte_cursor.hpp"
#include "model/package_directory.hpp"
#include "package/huffman_coder.hpp"
#include "package/table_file_writer.hpp"
#include "package/table_record.hpp"

namespace package_test {

struct fixture_row {
    std::uint32_t number = 1;
    std::uint32_t volume = 1;
    std::string file_name;    ///< the piece record's packed file name
    std::string packed_name;  ///< the package directory's packed_name ("" : same as file_name)
    std::string real_name;
    std::string data;
    bool in_pieces = true;
    bool in_volumes = true;
    bool in_directory = true;
};

struct fixture_package {
    std::string directory;
    std::string pieces;
    std::string joined;
};

/// Piece records for every row, plus the unused record "000"; N counts them all.
inline fixture_package make_fixture(const std::vector<fixture_row>& rows) {
    package::table_file_writer pieces;
    package::table_file_writer joined;
    model::package_directory directory;
    pieces.add({"000", 0, "", "", {}});
    for (const auto& row : rows) {
        const std::string name = package::entry_name(row.number);
        if (row.in_pieces) pieces.add({name, row.volume, row.file_name, "", {}});
        if (row.in_volumes) {
            joined.add({name, row.volume, row.file_name, package::huffman_encode(model::as_bytes(row.data)), {}});
        }
        if (row.in_directory) {
            auto object = std::make_shared<model::comp_file_object>();
            object->real_name = row.real_name;
            object->packed_name = row.packed_name.empty() ? row.file_name : row.packed_name;
            directory.insert_or_assign(name, object);
        }
    }
    return {model::serialize_package_directory(directory), pieces.bytes(), joined.bytes()};
}

}  // namespace package_test
