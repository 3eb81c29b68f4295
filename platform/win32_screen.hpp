#pragma once
// Windows only. The screen of the portable logic on a real desktop: MessageBoxW with the
// flags as given, and the wait cursor.

#include <windows.h>

#include "platform/screen.hpp"

namespace platform {

class win32_screen : public screen {
public:
    /// owner: the window that owns the message boxes; null for the desktop.
    explicit win32_screen(HWND owner = nullptr) : owner_(owner) {}

    void set_owner(HWND owner) { owner_ = owner; }
    HWND owner() const { return owner_; }

    int message_box(const std::string& text, const std::string& caption, unsigned flags) override;
    void set_wait_cursor(bool on) override;
    bool waiting() const { return waiting_; }

private:
    HWND owner_;
    bool waiting_ = false;
};

}  // namespace platform
