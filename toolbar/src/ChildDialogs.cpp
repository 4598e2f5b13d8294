// Making the panel's child windows.
#include "ChildDialogs.h"

#include "OvrinAboutDlg.h"
#include "SetupDlg.h"
#include "TransSetupDlg.h"
#include "TranslateResult.h"

namespace childdialogs {

std::unique_ptr<CToolbarChildDlg> MakeAboutWindow(const PanelLink& link) {
    return std::make_unique<COvrinAboutDlg>(*link.engine);
}

std::unique_ptr<CToolbarChildDlg> MakeDirectionDialog(const PanelLink& link) {
    return std::make_unique<CTransSetupDlg>(link);
}

std::unique_ptr<CToolbarChildDlg> MakeSettingsDialog(const PanelLink& link) {
    return std::make_unique<CSetupDlg>(link);
}

std::unique_ptr<CToolbarChildDlg> MakeResultWindow(const PanelLink& link, const std::wstring& sourceText,
                                                   const std::wstring& translation) {
    return std::make_unique<CTranslateResult>(link, sourceText, translation);
}

} // namespace childdialogs
