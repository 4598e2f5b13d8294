// Listing folders and copying, deleting and creating files and folders by wide path.
#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Unicode.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace ovrin;
using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

TEST(FileSystemTest, ListFiles_KeepsOnlyTheExtensionInAnyCase) {
    TempFolder folder;
    const std::wstring root = testsupport::ToWide(folder.Path());
    for (const wchar_t* name :
         {L"er.dic", L"RE.DIC", L"\x0441\x043B\x043E\x0432\x0430\x0440\x044C.dic", L"notes.txt", L"er.dicx"})
        WriteFileBytes(PathJoin(root, name), "x");
    ASSERT_TRUE(CreateFolder(PathJoin(root, L"folder.dic")));
    std::vector<std::wstring> names = ListFiles(root, L".dic");
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = {L"RE.DIC", L"er.dic", L"\x0441\x043B\x043E\x0432\x0430\x0440\x044C.dic"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(ListFiles(PathJoin(root, L"missing"), L".dic").empty());
}

TEST(FileSystemTest, CopyFileIfAbsent_RefusesAnExistingTargetAndCopiesBytes) {
    TempFolder folder;
    std::wstring from = folder.File(L"a.dic"), to = folder.File(L"b.dic");
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    WriteFileBytes(from, bytes);
    ASSERT_TRUE(CopyFileIfAbsent(from, to));
    EXPECT_EQ(ReadFileBytes(to), bytes);
    WriteFileBytes(to, "keep");
    EXPECT_FALSE(CopyFileIfAbsent(from, to));
    EXPECT_EQ(ReadFileBytes(to), "keep");
    EXPECT_FALSE(CopyFileIfAbsent(folder.File(L"missing.dic"), folder.File(L"c.dic")));
    EXPECT_FALSE(FileExists(folder.File(L"c.dic")));
}

TEST(FileSystemTest, DeleteAndCreate) {
    TempFolder folder;
    std::wstring file = folder.File(L"x.dic");
    WriteFileBytes(file, "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(DeleteFileAt(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFileAt(file));
    std::wstring sub = folder.File(L"sub");
    EXPECT_TRUE(CreateFolder(sub));
    EXPECT_TRUE(CreateFolder(sub)) << "an existing folder counts as made";
    EXPECT_TRUE(FolderExists(sub));
    EXPECT_FALSE(CreateFolder(PathJoin(folder.File(L"no"), L"deeper")));
}

namespace {

void SetReadOnly(const std::wstring& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(Utf16ToUtf8(path).c_str(), readOnly ? 0444 : 0644);
#endif
}

} // namespace

// A replacement takes the target's place whole; a read-only target is left as it was, as Windows
// leaves it (Wine and POSIX renames would replace it).
TEST(FileSystemTest, ReplaceFileWith_ReplacesWholeButNeverAReadOnlyTarget) {
    TempFolder folder;
    std::wstring target = folder.File(L"_history.dat"), replacement = folder.File(L"_history.dat.new");
    WriteFileBytes(target, "old");
    WriteFileBytes(replacement, "new");
    ASSERT_TRUE(ReplaceFileWith(replacement, target));
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_FALSE(FileExists(replacement));

    WriteFileBytes(replacement, "newer");
    SetReadOnly(target, true);
    EXPECT_FALSE(ReplaceFileWith(replacement, target));
    SetReadOnly(target, false);
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(ReadFileBytes(replacement), "newer");
}
