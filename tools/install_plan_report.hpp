#pragma once
// vrz plan: everything an installation would do, in the installer's order, from the same
// decision functions that vrz install runs: the engine's file placements and uninstall
// entry, then the Start-menu items and the registry values.

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "install/install_plan.hpp"
#include "install/installation.hpp"
#include "install/registry_writer.hpp"
#include "install/start_menu_builder.hpp"
#include "model/project_data.hpp"
#include "platform/system.hpp"
#include "tools/package_folder.hpp"

namespace tools {

struct installation_plan {
    std::string app_name;
    std::string temp_folder;
    std::string first_fixed_root;
    /// The package's own problems (from reading the package folder).
    std::vector<std::string> problems;
    install::install_plan files;
    std::vector<install::start_menu_item> start_menu;
    std::vector<install::registry_write> registry;
    /// The project asks for Windows to be restarted at the end.
    bool restart = false;
    /// The program the installer starts at the end when no restart is asked for ("" when none).
    std::string run_program;
};

/// The plan of installing the package on sys with the choices given.
installation_plan make_installation_plan(const model::project_data& project, const package_folder& package,
                                         platform::system& sys, const install::installation_choices& choices);

/// The plan for machines (texts UTF-8, or {"cp932_hex": ...} when they do not convert).
nlohmann::ordered_json plan_to_json(const installation_plan& plan);

/// The plan for people, one line per action (UTF-8).
void print_plan(const installation_plan& plan, std::ostream& out);

/// The Start-menu part as print_plan shows it; vrz install prints what it made the same way.
void print_start_menu(const std::vector<install::start_menu_item>& items, std::ostream& out);
/// The registry part as print_plan shows it.
void print_registry(const std::vector<install::registry_write>& values, std::ostream& out);

/// A registry value's full path, such as HKEY_CURRENT_USER\Software\A\Name (code page 932).
std::string registry_value_path(const install::registry_value_location& location);

}  // namespace tools
