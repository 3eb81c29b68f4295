#pragma once
// Whole-file reading and writing on the host for the package tools.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tools {

/// The file's bytes; nullopt when it cannot be read or is not a regular file.
std::optional<std::string> read_host_file(const std::filesystem::path& path);
/// Writes bytes to path, replacing a file (never following a link that stands there).
/// Throws std::runtime_error naming the path.
void write_host_file(const std::filesystem::path& path, std::string_view bytes);
/// A code page 932 text for the terminal (UTF-8); bytes that do not convert are shown as \xNN.
std::string display_text(std::string_view cp932);
/// A host path for a code page 932 file name, or nullopt when it has no UTF-8 form.
std::optional<std::filesystem::path> host_name(std::string_view cp932);

}  // namespace tools
