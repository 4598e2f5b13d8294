// The direction dialog.
#include "TransSetupDlg.h"

#include "Launcher.h"
#include "WaitWindow.h"
#include "base/FileSystem.h"
#include "common/EngineClient.h"
#include "platform/Resources.h"
#include "resource.h"

#include <string>
#include <vector>

namespace {

constexpr int kControlFontHeight = 14;
constexpr int kTitleFontHeight = 15;
constexpr int kLabelFontHeight = 11;
// The restart opens the direction dialog again.
constexpr WPARAM kRestartOptions = 1;

} // namespace

CTransSetupDlg::CTransSetupDlg(const childdialogs::PanelLink& link) : CSoftKeyDlg(IDD_TRANS_SETUP), m_link(link) {}

BOOL CTransSetupDlg::OnInitDialog() {
    SetProgramIcons(IDR_MAINFRAME);
    CreateBar(IDR_MENU_OK_CANCEL);
    CWaitWindow wait;
    if (!translationrun::EngineUsed())
        wait.Open(platform::LoadResString(IDS_BUILDING_LIST), nullptr);
    SetUpFonts();
    FillLists();
    wait.Close();
    SetForegroundWindow(GetHwnd());
    return TRUE;
}

void CTransSetupDlg::SetUpFonts() {
    m_font.Reset(MakeFont(L"Arial", kControlFontHeight, false));
    m_titleFont.Reset(MakeFont(L"Arial", kTitleFontHeight, true));
    m_labelFont.Reset(MakeFont(L"Arial", kLabelFontHeight, true));
    for (int id : {IDC_TRANS_DIRECTION_LIST, IDC_TRANS_SUBJECT_LIST})
        SendMessageW(GetItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    SendMessageW(GetItem(IDC_TRANS_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.Get()), FALSE);
    for (int id : {IDC_TRANS_DIRECTION_LABEL, IDC_TRANS_SUBJECT_LABEL})
        SendMessageW(GetItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.Get()), FALSE);
}

void CTransSetupDlg::FillLists() {
    HWND directions = GetItem(IDC_TRANS_DIRECTION_LIST), subjects = GetItem(IDC_TRANS_SUBJECT_LIST);
    int direction = CEngineClient::GetDirectionSetting();
    std::vector<std::wstring> names;
    if (m_link.engine != nullptr)
        m_link.engine->GetDirectionNames(names);
    for (const std::wstring& name : names)
        SendMessageW(directions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(directions, CB_SETCURSEL, static_cast<WPARAM>(direction), 0);

    SendMessageW(subjects, LB_RESETCONTENT, 0, 0);
    names.clear();
    if (m_link.engine != nullptr && direction >= 0)
        m_link.engine->GetSubjectNames(direction, names);
    for (const std::wstring& name : names)
        SendMessageW(subjects, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(subjects, LB_SETCURSEL, static_cast<WPARAM>(CEngineClient::GetSubjectSetting()), 0);
    translationrun::MarkEngineUsed();
}

bool CTransSetupDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_TRANS_DIRECTION_LIST) {
        switch (code) {
        case CBN_SELENDOK:
            if (!m_cancelPending)
                OnDirectionAccepted();
            return true;
        case CBN_SELENDCANCEL:
            m_cancelPending = true;
            return true;
        case CBN_CLOSEUP:
            if (m_cancelPending)
                SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(CEngineClient::GetDirectionSetting()), 0);
            m_cancelPending = false;
            return true;
        default:
            return false;
        }
    }
    return CSoftKeyDlg::OnCommand(id, code, control);
}

void CTransSetupDlg::OnDirectionAccepted() {
    int selected = static_cast<int>(SendMessageW(GetItem(IDC_TRANS_DIRECTION_LIST), CB_GETCURSEL, 0, 0));
    if (selected != CB_ERR && selected != CEngineClient::GetDirectionSetting())
        ChangeDirection(selected);
}

void CTransSetupDlg::OnOk() {
    int selected = static_cast<int>(SendMessageW(GetItem(IDC_TRANS_DIRECTION_LIST), CB_GETCURSEL, 0, 0));
    if (selected == CEngineClient::GetDirectionSetting() || selected == CB_ERR) {
        LRESULT subject = SendMessageW(GetItem(IDC_TRANS_SUBJECT_LIST), LB_GETCURSEL, 0, 0);
        if (selected != CB_ERR)
            CEngineClient::SetDirectionSetting(selected);
        CEngineClient::SetSubjectSetting(subject == LB_ERR ? -1 : static_cast<int>(subject));
        EndDialog(IDOK);
        return;
    }
    ChangeDirection(selected);
}

void CTransSetupDlg::ChangeDirection(int direction) {
    // The new direction takes effect only through a restart: without the launcher the old direction
    // stays stored and listed (its subjects are the ones shown), and the user is told.
    if (!ovrin::FileExists(launcher::LauncherPath())) {
        SendMessageW(GetItem(IDC_TRANS_DIRECTION_LIST), CB_SETCURSEL, CEngineClient::GetDirectionSetting(), 0);
        platform::AppMessageBox(GetHwnd(), IDS_NO_LAUNCHER, MB_OK | MB_ICONSTOP);
        return;
    }
    CEngineClient::SetDirectionSetting(direction);
    CEngineClient::SetSubjectSetting(0);
    if (m_link.panel != nullptr)
        PostMessageW(m_link.panel, childdialogs::kRestartMessage, kRestartOptions, 0);
}
