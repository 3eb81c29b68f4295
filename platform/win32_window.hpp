#pragma once
// Windows only. A window of a class of our own (frame, view): one window procedure stores
// `this` at WM_NCCREATE and hands every message to one virtual method per message.

#include <windows.h>

#include <string>

namespace platform {

/// How to create a win32_window.
struct window_spec {
    const wchar_t* class_name = L"";
    std::string text;  ///< code page 932
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};  ///< x, y, width, height
    HWND parent = nullptr;
    UINT_PTR child_id = 0;  ///< control id of a child window
    HICON icon = nullptr;
    HBRUSH background = nullptr;
};

class win32_window {
public:
    win32_window() = default;
    /// Destroys the window if it is still there.
    virtual ~win32_window();
    win32_window(const win32_window&) = delete;
    win32_window& operator=(const win32_window&) = delete;

    /// Registers the class on first use and creates the window; false when that fails.
    bool create(const window_spec& desc);
    /// Destroys the window; nothing happens when there is none.
    void destroy();

    HWND handle() const { return handle_; }
    bool exists() const { return handle_ != nullptr; }

    std::string text() const;
    void set_text(const std::string& text);
    void show(int command);

    /// Starts or restarts window timer id; its ticks arrive at on_timer. A step that may
    /// open a modal box stops its timer first: the box's own loop keeps delivering ticks.
    bool start_timer(UINT_PTR id, UINT period_ms);
    void stop_timer(UINT_PTR id);

protected:
    /// WM_CREATE; false makes the creation fail.
    virtual bool on_create(const CREATESTRUCTW& create);
    /// WM_DESTROY.
    virtual void on_destroy();
    /// WM_NCDESTROY, the last message: the handle is gone afterwards.
    virtual void on_final_destroy();
    /// WM_CLOSE; the default destroys the window.
    virtual void on_close();
    /// WM_PAINT, between BeginPaint and EndPaint.
    virtual void on_paint(HDC dc, const PAINTSTRUCT& paint);
    /// WM_ERASEBKGND; true when the background was painted here.
    virtual bool on_erase_background(HDC dc);
    /// WM_SIZE, with the new client size.
    virtual void on_size(UINT kind, int width, int height);
    /// WM_TIMER.
    virtual void on_timer(UINT_PTR id);
    /// WM_COMMAND; true when handled.
    virtual bool on_command(int id, int code, HWND control);
    /// WM_SETFOCUS.
    virtual void on_set_focus(HWND previous);
    /// Any other message; the default hands it to DefWindowProcW.
    virtual LRESULT on_other_message(UINT message, WPARAM wparam, LPARAM lparam);

    LRESULT default_procedure(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT dispatch(UINT message, WPARAM wparam, LPARAM lparam);

    HWND handle_ = nullptr;
};

}  // namespace platform
