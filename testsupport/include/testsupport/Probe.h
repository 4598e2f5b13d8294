// Runs a probe program built beside the test program (cfb_open_probe unless named) and gives its
// exit code.
#pragma once

#include "base/Path.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include "testsupport/ProgramProcess.h"

#include <windows.h>
#else
#include "base/Unicode.h"
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace cfbtest {

inline int RunProbe(const std::vector<std::wstring>& arguments, const std::wstring& name = L"cfb_open_probe") {
#ifdef _WIN32
    std::wstring program = ovrin::GetProgramFolder() + name + L".exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const auto& argument : arguments)
        commandLine += L" \"" + argument + L"\"";
    testsupport::StartedProcess process = testsupport::StartProcess(program.c_str(), commandLine);
    if (!process)
        return -1;
    return static_cast<int>(testsupport::ExitCodeAfter(process.process.Get(), 60000));
#else
    std::string program = ovrin::Utf16ToUtf8(ovrin::GetProgramFolder() + name);
    std::vector<std::string> texts{program};
    for (const auto& argument : arguments)
        texts.push_back(ovrin::Utf16ToUtf8(argument));
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
#endif
}

} // namespace cfbtest
