// Temporary folders: a test's folder goes with it, and the folders that ended test programs could not
// remove (a library loaded from them stays loaded until the program ends) are removed by the next
// program's first folder, while those of running programs stay.
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

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

// Test programs start two at a time, and each sweeps at its first folder: two sweeps at once each
// leave the whole of every ended program's folder gone.
TEST(TempFolderTest, TwoSweepsAtOnceRemoveEveryFolderOfEndedPrograms) {
    std::vector<std::filesystem::path> folders;
    for (int i = 0; i < 40; ++i) {
        std::filesystem::path folder = TestFolderOf(999999999, ("-2-" + std::to_string(i)).c_str());
        for (int j = 0; j < 20; ++j)
            testsupport::WriteFileBytes(testsupport::ToWide(folder / "inner" / ("more" + std::to_string(j))), "x");
        folders.push_back(folder);
    }
    std::thread other(testsupport::RemoveFoldersOfEndedTests);
    testsupport::RemoveFoldersOfEndedTests();
    other.join();
    for (const std::filesystem::path& folder : folders)
        EXPECT_FALSE(std::filesystem::exists(folder)) << folder.string();
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
