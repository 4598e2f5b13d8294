// Splitting the command line and handing its parameters to a receiver; quoting one; starting a program.
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

std::wstring QuotedArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quotation mark are doubled and the mark itself escaped; elsewhere they
        // stand for themselves.
        std::size_t count = c == L'"' ? backslashes * 2 + 1 : backslashes;
        quoted.append(count, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\'); // before the closing mark
    return quoted + L"\"";
}

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// For each parameter after the program name, whether it began with a double quote: the boundaries
// are found as the shell's splitting finds them (backslashes escape a quote, "" inside quotes is a
// quote).
std::vector<bool> QuotedParameters(const std::wstring& line) {
    std::vector<bool> quoted;
    size_t i = 0, n = line.size();
    // The program name ends at the next quote when it begins with one, otherwise at a blank.
    if (i < n && line[i] == L'"') {
        size_t close = line.find(L'"', 1);
        i = close == std::wstring::npos ? n : close + 1;
    }
    while (i < n && !IsBlank(line[i]))
        ++i;
    while (true) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        quoted.push_back(line[i] == L'"');
        bool inQuotes = false;
        while (i < n && (inQuotes || !IsBlank(line[i]))) {
            if (line[i] == L'\\') {
                size_t slashes = 0;
                while (i < n && line[i] == L'\\')
                    ++i, ++slashes;
                if (i < n && line[i] == L'"' && slashes % 2 == 1)
                    ++i; // an escaped quote
            } else if (line[i] == L'"') {
                if (inQuotes && i + 1 < n && line[i + 1] == L'"')
                    ++i;
                else
                    inQuotes = !inQuotes;
                ++i;
            } else {
                ++i;
            }
        }
    }
    return quoted;
}

} // namespace

void ParseCommandLine(CCommandLineInfo& info, const wchar_t* commandLine) {
    const wchar_t* line = commandLine != nullptr ? commandLine : GetCommandLineW();
    std::vector<std::wstring> params = SplitCommandLine(line);
    // A parameter given in double quotes is never a flag: "-ing" and "/usr" are words.
    std::vector<bool> quoted = QuotedParameters(line);
    if (quoted.size() + 1 != params.size())
        quoted.assign(params.size(), false);
    for (size_t i = 1; i < params.size(); ++i) {
        const std::wstring& param = params[i];
        bool flag = !quoted[i - 1] && !param.empty() && (param[0] == L'-' || param[0] == L'/');
        info.ParseParam(flag ? param.c_str() + 1 : param.c_str(), flag, i + 1 == params.size());
    }
}

bool StartProgram(const std::wstring& file, const std::wstring& parameters, HWND owner) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = owner;
    execute.lpVerb = L"open";
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}

} // namespace platform
