// COvrinAboutDlg: the About window: the product name and the information texts of the installed
// translation directions.
#pragma once

#include "SoftKeyDlg.h"

#include <string>

class CEngineClient;

class COvrinAboutDlg : public CSoftKeyDlg {
public:
    explicit COvrinAboutDlg(CEngineClient& engine);

    // The text of the information field: every direction's information text (its name when it has
    // none), each followed by CR LF; string 33 without directions.
    static std::wstring InformationText(CEngineClient& engine);

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int width, int height) override;

private:
    void LayOut();

    CEngineClient& m_engine;
};
