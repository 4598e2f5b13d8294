// The About window.
#include "OvrinAboutDlg.h"

#include "WaitWindow.h"
#include "common/EngineClient.h"
#include "platform/Resources.h"
#include "resource.h"

#include <vector>

namespace {

constexpr int kSmallScreenMargin = 20;
constexpr int kLargeScreenMargin = 35;
constexpr int kSmallIconWidth = 32;

} // namespace

COvrinAboutDlg::COvrinAboutDlg(CEngineClient& engine) : CSoftKeyDlg(IDD_ABOUT), m_engine(engine) {}

std::wstring COvrinAboutDlg::InformationText(CEngineClient& engine) {
    std::vector<std::wstring> names;
    engine.GetDirectionNames(names);
    translationrun::MarkEngineUsed();
    if (names.empty())
        return platform::LoadResString(IDS_NO_DIRECTIONS);
    std::wstring text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::wstring info = engine.GetDirectionInfo(static_cast<int>(i));
        text += (info.empty() ? names[i] : info) + L"\r\n";
    }
    return text;
}

BOOL COvrinAboutDlg::OnInitDialog() {
    SetProgramIcons(IDR_MAINFRAME);
    CreateBar(IDR_MENU_OK_CANCEL);
    SetDlgItemTextW(GetHwnd(), IDC_ABOUT_INFO, InformationText(m_engine).c_str());
    LayOut();
    // The text to read, not selected.
    SetFocus(GetItem(IDC_ABOUT_INFO));
    SendMessageW(GetItem(IDC_ABOUT_INFO), EM_SETSEL, 0, 0);
    return FALSE;
}

void COvrinAboutDlg::OnSize(UINT type, int width, int height) {
    if (type != SIZE_MINIMIZED)
        LayOut();
}

// The information field fills the window below the product name and its label, a margin above the
// bottom; the margin grows on high-resolution screens.
void COvrinAboutDlg::LayOut() {
    HWND info = GetItem(IDC_ABOUT_INFO), label = GetItem(IDC_ABOUT_INFO_LABEL);
    if (info == nullptr || label == nullptr)
        return;
    int margin = GetSystemMetrics(SM_CXICON) <= kSmallIconWidth ? kSmallScreenMargin : kLargeScreenMargin;
    RECT area = CSoftKeyBar::ClientRectAbove(GetHwnd());
    RECT labelRect;
    GetWindowRect(label, &labelRect);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&labelRect), 2);
    int left = labelRect.left, top = labelRect.bottom + 2;
    int height = area.bottom - top - margin / 2;
    MoveWindow(info, left, top, area.right - 2 * left, height > 0 ? height : 0, TRUE);
}
