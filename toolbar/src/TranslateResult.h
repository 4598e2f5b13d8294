// CTranslateResult: the result window of a translation. One pane shows the single edit (1013), which
// holds the text to translate next and, after a translation, the translation; two panes show the source
// text above (1012) and the translation below (1013). The user translates again, switches panes and
// saves either text. The choice of panes is kept in the setting "show_source_text".
#pragma once

#include "ChildDialogs.h"
#include "SoftKeyDlg.h"
#include "common/Protocol.h"

#include <string>

class CTranslateResult : public CSoftKeyDlg {
public:
    static constexpr const wchar_t* kShowSourceSetting = ovrin::protocol::kShowSourceSetting;

    CTranslateResult(const childdialogs::PanelLink& link, std::wstring sourceText, std::wstring translation);

    bool IsTwoPanes() const { return m_twoPanes; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;

private:
    void LayOut();
    void SetPanes(bool twoPanes);
    // Moves the shown text and its selection into the other layout's edit.
    void SwitchPanes();
    void TranslateAgain();
    void Save(int editId);

    childdialogs::PanelLink m_link;
    std::wstring m_sourceText;
    std::wstring m_translation;
    bool m_twoPanes = false;
};
