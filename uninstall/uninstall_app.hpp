#pragma once
// Windows only. The uninstaller's application object: start-up from the command line,
// the document, and the main window until the removal has finished.

#include <memory>
#include <string>

#include "model/project_data.hpp"
#include "platform/win32_application.hpp"
#include "platform/win32_screen.hpp"
#include "platform/win32_system.hpp"
#include "uninstall/main_frame.hpp"

namespace uninstall {

class uninstall_app : public platform::win32_application {
public:
    /// Exit code after the removal ran.
    static constexpr int exit_removed = 0;
    /// Exit code when nothing was removed (no project, unreadable project, Cancel).
    static constexpr int exit_not_removed = 1;

    explicit uninstall_app(HINSTANCE instance);
    ~uninstall_app() override;

    platform::system& system() { return system_; }
    platform::screen& screen() { return screen_; }
    const model::project_data& project() const { return project_; }

    /// Ends the run: the main window goes and the message loop ends with exit_code.
    void end_run(int exit_code);

protected:
    bool init_instance() override;
    int exit_instance(int quit_code) override;

private:
    platform::win32_system system_;
    platform::win32_screen screen_;
    model::project_data project_;
    std::unique_ptr<main_frame> frame_;
    bool started_ = false;
};

}  // namespace uninstall
