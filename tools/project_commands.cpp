#include <CLI/CLI.hpp>

#include "tools/commands.hpp"

namespace tools {

void add_project_commands(CLI::App&) {}

}  // namespace tools
