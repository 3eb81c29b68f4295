#pragma once
// Checks on the file names that a package puts into the temporary folder.

#include <string_view>

namespace package {

/// True when name is one plain file name that stays inside the folder it is appended to: not
/// empty, not made of dots and blanks only (such as ".."), and without a path separator or a
/// drive colon. Code page 932 aware: the trail byte 0x5C of a double-byte character is not a
/// separator.
bool is_plain_file_name(std::string_view name);

/// True for the names of the package files that the copy step still reads or copies from the
/// temporary folder ("ark.vrz", "~vrncomp.tmp", "arkmtx.vrz", "arkbs.vrz", "qlun.exe"):
/// an entry must not overwrite them.
bool is_reserved_temp_name(std::string_view name);

/// Equality of two file names under ASCII case folding (how Windows matches them).
bool same_file_name(std::string_view a, std::string_view b);

}  // namespace package
