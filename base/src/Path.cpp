// Path splitting and joining, and the program's own folder.
#include "base/Path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Unicode.h"
#include <climits>
#include <unistd.h>
#endif

namespace ovrin {

namespace {

std::size_t LastSeparator(std::wstring_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1]))
            return i - 1;
    }
    return std::wstring_view::npos;
}

} // namespace

std::wstring PathFolder(std::wstring_view path) {
    std::size_t separator = LastSeparator(path);
    return separator == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, separator + 1));
}

std::wstring PathFileName(std::wstring_view path) {
    std::size_t separator = LastSeparator(path);
    return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

std::wstring PathJoin(std::wstring_view folder, std::wstring_view name) {
    std::wstring result(folder);
    if (!result.empty() && !IsPathSeparator(result.back())) {
        std::size_t separator = LastSeparator(folder);
        result.push_back(separator == std::wstring_view::npos ? kPathSeparator : folder[separator]);
    }
    while (!name.empty() && !result.empty() && IsPathSeparator(name.front()))
        name.remove_prefix(1);
    result += name;
    return result;
}

std::wstring GetProgramPath() {
#ifdef _WIN32
    // A name that fills the buffer may have been cut: the buffer grows up to the longest path there is.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring name(size, L'\0');
        DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0)
            return {};
        if (length < size) {
            name.resize(length);
            return name;
        }
    }
    return {};
#else
    char name[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", name, sizeof name);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof name))
        return {};
    return Utf8ToUtf16(std::string_view(name, static_cast<std::size_t>(length)));
#endif
}

std::wstring GetProgramFolder() {
    std::wstring path = GetProgramPath();
    return path.empty() ? std::wstring() : PathFolder(path);
}

} // namespace ovrin
