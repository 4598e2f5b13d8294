// The panel's commands: the buttons and their menus, selection mode, child windows, help, exit and the
// restart through the launcher.
#include "OvrinToolbarDlg.h"

#include "ChildDialogs.h"
#include "Launcher.h"
#include "PageMessages.h"
#include "WaitWindow.h"
#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Text.h"
#include "pagetrans/BrowserPage.h"
#include "platform/CommandLine.h"
#include "platform/Resources.h"
#include "resource.h"

namespace {

constexpr UINT kBroadcastTimeoutMs = 2000;

} // namespace

bool COvrinToolbarDlg::OnCommand(WORD id, WORD code, HWND control) {
    int button = ButtonIndexOf(id);
    if (button >= 0) {
        OnButton(button);
        return true;
    }
    switch (id) {
    case IDOK: // Return on a focused button
        OnButton(m_currentButton);
        return true;
    case IDCANCEL:
        MinimisePanel();
        return true;
    case ID_SELECT_TRANSLATE:
        StartSelectionMode(kPurposeTranslate);
        return true;
    case ID_SELECT_DICTIONARY:
        StartSelectionMode(kPurposeDictionary);
        return true;
    case ID_TRANSLATE:
        RunTranslation(L"");
        return true;
    case ID_TRANSLATE_ALL:
        TranslateWholeText();
        return true;
    case ID_TRANSLATE_PAGE:
        TranslatePage();
        return true;
    case ID_HELP_TOPICS:
        OpenHelp(0);
        return true;
    case ID_APP_ABOUT:
        OpenAboutWindow();
        return true;
    case ID_APP_EXIT:
        Exit();
        return true;
    default:
        return false;
    }
}

void COvrinToolbarDlg::OnButton(int index) {
    if (index < 0 || index >= panel::kButtonCount)
        return;
    m_currentButton = index;
    SelectCurrentButton();
    CCeButtonST& button = m_buttons[static_cast<std::size_t>(index)];
    if (button.HasMenu()) {
        button.OpenMenu(GetHwnd());
        return;
    }
    switch (kButtons[static_cast<std::size_t>(index)].controlId) {
    case IDC_BUTTON_SELECT:
        StartSelectionMode(kPurposeTranslate);
        break;
    case IDC_BUTTON_TRANSLATE:
        RunTranslation(L"");
        break;
    case IDC_BUTTON_DIRECTION:
        OpenDirectionDialog();
        break;
    case IDC_BUTTON_SETTINGS:
        OpenSettingsDialog();
        break;
    default: // "more" does nothing beyond its menu
        break;
    }
}

