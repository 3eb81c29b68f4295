#pragma once
// Windows only. The view: a child window filling the frame's client area, where a program
// paints its background and from which its timers run.

#include "platform/win32_window.hpp"

namespace platform {

class win32_view : public win32_window {
public:
    /// Control id of the view inside its frame.
    static constexpr UINT_PTR view_id = 0xE900;

    /// Creates the view as a visible child of frame covering client.
    bool create_view(HWND frame, const RECT& client);
};

}  // namespace platform
