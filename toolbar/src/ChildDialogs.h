// The panel's child windows: the About window, the direction and settings dialogs and the result
// window of a translation. Each is made here and run by the panel on a thread of its own
// (CChildWindow). Until these windows are built, none is made and the panel opens nothing.
#pragma once

#include "ChildWindow.h"

#include <memory>
#include <string>

namespace childdialogs {

std::unique_ptr<CToolbarChildDlg> MakeAboutWindow();
std::unique_ptr<CToolbarChildDlg> MakeDirectionDialog();
std::unique_ptr<CToolbarChildDlg> MakeSettingsDialog();
std::unique_ptr<CToolbarChildDlg> MakeResultWindow(const std::wstring& sourceText);

} // namespace childdialogs
