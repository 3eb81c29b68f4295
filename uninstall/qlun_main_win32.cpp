// Entry point of qlun.exe. The removal itself is not part of this program yet: it ends at once.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
