#pragma once
// Where the Start-menu tree goes: the default user's and the current user's Programs
// folders. The installer builds the tree into both and the uninstaller removes it from
// both, so both find them through find_programs_folders.

#include <optional>
#include <string>
#include <string_view>

namespace platform {
class system;
}

namespace install {

/// The key below HKEY_USERS that holds the default user's shell folders.
inline constexpr const char* default_shell_folders_key =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
/// The key below HKEY_CURRENT_USER that holds the current user's shell folders.
inline constexpr const char* user_shell_folders_key =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
/// The value of a shell folders key that names the Programs folder.
inline constexpr const char* programs_value_name = "Programs";

struct programs_folders {
    /// The default user's Programs folder (D).
    std::string default_folder;
    /// The current user's Programs folder (U); nullopt when there is none apart from D.
    std::optional<std::string> user_folder;
};

/// The current user's Programs folder derived from the default one: the part before
/// "Default", the user name, then the part from the backslash before "ｽﾀｰﾄ" on.
/// nullopt when the user name is empty or the default folder lacks either marker.
std::optional<std::string> derive_user_programs_folder(std::string_view default_folder,
                                                       std::string_view user_name);

/// Both Programs folders of the machine; nullopt when the default one cannot be read.
/// When the default folder has no "Default" or no "ｽﾀｰﾄ", the current user's folder is
/// the current user's own Shell Folders value.
std::optional<programs_folders> find_programs_folders(platform::system& sys);

}  // namespace install
