// win32_application: start-up and the message loop.

#include "platform/win32_application.hpp"

#include <commctrl.h>

#include "platform/win32_dialog.hpp"
#include "platform/win32_text.hpp"

namespace platform {

win32_application::win32_application(HINSTANCE instance) : instance_(instance) {}

int win32_application::run() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES;
    InitCommonControlsEx(&controls);
    if (!init_instance()) return exit_instance(0);
    return exit_instance(message_loop());
}

std::string win32_application::load_string(UINT id) const {
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out a pointer into the resource itself.
    const int length = LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return from_wide(std::wstring_view(text, static_cast<std::size_t>(length)));
}

HICON win32_application::load_icon(int id) const {
    return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

int win32_application::exit_instance(int quit_code) { return quit_code; }

int win32_application::message_loop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return -1;
        if (win32_dialog::pre_translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace platform
