#include "platform/shell_link_writer.hpp"

#include <string>
#include <utility>

namespace platform {
namespace {

constexpr std::uint32_t header_size = 0x4C;
constexpr std::uint8_t link_clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t link_info_header_size = 0x1C;
constexpr std::uint32_t volume_id_and_local_base_path = 0x01;
constexpr std::uint32_t volume_id_header_size = 0x10;

class byte_writer {
public:
    void u8(std::uint8_t v) { bytes_.push_back(static_cast<std::byte>(v)); }
    void u16le(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32le(std::uint32_t v) {
        u16le(static_cast<std::uint16_t>(v));
        u16le(static_cast<std::uint16_t>(v >> 16));
    }
    void u64le(std::uint64_t v) {
        u32le(static_cast<std::uint32_t>(v));
        u32le(static_cast<std::uint32_t>(v >> 32));
    }
    void text(const std::string& s) {
        for (char c : s) u8(static_cast<std::uint8_t>(c));
    }
    std::vector<std::byte> take() { return std::move(bytes_); }

private:
    std::vector<std::byte> bytes_;
};

bool storable(const std::string& s) { return s.size() <= 0xFFFF && s.find('\0') == std::string::npos; }

void write_link_info(byte_writer& out, const std::string& base_path, int drive_type) {
    const std::uint32_t volume_id_size = volume_id_header_size + 1;  // empty label, zero-terminated
    const std::uint32_t base_path_offset = link_info_header_size + volume_id_size;
    const std::uint32_t suffix_offset = base_path_offset + static_cast<std::uint32_t>(base_path.size()) + 1;
    const std::uint32_t total = suffix_offset + 1;  // empty common path suffix
    out.u32le(total);
    out.u32le(link_info_header_size);
    out.u32le(volume_id_and_local_base_path);
    out.u32le(link_info_header_size);  // volume id follows the header
    out.u32le(base_path_offset);
    out.u32le(0);  // no network location
    out.u32le(suffix_offset);
    out.u32le(volume_id_size);
    out.u32le(static_cast<std::uint32_t>(drive_type));
    out.u32le(0);  // serial number
    out.u32le(volume_id_header_size);
    out.u8(0);
    out.text(base_path);
    out.u8(0);
    out.u8(0);
}

void write_string(byte_writer& out, const std::string& s) {
    out.u16le(static_cast<std::uint16_t>(s.size()));
    out.text(s);
}

}  // namespace

std::optional<std::vector<std::byte>> write_shell_link(const shell_link& link,
                                                       const shell_link_target& target) {
    for (const std::string* s :
         {&link.target, &link.description, &link.working_directory, &link.arguments, &link.icon_path})
        if (!storable(*s)) return std::nullopt;

    std::uint32_t flags = 0;
    if (!link.target.empty()) flags |= HasLinkInfo;
    if (!link.description.empty()) flags |= HasName;
    if (!link.working_directory.empty()) flags |= HasWorkingDir;
    if (!link.arguments.empty()) flags |= HasArguments;
    if (!link.icon_path.empty()) flags |= HasIconLocation;

    byte_writer out;
    out.u32le(header_size);
    for (std::uint8_t b : link_clsid) out.u8(b);
    out.u32le(flags);
    out.u32le(target.attributes);
    out.u64le(target.created);
    out.u64le(target.accessed);
    out.u64le(target.written);
    out.u32le(target.size);
    out.u32le(static_cast<std::uint32_t>(link.icon_index));
    out.u32le(static_cast<std::uint32_t>(link.show_command));
    out.u16le(link.hot_key);
    out.u16le(0);
    out.u32le(0);
    out.u32le(0);

    if (flags & HasLinkInfo) write_link_info(out, link.target, target.drive_type);
    if (flags & HasName) write_string(out, link.description);
    if (flags & HasWorkingDir) write_string(out, link.working_directory);
    if (flags & HasArguments) write_string(out, link.arguments);
    if (flags & HasIconLocation) write_string(out, link.icon_path);
    out.u32le(0);  // terminal block
    return out.take();
}

std::uint64_t file_time_from_unix(std::int64_t seconds) {
    constexpr std::int64_t seconds_1601_to_1970 = 11644473600;
    std::int64_t since_1601 = seconds + seconds_1601_to_1970;
    if (since_1601 < 0) return 0;
    return static_cast<std::uint64_t>(since_1601) * 10000000u;
}

}  // namespace platform
