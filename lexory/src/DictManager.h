// The dictionary program's one way to the dictionary engine: the directions, the current direction
// with its one open dictionary (always dictionary 0 of the direction), lookups and headword texts.
// The engine keeps process-wide state and takes no locks, so every engine call of this object runs
// under one lock: the window thread and the search threads may call it at the same time.
#pragma once

#include "ArticleView.h"
#include "common/Protocol.h"
#include "dictengine/DEngine.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CDictManager {
public:
    // Initialises the engine with folder (ending in a separator): the program's own folder by default.
    explicit CDictManager(const std::wstring& folder = L"");
    ~CDictManager();
    CDictManager(const CDictManager&) = delete;
    CDictManager& operator=(const CDictManager&) = delete;

    int CountDirections();
    // The direction key (target code << 16 | source code) of the direction's dictionary 0; 0 when none.
    std::uint32_t GetDirectionCode(int direction);
    // The custom name stored under the direction key, else "Source-Target" from the language names.
    std::wstring GetDirectionName(int direction);
    static std::wstring GetLanguageName(unsigned code);
    unsigned long GetWordCount(int direction);
    // Closes the open dictionary and opens dictionary 0 of direction, which becomes the current
    // direction whether or not it opens; true when it opened.
    bool OpenDirection(int direction);

    int GetCurrentDirection();
    bool IsDictionaryOpen();

    // The index of the headword nearest to text (its first 255 characters), or -1.
    long FindNearest(const std::wstring& text, bool exactOnly);
    // One headword of the open dictionary; empty on failure.
    std::wstring GetHeadword(unsigned long index);
    // Headwords start .. start+count-1 into cache (slots start+k when it has slots, appended when it
    // is empty); false on failure or when no dictionary is open.
    bool GetHeadwords(unsigned long start, unsigned short count, std::vector<std::wstring>& cache);

    // Display data (8-bit, in language, with runs "%<code> text%" in other languages) as wide text of
    // at most 255 characters.
    static std::wstring ToDisplayText(unsigned language, const char* data);

    // The article of headword index of the open dictionary as parts and translations; false when no
    // dictionary is open or the article cannot be read.
    bool ReadArticle(unsigned long index, std::list<sArticlePart>& parts);
    // The name of a part-of-speech code from the program's string table; empty when it cannot be loaded.
    std::wstring GetPartOfSpeechName(int code);

    // The history and bookmark lists of the current direction ("_history.dat", "_bookmark.dat" in
    // the program folder), most recent first. Reads are true when the file has a list for the
    // direction. Additions are false when no dictionary is open or the file could not be written;
    // removals are false when the file is missing or could not be written.
    bool GetHistory(std::vector<unsigned long>& list);
    bool GetBookmarks(std::vector<unsigned long>& list);
    bool AddToHistory(unsigned long index);
    bool AddBookmark(unsigned long index);
    bool RemoveFromHistory(unsigned long index);
    bool RemoveBookmark(unsigned long index);

    static constexpr size_t kMaxTextLength = 255;
    static constexpr const wchar_t* kSettingsSection = ovrin::protocol::kDictionarySection;

private:
    __DictHandle* HandleOf(int direction);
    bool GetHeadwordsLocked(unsigned long start, unsigned short count, std::vector<std::wstring>& cache);

    std::wstring ListFile(const wchar_t* name) const { return m_folder + name; }
    std::uint32_t CurrentDirectionKey();

    std::wstring m_folder; // the program folder, ending in a separator
    std::recursive_mutex m_engineLock;
    int m_currentDirection = -1;
    __DictHandle* m_handle = nullptr;
    unsigned m_sourceLanguage = 0;
    CDictEngine m_engine;
    bool m_engineInitialised = false;
};
