// setup_failed_dialog: a fixed page; OK, Esc and the close box all just close it.

#include "setup/setup_failed_dialog.hpp"

#include "resources/resource.h"

namespace setup {

setup_failed_dialog::setup_failed_dialog(HWND parent) : win32_dialog(IDD_SETUP_FAILED, parent) {}

}  // namespace setup
