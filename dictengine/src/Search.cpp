// The incremental lookup (FindWord) and the fetching of headwords by number (GetIndex,
// GetSingleIndex) with their display and key texts.
#include "Compare.h"
#include "Engine.h"

#include <cstdlib>
#include <cstring>

using namespace dengine;

namespace {

bool IsAsciiLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Leading bytes below 0x80 that are neither letters nor digits are not part of the word.
const char* SkipLeadingPunctuation(const char* text) {
    while (*text != 0 && static_cast<unsigned char>(*text) < 0x80 && !IsAsciiLetterOrDigit(*text))
        ++text;
    return text;
}

const char* BlockKey(const sDictData& record, unsigned block) {
    return KeyOf(reinterpret_cast<const char*>(record.Header().data() + record.keyOffsets[block]));
}

// The block whose key range holds the text: the block of the first key equal to it, else the block
// before the first key greater than it, else the last block. Block keys are sorted, so the first key
// at or after the text is found by halving.
unsigned ChooseBlock(const sDictData& record, const Weights& weights, const char* text) {
    unsigned low = 0, high = static_cast<unsigned>(record.blocks.size());
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        if (FullCompare(weights, BlockKey(record, middle), text) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == record.blocks.size())
        return low - 1;
    if (FullCompare(weights, BlockKey(record, low), text) == 0 || low == 0)
        return low;
    return low - 1;
}

} // namespace

namespace DEngine {

int FindWord(__DictHandle* handle, const char* text, unsigned long* index, int* exact) {
    sDictData* record = OpenRecordOf(handle);
    if (record == nullptr || text == nullptr || index == nullptr)
        return 0;
    if (exact != nullptr)
        *exact = 0;
    unsigned language = record->SourceLanguage();
    // The lookup makes the dictionary's order table current, as TableStrCompare's callers expect.
    LoadCompareTable(static_cast<unsigned short>(language));
    Weights weights = CurrentWeights(language);
    // The word as typed without leading punctuation, and the key it is looked up under (French
    // reflexives without their pronoun). Both are compared over the word's length.
    const char* word = SkipLeadingPunctuation(text);
    const char* searchKey = language == kLangFrench ? WithoutFrenchReflexive(word) : word;
    *index = 0;
    std::uint32_t total = record->HeadwordCount();
    if (record->blocks.empty())
        return 1;

    unsigned block = ChooseBlock(*record, weights, searchKey);
    FreeBlocksOutside(*record, block, block);
    if (!LoadBlock(*record, block))
        return 0;
    const sBlockInfo& info = record->blocks[block];
    std::size_t wordLength = std::strlen(word);

    // Entries whose key sorts before the text under the first pass are walked past whatever the
    // rest says; entries are sorted, so they are found by halving. From there the walk goes entry
    // by entry: past keys that begin with the text while their display text does not ("to be" when
    // "be" was typed), and it stops at the first other entry.
    unsigned low = 0, high = info.count;
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        if (FirstPassCountedCompare(weights, KeyOf(EntryText(*record, block, middle)), searchKey, wordLength) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    unsigned position = low;
    for (; position < info.count; ++position) {
        const char* entry = EntryText(*record, block, position);
        const char* key = KeyOf(entry);
        int keyOrder = CountedCompare(weights, key, searchKey, wordLength);
        if (keyOrder < 0)
            continue;
        if (keyOrder == 0 && CountedCompare(weights, DisplayOf(entry), word, wordLength) != 0)
            continue;
        if (keyOrder > 0 && FirstPassCountedCompare(weights, key, word, wordLength) > 0)
            break; // stops here without a hit
        if (exact != nullptr)
            *exact = FullCompare(weights, key, word) == 0 ? 1 : 0;
        break;
    }
    std::uint64_t found = std::uint64_t(record->blockStarts[block]) + position;
    if (found >= total) {
        // Past the last headword: the nearest is the last one, which the text did not hit.
        found = total == 0 ? 0 : total - 1;
        if (exact != nullptr)
            *exact = 0;
    }
    *index = static_cast<unsigned long>(found);
    return 1;
}

int GetIndex(__DictHandle* handle, unsigned long first, unsigned short count, const unsigned char** entries) {
    sDictData* record = OpenRecordOf(handle);
    if (record == nullptr || entries == nullptr || first > 0xFFFFFFFFul)
        return 0;
    unsigned firstBlock = 0, position = 0, lastBlock = 0, lastPosition = 0;
    if (!LocateHeadword(*record, static_cast<std::uint32_t>(first), &firstBlock, &position))
        return 0;
    lastBlock = firstBlock;
    if (count > 1 && !LocateHeadword(*record, static_cast<std::uint32_t>(first + count - 1), &lastBlock, &lastPosition))
        return 0;
    FreeBlocksOutside(*record, firstBlock, lastBlock);
    if (!LoadBlock(*record, firstBlock))
        return 0;
    unsigned block = firstBlock;
    for (unsigned short j = 0; j < count; ++j) {
        while (position >= record->blocks[block].count) {
            if (block + 1 >= record->blocks.size())
                return 0;
            ++block;
            position = 0;
            if (!LoadBlock(*record, block))
                return 0;
        }
        entries[j] = reinterpret_cast<const unsigned char*>(EntryText(*record, block, position++));
    }
    return 1;
}

const unsigned char* GetSingleIndex(__DictHandle* handle, unsigned long index) {
    sDictData* record = OpenRecordOf(handle);
    unsigned block = 0, position = 0;
    if (record == nullptr || index > 0xFFFFFFFFul ||
        !LocateHeadword(*record, static_cast<std::uint32_t>(index), &block, &position) || !LoadBlock(*record, block))
        return nullptr;
    return reinterpret_cast<const unsigned char*>(EntryText(*record, block, position));
}

int IndexDataToDisplayData(unsigned short count, const unsigned char** entries) {
    for (unsigned short i = 0; entries != nullptr && i < count; ++i)
        entries[i] = reinterpret_cast<const unsigned char*>(IndexDataToDisplayData(entries[i]));
    return 1;
}

const char* IndexDataToDisplayData(const unsigned char* entry) {
    if (entry == nullptr)
        return nullptr;
    return DisplayOf(reinterpret_cast<const char*>(entry));
}

int IndexDataToKeyData(unsigned short count, const unsigned char** entries) {
    for (unsigned short i = 0; entries != nullptr && i < count; ++i)
        entries[i] = reinterpret_cast<const unsigned char*>(IndexDataToKeyData(entries[i]));
    return 1;
}

const char* IndexDataToKeyData(const unsigned char* entry) {
    if (entry == nullptr)
        return nullptr;
    // n bytes further for a control byte n: one before the key that FindWord compares. Stops at the
    // entry's end for an entry shorter than its control byte says.
    const unsigned char* p = entry;
    if (entry[0] < 0x20)
        for (unsigned i = 0; i < entry[0] && *p != 0; ++i)
            ++p;
    return reinterpret_cast<const char*>(p);
}

void FreePtr(void* p) {
    std::free(p);
}

} // namespace DEngine
