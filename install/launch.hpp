#pragma once
// The program the project names for starting after setup.

#include <string>

#include "model/settings_records.hpp"

namespace platform {
class system;
}

namespace install {

/// The program to start: run_program with its folder macro resolved; "" when none is named.
std::string launch_path(platform::system& sys, const model::proj_hi_level_info& info);

/// Starts that program without waiting; a program that cannot be started is not reported.
void launch_program(platform::system& sys, const model::proj_hi_level_info& info);

}  // namespace install
