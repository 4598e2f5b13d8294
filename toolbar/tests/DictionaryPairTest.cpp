// The dictionary launch with the real dictionary program: the toolbar's launcher starts Lexory.exe
// with a word that begins as a switch would ("-ing", "/usr"), and the program takes it as its word
// (its lookup field shows it).
#include "DictionaryLauncher.h"
#include "KeptSetting.h"

#include "common/Protocol.h"
#include "enginetest/EngineLayout.h"
#include "platform/Processes.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/Processes.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A file of the build as the Windows path Wine shows it (drive Z:).
std::wstring BuildFile(const char* unixPath) {
    std::wstring path(unixPath, unixPath + std::strlen(unixPath));
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return L"Z:" + path;
}

// The running dictionary program's process, or 0.
DWORD DictionaryProcess() {
    std::vector<DWORD> ids = testsupport::ProcessIdsNamed(CDictionaryLauncher::kProgramFile);
    return ids.empty() ? 0 : ids.back();
}

void EndDictionary() {
    platform::EndProcessesNamed(CDictionaryLauncher::kProgramFile, 0, 10000);
}

// The lookup field of the running dictionary program's window (empty while it has none).
std::wstring LookupText(DWORD process) {
    HWND window = testsupport::FindProgramWindow(L"LexoryWndClass", nullptr, process);
    HWND edit = window != nullptr ? FindWindowExW(window, nullptr, L"Edit", nullptr) : nullptr;
    return edit != nullptr ? testsupport::ControlText(edit) : std::wstring();
}

} // namespace

TEST(DictionaryPairTest, WordsBeginningWithSwitchMarks_ReachTheDictionaryProgramAsItsWord) {
    EndDictionary();
    testsupport::TempFolder folder;
    ASSERT_TRUE(CopyFileW(BuildFile(OVRIN_LEXORY).c_str(), folder.File(L"Lexory.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(BuildFile(OVRIN_HTMLVIEW).c_str(), folder.File(L"htmlview.dll").c_str(), FALSE));
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring xlatcp(own);
    xlatcp = xlatcp.substr(0, xlatcp.find_last_of(L'\\') + 1) + L"XLATCP.dll";
    ASSERT_TRUE(CopyFileW(xlatcp.c_str(), folder.File(L"XLATCP.dll").c_str(), FALSE));
    enginetest::WriteWordsDictionary(folder.File(L"er.dic"), L"ER",
                                     {{L"-ing", L"-ование"}, {L"/usr", L"каталог"}, {L"cat", L"кошка"}});
    KeptSetting path(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting);
    KeptSetting lastWord(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryLastWordSetting),
        direction(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryDirectionSetting);
    CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                              folder.File(L""));
    ASSERT_TRUE(CDictionaryLauncher::IsInstalled());

    CDictionaryLauncher launcher;
    for (const std::wstring word : {L"-ing", L"/usr", L"-"}) {
        launcher.LookUp(word);
        DWORD process = 0;
        EXPECT_TRUE(testsupport::WaitUntil(
            [&] {
                process = DictionaryProcess();
                return process != 0 && LookupText(process) == word;
            },
            std::chrono::seconds(20)))
            << testing::PrintToString(word) << " showed " << testing::PrintToString(LookupText(process));
    }
    EndDictionary();
}
