// Making the panel's child windows; the windows themselves come with the translation and settings
// dialogs, and until then nothing is made.
#include "ChildDialogs.h"

namespace childdialogs {

std::unique_ptr<CToolbarChildDlg> MakeAboutWindow() {
    return nullptr;
}

std::unique_ptr<CToolbarChildDlg> MakeDirectionDialog() {
    return nullptr;
}

std::unique_ptr<CToolbarChildDlg> MakeSettingsDialog() {
    return nullptr;
}

std::unique_ptr<CToolbarChildDlg> MakeResultWindow(const std::wstring& sourceText) {
    return nullptr;
}

} // namespace childdialogs
