#pragma once
// Folder macros: the "[ROOT]", "[PROGRAM FILES]", "[WINDOWS]" and "[SYSTEM]" prefixes of
// project paths, resolved against the target machine's Windows directory.
//
// Every function comes twice: once with the Windows directory W given (pure, for the
// rules and their tests), once reading W from the machine each time it is needed.

#include <cstdint>
#include <string>
#include <string_view>

#include "install/installation_text.hpp"

namespace platform {
class system;
}

namespace install {

// Texts are code page 932: the trail byte of a double-byte character can equal '\\' or
// '[' (such as the 0x5C of "ソ" and "表"), so searches only match at character starts
// (last_backslash and ends_with_backslash are in installation_text.hpp).

/// Where part first occurs in text at or after from, starting on a character; npos if nowhere.
std::size_t find_text(std::string_view text, std::string_view part, std::size_t from = 0);

/// The folder macros in the order in which they are tested.
enum class folder_macro { None, Root, ProgramFiles, Windows, System };

/// The macro's text, such as "[PROGRAM FILES]"; empty for None.
std::string_view macro_text(folder_macro macro);

/// The macro that resolve_macros replaces: the first of "[ROOT]", "[PROGRAM FILES]",
/// "[WINDOWS]", "[SYSTEM]" that the text contains anywhere.
folder_macro first_macro(std::string_view text);

/// The macro that decides where folders are made and files are placed: the same four
/// tests in the same order, the last one that matches decides.
folder_macro last_macro(std::string_view text);

/// R: the first three characters of the Windows directory, such as C:\.
std::string drive_root(std::string_view windows_dir);

/// What a macro stands for: R, R + "Program Files", W, W + "\System"; empty for None.
std::string macro_expansion(folder_macro macro, std::string_view windows_dir);

/// The text with its leading macro replaced; a text without a macro comes back unchanged.
std::string resolve_macros(std::string_view text, std::string_view windows_dir);

/// The default destination folder (no trailing backslash unless it is the drive root).
std::string default_destination(std::int32_t base, std::string_view path, std::string_view windows_dir);

/// The folder to start from and the number of leading characters of the path to skip
/// when the folders of path are made.
struct folder_start {
    std::string folder;
    std::size_t skip = 0;
};
folder_start make_folders_start(std::string_view path, std::string_view windows_dir);

// The same operations on the machine.

/// W: the Windows directory as the machine reports it, read afresh each time.
std::string windows_directory(platform::system& sys);
/// R: the drive root of the Windows directory, read afresh each time.
std::string drive_root(platform::system& sys);
std::string resolve_macros(platform::system& sys, std::string_view text);
std::string default_destination(platform::system& sys, std::int32_t base, std::string_view path);

/// Creates every folder of a file path that does not exist yet (the last component names
/// the file and is not created). Works by changing the current directory one folder at a
/// time and restores it before returning. Failures are ignored: the copy that follows
/// reports them.
void make_folders(platform::system& sys, std::string_view path);

}  // namespace install
