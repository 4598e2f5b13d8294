// The toolbar's command line: one flag, "options", given as "/options" or "-options" in any case.
// Every other parameter is ignored.
#pragma once

#include "platform/CommandLine.h"

class CMyCommandLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, bool flag, bool last) override;

    // Set by "/options": the panel stays visible after the start (the launcher then sends
    // "TBShowOptions").
    bool m_options = false;
};
