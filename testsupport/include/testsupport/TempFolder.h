// Test helpers shared by every module's tests: a temporary folder removed with everything in it when
// the test ends, and raw file bytes in and out.
//
// A folder a library was loaded from cannot be removed while the program has it loaded (the engine
// tests' direction folders): the first folder a test program makes removes the folders of test
// programs that have ended, so that such folders do not pile up over a run.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include "platform/Handles.h"

#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace testsupport {

inline constexpr std::string_view kTestFolderPrefix = "ovrin-test-";

// Whether the process of that id has ended (or never was).
inline bool ProcessHasEnded(unsigned long id) {
#ifdef _WIN32
    CHandle process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id)));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process (access denied: it runs)
    return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
#else
    return kill(static_cast<pid_t>(id), 0) == -1 && errno == ESRCH;
#endif
}

inline unsigned long ThisProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// Removes the temporary folders ("ovrin-test-<process id>-...") of test programs that have ended.
inline void RemoveFoldersOfEndedTests() {
    std::error_code error;
    std::filesystem::directory_iterator entries(std::filesystem::temp_directory_path(error), error);
    if (error)
        return;
    for (const auto& entry : entries) {
        std::string name = entry.path().filename().string();
        if (name.compare(0, kTestFolderPrefix.size(), kTestFolderPrefix) != 0)
            continue;
        std::size_t digits = kTestFolderPrefix.size(), end = digits;
        while (end < name.size() && name[end] >= '0' && name[end] <= '9')
            ++end;
        if (end == digits || end - digits > 10 || end >= name.size() || name[end] != '-')
            continue;
        if (!ProcessHasEnded(std::stoul(name.substr(digits, end - digits))))
            continue;
        // Another program may be sweeping at the same time, and two removals of one folder at once
        // can leave it there or never end (the library's removal under Wine then loops on an entry the
        // other took away). The folder is first claimed by renaming it to one of this program's own,
        // which only one sweep can do; what is left of it, a later program's sweep takes.
        static std::atomic<unsigned> claims{0};
        std::filesystem::path claimed =
            entry.path().parent_path() /
            (std::string(kTestFolderPrefix) + std::to_string(ThisProcessId()) + "-swept-" + std::to_string(claims++));
        std::filesystem::rename(entry.path(), claimed, error);
        if (!error)
            std::filesystem::remove_all(claimed, error);
    }
}

// std::filesystem paths and the suite's UTF-16 wide strings, on both builds.
inline std::wstring ToWide(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    std::u16string units = path.u16string();
    return std::wstring(units.begin(), units.end());
#endif
}

inline std::filesystem::path ToPath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(std::u16string(path.begin(), path.end()));
#endif
}

class TempFolder {
public:
    TempFolder() {
        static std::atomic<unsigned> counter{0};
        static const bool swept = (RemoveFoldersOfEndedTests(), true);
        (void)swept;
        unsigned long pid = ThisProcessId();
        auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() / (std::string(kTestFolderPrefix) + std::to_string(pid) + "-" +
                                                           std::to_string(ticks) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // A file name inside the folder, as the suite's wide path.
    std::wstring File(const std::wstring& name) const { return ToWide(m_path) + kSeparator + name; }

private:
#ifdef _WIN32
    static constexpr wchar_t kSeparator = L'\\';
#else
    static constexpr wchar_t kSeparator = L'/';
#endif
    std::filesystem::path m_path;
};

inline std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(ToPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(ToPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testsupport
