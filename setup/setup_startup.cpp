// setup_startup: the project file check and the document load of the installer's start.

#include "setup/setup_startup.hpp"

#include <utility>

namespace setup {

setup_startup::setup_startup(platform::system& system, platform::screen& screen, setup_pages& pages,
                             std::string application_title, project_loader loader)
    : system_(system),
      screen_(screen),
      pages_(pages),
      application_title_(std::move(application_title)),
      loader_(std::move(loader)) {}

bool setup_startup::run(model::project_data& project) {
    if (!system_.status(project_file_name)) {
        report_missing_project();
        return false;
    }
    screen_.set_wait_cursor(true);
    const model::load_result result = loader_(system_, project_file_name, project);
    screen_.set_wait_cursor(false);
    if (result != model::load_result::Ok) {
        report_load_failure(result);
        return false;
    }
    return true;
}

void setup_startup::report_missing_project() {
    screen_.set_wait_cursor(false);
    screen_.message_box(project_missing_message, application_title_, platform::MbOk | platform::MbIconStop);
    pages_.show_failure_page();
}

void setup_startup::report_load_failure(model::load_result result) {
    // The file was there a moment ago; if it has gone since, it could not be opened.
    if (result == model::load_result::Missing) result = model::load_result::Unreadable;
    screen_.message_box(model::load_failure_message(result), application_title_,
                        platform::MbOk | platform::MbIconExclamation);
}

}  // namespace setup
