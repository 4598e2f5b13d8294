// The pattern search: every headword whose display text matches a pattern with "?" and "*" (or
// begins with a pattern that has none), skipping the blocks whose key range cannot hold the
// pattern's fixed prefix, with progress and cancel every 100 headwords.
#include "Compare.h"
#include "Engine.h"

#include <cstdlib>
#include <cstring>

using namespace dengine;

namespace {

constexpr unsigned long kResultLimit = 16756320; // 0xFFAE60, both results and bytes of entries
constexpr std::size_t kMaxPatternLength = 255;

std::size_t FixedPrefixLength(const char* text) {
    return std::strcspn(text, "?*");
}

// Results grow geometrically; the caller frees both arrays with FreePtr (free). Entry bytes are
// added in runs: matching entries that lie one after another in a block are copied in one piece.
class ResultArrays {
public:
    ResultArrays(bool wantIndexes, bool wantEntries) : m_wantIndexes(wantIndexes), m_wantEntries(wantEntries) {}
    ~ResultArrays() {
        std::free(m_indexes);
        std::free(m_entries);
    }
    // Bytes of every entry taken so far, those still waiting in the current run included.
    std::size_t EntryBytes() const { return m_entryBytes + m_runLength; }

    bool Append(unsigned long number, const char* entry, std::size_t length) {
        if (m_wantIndexes) {
            if (m_count == m_indexCapacity &&
                !Grow(reinterpret_cast<void**>(&m_indexes), &m_indexCapacity, sizeof(unsigned long), m_count + 1))
                return false;
            m_indexes[m_count] = number;
        }
        ++m_count;
        if (m_runLength > 0 && entry != m_run + m_runLength && !EndRun())
            return false;
        if (m_runLength == 0)
            m_run = entry;
        m_runLength += length + 1;
        return true;
    }

    // Copies the waiting run of entries; called before the block it points into is freed.
    bool EndRun() {
        if (m_runLength == 0)
            return true;
        if (m_wantEntries) {
            if (m_entryBytes + m_runLength > m_entryCapacity &&
                !Grow(reinterpret_cast<void**>(&m_entries), &m_entryCapacity, 1, m_entryBytes + m_runLength))
                return false;
            std::memcpy(m_entries + m_entryBytes, m_run, m_runLength);
        }
        m_entryBytes += m_runLength;
        m_runLength = 0;
        return true;
    }

    // Hands the arrays to the caller.
    void Release(unsigned long** indexes, unsigned char** entries) {
        if (indexes != nullptr)
            *indexes = m_indexes;
        if (entries != nullptr)
            *entries = m_entries;
        m_indexes = nullptr;
        m_entries = nullptr;
    }

private:
    static bool Grow(void** array, std::size_t* capacity, std::size_t unit, std::size_t needed) {
        std::size_t larger = *capacity < 64 ? 64 : *capacity * 2;
        while (larger < needed)
            larger *= 2;
        void* grown = std::realloc(*array, larger * unit);
        if (grown == nullptr)
            return false;
        *array = grown;
        *capacity = larger;
        return true;
    }

