#pragma once
// The uninstaller's command line: the program name, then the project file's path.

#include <string>
#include <string_view>

namespace uninstall {

/// The project path of a whole command line (as GetCommandLineA gives it). The program
/// name is either quoted or ends at the first ".exe" (any case) followed by a blank or
/// the end, else at the first blank; so the unquoted form that an older installer
/// registered works for folders with blanks too. The rest, with its leading blanks
/// dropped, is the path, taken whole; a rest that is one quoted text (blanks after it
/// aside) loses its quotes.
std::string project_path_from_command_line(std::string_view command_line);

}  // namespace uninstall
