#pragma once
// Where the installer's main window stands: over the desktop work area, shown with the
// project's title or hidden with a fixed one.

#include <string>

namespace setup {

/// A rectangle in screen coordinates.
struct screen_rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

/// Position, size, visibility and text of the main window.
struct frame_layout {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
    std::string text;
    friend bool operator==(const frame_layout&, const frame_layout&) = default;
};

/// The text of the main window while it is hidden.
inline constexpr char hidden_frame_text[] = "セットアップ";

/// The main window from the work area's top-left corner, as wide as the work area's right
/// coordinate and as high as its bottom one; its text is caption when visible.
frame_layout arrange_main_frame(const std::string& caption, bool visible, const screen_rect& work_area);

}  // namespace setup
