// win32_dialog: dialogs from templates and the one dialog procedure behind them.

#include "platform/win32_dialog.hpp"

#include <algorithm>
#include <vector>

#include "platform/win32_text.hpp"

namespace platform {
namespace {

/// The open modeless dialogs, for the message loop's keyboard handling.
std::vector<HWND>& modeless_windows() {
    static std::vector<HWND> windows;
    return windows;
}

/// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool returns_value_directly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

}  // namespace

win32_dialog::win32_dialog(int template_id, HWND parent) : template_id_(template_id), parent_(parent) {}

win32_dialog::~win32_dialog() {
    if (handle_ && !modal_) DestroyWindow(handle_);
}

INT_PTR win32_dialog::run_modal() {
    if (handle_) return -1;
    modal_ = true;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_,
                                           &win32_dialog::procedure, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool win32_dialog::create_modeless() {
    if (handle_) return false;
    modal_ = false;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_,
                                     &win32_dialog::procedure, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    modeless_windows().push_back(window);
    return true;
}

void win32_dialog::end(INT_PTR result) {
    if (!handle_) return;
    if (modal_) {
        EndDialog(handle_, result);
    } else {
        DestroyWindow(handle_);
    }
}

std::string win32_dialog::text() const { return window_text(handle_); }

void win32_dialog::set_text(const std::string& text) { set_window_text(handle_, text); }

std::string win32_dialog::item_text(int id) const { return window_text(item(id)); }

void win32_dialog::set_item_text(int id, const std::string& text) { set_window_text(item(id), text); }

void win32_dialog::show(int command) { ShowWindow(handle_, command); }

void win32_dialog::center_on_desktop() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT own{};
    GetWindowRect(handle_, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool win32_dialog::start_timer(UINT_PTR id, UINT period_ms) {
    return SetTimer(handle_, id, period_ms, nullptr) != 0;
}

void win32_dialog::stop_timer(UINT_PTR id) { KillTimer(handle_, id); }

bool win32_dialog::pre_translate(MSG& message) {
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const auto& windows = modeless_windows();
    if (std::find(windows.begin(), windows.end(), root) == windows.end()) return false;
    return IsDialogMessageW(root, &message) != FALSE;
}

bool win32_dialog::on_init_dialog() { return true; }

bool win32_dialog::on_command(int id, int, HWND) {
    switch (id) {
        case IDOK:
            on_ok();
            return true;
        case IDCANCEL:
            on_cancel();
            return true;
        default:
            return false;
    }
}

void win32_dialog::on_ok() { end(IDOK); }
void win32_dialog::on_cancel() { end(IDCANCEL); }
void win32_dialog::on_timer(UINT_PTR) {}
void win32_dialog::on_destroy() {}

bool win32_dialog::on_other_message(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void win32_dialog::forget_window() {
    auto& windows = modeless_windows();
    windows.erase(std::remove(windows.begin(), windows.end(), handle_), windows.end());
    handle_ = nullptr;
}

INT_PTR CALLBACK win32_dialog::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<win32_dialog*>(lparam);
        self->handle_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lparam);
    }
    auto* self = reinterpret_cast<win32_dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) get the default handling.
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->forget_window();
        return FALSE;
    }
    return self->dispatch(message, wparam, lparam);
}

INT_PTR win32_dialog::dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog() ? TRUE : FALSE;
        case WM_COMMAND:
            return on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)) ? TRUE : FALSE;
        case WM_TIMER:
            on_timer(wparam);
            return TRUE;
        case WM_DESTROY:
            on_destroy();
            return FALSE;
        default: {
            LRESULT result = 0;
            if (!on_other_message(message, wparam, lparam, result)) return FALSE;
            if (returns_value_directly(message)) return static_cast<INT_PTR>(result);
            SetWindowLongPtrW(handle_, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
}

}  // namespace platform
