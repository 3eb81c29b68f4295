// setup_complete_dialog: tells how to start the installed application, or that Windows
// restarts first.

#include "setup/setup_complete_dialog.hpp"

#include "resources/resource.h"
#include "setup/completion_texts.hpp"

namespace setup {

setup_complete_dialog::setup_complete_dialog(HWND parent) : win32_dialog(IDD_SETUP_COMPLETE, parent) {}

bool setup_complete_dialog::on_init_dialog() {
    const completion_texts texts = completion_page_texts(restart);
    message_ = texts.message;
    set_item_text(IDOK, texts.ok_button);
    set_item_text(IDC_COMPLETE_MESSAGE, message_);
    return true;
}

}  // namespace setup
