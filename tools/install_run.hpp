#pragma once
// vrz plan, vrz install and vrz uninstall on the host sandbox. Each returns the exit code
// and writes its report to out and its problems to err.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace tools {

/// The options of vrz plan and vrz install; texts as typed (UTF-8).
struct install_arguments {
    std::filesystem::path package_dir;
    std::optional<std::filesystem::path> root;
    std::optional<std::filesystem::path> machine;
    std::optional<std::string> destination;
    /// Comma-separated component ids; unset: the project's own selection.
    std::optional<std::string> select;
    std::string user;
    std::string organisation;
    bool json = false;
    bool ignore_errors = false;
};

/// The options of vrz uninstall.
struct uninstall_arguments {
    std::filesystem::path root;
    /// The project file's path in the sandbox (UTF-8), or empty.
    std::string project_path;
    /// The application whose registered uninstall command names the project file.
    std::optional<std::string> app;
};

/// Prints what installing the package would do. 0, or 1 when the package cannot be read
/// or an option is malformed.
int run_plan(const install_arguments& args, std::ostream& out, std::ostream& err);

/// Installs the package into the sandbox: 0 when the installation completed, 1 when it failed.
/// progress: draw a progress bar on err.
int run_install(const install_arguments& args, std::ostream& out, std::ostream& err, bool progress);

/// Removes an installed application from the sandbox: 0 when everything went, 1 when the
/// project file is missing or unreadable or a deletion failed.
int run_uninstall(const uninstall_arguments& args, std::ostream& out, std::ostream& err);

}  // namespace tools
