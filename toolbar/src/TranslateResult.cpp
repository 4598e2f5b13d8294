// The result window.
#include "TranslateResult.h"

#include "ResultFile.h"
#include "WaitWindow.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "common/EngineClient.h"
#include "platform/Resources.h"
#include "resource.h"

CTranslateResult::CTranslateResult(const childdialogs::PanelLink& link, std::wstring sourceText,
                                   std::wstring translation)
    : CSoftKeyDlg(IDD_TRANSLATE_RESULT), m_link(link), m_sourceText(std::move(sourceText)),
      m_translation(std::move(translation)) {}

BOOL CTranslateResult::OnInitDialog() {
    SetProgramIcons(IDR_MAINFRAME);
    bool showSource = CEngineClient::ReadToolbarInt(kShowSourceSetting) >= 1;
    CreateBar(showSource ? IDR_MENU_RESULT_TWO : IDR_MENU_RESULT_ONE);
    m_twoPanes = true;
    LayOut();
    if (showSource) {
        CheckMenuItem(m_bar.GetMenu(), ID_RESULT_TWO_PANES, MF_BYCOMMAND | MF_CHECKED);
        SetDlgItemTextW(GetHwnd(), IDC_SOURCE_EDIT, m_sourceText.c_str());
    } else {
        m_twoPanes = false;
        LayOut();
    }
    SetDlgItemTextW(GetHwnd(), IDC_TRANSLATION_EDIT, m_translation.c_str());
    SetForegroundWindow(GetHwnd());
    return TRUE;
}

void CTranslateResult::LayOut() {
    RECT area = CSoftKeyBar::ClientRectAbove(GetHwnd());
    int w = area.right, h = area.bottom;
    HWND upper = GetItem(IDC_SOURCE_EDIT), lower = GetItem(IDC_TRANSLATION_EDIT);
    if (upper == nullptr || lower == nullptr)
        return;
    if (m_twoPanes) {
        MoveWindow(upper, 1, 1, w - 5, h / 2 - 14, TRUE);
        MoveWindow(lower, 1, h / 2 - 8, w - 5, h - h / 2 - 19, TRUE);
        ShowWindow(upper, SW_SHOW);
    } else {
        ShowWindow(upper, SW_HIDE);
        MoveWindow(lower, 1, 1, w - 5, h - 28, TRUE);
    }
    ShowWindow(lower, SW_SHOW);
}

void CTranslateResult::OnSize(UINT type, int width, int height) {
    if (type == SIZE_MINIMIZED)
        return;
    LayOut();
    SetFocus(GetItem(m_twoPanes ? IDC_SOURCE_EDIT : IDC_TRANSLATION_EDIT));
}

bool CTranslateResult::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case ID_RESULT_TRANSLATE:
        TranslateAgain();
        return true;
    case ID_RESULT_SAVE_SOURCE:
        Save(IDC_SOURCE_EDIT);
        return true;
    case ID_RESULT_SAVE_TRANSLATION:
        Save(IDC_TRANSLATION_EDIT);
        return true;
    case ID_RESULT_TWO_PANES:
        SwitchPanes();
        return true;
    default:
        return CSoftKeyDlg::OnCommand(id, code, control);
    }
}

// The panes change first, so that the focus moving off a hidden edit (the dialog then selects the whole
// text of the next one) is over before the text and its selection arrive.
void CTranslateResult::SwitchPanes() {
    int from = m_twoPanes ? IDC_SOURCE_EDIT : IDC_TRANSLATION_EDIT;
    int to = m_twoPanes ? IDC_TRANSLATION_EDIT : IDC_SOURCE_EDIT;
    HWND source = GetItem(from), target = GetItem(to);
    DWORD start = 0, end = 0;
    SendMessageW(source, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring text = ItemText(source);
    SetPanes(!m_twoPanes);
    SetWindowTextW(target, text.c_str());
    SetWindowTextW(source, L"");
    SendMessageW(target, EM_SETSEL, start, end);
    SendMessageW(target, EM_SCROLLCARET, 0, 0);
}

void CTranslateResult::SetPanes(bool twoPanes) {
    m_twoPanes = twoPanes;
    CEngineClient::WriteToolbarInt(kShowSourceSetting, twoPanes ? 1 : 0);
    CreateBar(twoPanes ? IDR_MENU_RESULT_TWO : IDR_MENU_RESULT_ONE);
    CheckMenuItem(m_bar.GetMenu(), ID_RESULT_TWO_PANES, MF_BYCOMMAND | (twoPanes ? MF_CHECKED : MF_UNCHECKED));
    m_bar.Redraw();
    LayOut();
    SetFocus(GetItem(twoPanes ? IDC_SOURCE_EDIT : IDC_TRANSLATION_EDIT));
}

void CTranslateResult::TranslateAgain() {
    std::wstring text = ItemText(GetItem(m_twoPanes ? IDC_SOURCE_EDIT : IDC_TRANSLATION_EDIT));
    if (ovrin::IsBlank(text)) {
        platform::AppMessageBox(GetHwnd(), IDS_NOTHING_TO_TRANSLATE, MB_OK | MB_ICONSTOP);
        return;
    }
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::wstring result;
    if (m_link.engine != nullptr)
        result = translationrun::TranslateWithWaitWindow(*m_link.engine, m_link.stopFlag, text);
    SetDlgItemTextW(GetHwnd(), IDC_TRANSLATION_EDIT, result.c_str());
}

void CTranslateResult::Save(int editId) {
    std::wstring text = ItemText(GetItem(editId));
    if (ovrin::IsBlank(text)) {
        platform::AppMessageBox(GetHwnd(), IDS_NO_TEXT_TO_SAVE, MB_OK | MB_ICONSTOP);
        return;
    }
    std::wstring name;
    if (!resultfile::AskSaveName(GetHwnd(), name))
        return;
    std::wstring path = resultfile::WithTxtExtension(name);
    if (ovrin::FileExists(path) &&
        platform::AppMessageBox(GetHwnd(), IDS_REPLACE_FILE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!resultfile::WriteUtf8(path, text))
        platform::AppMessageBox(GetHwnd(), IDS_SAVE_FAILED, MB_OK | MB_ICONSTOP);
}
