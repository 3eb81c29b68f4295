// robot.exe: drives the windows of another program in the same Wine prefix for the tests.
// Arguments come from GetCommandLineW, so Japanese titles arrive intact; output is UTF-8
// with "\n", "\r", "\t" and "\\" in window texts written as escapes, one item per line.
// Every command waits at most its timeout (milliseconds, default 15000).
//
//   robot list                                   visible top-level windows
//   robot wait     <title> [timeout] [class]     exit 0 when a visible window has that title
//   robot waitgone <title> [timeout]             exit 0 when no visible window has that title
//   robot gettext  <title> <id> [timeout]        text of a control
//   robot click    <title> <id> [timeout]        posts WM_COMMAND(id, BN_CLICKED)
//   robot texts    <title> [timeout] [class]     every static text of the window, in z-order
//   robot controls <title> [timeout] [class]     every child: class, id, visibility, text
//   robot rect     <title> [timeout] [class]     window rectangle: left top right bottom
//   robot msgbox   <title> <button> [timeout]    reads the message box that shows the button
//                                                (ok|cancel|yes|no|abort|retry|ignore), then
//                                                presses it
//   robot key      <title> <esc|enter|tab> [timeout]  posts the key to the window's focus,
//                                                through the program's message loop
//   robot string   <exe> <id>                    a string of a program's string table
//   robot template <exe> <id>                    a program's dialog template, built hidden
//                                                in the robot: caption, then its controls
// Exit codes: 0 done, 1 timeout (window not found or not gone), 2 control or resource
// missing, 64 usage.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD default_timeout_ms = 15000;
constexpr DWORD poll_ms = 20;
constexpr UINT message_timeout_ms = 2000;

int usage() {
    std::fputs(
        "usage: robot list | wait | waitgone | gettext | click | texts | controls | rect | msgbox ...\n",
        stderr);
    return 64;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

/// One line of output: the text with line breaks and backslashes escaped.
std::string escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
            case L'\n':
                out += L"\\n";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\t':
                out += L"\\t";
                break;
            case L'\\':
                out += L"\\\\";
                break;
            default:
                out += c;
        }
    }
    return utf8(out);
}

std::wstring class_of(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

/// The text of a top-level window, read without sending it a message.
std::wstring title_of(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

/// The text of a control of another process: WM_GETTEXT, bounded in time.
std::wstring control_text(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, message_timeout_ms, &length))
        return {};
    std::vector<wchar_t> text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, message_timeout_ms, &got);
    return std::wstring(text.data(), got < text.size() ? got : text.size() - 1);
}

/// Which visible top-level window to find: the title, optionally the class and a visible
/// control id (0: any).
struct search {
    const wchar_t* title;
    const wchar_t* class_name;
    int control_id;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<search*>(context);
    if (!IsWindowVisible(window)) return TRUE;
    if (s->class_name && class_of(window) != s->class_name) return TRUE;
    if (title_of(window) != s->title) return TRUE;
    if (s->control_id != 0) {
        HWND control = GetDlgItem(window, s->control_id);
        if (!control || !IsWindowVisible(control)) return TRUE;
    }
    s->found = window;
    return FALSE;
}

HWND find_window(const wchar_t* title, const wchar_t* class_name, int control_id = 0) {
    search s{title, class_name, control_id, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND wait_window(const wchar_t* title, const wchar_t* class_name, DWORD timeout, int control_id = 0) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = find_window(title, class_name, control_id)) return window;
        if (GetTickCount() - start >= timeout) return nullptr;
        Sleep(poll_ms);
    }
}

DWORD timeout_arg(int argc, wchar_t** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::wcstoul(argv[index], nullptr, 10)) : default_timeout_ms;
}

BOOL CALLBACK list_window(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("pid=%lu class=%s title=%s\n", static_cast<unsigned long>(pid),
                escaped(class_of(window)).c_str(), escaped(title_of(window)).c_str());
    return TRUE;
}

