// Shell commands on the Linux side of the harness, run beside the test.
#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string UnixFlag(const char* name) {
    return "/tmp/ovrin-unixcommand-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}
std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}
bool Exists(const std::string& unixPath) {
    return GetFileAttributesW(WindowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(UnixCommandTest, RunsBesideTheTest_GivesItsExitStatus_AndIsWaitedForWhenItGoes) {
    EXPECT_EQ(testsupport::RunUnixCommand("exit 3"), 3);
    EXPECT_EQ(testsupport::RunUnixCommand("true"), 0);

    // A command that ends only once the test has made a file: it runs while the test goes on.
    const std::string go = UnixFlag("go");
    testsupport::CUnixCommand command("while [ ! -e " + go + " ]; do sleep 0.05; done; rm -f " + go + "; exit 4");
    EXPECT_EQ(command.Wait(std::chrono::milliseconds(300)), -1) << "it cannot have ended yet";
    ASSERT_TRUE(
        CFileHandle(CreateFileW(WindowsPath(go).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    EXPECT_EQ(command.Wait(), 4);
    EXPECT_EQ(command.Wait(), 4) << "the status is kept";
    EXPECT_FALSE(Exists(go));

    // One never waited for by the test is waited for as it goes.
    const std::string done = UnixFlag("done");
    { testsupport::CUnixCommand touch("sleep 0.2; touch " + done); }
    EXPECT_TRUE(Exists(done));
    testsupport::RunUnixCommand("rm -f " + done);
}
