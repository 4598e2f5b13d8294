// What the tests of Setrix.dll share: inputs placed against an unreadable page (a read past their end
// faults), the stand-in program and COM library beside the tests, registry and file helpers.
#pragma once

#include "StandInDrive.h"
#include "base/CodePage.h"
#include "platform/RegistryKey.h"
#include "setrix/Setrix.h"
#include "testsupport/TempFolder.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace setrixtest {

// Bytes that end exactly where an inaccessible page begins.
class CGuardedInput {
public:
    CGuardedInput(const void* bytes, size_t size) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        m_page = system.dwPageSize;
        size_t pages = (size + m_page - 1) / m_page + 1;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, pages * m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + (pages - 1) * m_page, m_page, PAGE_NOACCESS, &old);
        m_data = m_base + (pages - 1) * m_page - size;
        std::memcpy(m_data, bytes, size);
        m_size = static_cast<DWORD>(size);
    }
    ~CGuardedInput() { VirtualFree(m_base, 0, MEM_RELEASE); }
    CGuardedInput(const CGuardedInput&) = delete;
    CGuardedInput& operator=(const CGuardedInput&) = delete;

    BYTE* Data() const { return m_data; }
    DWORD Size() const { return m_size; }

private:
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
    DWORD m_size = 0;
    size_t m_page = 0;
};

// A service function's output, freed to the local heap when the test ends.
struct COutput {
    DWORD size = 0xDEADBEEF;
    BYTE* buffer = reinterpret_cast<BYTE*>(1);
    ~COutput() {
        if (buffer != reinterpret_cast<BYTE*>(1))
            LocalFree(buffer);
    }
};

inline std::wstring BesideTests(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

inline void WriteTextFile(const std::wstring& path, const std::string& text = "data") {
    testsupport::WriteFileBytes(path, text);
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void CreateKeyWithValue(HKEY root, const std::wstring& path) {
    CRegistryKey key;
    if (key.Open(root, path, true))
        key.WriteString(L"Value", L"x");
}

inline std::string Narrow(const std::wstring& text) {
    return ovrin::WideToMultiByte(ovrin::kCodePageAnsi, text);
}

inline std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

} // namespace setrixtest