    bool m_wantIndexes;
    bool m_wantEntries;
    unsigned long* m_indexes = nullptr;
    unsigned char* m_entries = nullptr;
    std::size_t m_indexCapacity = 0;
    std::size_t m_entryCapacity = 0;
    std::size_t m_entryBytes = 0;
    std::size_t m_count = 0;
    const char* m_run = nullptr;
    std::size_t m_runLength = 0;
};

// The text that chooses the blocks: the pattern's fixed prefix folded to base letters, without a
// French reflexive pronoun, so that it compares as a key does.
class Navigation {
public:
    Navigation(const char* pattern, const Weights& weights, unsigned language) {
        std::size_t length = std::strlen(pattern);
        for (std::size_t i = 0; i <= length; ++i) {
            auto c = static_cast<unsigned char>(pattern[i]);
            m_text[i] = static_cast<char>(weights.fold != nullptr && c != 0 ? weights.fold[c] : c);
        }
        m_key = language == DEngine::kLangFrench ? WithoutFrenchReflexive(m_text) : m_text;
        m_length = FixedPrefixLength(m_key);
    }
    const char* Key() const { return m_key; }
    std::size_t Length() const { return m_length; }

private:
    char m_text[kMaxPatternLength + 1];
    const char* m_key;
    std::size_t m_length;
};

enum class BlockPlace { BeforePattern, MayHoldPattern, AfterPattern };

// Where block g lies against the navigation text. Blocks are ordered by key, and the navigation text
// is a key: a block key whose display text differs ("s'en mordre" under "en mordre") is compared by
// its key, or the walk would stop before the blocks that follow it.
BlockPlace PlaceOfBlock(const sDictData& record, const Weights& weights, unsigned g, const Navigation& navigation) {
    const char* key = KeyOf(reinterpret_cast<const char*>(record.Header().data() + record.keyOffsets[g]));
    if (FirstPassCountedCompare(weights, key, navigation.Key(), navigation.Length()) > 0)
        return BlockPlace::AfterPattern; // every later block starts after the pattern too
    if (g + 1 < record.blocks.size()) {
        const char* next = KeyOf(reinterpret_cast<const char*>(record.Header().data() + record.keyOffsets[g + 1]));
        if (CountedCompare(weights, next, navigation.Key(), navigation.Length()) < 0)
            return BlockPlace::BeforePattern; // the whole block lies before the pattern
    }
    return BlockPlace::MayHoldPattern;
}

// One search's pattern and its running counts, across the blocks it reads.
struct SearchRun {
    const char* pattern;
    std::size_t fixedLength; // of the pattern's prefix without wildcards
    bool hasWildcards;
    Weights weights;
    int (*progress)(unsigned long total, unsigned long current, unsigned short found);
    std::uint32_t total;      // headwords of the dictionary, for progress
    unsigned long number = 0; // headword number of the next entry
    unsigned long found = 0;  // matches so far
    bool complete = true;     // false once the result limit cut the search
};

enum class BlockScan { Continue, Stop, OutOfMemory };

// Matches the entries of loaded block g into results: Stop when the caller cancelled or the results
// are full, OutOfMemory when they cannot grow.
BlockScan ScanBlock(const sDictData& record, unsigned g, SearchRun& run, ResultArrays& results) {
    const sBlockInfo& info = record.blocks[g];
    const char* data = reinterpret_cast<const char*>(info.data.get());
    for (unsigned j = 0; j < info.count; ++j, ++run.number) {
        if (run.progress != nullptr && run.number % 100 == 0 &&
            run.progress(run.total, run.number, static_cast<unsigned short>(run.found)) == 0)
            return BlockScan::Stop; // cancelled: what was found so far is the answer
        const char* entry = data + info.entryOffsets[j];
        const char* display = DisplayOf(entry);
        bool match = run.hasWildcards ? WildcardMatch(run.weights.order, run.pattern, display)
                                      : CountedCompare(run.weights, run.pattern, display, run.fixedLength) == 0;
        if (!match)
            continue;
        // An entry ends at the NUL just before the next one starts.
        std::size_t entryLength =
            j + 1 < info.count ? info.entryOffsets[j + 1] - 1u - info.entryOffsets[j] : std::strlen(entry);
        if (results.EntryBytes() + entryLength + 1 > kResultLimit) {
            run.complete = g + 1 == record.blocks.size();
            return BlockScan::Stop;
        }
        if (!results.Append(run.number, entry, entryLength))
            return BlockScan::OutOfMemory;
        ++run.found;
    }
    return BlockScan::Continue;
}

} // namespace

namespace DEngine {

int PerformSearch(__DictHandle* handle, const char* pattern, unsigned long* count, unsigned long** indexes,
                  unsigned char** entries,
                  int (*progress)(unsigned long total, unsigned long current, unsigned short found)) {
    if (count != nullptr)
        *count = 0;
    if (indexes != nullptr)
        *indexes = nullptr;
    if (entries != nullptr)
        *entries = nullptr;
    sDictData* record = OpenRecordOf(handle);
    if (record == nullptr || count == nullptr || pattern == nullptr || std::strlen(pattern) > kMaxPatternLength)
        return 0;
    unsigned language = record->SourceLanguage();
    // The search makes the dictionary's order table current, as TableStrCompare's callers expect.
    LoadCompareTable(static_cast<unsigned short>(language));
    SearchRun run{pattern,  FixedPrefixLength(pattern), false, CurrentWeights(language),
                  progress, record->HeadwordCount()};
    run.hasWildcards = pattern[run.fixedLength] != 0;
    *count = kResultLimit;
    Navigation navigation(pattern, run.weights, language);

    ResultArrays results(indexes != nullptr, entries != nullptr);
    unsigned blockCount = static_cast<unsigned>(record->blocks.size());
    for (unsigned g = 0; g < blockCount; ++g) {
        if (run.found >= kResultLimit) {
            run.complete = false;
            break;
        }
        BlockPlace place = PlaceOfBlock(*record, run.weights, g, navigation);
        if (place == BlockPlace::AfterPattern)
            break;
        if (place == BlockPlace::BeforePattern) {
            run.number += record->blocks[g].count;
            continue;
        }
        FreeBlocksOutside(*record, g, g);
        if (!LoadBlock(*record, g)) {
            *count = 0; // a block that cannot be read fails the search; nothing is handed out
            return 0;
        }
        BlockScan scan = ScanBlock(*record, g, run, results);
        if (scan == BlockScan::OutOfMemory || !results.EndRun()) {
            *count = 0; // out of memory: nothing is handed out
            return 0;
        }
        if (scan == BlockScan::Stop)
            break;
    }
    results.Release(indexes, entries);
    *count = run.found;
    return run.complete ? 1 : 0;
}

} // namespace DEngine
