#pragma once
// The start of the uninstaller before any window shows: the project file named on the
// command line is found and read, and the user confirms the removal.

#include <string>

#include "model/project_data.hpp"

namespace platform {
class screen;
class system;
}  // namespace platform

namespace uninstall {

/// How the start ended.
enum class start_outcome {
    Confirmed,       ///< the project is read and the user chose OK: run the removal
    AlreadyRemoved,  ///< no project file: "このアプリケーションは既に削除されています。" was shown
    Unreadable,      ///< the project file could not be read; the load message was shown
    Cancelled,       ///< the user chose Cancel; nothing is removed
};

/// The message for a missing project file.
inline constexpr const char* already_removed_text = "このアプリケーションは既に削除されています。";

/// The confirmation question for the application app_name.
std::string confirmation_text(const std::string& app_name);

/// Finds and reads the project file into project, then asks for confirmation (skipped when
/// ask is false, as for a caller that has confirmed already). Messages go to screen.
start_outcome open_for_removal(platform::system& sys, platform::screen& screen, const std::string& project_path,
                               model::project_data& project, bool ask = true);

}  // namespace uninstall
