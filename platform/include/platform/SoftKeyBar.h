// The soft-key bar of a handheld window: a bar docked at the bottom of the window with two keys, made
// from the two top-level items of a menu resource. F1 presses the left key, F2 the right one (so do
// clicks). A key whose item is a command sends WM_COMMAND with its id to the window; a key whose item
// is a pop-up opens it above the bar and sends the chosen command. Check marks, item texts and
// enabling are set on GetMenu() as on any menu; Redraw shows changes to the two keys themselves.
//
// The Back key is Escape. With OverrideBackKey, its press and release no longer reach the window's
// controls: they come to the window as WM_HOTKEY (wParam kBackHotKeyId, lParam MAKELPARAM(modifiers,
// VK_ESCAPE), kModKeyUp on the release), and SendBackToFocusWindow hands them on to the focused
// control, where Back deletes the character before the caret.
#pragma once

#include "platform/Control.h"
#include "platform/Handles.h"
#include "platform/Window.h"

#include <windows.h>

#include <string>

class CSoftKeyBar : public CWindow {
public:
    static constexpr WPARAM kBackHotKeyId = 0xB0AC;
    // The modifier bit of a key release in WM_HOTKEY, as on the handheld.
    static constexpr WORD kModKeyUp = 0x1000;

    CSoftKeyBar() = default;
    ~CSoftKeyBar() override;
    CSoftKeyBar(const CSoftKeyBar&) = delete;
    CSoftKeyBar& operator=(const CSoftKeyBar&) = delete;

    // Replaces any bar of owner by one made from menu menuId; the owner grows by the bar's height the
    // first time it gets a bar, so that the area above the bar keeps the size its resource gives.
    bool Create(HWND owner, UINT menuId, HINSTANCE module = nullptr);
    void Destroy();

    HWND GetOwner() const { return m_owner; }
    HMENU GetMenu() const { return m_menu.Get(); }
    // The pop-up of key 0 or 1, or null when that key is a command.
    HMENU GetSubMenu(int key) const;
    void Redraw();

    // Presses key 0 (left) or 1 (right); false when there is no such key or it is disabled.
    bool PressKey(int key);
    void OverrideBackKey(bool on) { m_overrideBack = on; }

    // The bar of a window, or null.
    static CSoftKeyBar* FromOwner(HWND owner);
    // The client rectangle of window above its bar (all of it when it has none).
    static RECT ClientRectAbove(HWND window);
    // Height of every bar, in pixels.
    static int Height();
    // For the message loop: F1 and F2 press the keys of the bar of the message's top-level window, and
    // an overridden Back key becomes WM_HOTKEY. True when the message is taken.
    static bool RouteKey(const MSG& message);
    // Hands a Back-key WM_HOTKEY on to the focused control: the release deletes a character there.
    static void SendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The owner's messages, seen before the owner's own procedure: the bar follows the owner's size
    // and forgets the owner as it goes.
    bool OnOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static bool RegisterBarClass();
    void Dock();
    void Paint(HDC dc);
    int KeyAt(int x) const;
    std::wstring KeyText(int key) const;
    bool KeyEnabled(int key) const;

    HWND m_owner = nullptr;
    CMemberControl<CSoftKeyBar, &CSoftKeyBar::OnOwnerMessage> m_ownerWatch{*this};
    CMenuHandle m_menu;
    bool m_overrideBack = false;
};
