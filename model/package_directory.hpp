#pragma once
// The package directory "arkmtx.vrz": which packed file becomes which application file.

#include <cstdint>
#include <span>
#include <string>

#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"
#include "model/record.hpp"
#include "model/record_map.hpp"

namespace model {

/// One packed file of the package. Fields: real_name, packed_value, packed_name.
class comp_file_object : public record {
public:
    std::string real_name;
    std::int32_t packed_value = 0;
    std::string packed_name;

    std::string_view class_name() const override { return "comp_file_object"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

using package_directory = text_map<comp_file_object>;

/// Parses "arkmtx.vrz": one object archive holding one text map; throws format_error.
package_directory parse_package_directory(std::span<const std::byte> bytes);
/// Serialises a package directory in the writer forms.
std::string serialize_package_directory(const package_directory& directory);

}  // namespace model
