// setup_complete_dialog: tells how to start the installed application, or that Windows
// restarts first.

#include "setup/setup_complete_dialog.hpp"

#include "resources/resource.h"

namespace setup {

setup_complete_dialog::setup_complete_dialog(HWND parent) : win32_dialog(IDD_SETUP_COMPLETE, parent) {}

bool setup_complete_dialog::on_init_dialog() {
    if (restart) {
        message_ = "セットアップされたアプリケーションを実行する前に\nWindowsを一旦再起動します。";
        set_item_text(IDOK, "再起動");
    } else {
        message_ = "スタートメニューからアイコンを選択することで\nアプリケーションを実行することができます。";
    }
    set_item_text(IDC_COMPLETE_MESSAGE, message_);
    return true;
}

}  // namespace setup
