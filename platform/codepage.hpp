#pragma once
// Conversions between code page 932 byte strings and Unicode.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// UTF-16 to code page 932; characters without a mapping become '?'.
std::string utf16_to_cp932(std::u16string_view text);
/// Code page 932 to UTF-16; nullopt when text is not valid code page 932.
std::optional<std::u16string> cp932_to_utf16(std::string_view text);
/// Code page 932 to UTF-8; nullopt when text is not valid code page 932.
std::optional<std::string> cp932_to_utf8(std::string_view text);
/// UTF-8 to code page 932; nullopt when text is not valid UTF-8 or has no mapping.
std::optional<std::string> utf8_to_cp932(std::string_view text);

}  // namespace platform
