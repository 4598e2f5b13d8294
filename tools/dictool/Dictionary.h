// What the dictool commands share: the code page of a language, one dictionary file opened by itself
// for the length of a command, and numbers typed on the command line.
#pragma once

#include "base/CodePage.h"
#include "base/Unicode.h"
#include "dictengine/DEngine.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace dictool {

inline unsigned CodePageOf(unsigned char language) {
    return language == DEngine::kLangRussian ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern;
}

inline std::filesystem::path FileSystemPath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(ovrin::Utf16ToUtf8(path));
#endif
}

// Whether path names a file; otherwise says why not (missing, a folder) on err.
inline bool CheckFile(const std::wstring& path, std::ostream& err) {
    std::error_code failure;
    std::filesystem::file_status status = std::filesystem::status(FileSystemPath(path), failure);
    if (status.type() == std::filesystem::file_type::not_found) {
        err << "dictool: " << ovrin::Utf16ToUtf8(path) << ": no such file\n";
        return false;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        err << "dictool: " << ovrin::Utf16ToUtf8(path) << " is a folder, not a dictionary file\n";
        return false;
    }
    return true;
}

// One dictionary file opened by itself, closed and forgotten at the end of the command.
class SingleDictionary {
public:
    SingleDictionary(const std::wstring& path, std::ostream& err) {
        // An empty catalogue that takes the one file.
        DEngine::DoneDictEngine();
        if (!CheckFile(path, err))
            return;
        if (DEngine::AttachDictionary(path.c_str()) != 1) {
            err << "dictool: " << ovrin::Utf16ToUtf8(path) << ": not a dictionary file (no dictionary header in it)\n";
            return;
        }
        m_handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
        if (m_handle == nullptr)
            err << "dictool: " << ovrin::Utf16ToUtf8(path) << ": the dictionary cannot be opened\n";
    }
    ~SingleDictionary() { DEngine::DoneDictEngine(); }
    __DictHandle* Handle() const { return m_handle; }
    unsigned char Language() const { return static_cast<unsigned char>(DEngine::GetDirection(m_handle) >> 8); }
    // Text typed on the command line, in the code page of the dictionary's source language.
    std::string Encode(const std::wstring& text) const { return ovrin::WideToMultiByte(CodePageOf(Language()), text); }

private:
    __DictHandle* m_handle = nullptr;
};

inline bool ParseNumber(const std::wstring& text, unsigned long max, unsigned long* value) {
    if (text.empty() || text.size() > 10)
        return false;
    unsigned long long number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    if (number > max)
        return false;
    *value = static_cast<unsigned long>(number);
    return true;
}

} // namespace dictool
