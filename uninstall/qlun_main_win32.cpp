// Entry point of qlun.exe. Its command line is "qlun.exe <project file path>".

#include <windows.h>

#include "uninstall/uninstall_app.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    uninstall::uninstall_app app(instance);
    return app.run();
}
