// Splitting and joining paths. Both "\" and "/" separate folders, so the same code serves the
// Windows paths of the deliverables and the native build's paths.
#pragma once

#include <string>
#include <string_view>

namespace ovrin {

inline bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The folder part of a path, keeping its final separator ("C:\a\b.dic" gives "C:\a\"); empty when
// the path has no separator.
std::wstring PathFolder(std::wstring_view path);

// The part after the last separator.
std::wstring PathFileName(std::wstring_view path);

// folder + name, with one separator between them. The separator added is the one the folder already
// uses, else the platform's.
std::wstring PathJoin(std::wstring_view folder, std::wstring_view name);

// The full file name of the running program's executable file; empty when it cannot be read.
std::wstring GetProgramPath();

// The folder of the running program's executable file, with its final separator; empty when the
// file name cannot be read.
std::wstring GetProgramFolder();

#ifdef _WIN32
constexpr wchar_t kPathSeparator = L'\\';
#else
constexpr wchar_t kPathSeparator = L'/';
#endif

} // namespace ovrin
