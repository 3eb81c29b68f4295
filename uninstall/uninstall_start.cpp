#include "uninstall/uninstall_start.hpp"

#include "platform/screen.hpp"
#include "platform/system.hpp"
#include "uninstall/removal_engine.hpp"

namespace uninstall {

std::string confirmation_text(const std::string& app_name) {
    return app_name + " をハードディスクから削除します。\nよろしいですか？";
}

start_outcome open_for_removal(platform::system& sys, platform::screen& screen, const std::string& project_path,
                               model::project_data& project, bool ask) {
    const auto status = project_path.empty() ? std::nullopt : sys.status(project_path);
    if (!status) {
        screen.message_box(already_removed_text, uninstall_caption, platform::MbOk | platform::MbIconInformation);
        return start_outcome::AlreadyRemoved;
    }
    const auto loaded = model::load_project(sys, project_path, project);
    if (loaded == model::load_result::Missing) {
        screen.message_box(already_removed_text, uninstall_caption, platform::MbOk | platform::MbIconInformation);
        return start_outcome::AlreadyRemoved;
    }
    if (loaded != model::load_result::Ok) {
        screen.message_box(model::load_failure_message(loaded), error_caption, platform::MbOk | platform::MbIconExclamation);
        return start_outcome::Unreadable;
    }
    if (!ask) return start_outcome::Confirmed;
    const int answer = screen.message_box(confirmation_text(project.app_name.app_name), uninstall_caption,
                                          platform::MbOkCancel | platform::MbIconInformation);
    return answer == platform::IdOk ? start_outcome::Confirmed : start_outcome::Cancelled;
}

}  // namespace uninstall
