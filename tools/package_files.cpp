#include "tools/package_files.hpp"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/codepage.hpp"

namespace tools {

namespace fs = std::filesystem;

std::optional<std::string> read_host_file(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

void write_host_file(const fs::path& path, std::string_view bytes) {
    std::error_code ec;
    // A link standing at the name is replaced, not written through.
    if (fs::is_symlink(fs::symlink_status(path, ec))) fs::remove(path, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error(path.string() + ": cannot write the file");
}

std::string display_text(std::string_view cp932) {
    if (auto utf8 = platform::cp932_to_utf8(cp932)) return *utf8;
    std::string out;
    for (char c : cp932) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

std::optional<fs::path> host_name(std::string_view cp932) {
    auto utf8 = platform::cp932_to_utf8(cp932);
    if (!utf8) return std::nullopt;
    return fs::path(std::u8string(utf8->begin(), utf8->end()));
}

}  // namespace tools
