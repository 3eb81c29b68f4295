// win32_window: our own window classes and the one window procedure behind them.

#include "platform/win32_window.hpp"

#include "platform/win32_text.hpp"

namespace platform {
namespace {

bool register_class(HINSTANCE instance, const window_spec& desc, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, desc.class_name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = desc.icon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = desc.background;
    wc.lpszClassName = desc.class_name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

win32_window::~win32_window() { destroy(); }

bool win32_window::create(const window_spec& desc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (handle_ || !register_class(instance, desc, &win32_window::procedure)) return false;
    HMENU menu_or_id = (desc.style & WS_CHILD) ? reinterpret_cast<HMENU>(desc.child_id) : nullptr;
    HWND created = CreateWindowExW(desc.ex_style, desc.class_name, to_wide(desc.text).c_str(), desc.style,
                                   desc.rect.left, desc.rect.top, desc.rect.right, desc.rect.bottom,
                                   desc.parent, menu_or_id, instance, this);
    return created != nullptr;
}

void win32_window::destroy() {
    if (handle_) DestroyWindow(handle_);
}

std::string win32_window::text() const { return window_text(handle_); }

void win32_window::set_text(const std::string& text) { set_window_text(handle_, text); }

void win32_window::show(int command) { ShowWindow(handle_, command); }

bool win32_window::start_timer(UINT_PTR id, UINT period_ms) {
    return SetTimer(handle_, id, period_ms, nullptr) != 0;
}

void win32_window::stop_timer(UINT_PTR id) { KillTimer(handle_, id); }

bool win32_window::on_create(const CREATESTRUCTW&) { return true; }
void win32_window::on_destroy() {}
void win32_window::on_final_destroy() {}
void win32_window::on_close() { destroy(); }
void win32_window::on_paint(HDC, const PAINTSTRUCT&) {}
bool win32_window::on_erase_background(HDC) { return false; }
void win32_window::on_size(UINT, int, int) {}
void win32_window::on_timer(UINT_PTR) {}
bool win32_window::on_command(int, int, HWND) { return false; }
void win32_window::on_set_focus(HWND) {}

LRESULT win32_window::on_other_message(UINT message, WPARAM wparam, LPARAM lparam) {
    return default_procedure(message, wparam, lparam);
}

LRESULT win32_window::default_procedure(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(handle_, message, wparam, lparam);
}

LRESULT CALLBACK win32_window::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* self = static_cast<win32_window*>(create->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<win32_window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->on_final_destroy();
        self->handle_ = nullptr;
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return self->dispatch(message, wparam, lparam);
}

LRESULT win32_window::dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            return on_create(*reinterpret_cast<const CREATESTRUCTW*>(lparam)) ? 0 : -1;
        case WM_DESTROY:
            on_destroy();
            return 0;
        case WM_CLOSE:
            on_close();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(handle_, &paint);
            on_paint(dc, paint);
            EndPaint(handle_, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return on_erase_background(reinterpret_cast<HDC>(wparam))
                       ? TRUE
                       : default_procedure(message, wparam, lparam);
        case WM_SIZE:
            on_size(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
            return 0;
        case WM_TIMER:
            on_timer(wparam);
            return 0;
        case WM_COMMAND:
            return on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam))
                       ? 0
                       : default_procedure(message, wparam, lparam);
        case WM_SETFOCUS:
            on_set_focus(reinterpret_cast<HWND>(wparam));
            return 0;
        default:
            return on_other_message(message, wparam, lparam);
    }
}

}  // namespace platform
