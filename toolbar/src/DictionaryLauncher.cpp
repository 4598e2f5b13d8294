// Finding, ending and starting the dictionary program.
#include "DictionaryLauncher.h"

#include "Launcher.h"
#include "common/FileSystem.h"
#include "common/Path.h"
#include "common/Registry.h"
#include "platform/CommandLine.h"
#include "platform/Handles.h"
#include "platform/Processes.h"

#include <cwctype>

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool IsDictionaryFileName(const std::wstring& name) {
    return Lower(name) == Lower(CDictionaryLauncher::kProgramFile);
}

void EndRunningDictionary() {
    std::vector<CHandle> running =
        platform::OpenProcessesNamed(CDictionaryLauncher::kProgramFile, PROCESS_TERMINATE | SYNCHRONIZE);
    if (!running.empty()) {
        TerminateProcess(running.front().Get(), 0);
        WaitForSingleObject(running.front().Get(), 5000);
    }
}

} // namespace

std::wstring ProcessFileNameOf(HWND window) {
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0)
        return {};
    return platform::ProcessFileNameById(processId);
}

bool IsWindowOfThisProgram(HWND window) {
    DWORD processId = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 && processId == GetCurrentProcessId();
}

std::wstring CDictionaryLauncher::GetProgramPath() {
    return CAppSettings::ReadString(L"Lexory", L"path") + kProgramFile;
}

bool CDictionaryLauncher::IsInstalled() {
    return ovrin::FileExists(GetProgramPath());
}

bool CDictionaryLauncher::IsDictionaryWindow(HWND window) {
    return IsDictionaryFileName(ProcessFileNameOf(window));
}

void CDictionaryLauncher::LookUp(const std::wstring& word) {
    std::wstring program = GetProgramPath();
    if (!ovrin::FileExists(program))
        return;
    EndRunningDictionary();
    // The word may hold quotation marks and backslashes of its own: it must reach the program whole,
    // as one argument.
    launcher::StartProgram(program, platform::QuotedArgument(word));
}
