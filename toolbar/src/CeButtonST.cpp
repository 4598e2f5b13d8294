// The panel's icon buttons: drawing and the pop-up menu below the button.
#include "CeButtonST.h"

void CCeButtonST::SetColors(COLORREF focusedBackground, COLORREF normalBackground) {
    m_focusedBackground = focusedBackground;
    m_normalBackground = normalBackground;
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CCeButtonST::SetIcon(UINT iconId, int size) {
    // A shared icon belongs to the module and is never destroyed by hand.
    m_icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_SHARED));
    m_iconSize = size;
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

bool CCeButtonST::OpenMenu(HWND owner) {
    if (m_menuId == 0)
        return false;
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_menuId)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup == nullptr)
        return false;
    RECT area = {};
    GetWindowRect(GetHwnd(), &area);
    m_menuOpen = true;
    SendMessageW(GetHwnd(), BM_SETSTATE, TRUE, 0);
    // The owner must be in front for the menu to close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, area.left, area.bottom, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    m_menuOpen = false;
    SendMessageW(GetHwnd(), BM_SETSTATE, FALSE, 0);
    return true;
}

void CCeButtonST::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    bool pressed = (item.itemState & ODS_SELECTED) != 0 || m_menuOpen;
    CBrushHandle background(CreateSolidBrush(focused ? m_focusedBackground : m_normalBackground));
    FillRect(dc, &area, background.Get());
    UINT edge = pressed ? EDGE_SUNKEN : (focused ? EDGE_RAISED : BDR_RAISEDINNER);
    DrawEdge(dc, &area, edge, BF_RECT);
    if (m_icon != nullptr) {
        int offset = pressed ? 1 : 0;
        int left = (area.left + area.right - m_iconSize) / 2 + offset;
        int top = (area.top + area.bottom - m_iconSize) / 2 + offset;
        DrawIconEx(dc, left, top, m_icon, m_iconSize, m_iconSize, 0, nullptr, DI_NORMAL);
    }
}
