// CSetupDlg: the settings dialog: start with the system (a shortcut in the start-up folder that runs
// the launcher with this program's path), the call key, and the messaging integration.
#pragma once

#include "ChildDialogs.h"
#include "SoftKeyDlg.h"
#include "common/Protocol.h"
#include "platform/Handles.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CSetupDlg : public CSoftKeyDlg {
public:
    static constexpr const wchar_t* kKeySetting = ovrin::protocol::kCallKeySetting;
    static constexpr wchar_t kMessagingSection[] = L"OvrinOutlook5";

    struct KeyName {
        std::wstring name;
        UINT code;
    };

    explicit CSetupDlg(const childdialogs::PanelLink& link);
    ~CSetupDlg() override;

    // Whether leaving the stored key for another one asks to restart the device: only keys the system
    // keeps for itself (Back, 27, and F3, 114) need one to be free again.
    static bool NeedsRestartQuestion(UINT storedKey, UINT newKey);

    bool PreTranslateMessage(MSG& message) override;

protected:
    BOOL OnInitDialog() override;
    void OnOk() override;

private:
    void SetUpFonts();
    void SetUpIntegrationList();
    void SetUpKeyList();

    childdialogs::PanelLink m_link;
    std::vector<KeyName> m_keys;
    CFontHandle m_font;
    CFontHandle m_titleFont;
    CFontHandle m_labelFont;
    // Owned by the dialog: the list view is made with LVS_SHAREIMAGELISTS, so it leaves the list alone.
    HIMAGELIST m_images = nullptr;
};
