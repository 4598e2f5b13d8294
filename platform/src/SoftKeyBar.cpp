// The two-key bar at the bottom of a window: made from a menu resource, drawn as two keys, pressed by
// F1, F2 or a click, and the Back-key override.
#include "platform/SoftKeyBar.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr wchar_t kBarClass[] = L"OvrinSoftKeyBar";
constexpr wchar_t kBarProperty[] = L"OvrinSoftKeyBarObject";
constexpr wchar_t kGrownProperty[] = L"OvrinSoftKeyBarGrown";
constexpr int kBarHeight = 26;
// Room kept free between a label and the raised edge of its key, on each side.
constexpr int kLabelMargin = 3;
// The smallest font height (in pixels) a long label is shrunk to before it is cut with an ellipsis.
constexpr int kSmallestLabelHeight = 8;

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A smaller cut of the bar's font for a label wider than its room, or none when the label fits in the
// bar's own font. A narrow window keeps its size: its long label is drawn a little smaller instead.
CFontHandle FontToFit(HDC dc, const std::wstring& text, int room) {
    if (TextWidth(dc, text) <= room)
        return {};
    LOGFONTW shape = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof shape, &shape);
    int height = shape.lfHeight < 0 ? -shape.lfHeight : (shape.lfHeight > 0 ? shape.lfHeight : 11);
    CFontHandle font;
    while (height > kSmallestLabelHeight) {
        shape.lfHeight = -(--height);
        shape.lfWidth = 0;
        font.Reset(CreateFontIndirectW(&shape));
        if (!font)
            return {};
        HGDIOBJ previous = SelectObject(dc, font.Get());
        bool fits = TextWidth(dc, text) <= room;
        SelectObject(dc, previous);
        if (fits)
            break;
    }
    return font;
}

} // namespace

CSoftKeyBar::~CSoftKeyBar() {
    Destroy();
}

int CSoftKeyBar::Height() {
    return kBarHeight;
}

bool CSoftKeyBar::RegisterBarClass() {
    WNDCLASSEXW barClass = {};
    barClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    barClass.lpszClassName = kBarClass;
    return RegisterWindowClass(barClass);
}

