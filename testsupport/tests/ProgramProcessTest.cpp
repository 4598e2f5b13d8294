// The process helpers on a small program built beside the tests.
#include "testsupport/ProgramProcess.h"

#include "base/Path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kChild = ovrin::GetProgramFolder() + L"testsupport_process_child.exe";

// A second handle of the process, which stays valid once the object under test lets its own go.
CHandle Watch(DWORD processId) {
    return CHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

} // namespace

TEST(ProgramProcessTest, Start_RunsTheFileWithItsParametersAndGivesTheExitCode) {
    testsupport::CProgramProcess program;
    ASSERT_TRUE(program.Start(kChild, L"exit 7"));
    EXPECT_NE(program.Id(), 0u);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 7u);
    EXPECT_FALSE(program.Running());
    // The path goes in quotes of its own; the parameters are the caller's text.
    ASSERT_TRUE(program.Start(kChild, L"\"one word\" two"));
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 2u);
    ASSERT_TRUE(program.StartCommandLine(L"\"" + kChild + L"\" a b c"));
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 3u);
}

TEST(ProgramProcessTest, End_AndANewStart_EndTheRunningProgram) {
    testsupport::CProgramProcess program;
    ASSERT_TRUE(program.Start(kChild, L"linger"));
    CHandle first = Watch(program.Id());
    ASSERT_TRUE(first);
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(program.WaitForExit(0));
    EXPECT_EQ(program.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));

    ASSERT_TRUE(program.Start(kChild, L"linger"));
    EXPECT_EQ(WaitForSingleObject(first.Get(), 0), WAIT_OBJECT_0) << "gone before the second started";
    CHandle second = Watch(program.Id());
    ASSERT_TRUE(second);
    program.End();
    EXPECT_EQ(WaitForSingleObject(second.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(program.Id(), 0u);
    EXPECT_EQ(program.Handle(), nullptr);
    EXPECT_FALSE(program.Running());
    program.End(); // nothing left to end
}

TEST(ProgramProcessTest, Start_OfAMissingFileFailsAndHoldsNothing) {
    testsupport::CProgramProcess program;
    EXPECT_FALSE(program.Start(ovrin::GetProgramFolder() + L"no such program.exe"));
    EXPECT_FALSE(program.StartCommandLine(L"\"no such program.exe\""));
    EXPECT_EQ(program.Handle(), nullptr);
    EXPECT_FALSE(program.Running());
    EXPECT_FALSE(program.WaitForExit(0));
    EXPECT_FALSE(testsupport::StartProcess(nullptr, L"\"no such program.exe\""));
}

TEST(ProgramProcessTest, StartProcess_Suspended_RunsOnlyOnceItsThreadResumes) {
    testsupport::StartedProcess started =
        testsupport::StartProcess(kChild.c_str(), L"\"" + kChild + L"\" exit 5", CREATE_SUSPENDED);
    ASSERT_TRUE(started);
    ASSERT_TRUE(started.thread);
    EXPECT_EQ(GetProcessId(started.process.Get()), started.id);
    EXPECT_EQ(testsupport::ExitCodeAfter(started.process.Get(), 0), static_cast<DWORD>(STILL_ACTIVE));
    ASSERT_NE(ResumeThread(started.thread.Get()), static_cast<DWORD>(-1));
    EXPECT_EQ(testsupport::ExitCodeAfter(started.process.Get(), 15000), 5u);
}

// Wine starts a Unix program for a Windows path of it, but gives no process to wait on: the start is
// still a start.
TEST(ProgramProcessTest, StartProcess_OfAUnixProgramCountsAsStarted) {
    EXPECT_TRUE(testsupport::StartProcess(L"Z:\\bin\\sh", L"/bin/sh -c true"));
    testsupport::CProgramProcess shell;
    EXPECT_TRUE(shell.StartCommandLine(L"/bin/sh -c true"));
}
