// Receiving the toolbar's command-line parameters one by one.
#include "MyCommandLineInfo.h"

#include "base/Text.h"

#include <string>

void CMyCommandLineInfo::ParseParam(const wchar_t* param, bool flag, bool last) {
    if (!flag || param == nullptr)
        return;
    if (ovrin::EqualIgnoringCase(param, L"options"))
        m_options = true;
}
