// The soft-key dialog's bar and icons.
#include "platform/SoftKeyDialog.h"

bool CSoftKeyDialog::CreateBar(UINT menuId) {
    if (!m_bar.Create(GetHwnd(), menuId))
        return false;
    m_bar.OverrideBackKey(true);
    return true;
}

void CSoftKeyDialog::SetProgramIcons(UINT iconId) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    m_bigIcon.Reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    m_smallIcon.Reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
}
