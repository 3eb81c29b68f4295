// The main window's place over the work area.

#include "setup/frame_layout.hpp"

namespace setup {

frame_layout arrange_main_frame(const std::string& caption, bool visible, const screen_rect& work_area) {
    frame_layout layout;
    layout.x = work_area.left;
    layout.y = work_area.top;
    // The right and bottom coordinates themselves, not the work area's size: with a task
    // bar at the top or left the window reaches past the work area by the same amount.
    layout.width = work_area.right;
    layout.height = work_area.bottom;
    layout.visible = visible;
    layout.text = visible ? caption : std::string(hidden_frame_text);
    return layout;
}

}  // namespace setup
