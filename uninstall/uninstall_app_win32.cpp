// uninstall_app: the uninstaller's start-up.

#include "uninstall/uninstall_app.hpp"

#include "platform/win32_text.hpp"
#include "resources/resource.h"
#include "uninstall/command_line.hpp"
#include "uninstall/qlun_view.hpp"
#include "uninstall/removal_engine.hpp"
#include "uninstall/uninstall_startup.hpp"

namespace uninstall {

uninstall_app::uninstall_app(HINSTANCE instance) : win32_application(instance) {}

uninstall_app::~uninstall_app() = default;

bool uninstall_app::init_instance() {
    frame_ = std::make_unique<main_frame>();
    if (!frame_->create(load_icon(IDR_MAINFRAME), std::make_unique<qlun_view>(*this))) return false;
    frame_->end_program_with(exit_not_removed);

    const std::string project_path = project_path_from_command_line(platform::from_wide(GetCommandLineW()));
    uninstall_startup startup(system_, screen_, load_string(IDS_APP_TITLE), model::load_project);
    if (!startup.load(project_path, project_)) {
        frame_->destroy();
        return false;
    }
    frame_->set_title(uninstall_caption);
    frame_->arrange_window(true);
    if (!startup.confirm(project_)) {
        frame_->destroy();
        return false;
    }
    frame_->show(SW_SHOW);
    UpdateWindow(frame_->handle());
    screen_.set_owner(frame_->handle());
    started_ = true;
    frame_->start(project_path);
    return true;
}

void uninstall_app::end_run(int exit_code) {
    if (!frame_) return;
    frame_->end_program_with(exit_code);
    frame_->destroy();
}

int uninstall_app::exit_instance(int quit_code) { return started_ ? quit_code : exit_not_removed; }

}  // namespace uninstall
