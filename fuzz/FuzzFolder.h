// The folder where a fuzz target keeps the files it makes from its inputs. It lies in memory (the
// folder that OVRIN_FUZZ_FOLDER names, else /dev/shm when there is one), so that the flushes every
// dictionary write makes cost nothing and a run tries many more inputs; otherwise in the temporary
// folder. It is made on first use and removed when the target ends.
#pragma once

#include "base/Unicode.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzzing {

class FuzzFolder {
public:
    FuzzFolder() {
        std::filesystem::path base;
        std::error_code error;
        if (const char* named = std::getenv("OVRIN_FUZZ_FOLDER"); named != nullptr && *named != 0)
            base = named;
        else if (std::filesystem::is_directory("/dev/shm", error))
            base = "/dev/shm";
        else
            base = std::filesystem::temp_directory_path();
        m_path = base / ("ovrin-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_path, error);
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    std::wstring File(const std::string& name) const { return ovrin::Utf8ToUtf16((m_path / name).string()); }

private:
    std::filesystem::path m_path;
};

// One folder for the whole run of a target.
inline const FuzzFolder& Folder() {
    static FuzzFolder folder;
    return folder;
}

} // namespace fuzzing
