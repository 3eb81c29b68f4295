// Code page 932 conversions through the system's own tables.

#include "platform/codepage.hpp"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT cp932 = 932;

/// Strict decoding: nullopt when text holds a byte sequence that code page 932 does not define.
std::optional<std::wstring> decode(UINT code_page, std::string_view text) {
    if (text.empty()) return std::wstring{};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), n);
    return out;
}

/// Encoding; *lossy is set when some character had no mapping and became the default character.
std::string encode(UINT code_page, std::wstring_view text, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    // The default-character arguments must be null for UTF-8.
    BOOL used_default = FALSE;
    BOOL* used = code_page == CP_UTF8 ? nullptr : &used_default;
    const char* fallback = code_page == CP_UTF8 ? nullptr : "?";
    const int n = WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, fallback, used);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), length, out.data(), n, fallback, used);
    if (lossy) *lossy = used_default != FALSE;
    return out;
}

std::wstring_view as_wide(std::u16string_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

}  // namespace

std::string utf16_to_cp932(std::u16string_view text) { return encode(cp932, as_wide(text), nullptr); }

std::optional<std::u16string> cp932_to_utf16(std::string_view text) {
    auto wide = decode(cp932, text);
    if (!wide) return std::nullopt;
    return std::u16string(wide->begin(), wide->end());
}

std::optional<std::string> cp932_to_utf8(std::string_view text) {
    auto wide = decode(cp932, text);
    if (!wide) return std::nullopt;
    bool lossy = false;
    return encode(CP_UTF8, *wide, &lossy);
}

std::optional<std::string> utf8_to_cp932(std::string_view text) {
    auto wide = decode(CP_UTF8, text);
    if (!wide) return std::nullopt;
    bool lossy = false;
    std::string out = encode(cp932, *wide, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

}  // namespace platform
