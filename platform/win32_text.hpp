#pragma once
// Windows only. Texts cross into the wide (W) functions here: the core's code page 932
// byte strings become UTF-16 and back, with code page 932 named explicitly, whatever the
// machine's ANSI code page is.

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

/// Code page 932 bytes to UTF-16 for a W function.
std::wstring to_wide(std::string_view text);
/// UTF-16 from a W function to code page 932; characters without a form become '?' (utf16_to_cp932).
std::string from_wide(std::wstring_view text);

/// The text of a window or control, as code page 932.
std::string window_text(HWND window);
/// Sets the text of a window or control from code page 932.
bool set_window_text(HWND window, std::string_view text);

}  // namespace platform
