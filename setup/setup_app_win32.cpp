// setup_app: the installer's start-up.

#include "setup/setup_app.hpp"

#include "resources/resource.h"
#include "setup/setup_startup.hpp"
#include "setup/setup_view.hpp"

namespace setup {

setup_app::setup_app(HINSTANCE instance) : win32_application(instance) {}

setup_app::~setup_app() = default;

bool setup_app::init_instance() {
    title_ = load_string(IDS_APP_TITLE);
    setup_startup startup(system_, screen_, pages_, title_, model::load_project);
    if (!startup.run(project_)) return false;
    if (!create_main_window()) return false;

    const auto& look = project_.dsp_mainfrm;
    frame_->set_caption(look.frame_title);
    const bool visible = look.dsp_flag != 0;
    frame_->arrange_window(visible);
    if (visible) UpdateWindow(frame_->handle());
    started_ = true;
    frame_->view()->begin_preparation();
    return true;
}

bool setup_app::create_main_window() {
    frame_ = std::make_unique<main_frame>();
    if (!frame_->create(load_icon(IDR_MAINFRAME), std::make_unique<setup_view>(*this))) {
        frame_.reset();
        return false;
    }
    frame_->end_program_with(exit_completed);
    return true;
}

void setup_app::end_run(int exit_code) {
    if (!frame_) return;
    frame_->end_program_with(exit_code);
    frame_->destroy();
}

int setup_app::exit_instance(int quit_code) { return started_ ? quit_code : exit_failed; }

}  // namespace setup