bool CSoftKeyBar::Create(HWND owner, UINT menuId, HINSTANCE module) {
    if (owner == nullptr || !RegisterBarClass())
        return false;
    if (CSoftKeyBar* old = FromOwner(owner))
        old->Destroy();
    Destroy();
    m_menu.Reset(LoadMenuW(module != nullptr ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
    if (!m_menu)
        return false;
    // The first bar of a window adds its height below what the window's resource laid out, as far as
    // the screen's work area reaches: a window the shell has made fill the screen (or will) takes the
    // bar inside, and a window grown past the screen would have its bar out of sight (a window manager
    // keeps such a window the size it gave it).
    if (GetPropW(owner, kGrownProperty) == nullptr) {
        RECT window, work = {};
        GetWindowRect(owner, &window);
        LONG bottom = window.bottom + kBarHeight;
        if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && work.bottom > window.top)
            bottom = std::min(bottom, work.bottom);
        if (bottom > window.bottom)
            SetWindowPos(owner, nullptr, 0, 0, window.right - window.left, bottom - window.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetPropW(owner, kGrownProperty, reinterpret_cast<HANDLE>(1));
    }
    m_owner = owner;
    if (!CWindow::Create(kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, 0, owner)) {
        m_owner = nullptr;
        m_menu.Reset();
        return false;
    }
    SetPropW(owner, kBarProperty, this);
    m_ownerWatch.Attach(owner);
    Dock();
    return true;
}

void CSoftKeyBar::Destroy() {
    m_ownerWatch.Detach();
    if (m_owner != nullptr && IsWindow(m_owner) && GetPropW(m_owner, kBarProperty) == this)
        RemovePropW(m_owner, kBarProperty);
    DestroyWindow();
    m_owner = nullptr;
    m_overrideBack = false;
    m_menu.Reset();
}

CSoftKeyBar* CSoftKeyBar::FromOwner(HWND owner) {
    if (!IsOfThisProcess(owner))
        return nullptr;
    return static_cast<CSoftKeyBar*>(GetPropW(owner, kBarProperty));
}

RECT CSoftKeyBar::ClientRectAbove(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    if (CSoftKeyBar* bar = FromOwner(window); bar != nullptr && bar->GetHwnd() != nullptr)
        client.bottom = std::max(client.top, client.bottom - kBarHeight);
    return client;
}

HMENU CSoftKeyBar::GetSubMenu(int key) const {
    return m_menu ? ::GetSubMenu(m_menu.Get(), key) : nullptr;
}

void CSoftKeyBar::Redraw() {
    if (GetHwnd() != nullptr)
        InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CSoftKeyBar::Dock() {
    if (GetHwnd() == nullptr)
        return;
    RECT client;
    GetClientRect(m_owner, &client);
    SetWindowPos(GetHwnd(), HWND_TOP, 0, client.bottom - kBarHeight, client.right, kBarHeight, SWP_NOACTIVATE);
    // The keys are laid out across the bar's width: a bar the shell widened is drawn anew, not only where
    // it grew.
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

std::wstring CSoftKeyBar::KeyText(int key) const {
    if (!m_menu || key < 0 || key >= GetMenuItemCount(m_menu.Get()))
        return {};
    wchar_t text[128] = {};
    GetMenuStringW(m_menu.Get(), static_cast<UINT>(key), text, 128, MF_BYPOSITION);
    // "&" marks a mnemonic on menus; the keys show the plain text.
    std::wstring plain;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c == L'&' && c[1] != L'&')
            continue;
        plain += *c;
    }
    return plain;
}

bool CSoftKeyBar::KeyEnabled(int key) const {
    if (!m_menu || key < 0 || key >= GetMenuItemCount(m_menu.Get()))
        return false;
    UINT state = GetMenuState(m_menu.Get(), static_cast<UINT>(key), MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

int CSoftKeyBar::KeyAt(int x) const {
    RECT bar;
    GetClientRect(GetHwnd(), &bar);
    return x < bar.right / 2 ? 0 : 1;
}

bool CSoftKeyBar::PressKey(int key) {
    if (!KeyEnabled(key))
        return false;
    HWND owner = m_owner;
    if (HMENU popup = GetSubMenu(key)) {
        RECT bar;
        GetWindowRect(GetHwnd(), &bar);
        UINT align = key == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
        int x = key == 0 ? bar.left : bar.right;
        // A pop-up closes properly only when its owner is the foreground window.
        SetForegroundWindow(owner);
        UINT command = static_cast<UINT>(
            TrackPopupMenuEx(popup, align | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTBUTTON, x, bar.top,
                             owner, nullptr));
        PostMessageW(owner, WM_NULL, 0, 0);
        if (command != 0)
            SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return true;
    }
    UINT id = GetMenuItemID(m_menu.Get(), key);
    if (id == static_cast<UINT>(-1))
        return false;
    SendMessageW(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}

bool CSoftKeyBar::RouteKey(const MSG& message) {
    bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    bool keyUp = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if ((!keyDown && !keyUp) || message.hwnd == nullptr)
        return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    CSoftKeyBar* bar = FromOwner(root);
    if (bar == nullptr)
        return false;
    if (message.wParam == VK_F1 || message.wParam == VK_F2) {
        if (keyDown)
            bar->PressKey(message.wParam == VK_F1 ? 0 : 1);
        return true;
    }
    if (message.wParam == VK_ESCAPE && bar->m_overrideBack) {
        WORD modifiers = keyUp ? kModKeyUp : 0;
        PostMessageW(root, WM_HOTKEY, kBackHotKeyId, MAKELPARAM(modifiers, VK_ESCAPE));
        return true;
    }
    return false;
}

void CSoftKeyBar::SendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HOTKEY || HIWORD(lParam) != VK_ESCAPE || (LOWORD(lParam) & kModKeyUp) == 0)
        return;
    HWND focus = GetFocus();
    if (focus == nullptr)
        return;
    SendMessageW(focus, WM_KEYDOWN, VK_BACK, 1);
    SendMessageW(focus, WM_CHAR, L'\b', 1);
    SendMessageW(focus, WM_KEYUP, VK_BACK, 0xC0000001);
}

void CSoftKeyBar::Paint(HDC dc) {
    RECT bar;
    GetClientRect(GetHwnd(), &bar);
    FillRect(dc, &bar, GetSysColorBrush(COLOR_3DSHADOW));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (int key = 0; key < 2; ++key) {
        RECT half = bar;
        if (key == 0)
            half.right = bar.right / 2;
        else
            half.left = bar.right / 2;
        InflateRect(&half, -2, -2);
        FillRect(dc, &half, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &half, EDGE_RAISED, BF_RECT);
        std::wstring text = KeyText(key);
        if (text.empty())
            continue;
        SetTextColor(dc, GetSysColor(KeyEnabled(key) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        RECT label = half;
        InflateRect(&label, -(GetSystemMetrics(SM_CXEDGE) + kLabelMargin), 0);
        CFontHandle smaller = FontToFit(dc, text, label.right - label.left);
        HGDIOBJ keyFont = smaller ? SelectObject(dc, smaller.Get()) : nullptr;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        if (keyFont != nullptr)
            SelectObject(dc, keyFont);
    }
    SelectObject(dc, oldFont);
}

bool CSoftKeyBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(GetHwnd(), &paint);
        Paint(dc);
        EndPaint(GetHwnd(), &paint);
        result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_LBUTTONUP:
        PressKey(KeyAt(static_cast<short>(LOWORD(lParam))));
        result = 0;
        return true;
    case WM_MOUSEACTIVATE:
        result = MA_NOACTIVATE;
        return true;
    default:
        return false;
    }
}

bool CSoftKeyBar::OnOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        // The owner lays itself out first; the bar then docks over the bottom of what it left.
        result = DefSubclassProc(m_owner, message, wParam, lParam);
        Dock();
        return true;
    case WM_NCDESTROY:
        RemovePropW(m_owner, kBarProperty);
        RemovePropW(m_owner, kGrownProperty);
        m_owner = nullptr;
        return false;
    default:
        return false;
    }
}
