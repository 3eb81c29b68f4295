// Code page 932 to and from UTF-16 at the boundary of the wide Win32 functions.

#include "platform/win32_text.hpp"

#include "platform/codepage.hpp"

namespace platform {
namespace {

constexpr UINT cp932 = 932;

}  // namespace

std::wstring to_wide(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(cp932, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp932, 0, text.data(), length, out.data(), n);
    return out;
}

std::string from_wide(std::wstring_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return utf16_to_cp932(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::string window_text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return from_wide(text);
}

bool set_window_text(HWND window, std::string_view text) {
    return SetWindowTextW(window, to_wide(text).c_str()) != FALSE;
}

}  // namespace platform
