// Splitting the command line and handing its parameters to a receiver.
#include "platform/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> params;
    if (commandLine == nullptr || *commandLine == L'\0')
        return params;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &count);
    if (argv == nullptr)
        return params;
    for (int i = 0; i < count; ++i)
        params.emplace_back(argv[i]);
    LocalFree(argv);
    return params;
}

void ParseCommandLine(CCommandLineInfo& info, const wchar_t* commandLine) {
    std::vector<std::wstring> params = SplitCommandLine(commandLine != nullptr ? commandLine : GetCommandLineW());
    for (size_t i = 1; i < params.size(); ++i) {
        const std::wstring& param = params[i];
        bool flag = !param.empty() && (param[0] == L'-' || param[0] == L'/');
        info.ParseParam(flag ? param.c_str() + 1 : param.c_str(), flag, i + 1 == params.size());
    }
}

} // namespace platform
