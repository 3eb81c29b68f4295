#pragma once
// vrz verify: every problem of a package folder, found by decoding it in memory.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace tools {

/// The problems of the package folder, one line each: missing files and volumes, truncated
/// tables, missing pieces, damaged names, truncated streams, entries that no file_object
/// uses, file_objects naming no entry and file_objects whose file_size differs from the
/// decoded size.
std::vector<std::string> verify_problems(const std::filesystem::path& package_dir);

/// Prints the problems (or a line saying that all is well) on out; 1 when there is any.
int verify_package(const std::filesystem::path& package_dir, std::ostream& out);

}  // namespace tools
