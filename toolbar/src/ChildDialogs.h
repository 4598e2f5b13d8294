// The panel's child windows: the About window, the direction and settings dialogs and the result
// window of a translation. Each is made here and run by the panel on a thread of its own
// (CChildWindow).
//
// A child window reaches the panel only through window messages, since the panel's thread may be busy
// and ending the toolbar from a child's thread would wait for that very thread: it posts
// kRestartMessage when the toolbar must restart through the launcher (wParam: the options number) and
// kApplyKeyMessage when the call key changed (wParam: the key code).
#pragma once

#include "ChildWindow.h"

#include <memory>
#include <string>

class CEngineClient;

namespace childdialogs {

constexpr UINT kRestartMessage = WM_APP + 0x171;
constexpr UINT kApplyKeyMessage = WM_APP + 0x172;

// What the child windows share with the panel. The panel outlives every child window.
struct PanelLink {
    CEngineClient* engine = nullptr;
    // The stop flag registered with the engine client.
    int* stopFlag = nullptr;
    HWND panel = nullptr;
};

std::unique_ptr<CToolbarChildDlg> MakeAboutWindow(const PanelLink& link);
std::unique_ptr<CToolbarChildDlg> MakeDirectionDialog(const PanelLink& link);
std::unique_ptr<CToolbarChildDlg> MakeSettingsDialog(const PanelLink& link);
std::unique_ptr<CToolbarChildDlg> MakeResultWindow(const PanelLink& link, const std::wstring& sourceText,
                                                   const std::wstring& translation);

} // namespace childdialogs
