// main_frame: the uninstaller's main window.

#include "uninstall/main_frame.hpp"

#include "uninstall/qlun_view.hpp"

namespace uninstall {

bool main_frame::create(HICON icon, std::unique_ptr<qlun_view> view) {
    return create_frame(title_, frame_style, icon, std::move(view));
}

qlun_view* main_frame::view() const { return static_cast<qlun_view*>(active_view()); }

void main_frame::arrange_window(bool visible) {
    SetMenu(handle(), nullptr);
    EnableMenuItem(GetSystemMenu(handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    set_text(title_);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    // Width and height are the work area's right and bottom coordinates themselves.
    SetWindowPos(handle(), HWND_TOP, area.left, area.top, area.right, area.bottom,
                 SWP_FRAMECHANGED | (visible ? 0 : SWP_HIDEWINDOW));
}

void main_frame::start(const std::string& project_path) {
    project_path_ = project_path;
    view()->start_removal(project_path_);
}

void main_frame::on_close() {}

}  // namespace uninstall
