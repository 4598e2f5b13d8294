// A dialog of the handheld's kind: the two-key soft-key bar under it, made from a menu resource, with
// the Back key coming to the window (as WM_HOTKEY, see SoftKeyBar.h) rather than to its controls; and
// the program's icon on the window at the system's big and small sizes.
#pragma once

#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/SoftKeyBar.h"

class CSoftKeyDialog : public CDialog {
public:
    using CDialog::CDialog;

    const CSoftKeyBar& GetBar() const { return m_bar; }

protected:
    // Replaces the bar by one made from menu menuId of the program; false when it cannot be made.
    bool CreateBar(UINT menuId);
    // Gives the window the program's icon iconId as its big and small icon.
    void SetProgramIcons(UINT iconId);

    CSoftKeyBar m_bar;

private:
    CIconHandle m_bigIcon;
    CIconHandle m_smallIcon;
};
