// Receiving the launcher's parameters one by one.
#include "MyCommandLineInfo.h"

#include "base/Text.h"

#include <windows.h>

#include <climits>
#include <cwchar>

void CMyCommandLineInfo::ParseParam(const wchar_t* param, bool flag, bool last) {
    if (param == nullptr)
        return;
    if (!flag) {
        m_program = param;
        return;
    }
    constexpr wchar_t kOptions[] = L"options";
    constexpr size_t kOptionsLength = 7;
    std::wstring lowered = ovrin::AsciiLowered(std::wstring_view(param));
    if (lowered.compare(0, kOptionsLength, kOptions) != 0)
        return;
    // wcstol takes a leading sign: "/options-2" is the number -2, still an options switch.
    long number = std::wcstol(lowered.c_str() + kOptionsLength, nullptr, 10);
    m_optionsNumber = number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : static_cast<int>(number);
}
