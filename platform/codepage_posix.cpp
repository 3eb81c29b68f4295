// Code page conversions through the C library's iconv ("CP932").

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/codepage.hpp"

namespace platform {

namespace {

/// One iconv conversion descriptor, closed with the object.
class converter {
public:
    converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~converter() {
        if (ok()) iconv_close(cd_);
    }
    converter(const converter&) = delete;
    converter& operator=(const converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    /// Converts all of in; on failure returns false with in_used set to the offset of the
    /// sequence that could not be converted.
    bool run(std::string_view in, std::string& out, std::size_t& in_used) {
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char buffer[4096];
        for (;;) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            const std::size_t r = iconv(cd_, src_left ? &src : nullptr, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r != static_cast<std::size_t>(-1)) {
                if (src_left == 0) break;
                continue;
            }
            if (errno == E2BIG) continue;
            in_used = in.size() - src_left;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
        in_used = in.size();
        return true;
    }

private:
    iconv_t cd_;
};

std::optional<std::string> convert_all(const char* to, const char* from, std::string_view in) {
    converter cd(to, from);
    if (!cd.ok()) return std::nullopt;
    std::string out;
    std::size_t used = 0;
    if (!cd.run(in, out, used)) return std::nullopt;
    return out;
}

/// The code points of UTF-16 text as UTF-32LE bytes; an unpaired surrogate becomes '?'.
std::string utf16_to_utf32le(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 4);
    auto put = [&out](std::uint32_t c) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((c >> (8 * i)) & 0xFF));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            put(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            put('?');
        } else {
            put(c);
        }
    }
    return out;
}

}  // namespace

std::string utf16_to_cp932(std::u16string_view text) {
    const std::string wide = utf16_to_utf32le(text);
    converter cd("CP932", "UTF-32LE");
    std::string out;
    if (!cd.ok()) return std::string(text.size(), '?');
    std::string_view rest = wide;
    while (!rest.empty()) {
        std::size_t used = 0;
        if (cd.run(rest, out, used)) break;
        // A character without a mapping: '?' in its place, then go on after it.
        out.push_back('?');
        used = (used / 4 + 1) * 4;
        rest.remove_prefix(used < rest.size() ? used : rest.size());
    }
    return out;
}

std::optional<std::u16string> cp932_to_utf16(std::string_view text) {
    const auto bytes = convert_all("UTF-16LE", "CP932", text);
    if (!bytes) return std::nullopt;
    std::u16string out(bytes->size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>((*bytes)[2 * i]) |
                                       (static_cast<unsigned char>((*bytes)[2 * i + 1]) << 8));
    }
    return out;
}

std::optional<std::string> cp932_to_utf8(std::string_view text) { return convert_all("UTF-8", "CP932", text); }

std::optional<std::string> utf8_to_cp932(std::string_view text) { return convert_all("CP932", "UTF-8", text); }

}  // namespace platform
