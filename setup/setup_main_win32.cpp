// Entry point of setup.exe. The command line is not used: the installer always opens
// "arkbs.vrz" in the current folder.

#include <windows.h>

#include "setup/setup_app.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    setup::setup_app app(instance);
    return app.run();
}
