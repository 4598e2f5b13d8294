#include "platform/Processes.h"
#include "platform/CommandLine.h"
#include "testsupport/ProgramProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring SystemProgram(const wchar_t* file) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + file;
}

std::wstring ThisProgramsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The harness's peer program: it stays until it is ended (or a minute has passed).
std::wstring PeerCommandLine() {
    return L"\"" + ThisProgramsFolder() + L"harness_peer.exe\" OvrinProcessesTestReady" +
           std::to_wstring(GetCurrentProcessId());
}

} // namespace

TEST(ProcessesTest, AProgramIsFoundByItsFileNameInAnyCaseByItsParentAndEnded) {
    testsupport::CProgramProcess peer;
    ASSERT_TRUE(peer.StartCommandLine(PeerCommandLine()));
    EXPECT_EQ(platform::ProcessFileName(peer.Handle()), L"harness_peer.exe");
    std::wstring path = platform::ProcessImagePath(peer.Handle());
    EXPECT_GT(path.size(), 17u);
    EXPECT_EQ(path.substr(path.find_last_of(L'\\') + 1), L"harness_peer.exe") << "a whole path";

    std::vector<CHandle> found = platform::OpenProcessesNamed(L"HARNESS_Peer.exe", SYNCHRONIZE);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(GetProcessId(found[0].Get()), peer.Id());
    EXPECT_EQ(platform::OpenProcessesNamed(L"harness_peer.exe", SYNCHRONIZE, GetCurrentProcessId()).size(), 1u);
    EXPECT_TRUE(platform::OpenProcessesNamed(L"harness_peer.exe", SYNCHRONIZE, peer.Id()).empty());
    EXPECT_TRUE(platform::OpenProcessesNamed(L"harness_peer", SYNCHRONIZE).empty());
    EXPECT_TRUE(platform::OpenProcessesNamed(L"", SYNCHRONIZE).empty());

    EXPECT_EQ(platform::EndProcessesNamed(L"harness_peer.exe", 7, 10000), 1u);
    EXPECT_EQ(WaitForSingleObject(peer.Handle(), 0), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeProcess(peer.Handle(), &exitCode));
    EXPECT_EQ(exitCode, 7u);
    EXPECT_EQ(platform::EndProcessesNamed(L"harness_peer.exe", 7, 10000), 0u);
}

// An id taken from a list of processes can belong to another program by the time it is opened: the
// listed process ended and a new one was given its id. Such an id does not open as the listed program.
TEST(ProcessesTest, AnIdOpensOnlyAsTheProgramItsProcessRuns) {
    testsupport::CProgramProcess peer;
    ASSERT_TRUE(peer.StartCommandLine(PeerCommandLine()));
    EXPECT_FALSE(platform::OpenProcessNamed(peer.Id(), L"hostname.exe", PROCESS_TERMINATE));
    CHandle opened = platform::OpenProcessNamed(peer.Id(), L"Harness_Peer.EXE", PROCESS_TERMINATE);
    ASSERT_TRUE(opened);
    EXPECT_EQ(GetProcessId(opened.Get()), peer.Id());

    testsupport::CProgramProcess ended;
    ASSERT_TRUE(ended.StartCommandLine(L"\"" + SystemProgram(L"hostname.exe") + L"\""));
    ASSERT_EQ(WaitForSingleObject(ended.Handle(), 10000), WAIT_OBJECT_0);
    DWORD endedId = ended.Id();
    ended.End();
    EXPECT_FALSE(platform::OpenProcessNamed(endedId, L"hostname.exe", PROCESS_TERMINATE));
}

TEST(ProcessesTest, StartProgram_StartsAProgramWithItsParametersAndRefusesAMissingOne) {
    std::wstring eventName = L"OvrinStartProgramTestReady" + std::to_wstring(GetCurrentProcessId());
    CHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(ready);
    // The peer opens the event its parameters name.
    ASSERT_TRUE(platform::StartProgram(ThisProgramsFolder() + L"harness_peer.exe", eventName));
    EXPECT_EQ(WaitForSingleObject(ready.Get(), 15000), WAIT_OBJECT_0) << "the program ran with its parameters";
    EXPECT_EQ(platform::EndProcessesNamed(L"harness_peer.exe", 0, 10000, GetCurrentProcessId()), 1u);

    EXPECT_FALSE(platform::StartProgram(ThisProgramsFolder() + L"no_such_program.exe", L""))
        << "a missing program is refused, without a message box";
}
