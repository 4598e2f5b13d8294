// The launcher's command line: the program to start (the last plain parameter, a full path) and the
// number of an options switch ("/options1": 1, "/options-2": -2; none given: no number at all).
#pragma once

#include "platform/CommandLine.h"

#include <optional>
#include <string>

class CMyCommandLineInfo : public CCommandLineInfo {
public:
    // A switch is lower-cased; one that begins with "options" gives the decimal number after the word,
    // whatever its sign (none: 0). Every other switch is ignored.
    void ParseParam(const wchar_t* param, bool flag, bool last) override;

    std::wstring m_program;
    // Empty when no options switch was given; any number, negative ones too, means one was.
    std::optional<int> m_optionsNumber;
};
