// main_frame: the installer's main window.

#include "setup/main_frame.hpp"

#include "setup/frame_layout.hpp"
#include "setup/setup_view.hpp"

namespace setup {

bool main_frame::create(HICON icon, std::unique_ptr<setup_view> view) {
    return create_frame(caption_, frame_style, icon, std::move(view));
}

setup_view* main_frame::view() const { return static_cast<setup_view*>(active_view()); }

bool main_frame::arrange_window(bool visible) {
    SetMenu(handle(), nullptr);
    EnableMenuItem(GetSystemMenu(handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const frame_layout layout =
        arrange_main_frame(caption_, visible, screen_rect{area.left, area.top, area.right, area.bottom});
    set_text(layout.text);
    const UINT show = layout.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    SetWindowPos(handle(), HWND_TOP, layout.x, layout.y, layout.width, layout.height,
                 SWP_FRAMECHANGED | show);
    return true;
}

void main_frame::on_close() {}

}  // namespace setup
