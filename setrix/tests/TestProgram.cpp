// A program that stands in for a suite program the uninstall ends: it has no window and waits until
// it is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Sleep(INFINITE);
    return 0;
}
