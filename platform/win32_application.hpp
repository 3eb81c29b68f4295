#pragma once
// Windows only. The application object: start-up, the message loop of the one user-interface
// thread, and the program's string and icon resources.

#include <windows.h>

#include <string>

namespace platform {

class win32_application {
public:
    explicit win32_application(HINSTANCE instance);
    virtual ~win32_application() = default;
    win32_application(const win32_application&) = delete;
    win32_application& operator=(const win32_application&) = delete;

    /// init_instance, then the message loop when it said yes; the program's exit code.
    int run();

    HINSTANCE instance() const { return instance_; }
    /// A string of the string table as code page 932; empty when missing.
    std::string load_string(UINT id) const;
    /// An icon of the resources at the system's large icon size; null when missing.
    HICON load_icon(int id) const;

protected:
    /// Prepares the program; false ends it at once, without the message loop.
    virtual bool init_instance() = 0;
    /// Called last, with the WM_QUIT code (or 0 after a failed init_instance); the exit code.
    virtual int exit_instance(int quit_code);

private:
    int message_loop();

    HINSTANCE instance_;
};

}  // namespace platform
