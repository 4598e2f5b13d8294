// The panel: initialisation, its window procedure, the refresh and the buttons' layout and selection.
// The commands live in PanelCommands.cpp.
#include "OvrinToolbarDlg.h"

#include "PageMessages.h"
#include "SimpleLocker.h"
#include "common/EngineClient.h"
#include "pagetrans/BrowserPage.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "resource.h"

namespace {

constexpr COLORREF kFocusedBackground = RGB(0, 0, 255);
constexpr COLORREF kNormalBackground = RGB(255, 255, 255);
constexpr int kIconSize = 32;
constexpr wchar_t kHotKeySetting[] = L"key";

// A stored call key that is no virtual key code reads as none, so that the default is used.
UINT ValidKeyCode(int code) {
    return code > 0 && code < 0xFF ? static_cast<UINT>(code) : 0;
}

} // namespace

const std::array<COvrinToolbarDlg::ButtonInfo, panel::kButtonCount> COvrinToolbarDlg::kButtons = {{
    {IDC_BUTTON_SELECT, IDI_SELECT, IDS_CAPTION_SELECT},
    {IDC_BUTTON_TRANSLATE, IDI_TRANSLATE, IDS_CAPTION_TRANSLATE},
    {IDC_BUTTON_DIRECTION, IDI_DIRECTION, IDS_CAPTION_DIRECTION},
    {IDC_BUTTON_SETTINGS, IDI_SETTINGS, IDS_CAPTION_SETTINGS},
    {IDC_BUTTON_MORE, IDI_MORE, IDS_CAPTION_MORE},
}};

bool CCaptionLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!CLabel::HandleMessage(message, wParam, lParam, result))
        return false;
    result = reinterpret_cast<LRESULT>(m_background.Get());
    return true;
}

COvrinToolbarDlg::COvrinToolbarDlg(bool options)
    : CBitmapDialog(IDD_OVRINTOOLBAR_DIALOG, IDB_PANEL), m_options(options),
      m_engineClient(std::make_unique<CEngineClient>()) {}

COvrinToolbarDlg::~COvrinToolbarDlg() {
    DestroyWindow();
}

BOOL COvrinToolbarDlg::OnInitDialog() {
    HWND window = GetHwnd();
    m_starting = true;
    // 1. The window in front, and whether text can be taken from it.
    m_frontWindow = GetForegroundWindow();
    m_startCanTakeText = m_capture.CanTakeText(true);
    // 2. The shape.
    ShapeWindow();
    SetWindowTextW(window, platform::LoadResString(IDS_WINDOW_TITLE).c_str());
    // 3. The stop flag of translations.
    m_stopFlag = std::make_unique<int>(0);
    m_engineClient->RegisterStopFlag(m_stopFlag.get());
    m_pageLink = std::make_unique<pagelink::CPageLink>(*m_engineClient, m_stopFlag.get());
    // 4. The icons.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // 5. The tray indicator, and the panel's place near the top of the screen.
    m_tray.Show(window, CTrayIndicator::BitmapForScreen(IDB_TRAY, IDB_TRAY_HIGH_RESOLUTION), IDR_MAINFRAME);
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - GetBitmapSize().cx) / 2, kPanelTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // 6. The launcher's registered message, which the panel's message map answers from now on.
    m_showOptionsMessage = RegisterWindowMessageW(kShowOptionsMessage);
    // 7. The hot-key window (the capture object needs no set-up of its own).
    m_hotKey.Create(window);
    // 8. The call key.
    ReadAndApplyHotKey();
    // 9. The panel's system hot key.
    m_systemHotKey = RegisterHotKey(window, kSystemHotKeyId, MOD_WIN, VK_LWIN) != FALSE;
    // 10. The buttons.
    SetUpButtons();
    // 11. The first refresh, without showing.
    Refresh(false);
    m_starting = false;
    // 12. A plain start leaves only the tray indicator; the message arrives after the window is made.
    if (!m_options)
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return FALSE;
}

