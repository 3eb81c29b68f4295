#include "package/temp_folder.hpp"

#include "platform/system.hpp"

namespace package {

std::string temp_folder(platform::system& sys) {
    switch (sys.platform_id()) {
        case 1:
            return sys.windows_directory() + "\\temp\\";
        case 2:
            return sys.windows_directory().substr(0, 2) + "\\temp\\";
        default:
            return {};
    }
}

}  // namespace package
