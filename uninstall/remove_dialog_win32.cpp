// remove_dialog: the removal window and the timer chain of the removal engine.

#include "uninstall/remove_dialog.hpp"

#include <commctrl.h>

#include <utility>

#include "resources/resource.h"

namespace uninstall {

remove_dialog::remove_dialog(HWND parent, platform::system& system, platform::screen& screen,
                             const model::project_data& project, std::string project_path,
                             std::function<void()> finished)
    : win32_dialog(IDD_REMOVE, parent),
      project_(project),
      engine_(system, screen, project, std::move(project_path), this),
      finished_(std::move(finished)) {}

void remove_dialog::place_dialog() {
    set_item_text(IDC_REMOVE_MESSAGE,
                  project_.app_name.app_name + " を削除しています。しばらくお待ちください・・・。");
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    RECT own{};
    GetWindowRect(handle(), &own);
    SetWindowPos(handle(), HWND_TOP, desktop.right - own.right - 20, desktop.bottom - own.bottom - 10, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
}

void remove_dialog::begin_removal() {
    const removal_timer first = engine_.begin_removal();
    start_timer(static_cast<UINT_PTR>(first), removal_timer_period_ms);
}

void remove_dialog::on_timer(UINT_PTR id) {
    stop_timer(id);
    const removal_timer next = engine_.run_timer(static_cast<int>(id));
    if (next != removal_timer::None) {
        start_timer(static_cast<UINT_PTR>(next), removal_timer_period_ms);
    } else if (id == static_cast<UINT_PTR>(removal_timer::Finish)) {
        finished_();
    }
}

void remove_dialog::on_ok() {}
void remove_dialog::on_cancel() {}

void remove_dialog::progress_range(int high) {
    SendDlgItemMessageW(handle(), IDC_REMOVE_PROGRESS, PBM_SETRANGE32, 0, high);
}

void remove_dialog::progress_position(int position) {
    SendDlgItemMessageW(handle(), IDC_REMOVE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void remove_dialog::removal_ending() { show(SW_HIDE); }

}  // namespace uninstall
