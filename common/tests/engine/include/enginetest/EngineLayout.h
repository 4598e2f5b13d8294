// Test fixture of the translation engine: a temporary folder laid out as an installation (the
// catalogue and linguistic base beside a folder per direction with its translator copy, a small
// dictionary made with the dictionary writer, a general glossary and templates) and the installation
// data under a registry key of its own below HKEY_CURRENT_USER, removed when the test ends.
#pragma once

#include "base/CodePage.h"
#include "base/Path.h"
#include "common/EngineClient.h"
#include "dictengine/DictWriter.h"
#include "platform/RegistryKey.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace enginetest {

using Words = std::vector<std::pair<std::wstring, std::wstring>>;

inline unsigned Language(wchar_t letter) {
    switch (letter) {
    case L'E':
        return 1;
    case L'R':
        return 2;
    case L'G':
        return 4;
    case L'F':
        return 8;
    default:
        return 16;
    }
}

inline unsigned CodePageOf(unsigned language) {
    return language == 2 ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern;
}

inline DWORD DirIdOf(const std::wstring& prefix) {
    return Language(prefix[1]) << 16 | Language(prefix[0]);
}

inline std::string Utf8(const std::wstring& text) {
    std::string out;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A file of the test program's folder (the engine's DLLs are copied there by the build).
inline std::wstring BesideProgram(const std::wstring& name) {
    return ovrin::GetProgramFolder() + name;
}

// A dictionary of the direction prefix ("ER", ...) holding words, written to path.
inline void WriteWordsDictionary(const std::wstring& path, const std::wstring& prefix, const Words& words) {
    unsigned source = Language(prefix[0]), target = Language(prefix[1]);
    std::vector<dengine::WriterEntry> entries;
    for (const auto& [headword, translation] : words) {
        std::string text = ovrin::WideToMultiByte(CodePageOf(target), translation);
        std::string inner = dengine::MakeArticle({{0x01, text}}).substr(2);
        entries.push_back(
            {ovrin::WideToMultiByte(CodePageOf(source), headword), "", dengine::MakeArticle({{0x90, inner}})});
    }
    dengine::SortEntries(entries, static_cast<std::uint8_t>(source));
    dengine::DictionaryDescription description;
    description.name = "Test " + std::string(prefix.begin(), prefix.end());
    description.direction = static_cast<std::uint16_t>(source << 8 | target);
    std::string error;
    EXPECT_TRUE(dengine::WriteDictionary(path, description, entries, &error)) << error;
}

class EngineLayout {
public:
    EngineLayout() {
        static std::atomic<unsigned> counter{0};
        m_key = L"Software\\Ovrinsoft\\Pocket OVRIN Test " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        // A test program ended before its layout went (a timeout) leaves its key; a later program
        // given the same process id must not find its directions.
        CRegistryKey::DeleteTree(HKEY_CURRENT_USER, m_key);
        m_folder = ovrin::PathJoin(testsupport::ToWide(m_temp.Path()), L"");
        if (m_folder.back() != L'\\')
            m_folder.push_back(L'\\');
        CopyFileW(BesideProgram(L"dircat.dll").c_str(), (m_folder + L"dircat.dll").c_str(), FALSE);
        CopyFileW(BesideProgram(L"ovrinldb.dll").c_str(), (m_folder + L"ovrinldb.dll").c_str(), FALSE);
        SetEnginePath(m_folder);
    }
    ~EngineLayout() { CRegistryKey::DeleteTree(HKEY_CURRENT_USER, m_key); }
    EngineLayout(const EngineLayout&) = delete;
    EngineLayout& operator=(const EngineLayout&) = delete;

    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& Key() const { return m_key; }
    std::wstring DirectionsKey() const { return m_key + L"\\Directions"; }

    void WriteCatalogue(const std::string& utf8) { testsupport::WriteFileBytes(m_folder + L"dircat.dat", utf8); }
    void WriteStandardCatalogue() {
        WriteCatalogue("OVRIN direction catalogue 1\n[131073]\n" + Utf8(L"Англо-русский перевод.\nВторая строка") +
                       "\n[65538]\n" + Utf8(L"Русско-английский") + "\n");
    }

