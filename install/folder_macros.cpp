#include "install/folder_macros.hpp"

#include <algorithm>
#include <array>

#include "platform/system.hpp"

namespace install {

namespace {

constexpr std::array<folder_macro, 4> tested_order = {folder_macro::Root, folder_macro::ProgramFiles,
                                                      folder_macro::Windows, folder_macro::System};

/// Length of the character that starts at i: 2 for a lead byte with its trail byte, else 1.
std::size_t char_length(std::string_view text, std::size_t i) {
    return is_lead_byte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

bool contains(std::string_view text, std::string_view part) {
    return find_text(text, part) != std::string_view::npos;
}

std::string join_folder(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!ends_with_backslash(out)) out += '\\';
    out += name;
    return out;
}

}  // namespace

std::size_t find_text(std::string_view text, std::string_view part, std::size_t from) {
    for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) {
        if (i >= from && text.substr(i, part.size()) == part) return i;
    }
    return part.empty() && from >= text.size() ? text.size() : std::string_view::npos;
}

std::string_view macro_text(folder_macro macro) {
    switch (macro) {
        case folder_macro::Root:
            return "[ROOT]";
        case folder_macro::ProgramFiles:
            return "[PROGRAM FILES]";
        case folder_macro::Windows:
            return "[WINDOWS]";
        case folder_macro::System:
            return "[SYSTEM]";
        case folder_macro::None:
            break;
    }
    return {};
}

folder_macro first_macro(std::string_view text) {
    for (folder_macro m : tested_order) {
        if (contains(text, macro_text(m))) return m;
    }
    return folder_macro::None;
}

folder_macro last_macro(std::string_view text) {
    folder_macro found = folder_macro::None;
    for (folder_macro m : tested_order) {
        if (contains(text, macro_text(m))) found = m;
    }
    return found;
}

std::string drive_root(std::string_view windows_dir) { return std::string(windows_dir.substr(0, 3)); }

std::string macro_expansion(folder_macro macro, std::string_view windows_dir) {
    switch (macro) {
        case folder_macro::Root:
            return drive_root(windows_dir);
        case folder_macro::ProgramFiles:
            return drive_root(windows_dir) + "Program Files";
        case folder_macro::Windows:
            return std::string(windows_dir);
        case folder_macro::System:
            return std::string(windows_dir) + "\\System";
        case folder_macro::None:
            break;
    }
    return {};
}

std::string resolve_macros(std::string_view text, std::string_view windows_dir) {
    const folder_macro macro = first_macro(text);
    if (macro == folder_macro::None) return std::string(text);
    // The macro is taken to stand at the front, wherever the search found it.
    std::string_view rest = text.substr(macro_text(macro).size());
    std::string out = macro_expansion(macro, windows_dir);
    if (ends_with_backslash(out) && !rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
    out += rest;
    return out;
}

std::string default_destination(std::int32_t base, std::string_view path, std::string_view windows_dir) {
    std::string folder = drive_root(windows_dir);
    switch (base) {
        case 1:
            folder += "Program Files\\";
            break;
        // Bases 2 and 3 name the literal folders on the Windows drive, whatever W is called.
        case 2:
            folder += "Windows\\";
            break;
        case 3:
            folder += "Windows\\System\\";
            break;
        default:
            break;
    }
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (ends_with_backslash(path)) path.remove_suffix(1);
    folder += path;
    return folder;
}

folder_start make_folders_start(std::string_view path, std::string_view windows_dir) {
    switch (last_macro(path)) {
        case folder_macro::Root:
            return {drive_root(windows_dir), 7};
        case folder_macro::ProgramFiles:
            return {drive_root(windows_dir) + "Program Files\\", 16};
        case folder_macro::Windows:
            return {std::string(windows_dir), 10};
        case folder_macro::System:
            return {std::string(windows_dir) + "\\System\\", 9};
        case folder_macro::None:
            break;
    }
    // A full path: start at its own drive root.
    return {std::string(path.substr(0, 3)), 3};
}

std::string windows_directory(platform::system& sys) { return sys.windows_directory(); }

std::string drive_root(platform::system& sys) { return drive_root(sys.windows_directory()); }

std::string resolve_macros(platform::system& sys, std::string_view text) {
    return resolve_macros(text, sys.windows_directory());
}

std::string default_destination(platform::system& sys, std::int32_t base, std::string_view path) {
    return default_destination(base, path, sys.windows_directory());
}

void make_folders(platform::system& sys, std::string_view path) {
    const std::string saved = sys.current_directory();
    const folder_start start = make_folders_start(path, sys.windows_directory());
    bool entered = sys.set_current_directory(start.folder);
    if (!entered && last_macro(path) != folder_macro::None) {
        // A machine without its Program Files or System folder gets it, so that the
        // application's folders do not end up in whatever directory was current.
        sys.create_directory(start.folder);
        entered = sys.set_current_directory(start.folder);
    }
    if (entered) {
        std::string current = start.folder;
        std::string_view rest = path.substr(std::min(start.skip, path.size()));
        for (auto slash = find_text(rest, "\\"); slash != std::string_view::npos;
             slash = find_text(rest, "\\")) {
            const std::string_view name = rest.substr(0, slash);
            rest.remove_prefix(slash + 1);
            if (name.empty()) continue;
            const std::string folder = join_folder(current, name);
            sys.create_directory(folder);
            // A folder that cannot be entered ends the walk; making the later folders in
            // whatever directory happens to be current would put them in the wrong place.
            if (!sys.set_current_directory(folder)) break;
            current = folder;
        }
    }
    sys.set_current_directory(saved);
}

}  // namespace install
