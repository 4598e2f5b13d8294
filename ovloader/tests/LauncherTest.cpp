// The launcher with real toolbar processes: a stand-in toolbar (ovloader_fake_toolbar.exe, copied as
// "OvrinToolbar.exe" into a folder whose name has a space) logs its starts, its end and every
// "TBShowOptions" it answers. Ovloader.exe runs as a real process; the waits that take seconds run
// in the test's process with shortened polls and limit.
#include "Launcher.h"

#include "testsupport/GuiProgram.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

using testsupport::WaitUntil;

std::wstring BesideTests(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

// Asks every toolbar window of the session to close and waits until none is left.
bool CloseToolbars() {
    for (HWND window = FindWindowW(CLauncher::kToolbarWindowClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, CLauncher::kToolbarWindowClass, nullptr))
        PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitUntil([] { return FindWindowW(CLauncher::kToolbarWindowClass, nullptr) == nullptr; });
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CloseToolbars()) << "a toolbar left over from an earlier test";
        m_folder = m_temp.Path() / "OVRIN Mobile";
        std::filesystem::create_directories(m_folder);
        m_toolbar = testsupport::ToWide(m_folder / "OvrinToolbar.exe");
    }
    void TearDown() override { EXPECT_TRUE(CloseToolbars()); }

    void PlaceToolbar() {
        ASSERT_TRUE(CopyFileW(BesideTests(L"ovloader_fake_toolbar.exe").c_str(), m_toolbar.c_str(), FALSE));
    }
    void SetZeroAnswers(int count) {
        testsupport::WriteFileBytes(testsupport::ToWide(m_folder / "zeros.txt"), std::to_string(count));
    }
    void SetFinalAnswer(long long answer) {
        testsupport::WriteFileBytes(testsupport::ToWide(m_folder / "answer.txt"), std::to_string(answer));
    }
    size_t ShowOptionsLines() const {
        std::vector<std::string> log = Log();
        return std::count_if(log.begin(), log.end(),
                             [](const std::string& line) { return line.rfind("TBShowOptions", 0) == 0; });
    }

    std::vector<std::string> Log() const {
        std::istringstream in(testsupport::ReadFileBytes(testsupport::ToWide(m_folder / "toolbar.log")));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool WaitForLogLines(size_t count) {
        return WaitUntil([&] { return Log().size() >= count; });
    }
    bool StartLauncher(const std::wstring& parameters) {
        return m_launcher.Start(BesideTests(L"Ovloader.exe"), parameters);
    }

    testsupport::TempFolder m_temp;
    std::filesystem::path m_folder;
    std::wstring m_toolbar;
    testsupport::CProgramProcess m_launcher;
};

TEST_F(LauncherTest, AMissingProgramFileIsWaitedForAndStartedOnceItExists) {
    CLauncher launcher(m_toolbar, std::nullopt);
    std::vector<DWORD> sleeps;
    launcher.m_sleep = [&](DWORD milliseconds) {
        sleeps.push_back(milliseconds);
        if (sleeps.size() == 3)
            PlaceToolbar(); // the storage card is mounted
    };
    ASSERT_TRUE(launcher.Run());
    EXPECT_EQ(sleeps, (std::vector<DWORD>{4000, 4000, 4000}));
    ASSERT_TRUE(WaitForLogLines(1));
    EXPECT_EQ(Log()[0], "start ");
}

TEST_F(LauncherTest, OptionsWhileTheToolbarRunsStartTheNewOneAfterTheOldWindowIsGone) {
    PlaceToolbar();
    testsupport::CProgramProcess old;
    ASSERT_TRUE(old.Start(m_toolbar));
    ASSERT_TRUE(WaitForLogLines(1));
    SetZeroAnswers(2); // the new toolbar's panel gets its buttons late

    ASSERT_TRUE(StartLauncher(L"\"" + m_toolbar + L"\" /options1"));
    EXPECT_FALSE(m_launcher.WaitForExit(1500)) << "the launcher waits while the old toolbar's window is there";
    EXPECT_EQ(Log().size(), 1u);
    HWND oldWindow = FindWindowW(CLauncher::kToolbarWindowClass, nullptr);
    ASSERT_NE(oldWindow, nullptr);
    PostMessageW(oldWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_launcher.WaitForExit(15000));
    EXPECT_EQ(Log(), (std::vector<std::string>{"start ", "exit", "start /options", "TBShowOptions 0 1 0",
                                               "TBShowOptions 0 1 0", "TBShowOptions 0 1 1"}));
}

