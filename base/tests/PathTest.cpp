// Splitting and joining paths with either separator, and the program's folder.
#include "base/Path.h"

#include <gtest/gtest.h>

using namespace ovrin;

TEST(PathTest, FolderKeepsItsSeparatorAndAcceptsBoth) {
    EXPECT_EQ(PathFolder(L"\\Program Files\\Lexory\\Lexory.exe"), L"\\Program Files\\Lexory\\");
    EXPECT_EQ(PathFolder(L"/opt/lexory/er.dic"), L"/opt/lexory/");
    EXPECT_EQ(PathFolder(L"C:\\a/b\\c.dic"), L"C:\\a/b\\");
    EXPECT_EQ(PathFolder(L"plain.dic"), L"");
    EXPECT_EQ(PathFileName(L"C:\\a/b\\c.dic"), L"c.dic");
    EXPECT_EQ(PathFileName(L"plain.dic"), L"plain.dic");
    EXPECT_EQ(PathFileName(L"folder\\"), L"");
}

TEST(PathTest, JoinAddsOneSeparatorOfTheFoldersKind) {
    EXPECT_EQ(PathJoin(L"C:\\dicts", L"er.dic"), L"C:\\dicts\\er.dic");
    EXPECT_EQ(PathJoin(L"C:\\dicts\\", L"er.dic"), L"C:\\dicts\\er.dic");
    EXPECT_EQ(PathJoin(L"/tmp/x", L"/er.dic"), L"/tmp/x/er.dic");
    EXPECT_EQ(PathJoin(L"", L"er.dic"), L"er.dic");
    EXPECT_EQ(PathJoin(L"dicts", L"er.dic"), std::wstring(L"dicts") + kPathSeparator + L"er.dic");
}

TEST(PathTest, ProgramFolderAndPathNameTheTestProgram) {
    std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(IsPathSeparator(folder.back()));
    EXPECT_NE(folder.find(L"base"), std::wstring::npos) << "the test runs from the build's base folder";
    // The program's own file lies in that folder and names the test program.
    std::wstring path = GetProgramPath();
    ASSERT_GT(path.size(), folder.size());
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_NE(path.find(L"base_tests", folder.size()), std::wstring::npos);
}
