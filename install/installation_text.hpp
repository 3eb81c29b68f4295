#pragma once
// Backslashes in code page 932 paths. The second byte of a double-byte character may be
// 0x5C (as in 表 or ソ); it is part of that character and never separates names.

#include <cstddef>
#include <string_view>

namespace install {

/// True for a byte that starts a double-byte character of code page 932.
bool is_lead_byte(char c);

/// The position of the first path backslash at or after from; npos when there is none.
std::size_t first_backslash(std::string_view text, std::size_t from = 0);

/// The position of the last path backslash; npos when there is none.
std::size_t last_backslash(std::string_view text);

/// True when the text's last character is a backslash.
bool ends_with_backslash(std::string_view text);

}  // namespace install