TEST_F(LauncherTest, OptionsStartTheNewToolbarAfterTheLimitWhenTheOldOneStays) {
    PlaceToolbar();
    SetZeroAnswers(1000000); // neither ever answers 1
    testsupport::CProgramProcess old;
    ASSERT_TRUE(old.Start(m_toolbar));
    ASSERT_TRUE(WaitForLogLines(1));
    CLaunchTimings timings;
    timings.disappearancePoll = timings.appearancePoll = timings.messageRetry = 50;
    timings.waitLimit = 400;
    CLauncher launcher(m_toolbar, 7, timings);
    DWORD start = GetTickCount();
    ASSERT_TRUE(launcher.Run());
    EXPECT_GE(GetTickCount() - start, 2 * timings.waitLimit) << "the old window's wait and the message's, each in full";
    // The new toolbar is started beside the old one, which did not end; the message went to a toolbar
    // window and was never answered 1.
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<std::string> log = Log();
        return std::count(log.begin(), log.end(), "start /options") == 1;
    }));
    std::vector<std::string> log = Log();
    EXPECT_EQ(log[0], "start ");
    EXPECT_EQ(std::count(log.begin(), log.end(), "exit"), 0);
    size_t messages = 0;
    for (const std::string& line : log) {
        if (line.rfind("TBShowOptions", 0) == 0) {
            EXPECT_EQ(line, "TBShowOptions 0 7 0");
            ++messages;
        }
    }
    EXPECT_GE(messages, 2u) << "sent again while the answer was 0";
    EXPECT_TRUE(old.Running());
}

// A negative number is still an options switch: the old window is waited for, the new toolbar is
// started with "/options" and gets the number as it was written.
TEST_F(LauncherTest, ANegativeOptionsNumberIsAnOptionsSwitch) {
    PlaceToolbar();
    testsupport::CProgramProcess old;
    ASSERT_TRUE(old.Start(m_toolbar));
    ASSERT_TRUE(WaitForLogLines(1));

    ASSERT_TRUE(StartLauncher(L"\"" + m_toolbar + L"\" /options-2"));
    EXPECT_FALSE(m_launcher.WaitForExit(1500)) << "the launcher waits while the old toolbar's window is there";
    EXPECT_EQ(Log().size(), 1u);
    HWND oldWindow = FindWindowW(CLauncher::kToolbarWindowClass, nullptr);
    ASSERT_NE(oldWindow, nullptr);
    PostMessageW(oldWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_launcher.WaitForExit(15000));
    EXPECT_EQ(Log(), (std::vector<std::string>{"start ", "exit", "start /options", "TBShowOptions 0 -2 1"}));
}

// Only 0 means "not ready yet"; any other answer ends the sending.
TEST_F(LauncherTest, TheMessageIsSentAgainOnlyWhileTheAnswerIsZero) {
    PlaceToolbar();
    CLaunchTimings timings;
    timings.disappearancePoll = timings.appearancePoll = timings.messageRetry = 50; // the limit stays 10 s
    for (long long answer : {2LL, -1LL}) {
        SCOPED_TRACE(answer);
        ASSERT_TRUE(CloseToolbars());
        DeleteFileW(testsupport::ToWide(m_folder / "toolbar.log").c_str());
        SetZeroAnswers(1);
        SetFinalAnswer(answer);
        CLauncher launcher(m_toolbar, 3, timings);
        ASSERT_TRUE(launcher.Run());
        EXPECT_EQ(Log(), (std::vector<std::string>{"start /options", "TBShowOptions 0 3 0",
                                                   "TBShowOptions 0 3 " + std::to_string(answer)}));
        EXPECT_EQ(ShowOptionsLines(), 2u);
    }
}

TEST_F(LauncherTest, WithoutTheSwitchTheToolbarStartsAndGetsNoMessage) {
    PlaceToolbar();
    SetZeroAnswers(0);
    ASSERT_TRUE(StartLauncher(L"\"" + m_toolbar + L"\" /xoptions"));
    ASSERT_TRUE(m_launcher.WaitForExit(15000));
    ASSERT_TRUE(WaitForLogLines(1));
    ASSERT_NE(FindWindowW(CLauncher::kToolbarWindowClass, nullptr), nullptr);
    // The launcher has ended: nothing more can come.
    EXPECT_EQ(Log(), (std::vector<std::string>{"start "}));
}

TEST_F(LauncherTest, NoPathEndsAtOnceAndAPathThatNeverAppearsIsWaitedForUntilEnded) {
    PlaceToolbar();
    for (const wchar_t* parameters : {L"", L"/options1", L"\"\""}) {
        ASSERT_TRUE(StartLauncher(parameters));
        EXPECT_TRUE(m_launcher.WaitForExit(15000)) << parameters;
    }
    ASSERT_TRUE(StartLauncher(L"\"" + testsupport::ToWide(m_folder / "never" / "OvrinToolbar.exe") + L"\" /options1"));
    EXPECT_FALSE(m_launcher.WaitForExit(1000));
    m_launcher.End();
    EXPECT_FALSE(m_launcher.Running());
    EXPECT_TRUE(Log().empty()) << "nothing was started";
}

} // namespace
