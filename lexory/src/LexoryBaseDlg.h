// The base of every window of the dictionary program: a modeless dialog with a soft-key bar and at
// most one sub-window of its own. A sub-window that closes hands itself to its parent's list of closed
// sub-windows (it is never deleted inside its own destruction); the parent deletes that list at the
// next close or when it goes itself.
#pragma once

#include "platform/SoftKeyDialog.h"

#include <memory>
#include <vector>

class CLexoryBaseDlg : public CSoftKeyDialog {
public:
    explicit CLexoryBaseDlg(UINT templateId);
    ~CLexoryBaseDlg() override;

    // (Re)builds the window's soft-key bar from its own menu resource.
    virtual void CreateMenuBar() = 0;
    // Runs while the window's sub-window is being destroyed.
    virtual void OnChildClosed();
    // Refills the window after its sub-window closed.
    virtual void Refresh() {}
    // True while the window sets itself up; activation from outside is then left alone.
    virtual bool IsSettingUp() const { return false; }

    // Destroys any open sub-window's window, makes child the sub-window, creates its window from its
    // dialog resource with this window as parent, shows it and brings it to the front. A child that
    // could not be made shows "m_wndCurrDialog == NULL" and nothing opens.
    bool OpenSubWindow(std::unique_ptr<CLexoryBaseDlg> child);
    CLexoryBaseDlg* GetSubWindow() const { return m_wndCurrDialog.get(); }

    static constexpr UINT kProgramIconId = 128;
    // The string id of the message shown when a sub-window cannot be made.
    static constexpr UINT kNoSubWindowStringId = 24;

    // The key code of the End key (the red key of the handheld).
    static constexpr WPARAM kEndKey = 0x73;
    // The release of the Back key (as the soft-key bar delivers it when the bar overrides Back) or of
    // the End key: what closes every sub-window.
    static bool IsCloseKeyRelease(const MSG& message);
    // For the sub-windows' PreTranslateMessage: destroys the window on a close key; true when it did.
    bool CloseOnKeyRelease(const MSG& message);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void OnActivatedFromOutside();

    std::unique_ptr<CLexoryBaseDlg> m_wndCurrDialog;
    std::vector<std::unique_ptr<CLexoryBaseDlg>> m_closedDialogs;
};