    void SetEnginePath(const std::wstring& path) { SetString(m_key, L"Path", path); }

    // The direction's folder with its translator (translatorFile beside the test program), a dictionary
    // of words, and the given files (name, UTF-8 content).
    std::wstring MakeDirectionFolder(const std::wstring& prefix, const Words& words,
                                     const std::vector<std::pair<std::wstring, std::wstring>>& files = {},
                                     const std::wstring& translatorFile = L"XLMAIN.dll") {
        std::wstring folder = m_folder + prefix + L"\\";
        std::filesystem::create_directories(testsupport::ToPath(folder));
        CopyFileW(BesideProgram(translatorFile).c_str(), (folder + prefix + L"XLMAIN.DLL").c_str(), FALSE);
        WriteWordsDictionary(folder + L"test.dic", prefix, words);
        for (const auto& [name, content] : files)
            testsupport::WriteFileBytes(folder + name, Utf8(content));
        return folder;
    }

    // Registry data of a direction: key keyName with the given values (prefix empty: none written).
    HKEY AddDirectionKey(const std::wstring& keyName, DWORD dirId, const std::wstring& prefix, const std::wstring& path,
                         DWORD trans3 = 0, const std::wstring& name = L"") {
        std::wstring key = DirectionsKey() + L"\\" + keyName;
        if (dirId != 0)
            SetDword(key, L"DirID", dirId);
        if (!prefix.empty())
            SetString(key, L"Prefix", prefix);
        if (!path.empty())
            SetString(key, L"Path", path);
        SetString(key, L"Name", name.empty() ? keyName : name);
        SetDword(key, L"Trans3", trans3);
        return nullptr;
    }
    // A subject key with display name and template names "0", "1", ...
    void AddSubject(const std::wstring& directionKey, const std::wstring& subjectKey, const std::wstring& display,
                    const std::vector<std::wstring>& templates) {
        std::wstring key = DirectionsKey() + L"\\" + directionKey + L"\\Templates\\" + subjectKey;
        SetString(key, L"", display);
        for (std::size_t i = 0; i < templates.size(); ++i)
            SetString(key, std::to_wstring(i), templates[i]);
    }

    // A complete direction: folder, registry data, a general subject and the given template subjects
    // (name, display name, UTF-8 glossary lines).
    void AddDirection(const std::wstring& prefix, const Words& words, DWORD trans3 = 0,
                      const std::vector<std::pair<std::wstring, std::wstring>>& files = {},
                      const std::vector<std::pair<std::wstring, std::wstring>>& subjects = {}) {
        std::wstring folder = MakeDirectionFolder(prefix, words, files);
        AddDirectionKey(prefix, DirIdOf(prefix), prefix, folder, trans3);
        AddSubject(prefix, L"General", L"Общая", {});
        for (const auto& [name, display] : subjects)
            AddSubject(prefix, name, display, {name});
    }

    static void SetString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
        CRegistryKey handle;
        ASSERT_TRUE(handle.Open(HKEY_CURRENT_USER, key, true)) << handle.GetLastError();
        handle.WriteString(name, value);
    }
    static void SetDword(const std::wstring& key, const std::wstring& name, DWORD value) {
        CRegistryKey handle;
        ASSERT_TRUE(handle.Open(HKEY_CURRENT_USER, key, true)) << handle.GetLastError();
        handle.WriteDword(name, value);
    }

private:
    testsupport::TempFolder m_temp;
    std::wstring m_folder;
    std::wstring m_key;
};

// English-Russian and Russian-English words every test can use.
inline Words EnglishRussian() {
    return {{L"cat", L"кошка"},   {L"dog", L"собака"},     {L"house", L"дом"},           {L"file", L"напильник"},
            {L"mouse", L"мышь"},  {L"ice", L"лёд"},        {L"ice cream", L"мороженое"}, {L"run", L"бежать"},
            {L"big", L"большой"}, {L"stop", L"остановка"}, {L"city", L"город"},          {L"bake", L"печь"},
            {L"the", L"этот"}};
}
inline Words RussianEnglish() {
    return {{L"кошка", L"cat"}, {L"собака", L"dog"}, {L"дом", L"house"}, {L"большой", L"big"}};
}

} // namespace enginetest
