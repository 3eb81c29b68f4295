#pragma once
// Windows only. The installer's main window: maximised over the work area, with a title
// bar and a system menu whose Close command is greyed, so the user cannot end a run.

#include <memory>
#include <string>

#include "platform/win32_frame.hpp"

namespace setup {

class setup_view;

class main_frame : public platform::win32_frame {
public:
    /// WS_MAXIMIZE | WS_CAPTION | WS_SYSMENU, in place of any default frame style.
    static constexpr DWORD frame_style = 0x01C80000;

    /// Creates the window hidden, with view as its view.
    bool create(HICON icon, std::unique_ptr<setup_view> view);
    setup_view* view() const;

    /// Stores the project's title for the window.
    void set_caption(const std::string& caption) { caption_ = caption; }
    const std::string& caption() const { return caption_; }
    /// Shapes the window over the work area and shows or hides it; always true.
    bool arrange_window(bool visible);

protected:
    /// The Close command is greyed; a close request from elsewhere is refused too.
    void on_close() override;

private:
    std::string caption_;
};

}  // namespace setup