void COvrinToolbarDlg::ReadAndApplyHotKey() {
    m_hotKeyCode = ValidKeyCode(CEngineClient::ReadToolbarInt(kHotKeySetting));
    if (m_hotKeyCode == 0) {
        CEngineClient::WriteToolbarInt(kHotKeySetting, static_cast<int>(kDefaultKey));
        m_hotKeyCode = ValidKeyCode(CEngineClient::ReadToolbarInt(kHotKeySetting));
    }
    ApplyCallKey(m_hotKeyCode);
}

// The held-key hook and selection mode's keyboard hook both know the call key.
void COvrinToolbarDlg::ApplyCallKey(UINT code) {
    m_hotKeyCode = code;
    m_hotKey.ApplyKey(code);
    m_capture.SetCallKey(code);
}

void COvrinToolbarDlg::SetUpButtons() {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        CCeButtonST& button = m_buttons[i];
        button.SubclassDlgItem(kButtons[i].controlId, GetHwnd());
        button.SetColors(kFocusedBackground, kNormalBackground);
        button.SetIcon(kButtons[i].iconId, kIconSize);
        button.SetCaption(platform::LoadResString(kButtons[i].captionId));
    }
    m_buttons[4].SetMenu(IDR_MENU_MORE);
    m_label.SubclassDlgItem(IDC_CAPTION_LABEL, GetHwnd());
    m_label.SetText(L"");
    m_currentButton = 0;
    m_buttonsReady = true;
}

// The call key held: over any program but the dictionary and the toolbar itself the panel comes up.
void COvrinToolbarDlg::OnHeldKeySignal(LPARAM keyCode) {
    HWND front = GetForegroundWindow();
    if (CWindow::IsOfThisProcess(front) || CDictionaryLauncher::IsDictionaryWindow(front))
        return;
    m_frontWindow = front;
    Refresh(true);
}

LRESULT COvrinToolbarDlg::OnShowOptions() {
    if (!m_buttonsReady)
        return 0;
    m_currentButton = 2;
    SelectCurrentButton();
    OpenDirectionDialog();
    return 1;
}

void COvrinToolbarDlg::Refresh(bool show) {
    if (m_refreshGuard != 0)
        return;
    m_refreshGuard = 1;
    CSimpleLocker guard(&m_refreshGuard);
    if (m_capture.IsSelectionMode()) {
        TakeSelection();
        return;
    }
    UpdateButtons(m_starting ? m_startCanTakeText : m_capture.CanTakeText(true));
    childwindows::CloseForeignWindowsOwnedByUs();
    LayOut();
    SelectCurrentButton();
    HWND window = GetHwnd();
    if (show) {
        ShowWindow(window, SW_RESTORE);
        ShowWindow(window, SW_SHOW);
        EnableWindow(window, TRUE);
        SetForegroundWindow(window);
        LayOut();
        SelectCurrentButton();
    }
    if (HWND child = m_child.GetHwnd())
        SetForegroundWindow(child);
}

void COvrinToolbarDlg::UpdateButtons(bool canTakeText) {
    EnableWindow(m_buttons[0].GetHwnd(), canTakeText);
    m_buttons[1].SetMenu(canTakeText ? IDR_MENU_TRANSLATE : 0);
    if (ovrin::IsBrowserWindow(m_frontWindow))
        m_buttons[1].SetMenu(IDR_MENU_PAGE);
    m_buttons[0].SetMenu(CDictionaryLauncher::IsInstalled() ? IDR_MENU_SELECT : 0);
}

panel::EnabledButtons COvrinToolbarDlg::EnabledButtons() const {
    panel::EnabledButtons enabled = {};
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        enabled[i] = IsWindowEnabled(m_buttons[i].GetHwnd()) != FALSE;
    return enabled;
}

