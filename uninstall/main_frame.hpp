#pragma once
// Windows only. The uninstaller's main window: over the whole work area, with a greyed
// Close command, so the removal cannot be interrupted.

#include <memory>
#include <string>

#include "platform/win32_frame.hpp"

namespace uninstall {

class qlun_view;

class main_frame : public platform::win32_frame {
public:
    /// WS_MAXIMIZE | WS_CAPTION | WS_SYSMENU, in place of any default frame style.
    static constexpr DWORD frame_style = 0x01C80000;

    /// Creates the window hidden, with view as its view.
    bool create(HICON icon, std::unique_ptr<qlun_view> view);
    qlun_view* view() const;

    void set_title(const std::string& title) { title_ = title; }
    /// Shapes the window over the work area; hides it when visible is false.
    void arrange_window(bool visible);
    /// Keeps project_path and starts the removal in the view.
    void start(const std::string& project_path);

protected:
    /// The Close command is greyed; a close request from elsewhere is refused too.
    void on_close() override;

private:
    std::string title_;
    std::string project_path_;
};

}  // namespace uninstall
