// Command-line parsing: the command line is split as the shell splits it (double quotes group words
// and are removed), the program name is skipped, and each parameter is handed to a receiver with a
// flag saying whether it began with "-" or "/" (that first character removed). A parameter written in
// double quotes is never a flag.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // One parameter; last is true for the final one.
    virtual void ParseParam(const wchar_t* param, bool flag, bool last) = 0;
};

namespace platform {

// The parameters of commandLine, program name included, as the shell splits them.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

// text as one parameter of a command line: in double quotes, with the backslashes and quotes inside
// escaped so that SplitCommandLine gives text back whole (for a program's path, which holds neither
// a quote nor a trailing backslash, that is the path in double quotes).
std::wstring QuotedArgument(const std::wstring& text);

// Starts a program (a path, or a name the shell finds) through the shell with its parameters (each one
// that may hold a space or a quote given as QuotedArgument gives it), shown normally and without the
// shell's error messages; false when it did not start. owner is the window the shell's own windows
// belong to.
bool StartProgram(const std::wstring& file, const std::wstring& parameters, HWND owner = nullptr);

// Hands every parameter after the program name to info. commandLine defaults to the process's own.
void ParseCommandLine(CCommandLineInfo& info, const wchar_t* commandLine = nullptr);

} // namespace platform
