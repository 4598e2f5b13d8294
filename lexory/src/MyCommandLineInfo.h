// The dictionary program's command line: one optional word; the last plain parameter wins and flag
// parameters are ignored.
#pragma once

#include "platform/CommandLine.h"

#include <string>

class CMyCommandLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, bool flag, bool last) override;

    // The word, cut at its first carriage return or line feed; empty when none was given.
    std::wstring m_word;
};
