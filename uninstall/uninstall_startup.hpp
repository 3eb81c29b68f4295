#pragma once
// The start of the uninstaller: find and read the project file it was given, and ask the
// user whether to remove the application.

#include <functional>
#include <string>

#include "model/project_data.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"

namespace uninstall {

/// Shown when the project file is not there (also when no path was given).
inline constexpr char already_removed_message[] = "このアプリケーションは既に削除されています。";

/// The question before the removal, for app_name.
std::string removal_question(const std::string& app_name);

class uninstall_startup {
public:
    /// Reads a project file into a document (model::load_project in the program).
    using project_loader =
        std::function<model::load_result(platform::system&, const std::string&, model::project_data&)>;

    /// application_title: the caption of the load failure messages.
    uninstall_startup(platform::system& system, platform::screen& screen, std::string application_title,
                      project_loader loader);

    /// Reads the project at project_path; false, after telling the user, when it is missing
    /// or cannot be read.
    bool load(const std::string& project_path, model::project_data& project);
    /// Asks whether to remove the application; true when the user answers OK.
    bool confirm(const model::project_data& project);

private:
    platform::system& system_;
    platform::screen& screen_;
    std::string application_title_;
    project_loader loader_;
};

}  // namespace uninstall
