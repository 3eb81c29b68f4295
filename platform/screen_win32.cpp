// win32_screen: message boxes and the wait cursor on the desktop.

#include "platform/win32_screen.hpp"

#include "platform/win32_message_box.hpp"

namespace platform {

int win32_screen::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    return show_message_box(owner_, text, caption, flags);
}

void win32_screen::set_wait_cursor(bool on) {
    waiting_ = on;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(on ? IDC_WAIT : IDC_ARROW)));
}

}  // namespace platform
