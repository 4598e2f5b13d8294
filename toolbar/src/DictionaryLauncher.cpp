// Finding, ending and starting the dictionary program.
#include "DictionaryLauncher.h"

#include "Launcher.h"
#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Text.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "platform/CommandLine.h"
#include "platform/Handles.h"
#include "platform/Processes.h"

namespace {

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

std::wstring CDictionaryLauncher::GetProgramPath() {
    return CAppSettings::ReadString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting) +
           kProgramFile;
}

bool CDictionaryLauncher::IsInstalled() {
    return ovrin::FileExists(GetProgramPath());
}

bool CDictionaryLauncher::IsDictionaryWindow(HWND window) {
    return ovrin::EqualIgnoringCase(ProcessFileNameOf(window), CDictionaryLauncher::kProgramFile);
}

void CDictionaryLauncher::LookUp(const std::wstring& word) {
    std::wstring program = GetProgramPath();
    if (!ovrin::FileExists(program))
        return;
    EndRunningDictionary();
    // The word may hold quotation marks and backslashes of its own: it must reach the program whole,
    // as one argument.
    platform::StartProgram(program, platform::QuotedArgument(word));
}
