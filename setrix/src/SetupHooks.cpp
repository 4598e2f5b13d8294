// The four hooks the device installer calls around installing and removing the package.
#include "setrix/Setrix.h"

#include "Uninstaller.h"

SETRIX_API codeINSTALL_INIT WINAPI Install_Init(HWND, BOOL, BOOL, LPCWSTR) {
    return codeINSTALL_INIT_CONTINUE;
}

SETRIX_API codeINSTALL_EXIT WINAPI Install_Exit(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD) {
    return codeINSTALL_EXIT_DONE;
}

SETRIX_API codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND parent, LPCWSTR installFolder) {
    setrix::CUninstaller(installFolder).Run(parent);
    return codeUNINSTALL_INIT_CONTINUE;
}

SETRIX_API codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND) {
    return codeUNINSTALL_EXIT_DONE;
}