void COvrinToolbarDlg::LayOut() {
    panel::EnabledButtons enabled = EnabledButtons();
    int shown = 0;
    for (bool on : enabled)
        shown += on ? 1 : 0;
    RECT area = {};
    GetWindowRect(m_buttons[0].GetHwnd(), &area);
    std::vector<int> lefts = panel::ButtonLefts(shown, area.right - area.left, GetBitmapSize().cx);
    std::size_t next = 0;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        HWND button = m_buttons[i].GetHwnd();
        if (!enabled[i]) {
            ShowWindow(button, SW_HIDE);
            continue;
        }
        SetWindowPos(button, nullptr, lefts[next++], panel::kButtonTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(button, SW_SHOW);
    }
    SetWindowPos(m_label.GetHwnd(), nullptr, panel::kLabelLeft, GetBitmapSize().cy - panel::kLabelFromBottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void COvrinToolbarDlg::SelectCurrentButton() {
    int selected = panel::SelectableButton(EnabledButtons(), m_currentButton);
    if (selected < 0)
        return;
    m_currentButton = selected;
    SetFocus(m_buttons[static_cast<std::size_t>(selected)].GetHwnd());
    m_label.SetText(m_buttons[static_cast<std::size_t>(selected)].GetCaption());
}

void COvrinToolbarDlg::MoveSelection(int step) {
    m_currentButton = panel::NextEnabledButton(EnabledButtons(), m_currentButton, step);
    SelectCurrentButton();
}

int COvrinToolbarDlg::ButtonIndexOf(int controlId) const {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (kButtons[i].controlId == controlId)
            return static_cast<int>(i);
    }
    return -1;
}

void COvrinToolbarDlg::MinimisePanel() {
    EndChildWindow();
    childwindows::CloseOtherDialogs(GetHwnd());
    HWND window = GetHwnd();
    bool wasInFront = GetForegroundWindow() == window;
    ShowWindow(window, SW_MINIMIZE);
    // Minimised, the panel leaves the screen, as on the handheld; the program it was called over gets
    // the keyboard back.
    ShowWindow(window, SW_HIDE);
    if (wasInFront && m_frontWindow != nullptr && IsWindow(m_frontWindow))
        SetForegroundWindow(m_frontWindow);
}

// The panel's message map. The page exchange's and the launcher's registered messages have no fixed
// number, so they are compared before the switch.
bool COvrinToolbarDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (m_pageLink && m_pageLink->Handle(message, wParam, lParam, result))
        return true;
    if (message == m_showOptionsMessage && message != 0) {
        result = OnShowOptions();
        return true;
    }
    switch (message) {
    case WM_HELP:
        OpenHelp(wParam);
        result = TRUE;
        return true;
    case ovrin::protocol::kOpenAboutWindow:
        OpenAboutWindow();
        return true;
    case ovrin::protocol::kOpenDirectionDialog:
        OpenDirectionDialog();
        return true;
    case ovrin::protocol::kOpenSettingsDialog:
        OpenSettingsDialog();
        return true;
    case WM_HOTKEY:
        if (wParam != static_cast<WPARAM>(CHotKeyHook::kHotKeyId))
            return CBitmapDialog::HandleMessage(message, wParam, lParam, result); // the system hot key
        if (static_cast<UINT>(lParam) == m_hotKeyCode)
            OnHeldKeySignal(lParam);
        return true;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (auto* button = dynamic_cast<CCeButtonST*>(CControl::FromHandle(item->hwndItem))) {
            button->DrawItem(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetWindowTextW(GetHwnd(), platform::LoadResString(IDS_WINDOW_TITLE).c_str());
        return false;
    case childdialogs::kRestartMessage:
        RestartThroughLauncher(static_cast<int>(wParam));
        result = 0;
        return true;
    case childdialogs::kApplyKeyMessage:
        if (UINT code = ValidKeyCode(static_cast<int>(wParam)))
            ApplyCallKey(code);
        result = 0;
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            MinimisePanel();
            result = 0;
            return true;
        }
        return false;
    default:
        return CBitmapDialog::HandleMessage(message, wParam, lParam, result);
    }
}

bool COvrinToolbarDlg::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN) {
        switch (message.wParam) {
        case VK_LEFT:
            MoveSelection(-1);
            return true;
        case VK_RIGHT:
            MoveSelection(1);
            return true;
        case VK_DOWN:
            MinimisePanel();
            return true;
        default:
            return false;
        }
    }
    if (message.message == WM_KEYUP && message.wParam == VK_F4) {
        MinimisePanel();
        return true;
    }
    return false;
}

void COvrinToolbarDlg::OnDestroy() {
    ReleaseForExit();
    m_hotKey.Destroy();
    if (m_systemHotKey)
        UnregisterHotKey(GetHwnd(), kSystemHotKeyId);
}

void COvrinToolbarDlg::OnNcDestroy() {
    PostQuitMessage(0);
}
