#pragma once
// Windows only. Message boxes with code page 932 texts.

#include <windows.h>

#include <string>

namespace platform {

/// Shows MessageBoxW with exactly flags; returns the button pressed (IDOK, IDYES, ...).
int show_message_box(HWND owner, const std::string& text, const std::string& caption, unsigned flags);

}  // namespace platform