std::vector<HWND> children_of(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

bool is_icon_static(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG kind = style & SS_TYPEMASK;
    return kind == SS_ICON || kind == SS_BITMAP;
}

/// Static texts of a window: "static <id> <text>", or "icon <id>" for a picture.
void print_statics(HWND window) {
    for (HWND child : children_of(window)) {
        if (_wcsicmp(class_of(child).c_str(), L"Static") != 0) continue;
        const int id = GetDlgCtrlID(child);
        if (is_icon_static(child)) {
            std::printf("icon %d\n", id);
        } else {
            std::printf("static %d %s\n", id, escaped(control_text(child)).c_str());
        }
    }
}

/// Every child of a window: "<class> <id> visible|hidden <text>", by the child's own
/// WS_VISIBLE style; a picture static shows "(picture)" as its text.
void print_controls(HWND window) {
    for (HWND child : children_of(window)) {
        const bool visible = (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        const bool picture = _wcsicmp(class_of(child).c_str(), L"Static") == 0 && is_icon_static(child);
        std::printf("%s %d %s %s\n", escaped(class_of(child)).c_str(), GetDlgCtrlID(child),
                    visible ? "visible" : "hidden",
                    picture ? "(picture)" : escaped(control_text(child)).c_str());
    }
}

/// A program file opened for its resources only.
class resource_module {
public:
    explicit resource_module(const wchar_t* path)
        : module_(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~resource_module() {
        if (module_) FreeLibrary(module_);
    }
    resource_module(const resource_module&) = delete;
    resource_module& operator=(const resource_module&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

INT_PTR CALLBACK quiet_dialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

int button_id(const wchar_t* name) {
    struct named {
        const wchar_t* name;
        int id;
    };
    static const named buttons[] = {{L"ok", IDOK},       {L"cancel", IDCANCEL}, {L"abort", IDABORT},
                                    {L"retry", IDRETRY}, {L"ignore", IDIGNORE}, {L"yes", IDYES},
                                    {L"no", IDNO}};
    for (const auto& b : buttons) {
        if (std::wcscmp(name, b.name) == 0) return b.id;
    }
    return 0;
}

int command_list() {
    EnumWindows(list_window, 0);
    return 0;
}

int command_wait(int argc, wchar_t** argv) {
    const wchar_t* class_name = argc > 4 ? argv[4] : nullptr;
    if (!wait_window(argv[2], class_name, timeout_arg(argc, argv, 3))) {
        std::fputs("timeout: window not found\n", stderr);
        return 1;
    }
    return 0;
}

int command_waitgone(int argc, wchar_t** argv) {
    const DWORD timeout = timeout_arg(argc, argv, 3);
    const DWORD start = GetTickCount();
    while (find_window(argv[2], nullptr)) {
        if (GetTickCount() - start >= timeout) {
            std::fputs("timeout: window still there\n", stderr);
            return 1;
        }
        Sleep(poll_ms);
    }
    return 0;
}

/// Commands on one control: gettext, click.
int command_control(int argc, wchar_t** argv) {
    if (argc < 4) return usage();
    HWND window = wait_window(argv[2], nullptr, timeout_arg(argc, argv, 4));
    if (!window) {
        std::fputs("timeout: window not found\n", stderr);
        return 1;
    }
    const int id = _wtoi(argv[3]);
    HWND control = GetDlgItem(window, id);
    if (!control) {
        std::fprintf(stderr, "control %d not found\n", id);
        return 2;
    }
    if (std::wcscmp(argv[1], L"gettext") == 0) {
        std::printf("%s\n", escaped(control_text(control)).c_str());
    } else {
        // Posted, not sent: the handler may open a modal box and would block the robot.
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    }
    return 0;
}

/// Commands on a whole window: texts, controls, rect.
int command_window(int argc, wchar_t** argv) {
    const wchar_t* class_name = argc > 4 ? argv[4] : nullptr;
    HWND window = wait_window(argv[2], class_name, timeout_arg(argc, argv, 3));
    if (!window) {
        std::fputs("timeout: window not found\n", stderr);
        return 1;
    }
    if (std::wcscmp(argv[1], L"texts") == 0) {
        print_statics(window);
    } else if (std::wcscmp(argv[1], L"controls") == 0) {
        print_controls(window);
    } else {
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    }
    return 0;
}

/// Posts a key press to the control that has the focus in the window's thread.
int command_key(int argc, wchar_t** argv) {
    if (argc < 4) return usage();
    const std::wstring name = argv[3];
    const WPARAM key = name == L"esc"     ? VK_ESCAPE
                       : name == L"enter" ? VK_RETURN
                       : name == L"tab"   ? VK_TAB
                                          : 0;
    if (key == 0) return usage();
    HWND window = wait_window(argv[2], nullptr, timeout_arg(argc, argv, 4));
    if (!window) {
        std::fputs("timeout: window not found\n", stderr);
        return 1;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
        target = info.hwndFocus;
    }
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    return 0;
}

/// Prints a message box's texts and visible buttons, then presses one of them.
int command_msgbox(int argc, wchar_t** argv) {
    if (argc < 4) return usage();
    const int id = button_id(argv[3]);
    if (id == 0) return usage();
    // The box with that title that shows the button: another dialog may share the title.
    HWND box = wait_window(argv[2], L"#32770", timeout_arg(argc, argv, 4), id);
    if (!box) {
        std::fputs("timeout: message box with that button not found\n", stderr);
        return 1;
    }
    print_statics(box);
    std::string buttons;
    for (HWND child : children_of(box)) {
        if (_wcsicmp(class_of(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            buttons += ' ';
            buttons += std::to_string(GetDlgCtrlID(child));
        }
    }
    std::printf("buttons%s\n", buttons.c_str());
    std::fflush(stdout);
    HWND button = GetDlgItem(box, id);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
}

/// Commands on a program's resources: string, template.
int command_resource(int argc, wchar_t** argv) {
    if (argc < 4) return usage();
    resource_module module(argv[2]);
    if (!module.get()) {
        std::fputs("cannot open the program file\n", stderr);
        return 2;
    }
    const int id = _wtoi(argv[3]);
    if (std::wcscmp(argv[1], L"string") == 0) {
        const wchar_t* text = nullptr;
        const int length =
            LoadStringW(module.get(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0) {
            std::fprintf(stderr, "string %d not found\n", id);
            return 2;
        }
        std::printf("%s\n", escaped(std::wstring(text, static_cast<std::size_t>(length))).c_str());
        return 0;
    }
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
    auto* dialog_template = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
    if (!dialog_template) {
        std::fprintf(stderr, "dialog template %d not found\n", id);
        return 2;
    }
    HWND dialog = CreateDialogIndirectParamW(module.get(), dialog_template, nullptr, quiet_dialog, 0);
    if (!dialog) {
        std::fprintf(stderr, "dialog template %d cannot be built\n", id);
        return 2;
    }
    std::printf("caption %s\n", escaped(title_of(dialog)).c_str());
    print_controls(dialog);
    DestroyWindow(dialog);
    return 0;
}

int dispatch(int argc, wchar_t** argv) {
    if (argc < 2) return usage();
    const std::wstring command = argv[1];
    if (command == L"list") return command_list();
    if (argc < 3) return usage();
    if (command == L"wait") return command_wait(argc, argv);
    if (command == L"waitgone") return command_waitgone(argc, argv);
    if (command == L"gettext" || command == L"click") return command_control(argc, argv);
    if (command == L"texts" || command == L"controls" || command == L"rect")
        return command_window(argc, argv);
    if (command == L"msgbox") return command_msgbox(argc, argv);
    if (command == L"key") return command_key(argc, argv);
    if (command == L"string" || command == L"template") return command_resource(argc, argv);
    return usage();
}

}  // namespace

int main() {
    // "\n", not "\r\n", on a pipe.
    _setmode(_fileno(stdout), _O_BINARY);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return usage();
    const int result = dispatch(argc, argv);
    LocalFree(argv);
    std::fflush(stdout);
    return result;
}
