// CTransSetupDlg: the direction dialog: the translation direction and the subject of the text. Picking
// another direction stores it (with the first subject) and restarts the toolbar through the launcher,
// which opens this dialog again on the new direction.
#pragma once

#include "ChildDialogs.h"
#include "SoftKeyDlg.h"
#include "platform/Handles.h"

class CTransSetupDlg : public CSoftKeyDlg {
public:
    explicit CTransSetupDlg(const childdialogs::PanelLink& link);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOk() override;

private:
    void SetUpFonts();
    void FillLists();
    void OnDirectionAccepted();
    // Stores the new direction with subject 0 and asks the panel to restart the toolbar.
    void ChangeDirection(int direction);

    childdialogs::PanelLink m_link;
    bool m_cancelPending = false;
    CFontHandle m_font;
    CFontHandle m_titleFont;
    CFontHandle m_labelFont;
};
