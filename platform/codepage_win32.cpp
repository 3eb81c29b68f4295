// Code page 932 conversions through the system's own tables, held to the same rules as the
// host build: bytes that code page 932 does not define are refused, and characters without
// a code page 932 form become '?' (never a look-alike, one '?' per character).

#include "platform/codepage.hpp"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT cp932 = 932;

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

/// What Windows makes of the single bytes 0x80, 0xA0 and 0xFD to 0xFF, which code page 932
/// leaves undefined.
bool from_undefined_byte(wchar_t c) { return c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3); }

std::optional<std::wstring> decode(UINT code_page, std::string_view text) {
    if (text.empty()) return std::wstring{};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), n);
    if (code_page == cp932) {
        for (wchar_t c : out) {
            if (from_undefined_byte(c)) return std::nullopt;
        }
    }
    return out;
}

std::string to_utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    return out;
}

/// Appends one run without surrogates; true when every character had a form.
bool append_cp932(std::wstring_view run, std::string& out) {
    if (run.empty()) return true;
    const int length = static_cast<int>(run.size());
    BOOL used_default = FALSE;
    const int n =
        WideCharToMultiByte(cp932, WC_NO_BEST_FIT_CHARS, run.data(), length, nullptr, 0, "?", &used_default);
    if (n <= 0) {
        out.append(run.size(), '?');
        return false;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n));
    WideCharToMultiByte(cp932, WC_NO_BEST_FIT_CHARS, run.data(), length, out.data() + at, n, "?",
                        &used_default);
    return used_default == FALSE;
}

/// Code page 932 has no form for anything outside the basic plane, so a surrogate pair
/// (or a lone surrogate) becomes one '?'. *complete is false when some '?' stands in.
std::string to_cp932(std::wstring_view text, bool* complete) {
    std::string out;
    bool all = true;
    std::size_t run_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (!is_high_surrogate(c) && !is_low_surrogate(c)) continue;
        all = append_cp932(text.substr(run_start, i - run_start), out) && all;
        out += '?';
        all = false;
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) ++i;
        run_start = i + 1;
    }
    all = append_cp932(text.substr(run_start), out) && all;
    if (complete) *complete = all;
    return out;
}

std::wstring_view as_wide(std::u16string_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

}  // namespace

std::string utf16_to_cp932(std::u16string_view text) { return to_cp932(as_wide(text), nullptr); }

std::optional<std::u16string> cp932_to_utf16(std::string_view text) {
    auto wide = decode(cp932, text);
    if (!wide) return std::nullopt;
    return std::u16string(wide->begin(), wide->end());
}

std::optional<std::string> cp932_to_utf8(std::string_view text) {
    auto wide = decode(cp932, text);
    if (!wide) return std::nullopt;
    return to_utf8(*wide);
}

std::optional<std::string> utf8_to_cp932(std::string_view text) {
    auto wide = decode(CP_UTF8, text);
    if (!wide) return std::nullopt;
    bool complete = false;
    std::string out = to_cp932(*wide, &complete);
    if (!complete) return std::nullopt;
    return out;
}

}  // namespace platform
