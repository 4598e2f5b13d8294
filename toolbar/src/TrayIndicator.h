// CTrayIndicator: the toolbar's sign that it is resident. Inside the handheld's task bar (a window of
// class "Tray" titled "Tray") it is a static control showing the tray bitmap; elsewhere it is a
// notification icon of the shell.
#pragma once

#include "platform/Handles.h"

#include <windows.h>

class CTrayIndicator {
public:
    CTrayIndicator() = default;
    ~CTrayIndicator() { Remove(); }
    CTrayIndicator(const CTrayIndicator&) = delete;
    CTrayIndicator& operator=(const CTrayIndicator&) = delete;

    // Shows the indicator for owner. bitmapId is the tray bitmap (152, or 153 on a high-resolution
    // screen); iconId the icon of the notification area, where the bitmap cannot go.
    bool Show(HWND owner, UINT bitmapId, UINT iconId);
    // Takes the indicator away (a notification icon would otherwise outlive the program).
    void Remove();

    // The tray bitmap for this screen: 153 when the system's icons are wider than 32 pixels, else 152.
    static UINT BitmapForScreen(UINT normalId, UINT highResolutionId);

private:
    bool ShowInTaskBar(HWND taskBar, UINT bitmapId);
    bool ShowNotificationIcon(HWND owner, UINT iconId);

    HWND m_static = nullptr;
    CBitmapHandle m_bitmap;
    HWND m_owner = nullptr;
    UINT m_iconId = 0;
    HICON m_icon = nullptr;
    bool m_notificationIcon = false;
};
