#include "package/volume_header.hpp"

#include "model/byte_cursor.hpp"
#include "platform/system.hpp"

namespace package {

std::optional<volume_header> parse_volume_header(std::span<const std::byte> bytes) {
    if (bytes.size() < volume_header_size) return std::nullopt;
    model::byte_cursor in(bytes);
    volume_header header;
    header.volume_count = in.read_u32le();
    header.value_1 = in.read_u32le();
    header.value_2 = in.read_u32le();
    header.required_bytes = in.read_u32le();
    return header;
}

std::string serialize_volume_header(const volume_header& header) {
    model::byte_writer out;
    out.write_u32le(header.volume_count);
    out.write_u32le(header.value_1);
    out.write_u32le(header.value_2);
    out.write_u32le(header.required_bytes);
    return out.take();
}

std::optional<volume_header> read_volume_header(platform::system& sys, const std::string& path) {
    auto mapping = sys.map_file(path);
    if (!mapping) return std::nullopt;
    return parse_volume_header(mapping->bytes());
}

}  // namespace package
