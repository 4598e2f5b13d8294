// Temporary folders: a test's folder goes with it, and the folders that ended test programs could not
// remove (a library loaded from them stays loaded until the program ends) are removed by the next
// program's first folder, while those of running programs stay.
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

unsigned long ThisProcess() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

std::filesystem::path TestFolderOf(unsigned long process, const char* rest) {
    auto path = std::filesystem::temp_directory_path() / ("ovrin-test-" + std::to_string(process) + rest);
    std::filesystem::create_directories(path / "inner");
    testsupport::WriteFileBytes(testsupport::ToWide(path / "inner" / "file.bin"), "bytes");
    return path;
}

} // namespace

TEST(TempFolderTest, FoldersOfEndedProgramsAreRemovedAndThoseOfRunningOnesStay) {
    // No process has this id: Windows' ids are multiples of four, and it is above Linux's highest.
    std::filesystem::path ended = TestFolderOf(999999999, "-1-0");
    std::filesystem::path running = TestFolderOf(ThisProcess(), "-1-99");
    auto other = std::filesystem::temp_directory_path() / "ovrin-test-notanumber";
    std::filesystem::create_directories(other);

    testsupport::RemoveFoldersOfEndedTests();
    EXPECT_FALSE(std::filesystem::exists(ended));
    EXPECT_TRUE(std::filesystem::exists(running / "inner" / "file.bin")) << "this program is running";
    EXPECT_TRUE(std::filesystem::exists(other)) << "a name without a process id is not ours to remove";

    std::filesystem::remove_all(running);
    std::filesystem::remove_all(other);
}

TEST(TempFolderTest, AFolderGoesWithEverythingInItWhenTheTestEnds) {
    std::filesystem::path path;
    {
        testsupport::TempFolder folder;
        path = folder.Path();
        testsupport::WriteFileBytes(folder.File(L"a.txt"), "text");
        EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"a.txt")), "text");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}
