#pragma once
// Windows only. The small removal window near the bottom-right corner of the screen: a
// text and a progress bar, while the removal engine runs one step per timer tick.

#include <functional>
#include <string>

#include "model/project_data.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"
#include "platform/win32_dialog.hpp"
#include "uninstall/removal_engine.hpp"

namespace uninstall {

class remove_dialog : public platform::win32_dialog, private removal_observer {
public:
    /// finished is called once the completion message has been answered.
    remove_dialog(HWND parent, platform::system& system, platform::screen& screen,
                  const model::project_data& project, std::string project_path,
                  std::function<void()> finished);

    /// Fills in the text and moves the window near the bottom-right corner of the screen.
    void place_dialog();
    /// Starts the removal: its first step follows on the next timer tick.
    void begin_removal();

protected:
    void on_timer(UINT_PTR id) override;
    /// The window has no buttons; Enter and Esc must not end it in the middle of the removal.
    void on_ok() override;
    void on_cancel() override;

private:
    void progress_range(int high) override;
    void progress_position(int position) override;
    void removal_ending() override;

    const model::project_data& project_;
    removal_engine engine_;
    std::function<void()> finished_;
};

}  // namespace uninstall
