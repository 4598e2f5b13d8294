// Receiving the toolbar's command-line parameters one by one.
#include "MyCommandLineInfo.h"

#include <cwctype>
#include <string>

void CMyCommandLineInfo::ParseParam(const wchar_t* param, bool flag, bool last) {
    if (!flag || param == nullptr)
        return;
    std::wstring name = param;
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    if (name == L"options")
        m_options = true;
}
