#include "install/launch.hpp"

#include "install/folder_macros.hpp"
#include "platform/system.hpp"

namespace install {

std::string launch_path(platform::system& sys, const model::proj_hi_level_info& info) {
    if (info.run_program.empty()) return {};
    return resolve_macros(sys, info.run_program);
}

void launch_program(platform::system& sys, const model::proj_hi_level_info& info) {
    const auto path = launch_path(sys, info);
    if (!path.empty()) sys.start_process(path);
}

}  // namespace install
