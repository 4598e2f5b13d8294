// Receiving the command-line parameters one by one.
#include "MyCommandLineInfo.h"

void CMyCommandLineInfo::ParseParam(const wchar_t* param, bool flag, bool last) {
    if (flag || param == nullptr)
        return;
    m_word = param;
    size_t lineEnd = m_word.find_first_of(L"\r\n");
    if (lineEnd != std::wstring::npos)
        m_word.resize(lineEnd);
}
