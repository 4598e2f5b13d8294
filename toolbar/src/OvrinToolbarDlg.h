// COvrinToolbarDlg: the toolbar's panel, its only top-level window. A small shaped panel with five icon
// buttons that pops up over the program in front when the call key is held, and is minimised again as
// soon as it has served. It owns the text capture object, the call key, the engine client, the
// dictionary launcher, the tray indicator and the one child window; its own window procedure answers
// the messages of other programs (the call key's signal, the launcher's "TBShowOptions", the browser
// helper's page messages, help and the requests to open a dialog).
#pragma once

#include "BitmapDialog.h"
#include "CeButtonST.h"
#include "ChildDialogs.h"
#include "ChildWindow.h"
#include "DictionaryLauncher.h"
#include "HotKeyHook.h"
#include "PageMessages.h"
#include "PanelLayout.h"
#include "TextCapture.h"
#include "TrayIndicator.h"
#include "common/Protocol.h"
#include "platform/Label.h"

#include <array>
#include <memory>
#include <string>

class CEngineClient;

// The caption label under the buttons, on the panel's caption strip.
class CCaptionLabel : public CLabel {
public:
    static constexpr COLORREF kStripColour = RGB(232, 238, 250);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CBrushHandle m_background{CreateSolidBrush(kStripColour)};
};

class COvrinToolbarDlg : public CBitmapDialog {
public:
    static constexpr const wchar_t* kWindowClass = ovrin::protocol::kToolbarWindowClass;
    static constexpr const wchar_t* kShowOptionsMessage = ovrin::protocol::kShowOptionsMessage;
    // The system hot key the panel registers for itself (the Windows key).
    static constexpr int kSystemHotKeyId = 91;
    static constexpr int kPanelTop = 27;
    static constexpr UINT kDefaultKey = VK_RETURN;
    static constexpr wchar_t kHelpFile[] = L"povrin.htm";

    // What the selection is for once it is taken.
    enum SelectionPurpose { kPurposeTranslate = 1, kPurposeNone = 2, kPurposeDictionary = 3 };

    // Makes the engine client, which starts the engine; a failed start leaves the toolbar running.
    explicit COvrinToolbarDlg(bool options);
    ~COvrinToolbarDlg() override;

    void MinimisePanel();
    // Refreshes the buttons for the window in front and, when show is set, shows the panel.
    void Refresh(bool show);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;
    void OnDestroy() override;
    void OnNcDestroy() override;

private:
    struct ButtonInfo {
        int controlId;
        UINT iconId;
        UINT captionId;
    };
    static const std::array<ButtonInfo, panel::kButtonCount> kButtons;

    // The panel's own window procedure, installed over the dialog's.
    void OnHeldKeySignal(LPARAM keyCode);
    LRESULT OnShowOptions();

    // Initialisation steps.
    void ReadAndApplyHotKey();
    void ApplyCallKey(UINT code);
    void SetUpButtons();

    // Refresh steps.
    void UpdateButtons(bool canTakeText);
    void LayOut();
    void SelectCurrentButton();
    void MoveSelection(int step);
    panel::EnabledButtons EnabledButtons() const;
    int ButtonIndexOf(int controlId) const;
    void OnButton(int index);

    // Commands (PanelCommands.cpp).
    void StartSelectionMode(int purpose);
    void TakeSelection();
    void TranslateWholeText();
    void TranslatePage();
    void RunTranslation(const std::wstring& text);
    childdialogs::PanelLink ChildLink();
    void OpenAboutWindow();
    void OpenDirectionDialog();
    void OpenSettingsDialog();
    bool OpenChildWindow(std::unique_ptr<CToolbarChildDlg> child);
    void EndChildWindow();
    void OpenHelp(WPARAM topic);
    void Exit();
    void RestartThroughLauncher(int options);
    // What every way of ending the process leaves behind: no selection mode, no hot key, no tray icon.
    void ReleaseForExit();

    bool m_options;
    std::unique_ptr<CEngineClient> m_engineClient;
    std::array<CCeButtonST, panel::kButtonCount> m_buttons;
    bool m_buttonsReady = false;
    CCaptionLabel m_label;
    int m_currentButton = 0;
    CTextCapture m_capture;
    int m_selectionPurpose = kPurposeNone;
    CHotKeyHook m_hotKey;
    UINT m_hotKeyCode = 0;
    CDictionaryLauncher m_dictionary;
    CChildWindow m_child;
    std::unique_ptr<int> m_stopFlag;
    // The browser helper's messages: made with the stop flag, gone before it.
    std::unique_ptr<pagelink::CPageLink> m_pageLink;
    int m_refreshGuard = 0;
    CTrayIndicator m_tray;
    // The program in front when the panel was called, which gets the keyboard back when it goes.
    HWND m_frontWindow = nullptr;
    // The strict test's result for the window in front at start, used by the first refresh.
    bool m_startCanTakeText = false;
    bool m_starting = false;
    UINT m_showOptionsMessage = 0;
    bool m_systemHotKey = false;
};
