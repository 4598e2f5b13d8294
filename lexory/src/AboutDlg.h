// The about window: the program's title and the list of installed dictionaries with their sizes.
#pragma once

#include "DictManager.h"
#include "LexoryBaseDlg.h"
#include "platform/Label.h"

#include <string>

class CAboutDlg : public CLexoryBaseDlg {
public:
    explicit CAboutDlg(CDictManager* manager);

    void CreateMenuBar() override;
    bool PreTranslateMessage(MSG& message) override;

    // "Установленные словари", then per direction its name and "Всего слов: N", one line each, with
    // no line break at the end.
    static std::wstring BuildDictionaryText(CDictManager& manager);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CDictManager* m_dictManager;
    CLabel m_title;
};
