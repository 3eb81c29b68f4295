#pragma once
// The groups of vrz subcommands. Each adds its subcommands to the application; a
// subcommand's callback throws command_failed with the exit code when it fails.

#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace tools {

/// A command ended with an error already reported on standard error.
class command_failed : public std::runtime_error {
public:
    explicit command_failed(int exit_code, const std::string& what = "command failed")
        : std::runtime_error(what), exit_code_(exit_code) {}
    int exit_code() const { return exit_code_; }

private:
    int exit_code_;
};

/// vrz show, vrz project.
void add_project_commands(CLI::App& app);
/// vrz pack, vrz extract, vrz verify.
void add_package_commands(CLI::App& app);
/// vrz plan, vrz install, vrz uninstall.
void add_install_commands(CLI::App& app);

}  // namespace tools
