// Directions, lookups and headword texts over the engine, each engine call under the one lock.
#include "DictManager.h"

#include "WordList.h"
#include "base/Path.h"
#include "common/Registry.h"
#include "xlatcp/Xlatcp.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// Converts the 8-bit bytes [begin, end) of language to wide text appended to text, keeping text
// within the display limit.
void AppendConverted(unsigned language, const char* begin, const char* end, std::wstring& text) {
    size_t room = CDictManager::kMaxTextLength - std::min(text.size(), CDictManager::kMaxTextLength);
    size_t length = std::min(static_cast<size_t>(end - begin), room);
    if (length == 0)
        return;
    char bytes[CDictManager::kMaxTextLength + 1] = {};
    std::memcpy(bytes, begin, length);
    wchar_t wide[CDictManager::kMaxTextLength + 1] = {};
    XlatPlainStringToWide(static_cast<unsigned short>(language), bytes, wide);
    text.append(wide, length);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

CDictManager::CDictManager(const std::wstring& folder) {
    m_folder = folder.empty() ? ovrin::GetProgramFolder() : folder;
    std::lock_guard lock(m_engineLock);
    m_engineInitialised = m_engine.InitDictEngine(m_folder.c_str()) != 0;
}

CDictManager::~CDictManager() {
    std::lock_guard lock(m_engineLock);
    if (m_handle != nullptr)
        m_engine.ForceCloseDictionary(m_handle);
    DEngine::DoneDictEngine();
}

int CDictManager::CountDirections() {
    std::lock_guard lock(m_engineLock);
    return m_engine.GetDirectionCount();
}

int CDictManager::GetCurrentDirection() {
    std::lock_guard lock(m_engineLock);
    return m_currentDirection;
}

bool CDictManager::IsDictionaryOpen() {
    std::lock_guard lock(m_engineLock);
    return m_handle != nullptr;
}

__DictHandle* CDictManager::HandleOf(int direction) {
    if (direction == m_currentDirection && m_handle != nullptr)
        return m_handle;
    if (direction < 0 || direction > 0xFFFF)
        return nullptr;
    return m_engine.GetDictionaryHandle(static_cast<unsigned short>(direction), 0);
}

std::uint32_t CDictManager::GetDirectionCode(int direction) {
    std::lock_guard lock(m_engineLock);
    __DictHandle* handle = HandleOf(direction);
    return handle == nullptr ? 0 : m_engine.GetDirection(handle);
}

std::wstring CDictManager::GetLanguageName(unsigned code) {
    switch (code) {
    case 1:
        return L"English";
    case 2:
        return L"Russian";
    case 4:
        return L"German";
    case 8:
        return L"French";
    case 16:
        return L"Italian";
    case 32:
        return L"Spanish";
    case 64:
        return L"Portuguese";
    default:
        return L"";
    }
}

std::wstring CDictManager::GetDirectionName(int direction) {
    std::uint32_t key = GetDirectionCode(direction);
    std::wstring custom = CAppSettings::ReadString(kSettingsSection, std::to_wstring(key));
    if (!custom.empty())
        return custom;
    return GetLanguageName(key & 0xFFFF) + L"-" + GetLanguageName(key >> 16);
}

unsigned long CDictManager::GetWordCount(int direction) {
    std::lock_guard lock(m_engineLock);
    __DictHandle* handle = HandleOf(direction);
    return handle == nullptr ? 0 : m_engine.GetTotalWordCount(handle);
}

bool CDictManager::OpenDirection(int direction) {
    std::lock_guard lock(m_engineLock);
    if (m_handle != nullptr)
        m_engine.ForceCloseDictionary(m_handle);
    m_handle = nullptr;
    m_sourceLanguage = 0;
    if (direction >= 0 && direction < m_engine.GetDirectionCount())
        m_handle = m_engine.OpenDictionary(static_cast<unsigned short>(direction), 0);
    m_currentDirection = direction;
    if (m_handle != nullptr)
        m_sourceLanguage = m_engine.GetDirection(m_handle) & 0xFFFF;
    return m_handle != nullptr;
}

long CDictManager::FindNearest(const std::wstring& text, bool exactOnly) {
    char key[kMaxTextLength + 1] = {};
    XlatWideToPlain(text.c_str(), key, static_cast<unsigned short>(std::min(text.size(), kMaxTextLength)));
    std::lock_guard lock(m_engineLock);
    if (m_handle == nullptr)
        return -1;
    unsigned long index = 0;
    int exact = 0;
    if (m_engine.FindWord(m_handle, key, &index, &exact) == 0 || (exactOnly && exact == 0))
        return -1;
    return static_cast<long>(index);
}

std::wstring CDictManager::GetHeadword(unsigned long index) {
    std::vector<std::wstring> one;
    if (!GetHeadwords(index, 1, one) || one.empty())
        return {};
    return one.front();
}

bool CDictManager::GetHeadwords(unsigned long start, unsigned short count, std::vector<std::wstring>& cache) {
    std::lock_guard lock(m_engineLock);
    return GetHeadwordsLocked(start, count, cache);
}

bool CDictManager::GetHeadwordsLocked(unsigned long start, unsigned short count, std::vector<std::wstring>& cache) {
    if (m_handle == nullptr || count == 0)
        return false;
    std::vector<const unsigned char*> entries(count, nullptr);
    if (m_engine.GetIndex(m_handle, start, count, entries.data()) == 0 ||
        m_engine.IndexDataToDisplayData(count, entries.data()) == 0)
        return false;
    bool slotted = !cache.empty();
    for (unsigned short k = 0; k < count; ++k) {
        std::wstring text = ToDisplayText(m_sourceLanguage, reinterpret_cast<const char*>(entries[k]));
        if (!slotted)
            cache.push_back(std::move(text));
        else if (start + k < cache.size())
            cache[start + k] = std::move(text);
    }
    return true;
}

std::wstring CDictManager::ToDisplayText(unsigned language, const char* data) {
    std::wstring text;
    if (data == nullptr || *data == '\0')
        return text;
    const char* end = data + std::strlen(data);
    if (std::strchr(data, '%') == nullptr) {
        AppendConverted(language, data, end, text);
        return text;
    }
    const char* plainStart = data;
    const char* position = data;
    while (position < end && text.size() < kMaxTextLength) {
        if (*position != '%' || position + 1 >= end || !IsDigit(position[1])) {
            ++position;
            continue;
        }
        AppendConverted(language, plainStart, position, text);
        const char* space = std::find(position, end, ' ');
        if (space == end) {
            // No space after the digits: the "%" alone is dropped.
            plainStart = ++position;
            continue;
        }
        unsigned runLanguage = 0;
        for (const char* digit = position + 1; digit < space && IsDigit(*digit); ++digit)
            runLanguage = std::min(runLanguage * 10 + static_cast<unsigned>(*digit - '0'), 0xFFFFu);
        const char* closing = std::find(position + 2, end, '%');
        // A run without its closing "%" takes the rest of the text in its language.
        const char* runEnd = std::max(closing, space + 1);
        AppendConverted(runLanguage, space + 1, runEnd, text);
        position = closing == end ? end : closing + 1;
        plainStart = position;
    }
    AppendConverted(language, plainStart, position, text);
    return text;
}

bool CDictManager::ReadArticle(unsigned long index, std::list<sArticlePart>& parts) {
    parts.clear();
    std::lock_guard lock(m_engineLock);
    if (m_handle == nullptr)
        return false;
    // The article stays in the engine's block cache only until the next engine call: read it whole
    // under the lock.
    const unsigned char* article = m_engine.GetArticle(m_handle, index);
    if (article == nullptr)
        return false;
    std::uint32_t direction = m_engine.GetDirection(m_handle);
    return lexory::ReadArticleParts(article, direction & 0xFFFF, direction >> 16, ToDisplayText, parts);
}

std::wstring CDictManager::GetPartOfSpeechName(int code) {
    wchar_t text[kMaxTextLength + 1] = {};
    int length = LoadStringW(GetModuleHandleW(nullptr), lexory::PartOfSpeechStringId(code), text,
                             static_cast<int>(std::size(text)));
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::uint32_t CDictManager::CurrentDirectionKey() {
    return GetDirectionCode(GetCurrentDirection());
}

bool CDictManager::GetHistory(std::vector<unsigned long>& list) {
    return lexory::ReadIndexList(ListFile(lexory::kHistoryFileName), CurrentDirectionKey(), list);
}

bool CDictManager::GetBookmarks(std::vector<unsigned long>& list) {
    return lexory::ReadIndexList(ListFile(lexory::kBookmarkFileName), CurrentDirectionKey(), list);
}

// A list entry names a headword of the open dictionary: with none open (an opening that failed) the
// rows on show are another dictionary's, and nothing is recorded.
bool CDictManager::AddToHistory(unsigned long index) {
    if (!IsDictionaryOpen())
        return false;
    return lexory::AddIndexToList(ListFile(lexory::kHistoryFileName), CurrentDirectionKey(), index,
                                  lexory::kHistoryLimit);
}

bool CDictManager::AddBookmark(unsigned long index) {
    if (!IsDictionaryOpen())
        return false;
    return lexory::AddIndexToList(ListFile(lexory::kBookmarkFileName), CurrentDirectionKey(), index, lexory::kNoLimit);
}

bool CDictManager::RemoveFromHistory(unsigned long index) {
    return lexory::RemoveIndexFromList(ListFile(lexory::kHistoryFileName), CurrentDirectionKey(), index);
}

bool CDictManager::RemoveBookmark(unsigned long index) {
    return lexory::RemoveIndexFromList(ListFile(lexory::kBookmarkFileName), CurrentDirectionKey(), index);
}
