#pragma once
// Windows only. The failure page: shown modally at every unsuccessful ending of the installer.

#include "platform/win32_dialog.hpp"

namespace setup {

class setup_failed_dialog : public platform::win32_dialog {
public:
    explicit setup_failed_dialog(HWND parent);
};

}  // namespace setup
