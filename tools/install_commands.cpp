#include <CLI/CLI.hpp>

#include "tools/commands.hpp"

namespace tools {

void add_install_commands(CLI::App&) {}

}  // namespace tools
