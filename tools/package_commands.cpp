#include <CLI/CLI.hpp>

#include "tools/commands.hpp"

namespace tools {

void add_package_commands(CLI::App&) {}

}  // namespace tools
