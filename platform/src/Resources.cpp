// String-table texts and the program's message box.
#include "platform/Resources.h"

namespace platform {

std::wstring LoadResString(UINT id, HINSTANCE module) {
    if (module == nullptr)
        module = GetModuleHandleW(nullptr);
    // With a zero buffer size LoadString hands out a pointer to the resource's own text.
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring AppTitle() {
    return LoadResString(kAppTitleStringId);
}

int AppMessageBox(HWND owner, UINT textId, UINT flags) {
    return MessageBoxW(owner, LoadResString(textId).c_str(), AppTitle().c_str(), flags);
}

} // namespace platform
