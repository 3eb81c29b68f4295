// win32_frame: top-level window with one view.

#include "platform/win32_frame.hpp"

namespace platform {

bool win32_frame::create_frame(const std::string& title, DWORD style, HICON icon,
                               std::unique_ptr<win32_view> view) {
    view_ = std::move(view);
    window_spec desc;
    desc.class_name = L"vrz_frame";
    desc.text = title;
    desc.style = style & ~WS_VISIBLE;
    desc.icon = icon;
    desc.background = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    return create(desc);
}

void win32_frame::end_program_with(int exit_code) {
    ends_program_ = true;
    exit_code_ = exit_code;
}

bool win32_frame::on_create(const CREATESTRUCTW&) {
    if (!view_) return true;
    RECT client{};
    GetClientRect(handle(), &client);
    return view_->create_view(handle(), client);
}

void win32_frame::on_size(UINT, int width, int height) {
    if (view_ && view_->exists()) {
        MoveWindow(view_->handle(), 0, 0, width, height, TRUE);
    }
}

void win32_frame::on_set_focus(HWND) {
    if (view_ && view_->exists()) SetFocus(view_->handle());
}

void win32_frame::on_final_destroy() {
    if (ends_program_) PostQuitMessage(exit_code_);
}

}  // namespace platform
