// vrz: shows, builds, extracts and installs setup packages.

#include <CLI/CLI.hpp>
#include <iostream>

#include "tools/commands.hpp"

int main(int argc, char** argv) {
    CLI::App app{"vrz: show, build, extract and install setup packages"};
    app.require_subcommand(1);
    tools::add_project_commands(app);
    tools::add_package_commands(app);
    tools::add_install_commands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const tools::command_failed& e) {
        return e.exit_code();
    } catch (const std::exception& e) {
        std::cerr << "vrz: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
