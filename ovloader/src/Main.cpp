// The entry point of Ovloader.exe.
#include "OvloaderApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    COvloaderApp application;
    return application.Run(instance);
}
