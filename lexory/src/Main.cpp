// The entry point of Lexory.exe.
#include "LexoryApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CLexoryApp application;
    return application.Run(instance);
}
