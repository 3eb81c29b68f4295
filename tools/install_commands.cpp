// vrz plan PACKAGE_DIR, vrz install PACKAGE_DIR --root ROOT, vrz uninstall --root ROOT PROJECT_PATH.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>

#include "tools/commands.hpp"
#include "tools/install_run.hpp"

namespace tools {

namespace {

void add_install_options(CLI::App& cmd, install_arguments& args) {
    cmd.add_option("PACKAGE_DIR", args.package_dir, "the package folder")->required();
    cmd.add_option("--machine", args.machine, "a machine.json for the sandbox (docs/sandbox.md)");
    cmd.add_option("--dest", args.destination, "the destination folder chosen on the destination page");
    cmd.add_option("--select", args.select,
                   "comma-separated ids of the components to install (others are left out); "
                   "default: the project's own selection");
    cmd.add_option("--user", args.user, "the user name typed on the user-information page");
    cmd.add_option("--org", args.organisation, "the organisation typed on the user-information page");
}

void finish(int code) {
    if (code != 0) throw command_failed(code);
}

}  // namespace

void add_install_commands(CLI::App& app) {
    auto plan = std::make_shared<install_arguments>();
    auto* plan_cmd =
        app.add_subcommand("plan", "Print what installing a package would do, in the installer's order");
    add_install_options(*plan_cmd, *plan);
    plan_cmd->add_option("--root", plan->root, "the sandbox to plan for (default: a fresh one)");
    plan_cmd->add_flag("--json", plan->json, "print the plan as JSON");
    plan_cmd->callback([plan] { finish(run_plan(*plan, std::cout, std::cerr)); });

    auto install = std::make_shared<install_arguments>();
    auto* install_cmd = app.add_subcommand("install", "Install a package into a host sandbox");
    add_install_options(*install_cmd, *install);
    install_cmd->add_option("--root", install->root, "the sandbox folder (made when missing)")->required();
    install_cmd->add_flag("--ignore-errors", install->ignore_errors,
                          "skip a file that cannot be copied instead of stopping");
    install_cmd->callback([install] {
        const bool terminal = isatty(fileno(stderr)) != 0;
        finish(run_install(*install, std::cout, std::cerr, terminal));
    });

    auto uninstall = std::make_shared<uninstall_arguments>();
    auto* uninstall_cmd =
        app.add_subcommand("uninstall", "Remove an installed application from a host sandbox");
    uninstall_cmd->add_option("--root", uninstall->root, "the sandbox folder")->required();
    uninstall_cmd->add_option("PROJECT_PATH", uninstall->project_path,
                              "the installed project file, such as \"C:\\Program Files\\App\\arkbs.vrz\"");
    uninstall_cmd->add_option("--app", uninstall->app,
                              "take the project file from the application's registered uninstall command");
    uninstall_cmd->callback([uninstall] { finish(run_uninstall(*uninstall, std::cout, std::cerr)); });
}

}  // namespace tools
