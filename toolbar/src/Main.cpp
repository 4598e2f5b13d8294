// The entry point of OvrinToolbar.exe.
#include "OvrinToolbarApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    COvrinToolbarApp application;
    return application.Run(instance);
}
