#pragma once
// The start of the installer before any window exists: find the project file in the
// current folder, load it, and tell the user when either fails.

#include <functional>
#include <string>

#include "model/project_data.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"
#include "setup/setup_pages.hpp"

namespace setup {

/// The project file, a plain relative name: looked up in the current folder only.
inline constexpr char project_file_name[] = "arkbs.vrz";

/// Shown when the project file is not in the current folder.
inline constexpr char project_missing_message[] =
    "\"Arkbs.vrz\"ファイルの読み込みに失敗しました。\n\n"
    "ファイルが存在しないか、壊れている可能性があります。\n"
    "ファイルが壊れた場合は、ユーザーサポート係までご連絡ください。";

class setup_startup {
public:
    /// Reads a project file into a document (model::load_project in the program).
    using project_loader =
        std::function<model::load_result(platform::system&, const std::string&, model::project_data&)>;

    /// application_title: the caption of the message boxes of this step.
    setup_startup(platform::system& system, platform::screen& screen, setup_pages& pages,
                  std::string application_title, project_loader loader);

    /// Finds and loads "arkbs.vrz" into project. False when the installer is to end at once;
    /// the user has then been told why.
    bool run(model::project_data& project);

private:
    void report_missing_project();
    void report_load_failure(model::load_result result);

    platform::system& system_;
    platform::screen& screen_;
    setup_pages& pages_;
    std::string application_title_;
    project_loader loader_;
};

}  // namespace setup
