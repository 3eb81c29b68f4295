#include "install/start_menu_folders.hpp"

#include "install/folder_macros.hpp"
#include "platform/system.hpp"

namespace install {

namespace {

// RegQueryValueEx is given a 510-byte buffer; a longer value cannot be read.
constexpr std::size_t programs_value_limit = 510;

constexpr std::string_view default_marker = "Default";
constexpr std::string_view start_marker = "ｽﾀｰﾄ";

std::optional<std::string> read_programs_value(platform::system& sys, platform::root_key root,
                                               const std::string& key) {
    if (!sys.key_exists(root, key)) return std::nullopt;
    auto value = sys.query_value(root, key, programs_value_name);
    if (!value || value->empty() || value->size() + 1 > programs_value_limit) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> derive_user_programs_folder(std::string_view default_folder,
                                                       std::string_view user_name) {
    if (user_name.empty()) return std::nullopt;
    const auto head_end = find_text(default_folder, default_marker);
    const auto start = find_text(default_folder, start_marker);
    // The tail starts one character before the Start-menu folder's name.
    if (head_end == std::string_view::npos || start == std::string_view::npos || start == 0) {
        return std::nullopt;
    }
    std::string folder(default_folder.substr(0, head_end));
    folder += user_name;
    folder += default_folder.substr(start - 1);
    return folder;
}

std::optional<programs_folders> find_programs_folders(platform::system& sys) {
    auto default_folder = read_programs_value(sys, platform::root_key::Users, default_shell_folders_key);
    if (!default_folder) return std::nullopt;

    programs_folders folders{*default_folder, std::nullopt};
    const auto start = find_text(*default_folder, start_marker);
    const bool derivable = find_text(*default_folder, default_marker) != std::string::npos &&
                           start != std::string::npos && start > 0;
    if (derivable) {
        if (auto name = sys.user_name())
            folders.user_folder = derive_user_programs_folder(*default_folder, *name);
    } else {
        folders.user_folder =
            read_programs_value(sys, platform::root_key::CurrentUser, user_shell_folders_key);
    }
    // One folder is built and removed once.
    if (folders.user_folder == folders.default_folder) folders.user_folder.reset();
    return folders;
}

}  // namespace install
