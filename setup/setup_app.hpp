#pragma once
// Windows only. The installer's application object: start-up, the document, the main
// window, and the facts and choices of the run that later steps fill in.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/project_data.hpp"
#include "platform/win32_application.hpp"
#include "platform/win32_screen.hpp"
#include "platform/win32_system.hpp"
#include "setup/main_frame.hpp"
#include "setup/win32_setup_pages.hpp"

namespace setup {

class setup_app : public platform::win32_application {
public:
    /// Exit code of a run that went to its end.
    static constexpr int exit_completed = 0;
    /// Exit code of a run that ended unsuccessfully.
    static constexpr int exit_failed = 1;

    explicit setup_app(HINSTANCE instance);
    ~setup_app() override;

    /// Free bytes of each fixed drive, index 0 = drive A.
    std::array<std::uint32_t, 26> drive_free_bytes{};
    /// Index into drive_free_bytes of the first fixed drive.
    std::optional<std::uint32_t> first_fixed_drive;
    /// Root of the first fixed drive, such as C:\.
    std::string first_fixed_root;
    /// The folder chosen on the destination page, without a trailing backslash; empty when
    /// the page was not shown.
    std::string destination_folder;

    platform::system& system() { return system_; }
    platform::screen& screen() { return screen_; }
    setup_pages& pages() { return pages_; }
    model::project_data& project() { return project_; }
    const std::string& title() const { return title_; }
    main_frame* frame() const { return frame_.get(); }

    /// Ends the run: the main window goes and the message loop ends with exit_code.
    void end_run(int exit_code = exit_completed);

protected:
    bool init_instance() override;
    int exit_instance(int quit_code) override;

private:
    bool create_main_window();

    platform::win32_system system_;
    platform::win32_screen screen_;
    win32_setup_pages pages_;
    model::project_data project_;
    std::string title_;
    std::unique_ptr<main_frame> frame_;
    bool started_ = false;
};

}  // namespace setup
