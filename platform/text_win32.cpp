// Code page 932 to and from UTF-16 at the boundary of the wide Win32 functions.

#include "platform/win32_text.hpp"

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
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(cp932, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp932, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    return out;
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
