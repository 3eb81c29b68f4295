// uninstall_startup: the project file check, the document load and the confirmation.

#include "uninstall/uninstall_startup.hpp"

#include <utility>

#include "uninstall/removal_engine.hpp"

namespace uninstall {

std::string removal_question(const std::string& app_name) {
    // Joined, not formatted: a '%' in the name stays text.
    return app_name + " をハードディスクから削除します。\nよろしいですか？";
}

uninstall_startup::uninstall_startup(platform::system& system, platform::screen& screen,
                                     std::string application_title, project_loader loader)
    : system_(system),
      screen_(screen),
      application_title_(std::move(application_title)),
      loader_(std::move(loader)) {}

bool uninstall_startup::load(const std::string& project_path, model::project_data& project) {
    if (project_path.empty() || !system_.status(project_path)) {
        screen_.message_box(already_removed_message, uninstall_caption,
                            platform::MbOk | platform::MbIconInformation);
        return false;
    }
    model::load_result result = loader_(system_, project_path, project);
    if (result == model::load_result::Ok) return true;
    // The file was there a moment ago; if it has gone since, it could not be opened.
    if (result == model::load_result::Missing) result = model::load_result::Unreadable;
    screen_.message_box(model::load_failure_message(result), application_title_,
                        platform::MbOk | platform::MbIconExclamation);
    return false;
}

bool uninstall_startup::confirm(const model::project_data& project) {
    const int answer = screen_.message_box(removal_question(project.app_name.app_name), uninstall_caption,
                                           platform::MbOkCancel | platform::MbIconInformation);
    return answer == platform::IdOk;
}

}  // namespace uninstall
