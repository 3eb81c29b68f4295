#pragma once
// Windows only. The frame: a top-level window that holds one view filling its client area.
// The end of the main frame ends the message loop.

#include <memory>
#include <string>

#include "platform/win32_view.hpp"
#include "platform/win32_window.hpp"

namespace platform {

class win32_frame : public win32_window {
public:
    /// Creates the frame hidden, with exactly style (nothing added), and view as its one child.
    bool create_frame(const std::string& title, DWORD style, HICON icon, std::unique_ptr<win32_view> view);
    /// The view given to create_frame; null before.
    win32_view* active_view() const { return view_.get(); }
    /// The end of this window posts WM_QUIT with exit_code.
    void end_program_with(int exit_code);

protected:
    bool on_create(const CREATESTRUCTW& create) override;
    void on_size(UINT kind, int width, int height) override;
    void on_set_focus(HWND previous) override;
    void on_final_destroy() override;

private:
    std::unique_ptr<win32_view> view_;
    bool ends_program_ = false;
    int exit_code_ = 0;
};

}  // namespace platform
