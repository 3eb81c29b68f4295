#pragma once
// Windows only. The completion page: shown modally after a successful installation.

#include <string>

#include "platform/win32_dialog.hpp"

namespace setup {

class setup_complete_dialog : public platform::win32_dialog {
public:
    explicit setup_complete_dialog(HWND parent);

    /// Set before the page runs: Windows is restarted after it.
    bool restart = false;

protected:
    bool on_init_dialog() override;

private:
    std::string message_;
};

}  // namespace setup
