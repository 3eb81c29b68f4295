#include "model/package_directory.hpp"

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"

namespace model {

// comp_file_object: text real_name, int32 packed_value, text packed_name.
void comp_file_object::read(archive_reader& in) {
    real_name = in.read_text();
    packed_value = in.read_int32();
    packed_name = in.read_text();
}

void comp_file_object::write(archive_writer& out) const {
    out.write_text(real_name);
    out.write_int32(packed_value);
    out.write_text(packed_name);
}

package_directory parse_package_directory(std::span<const std::byte> bytes) {
    archive_reader in(bytes);
    package_directory directory;
    in.read_map(directory);
    return directory;
}

std::string serialize_package_directory(const package_directory& directory) {
    archive_writer out;
    out.write_map(directory);
    return out.take();
}

}  // namespace model