void COvrinToolbarDlg::StartSelectionMode(int purpose) {
    m_selectionPurpose = kPurposeNone;
    MinimisePanel();
    if (!m_capture.CanTakeText(true)) {
        platform::AppMessageBox(GetHwnd(), IDS_NO_TEXT_TO_SELECT, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_capture.StartSelection())
        m_selectionPurpose = purpose;
}

// The held key after selection mode: the selection is taken and used for its purpose.
void COvrinToolbarDlg::TakeSelection() {
    std::wstring text = m_capture.EndSelection();
    int purpose = m_selectionPurpose;
    m_selectionPurpose = kPurposeNone;
    if (purpose == kPurposeTranslate) {
        if (ovrin::IsBlank(text))
            platform::AppMessageBox(GetHwnd(), IDS_NO_SELECTED_TEXT, MB_OK | MB_ICONSTOP);
        else
            RunTranslation(text);
    } else if (purpose == kPurposeDictionary) {
        MinimisePanel();
        m_dictionary.LookUp(text);
    }
}

void COvrinToolbarDlg::TranslateWholeText() {
    MinimisePanel();
    std::wstring text = m_capture.GetWholeText();
    if (ovrin::IsBlank(text)) {
        platform::AppMessageBox(GetHwnd(), IDS_NO_TEXT_TO_TRANSLATE, MB_OK | MB_ICONINFORMATION);
        return;
    }
    RunTranslation(text);
}

void COvrinToolbarDlg::TranslatePage() {
    if (ovrin::SignalPageTranslation())
        MinimisePanel();
    else
        platform::AppMessageBox(GetHwnd(), IDS_BROWSER_NOT_FOUND, MB_OK | MB_ICONSTOP);
}

// Translates under a wait window (nothing to do for an empty text, which the user types in the result
// window), then the result window takes over from the panel.
void COvrinToolbarDlg::RunTranslation(const std::wstring& text) {
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::wstring result;
    if (!text.empty())
        result = translationrun::TranslateWithWaitWindow(*m_engineClient, m_stopFlag.get(), text);
    OpenChildWindow(childdialogs::MakeResultWindow(ChildLink(), text, result));
}

childdialogs::PanelLink COvrinToolbarDlg::ChildLink() {
    return {m_engineClient.get(), m_stopFlag.get(), GetHwnd()};
}

void COvrinToolbarDlg::OpenAboutWindow() {
    OpenChildWindow(childdialogs::MakeAboutWindow(ChildLink()));
}

void COvrinToolbarDlg::OpenDirectionDialog() {
    OpenChildWindow(childdialogs::MakeDirectionDialog(ChildLink()));
}

void COvrinToolbarDlg::OpenSettingsDialog() {
    OpenChildWindow(childdialogs::MakeSettingsDialog(ChildLink()));
}

// One child window at a time: the open one closes with result 0 and every other dialog of the program
// goes before the new window starts on its own thread.
bool COvrinToolbarDlg::OpenChildWindow(std::unique_ptr<CToolbarChildDlg> child) {
    EndChildWindow();
    childwindows::CloseOtherDialogs(GetHwnd());
    if (!child)
        return false;
    return m_child.Open(std::move(child));
}

void COvrinToolbarDlg::EndChildWindow() {
    m_child.End();
}

void COvrinToolbarDlg::OpenHelp(WPARAM topic) {
    std::wstring path = ovrin::GetProgramFolder() + kHelpFile;
    bool opened = false;
    if (ovrin::FileExists(path)) {
        opened = platform::StartProgram(L"iexplore.exe", L"file:" + path + L"#" + std::to_wstring(topic), GetHwnd());
    }
    if (!opened)
        platform::AppMessageBox(GetHwnd(), IDS_HELP_NOT_FOUND, MB_OK | MB_ICONINFORMATION);
}

void COvrinToolbarDlg::ReleaseForExit() {
    EndChildWindow();
    // A control left read-only in another program would stay so after the toolbar is gone.
    if (m_capture.IsSelectionMode())
        m_capture.EndSelection();
    m_tray.Remove();
}

void COvrinToolbarDlg::Exit() {
    UINT question = m_hotKeyCode == CHotKeyHook::kBackKey ? IDS_SWITCH_OFF_PANEL : IDS_CLOSE_APPLICATION;
    if (platform::AppMessageBox(GetHwnd(), question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    ShowWindow(GetHwnd(), SW_HIDE);
    m_hotKey.Unregister();
    ReleaseForExit();
    // Programs that keep the key's meaning in their settings read them again. A program that does not
    // answer must not keep the toolbar from ending.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0, SMTO_ABORTIFHUNG, kBroadcastTimeoutMs, &ignored);
    ExitProcess(0);
}

// Ends the toolbar once the launcher has started; without a launcher the toolbar stays, since nothing
// would start it again.
void COvrinToolbarDlg::RestartThroughLauncher(int options) {
    if (!launcher::StartLauncher(launcher::LauncherPath(),
                                 launcher::LauncherParameters(ovrin::GetProgramPath(), options)))
        return;
    ShowWindow(GetHwnd(), SW_HIDE);
    UpdateWindow(GetHwnd());
    m_hotKey.Unregister();
    ReleaseForExit();
    ExitProcess(0);
}
