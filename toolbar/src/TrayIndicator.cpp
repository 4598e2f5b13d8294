// The tray indicator: a bitmap in the handheld's task bar, or a notification icon.
#include "TrayIndicator.h"

#include <shellapi.h>

namespace {

// The static control repaints the bitmap itself, so the task bar's own painting cannot hide it.
constexpr int kTrayLeft = 2;

} // namespace

UINT CTrayIndicator::BitmapForScreen(UINT normalId, UINT highResolutionId) {
    return GetSystemMetrics(SM_CXICON) > 32 ? highResolutionId : normalId;
}

bool CTrayIndicator::Show(HWND owner, UINT bitmapId, UINT iconId) {
    Remove();
    if (HWND taskBar = FindWindowW(L"Tray", L"Tray"))
        return ShowInTaskBar(taskBar, bitmapId);
    return ShowNotificationIcon(owner, iconId);
}

bool CTrayIndicator::ShowInTaskBar(HWND taskBar, UINT bitmapId) {
    m_bitmap.Reset(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info = {};
    if (!m_bitmap || GetObjectW(m_bitmap.Get(), sizeof info, &info) == 0)
        return false;
    RECT bar = {};
    GetClientRect(taskBar, &bar);
    int top = (bar.bottom - info.bmHeight) / 2;
    m_static = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, kTrayLeft, top, info.bmWidth,
                               info.bmHeight, taskBar, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_static == nullptr)
        return false;
    SendMessageW(m_static, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmap.Get()));
    return true;
}

// The resources hold the tray picture only as bitmaps, which the notification area cannot show; it
// gets the program's icon at 16 by 16 under the icon's id.
bool CTrayIndicator::ShowNotificationIcon(HWND owner, UINT iconId) {
    m_icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, LR_SHARED));
    if (m_icon == nullptr)
        return false;
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = owner;
    data.uID = iconId;
    data.uFlags = NIF_ICON;
    data.hIcon = m_icon;
    m_owner = owner;
    m_iconId = iconId;
    m_notificationIcon = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (m_notificationIcon)
        Shell_NotifyIconW(NIM_MODIFY, &data);
    return m_notificationIcon;
}

void CTrayIndicator::Remove() {
    if (m_static != nullptr) {
        if (IsWindow(m_static))
            DestroyWindow(m_static);
        m_static = nullptr;
    }
    m_bitmap.Reset();
    if (m_notificationIcon) {
        NOTIFYICONDATAW data = {};
        data.cbSize = NOTIFYICONDATAW_V1_SIZE;
        data.hWnd = m_owner;
        data.uID = m_iconId;
        Shell_NotifyIconW(NIM_DELETE, &data);
        m_notificationIcon = false;
    }
}
