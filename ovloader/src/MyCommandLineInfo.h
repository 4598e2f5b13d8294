// The launcher's command line: the program to start (the last plain parameter, a full path) and the
// number of an options switch ("/options1": 1; -1 when there is none).
#pragma once

#include "platform/CommandLine.h"

#include <string>

class CMyCommandLineInfo : public CCommandLineInfo {
public:
    static constexpr int kNoOptions = -1;

    // A switch is lower-cased; one that begins with "options" gives the decimal number after the word
    // (none: 0). Every other switch is ignored.
    void ParseParam(const wchar_t* param, bool flag, bool last) override;

    std::wstring m_program;
    int m_optionsNumber = kNoOptions;
};
