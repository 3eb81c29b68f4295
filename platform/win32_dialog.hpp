#pragma once
// Windows only. A dialog from a template in the program's resources, modal or modeless.
// One dialog procedure stores `this` at WM_INITDIALOG and hands every message to one
// virtual method per message. Modeless dialogs take part in the keyboard handling of
// the message loop through pre_translate.

#include <windows.h>

#include <string>

namespace platform {

class win32_dialog {
public:
    win32_dialog(int template_id, HWND parent);
    /// Destroys a modeless window that is still open.
    virtual ~win32_dialog();
    win32_dialog(const win32_dialog&) = delete;
    win32_dialog& operator=(const win32_dialog&) = delete;

    /// Runs the dialog modally; the value given to end(), or -1 when it could not be created.
    INT_PTR run_modal();
    /// Creates the modeless window (shown only if the template says so); false on failure.
    bool create_modeless();
    /// Ends the dialog: a modal one returns result from run_modal, a modeless one is destroyed.
    void end(INT_PTR result);

    HWND handle() const { return handle_; }
    bool exists() const { return handle_ != nullptr; }
    HWND parent() const { return parent_; }
    HWND item(int id) const { return GetDlgItem(handle_, id); }

    std::string text() const;
    void set_text(const std::string& text);
    std::string item_text(int id) const;
    void set_item_text(int id, const std::string& text);
    void show(int command);
    /// Moves the dialog to the middle of the desktop's work area, keeping its size.
    void center_on_desktop();

    /// Starts or restarts window timer id; its ticks arrive at on_timer. A step that may
    /// open a modal box stops its timer first: the box's own loop keeps delivering ticks.
    bool start_timer(UINT_PTR id, UINT period_ms);
    void stop_timer(UINT_PTR id);

    /// Gives a message of the loop to the modeless dialog it belongs to; true when used.
    static bool pre_translate(MSG& message);

protected:
    /// WM_INITDIALOG; true lets the system set the focus.
    virtual bool on_init_dialog();
    /// WM_COMMAND; the default sends IDOK to on_ok and IDCANCEL to on_cancel. True when handled.
    virtual bool on_command(int id, int code, HWND control);
    /// The OK button or Enter; the default ends with IDOK.
    virtual void on_ok();
    /// The Cancel button, Esc or the close box; the default ends with IDCANCEL.
    virtual void on_cancel();
    /// WM_TIMER.
    virtual void on_timer(UINT_PTR id);
    /// WM_DESTROY.
    virtual void on_destroy();
    /// Any other message; return true (and set result) when handled.
    virtual bool on_other_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    void forget_window();

    int template_id_;
    HWND parent_;
    HWND handle_ = nullptr;
    bool modal_ = false;
};

}  // namespace platform
