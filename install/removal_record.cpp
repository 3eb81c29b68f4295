// Stored form of the removal record:
//   7 bytes  "VRZRM1\n"
//   uint32   count of entries
//   count x  text entry_key, text install_path, text real_path (project archive texts)
// Nothing may follow the last entry.

#include "install/removal_record.hpp"

#include <string_view>

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"
#include "model/format_error.hpp"

namespace install {

namespace {

constexpr std::string_view magic = "VRZRM1\n";
// Each entry holds three texts of at least one length byte each.
constexpr std::size_t smallest_entry = 3;

// The reason without the " at offset N" that format_error appends.
std::string removal_error_text(const model::format_error& e) {
    std::string text = e.what();
    const auto at = text.rfind(" at offset ");
    if (at != std::string::npos) text.erase(at);
    return text;
}

}  // namespace

std::string removal_record::serialize() const {
    std::string bytes(magic);
    model::archive_writer body;
    body.write_uint32(static_cast<std::uint32_t>(entries.size()));
    for (const removal_entry& e : entries) {
        body.write_text(e.entry_key);
        body.write_text(e.install_path);
        body.write_text(e.real_path);
    }
    bytes += body.bytes();
    return bytes;
}

removal_record removal_record::parse(std::span<const std::byte> bytes) {
    if (bytes.size() < magic.size() ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()), magic.size()) != magic) {
        throw model::format_error(0, "not a removal record");
    }
    model::archive_reader in(bytes.subspan(magic.size()));
    removal_record out;
    try {
        const std::uint32_t count = in.read_uint32();
        if (count > in.remaining() / smallest_entry) {
            throw model::format_error(in.position(), "removal record count larger than the file");
        }
        out.entries.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            removal_entry e;
            e.entry_key = in.read_text();
            e.install_path = in.read_text();
            e.real_path = in.read_text();
            out.entries.push_back(std::move(e));
        }
        if (in.remaining() != 0)
            throw model::format_error(in.position(), "bytes after the last removal entry");
    } catch (const model::format_error& e) {
        // Offsets count from the start of the file, magic included.
        throw model::format_error(magic.size() + e.offset(), removal_error_text(e));
    }
    return out;
}

}  // namespace install
