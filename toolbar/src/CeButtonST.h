// CCeButtonST: an icon button of the panel (an owner-drawn push button). It draws its icon on the
// focused or the normal background colour, looks pressed while pushed or while its pop-up menu is
// open, and may carry a pop-up menu that a click opens directly below it.
#pragma once

#include "platform/Control.h"
#include "platform/Handles.h"

#include <string>

class CCeButtonST : public CControl {
public:
    void SetColors(COLORREF focusedBackground, COLORREF normalBackground);
    // A shared resource icon of the program, drawn at size by size pixels.
    void SetIcon(UINT iconId, int size);
    void SetCaption(std::wstring caption) { m_caption = std::move(caption); }
    const std::wstring& GetCaption() const { return m_caption; }

    // The menu resource whose first pop-up the button opens; 0 for none.
    void SetMenu(UINT menuId) { m_menuId = menuId; }
    UINT GetMenu() const { return m_menuId; }
    bool HasMenu() const { return m_menuId != 0; }
    // Opens the first pop-up of the button's menu at the button's left and bottom edges, owned by
    // owner (which receives the chosen command), with the button pressed meanwhile. False without a
    // menu.
    bool OpenMenu(HWND owner);
    bool IsMenuOpen() const { return m_menuOpen; }

    // Draws the button (WM_DRAWITEM of the panel).
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    COLORREF m_focusedBackground = RGB(0, 0, 255);
    COLORREF m_normalBackground = RGB(255, 255, 255);
    HICON m_icon = nullptr;
    int m_iconSize = 32;
    std::wstring m_caption;
    UINT m_menuId = 0;
    bool m_menuOpen = false;
};
