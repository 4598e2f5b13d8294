// User dictionaries (type 4): making their files, and adding, replacing and deleting articles. A
// change is prepared in memory, written to the transacted storage and committed once; any failure on
// the way reverts the storage, so the file keeps its state from before the change and the engine's
// records keep theirs.
#include "Compare.h"
#include "Engine.h"
#include "InfoStream.h"
#include "UserFiles.h"
#include "dictengine/BlockStream.h"
#include "dictengine/DictFormat.h"

#include "base/CodePage.h"
#include "base/FileSystem.h"

#include <cstring>

using namespace dengine;

namespace {

constexpr std::size_t kMaxArticleBlock = 64000;
constexpr unsigned long kAddFailed = 0xFFFFFFFF;

// The bytes of one block as a change sees them: read fresh from the file, not from the caches.
struct BlockBytes {
    std::uint16_t count = 0;
    std::vector<std::uint8_t> data;
};

// The block as the file holds it, which must be what the opening counted: a change never writes
// back a count it could not check.
bool ReadIndexBlock(const sDictData& record, unsigned block, BlockBytes* bytes) {
    std::vector<std::uint8_t> stream;
    std::unique_ptr<std::uint8_t[]> data;
    std::uint16_t size = 0;
    std::vector<std::uint16_t> offsets;
    if (block >= record.blocks.size() ||
        !ReadWholeStream(*record.storage, BlockStreamName(block, kIndexBlockStream), &stream) ||
        !DecodeCountedIndexBlock(stream, record.blocks[block].count, &data, &size, &offsets))
        return false;
    bytes->count = record.blocks[block].count;
    bytes->data.assign(data.get(), data.get() + size);
    return true;
}

bool ReadArticles(cfb::Storage& storage, unsigned block, std::vector<std::uint8_t>* data) {
    std::vector<std::uint8_t> stream;
    return ReadWholeStream(storage, BlockStreamName(block, kArticleBlockStream), &stream) &&
           DecodeArticleBlock(stream, data);
}

// Offset of entry (or article) position inside a block of NUL-terminated entries (or containers);
// position may be the count, which gives the end. False when the block does not hold that many.
bool EntryOffset(const std::vector<std::uint8_t>& data, unsigned position, std::size_t* offset) {
    std::size_t at = 0;
    for (unsigned i = 0; i < position; ++i) {
        const void* nul = at < data.size() ? std::memchr(data.data() + at, 0, data.size() - at) : nullptr;
        if (nul == nullptr)
            return false;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data.data()) + 1;
    }
    *offset = at;
    return true;
}

bool ArticleOffset(const std::vector<std::uint8_t>& data, unsigned position, std::size_t* offset) {
    const std::uint8_t* begin = data.data();
    const std::uint8_t* end = begin + data.size();
    const std::uint8_t* at = begin;
    for (unsigned i = 0; i < position; ++i) {
        const std::uint8_t *tagsBegin = nullptr, *tagsEnd = nullptr;
        if (!ReadContainer(at, end, &tagsBegin, &tagsEnd))
            return false;
        at = tagsEnd;
    }
    *offset = static_cast<std::size_t>(at - begin);
    return true;
}

// True when the article block holds exactly one article for each of count index entries.
bool HoldsArticles(const std::vector<std::uint8_t>& data, unsigned count) {
    std::size_t end = 0;
    return ArticleOffset(data, count, &end) && end == data.size();
}

std::size_t ArticleSize(const std::uint8_t* article) {
    return std::size_t(ReadBigEndian16(article)) + 2;
}

// One change of a user dictionary: the new header and block counts wait here until the storage has
// taken every stream and committed; a change that is dropped reverts the storage.
class UserChange {
public:
    explicit UserChange(sDictData& record) : m_record(record), m_header(record.Header()) {}
    ~UserChange() {
        if (!m_committed && m_record.storage)
            m_record.storage->Revert();
        // Whatever was cached may predate the change or belong to a dropped one.
        m_record.DropArticleBlock();
        FreeAllBlocks(m_record);
    }
    UserChange(const UserChange&) = delete;
    UserChange& operator=(const UserChange&) = delete;

    std::vector<std::uint8_t>& Header() { return m_header; }

    // Replaces block key i by the entry (its bytes up to the NUL).
    bool SetBlockKey(unsigned block, const char* entry) {
        HeaderLayout layout;
        if (!ParseHeader(m_header.data(), m_header.size(), &layout) || block >= layout.keyOffsets.size())
            return false;
        std::size_t begin = layout.keyOffsets[block];
        std::size_t end = begin + std::strlen(reinterpret_cast<const char*>(m_header.data() + begin));
        m_header.erase(m_header.begin() + begin, m_header.begin() + end);
        m_header.insert(m_header.begin() + begin, entry, entry + std::strlen(entry));
        return true;
    }

    // New headword count, and the entry count of block i in the block-count table when there is one.
    bool SetCounts(std::uint32_t headwords, unsigned block, std::uint16_t blockCount) {
        WriteBigEndian32(m_header.data() + kHeaderHeadwordCount, headwords);
        HeaderLayout layout;
        if (!ParseHeader(m_header.data(), m_header.size(), &layout))
            return false;
        TagView table;
        if (FindTopLevelTag(m_header.data() + layout.trailerTagsBegin, m_header.data() + layout.trailerTagsEnd,
                            kTagBlockCountTable, table) &&
            table.length >= std::size_t(layout.blockCount) * kBlockCountEntrySize) {
            // The opening trusts this table over the block streams, so it must follow them.
            auto* entry = const_cast<std::uint8_t*>(table.data) + std::size_t(block) * kBlockCountEntrySize;
            WriteBlockCountEntry(entry, blockCount);
        }
        m_block = block;
        m_blockCount = blockCount;
        return true;
    }

    bool WriteIndex(unsigned block, const BlockBytes& bytes) {
        std::vector<std::uint8_t> stream;
        return EncodeIndexBlock(bytes.count, bytes.data, &stream) &&
               WriteUserStream(*m_record.storage, BlockStreamName(block, kIndexBlockStream), stream);
    }
    bool WriteArticles(unsigned block, const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> stream;
        return EncodeArticleBlock(data, &stream) &&
               WriteUserStream(*m_record.storage, BlockStreamName(block, kArticleBlockStream), stream);
    }
    bool WriteInformation() {
        std::vector<std::uint8_t> stream(m_record.name, m_record.name + kNameSize);
        stream.insert(stream.end(), m_header.begin(), m_header.end());
        return WriteUserStream(*m_record.storage, kInformationStreamName, stream);
    }

    // Commits the storage and, once the file holds the change, takes it into the record.
    bool Commit() {
        if (!CommitUserStorage(*m_record.storage))
            return false;
        m_committed = true;
        HeaderLayout layout;
        m_record.SetHeader(std::move(m_header));
        ParseHeader(m_record.Header().data(), m_record.Header().size(), &layout);
        m_record.keyOffsets = std::move(layout.keyOffsets);
        m_record.abbreviations = m_record.Header().data() + layout.trailerOffset;
        if (m_block < m_record.blocks.size()) {
            m_record.blocks[m_block].count = m_blockCount;
            std::uint32_t start = 0;
            for (std::size_t i = 0; i < m_record.blocks.size(); ++i) {
                m_record.blockStarts[i] = start;
                start += m_record.blocks[i].count;
            }
        }
        return true;
    }

private:
    sDictData& m_record;
    std::vector<std::uint8_t> m_header;
    unsigned m_block = 0xFFFFFFFF;
    std::uint16_t m_blockCount = 0;
    bool m_committed = false;
};

sDictData* OpenUserRecord(__DictHandle* handle) {
    sDictData* record = OpenRecordOf(handle);
    return record != nullptr && record->Type() == DEngine::kUserDictionaryType ? record : nullptr;
}

// Where a new headword goes: by the full key order the index is sorted by, before the first
// headword whose key sorts after the new key, and right after the first headword whose key equals
// it. (The lookup's own walk skips leading punctuation, French reflexives and prefixed entries, so
// its answer is no place to insert at.) The block is the last non-empty one whose key sorts at or
// before the new key, or block 0.
bool InsertionPoint(sDictData& record, const char* entry, unsigned* block, unsigned* position) {
    if (record.blocks.empty())
        return false;
    LanguageWeights language(record.SourceLanguage());
    Weights weights = language.Get();
    const char* key = KeyOf(entry);
    unsigned chosen = 0;
    for (unsigned i = 1; i < record.blocks.size(); ++i) {
        const char* blockKey = KeyOf(reinterpret_cast<const char*>(record.Header().data() + record.keyOffsets[i]));
        if (record.blocks[i].count > 0 && FullCompare(weights, blockKey, key) <= 0)
            chosen = i;
    }
    FreeBlocksOutside(record, chosen, chosen);
    if (!LoadBlock(record, chosen))
        return false;
    unsigned low = 0, high = record.blocks[chosen].count;
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        if (FullCompare(weights, KeyOf(EntryText(record, chosen, middle)), key) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < record.blocks[chosen].count && FullCompare(weights, KeyOf(EntryText(record, chosen, low)), key) == 0)
        ++low;
    *block = chosen;
    *position = low;
    return true;
}

} // namespace

namespace DEngine {

unsigned long AddArticle(__DictHandle* handle, const unsigned char* entry, const unsigned char* article) {
    sDictData* record = OpenUserRecord(handle);
    if (record == nullptr || entry == nullptr || article == nullptr)
        return kAddFailed;
    const char* text = reinterpret_cast<const char*>(entry);
    std::size_t entrySize = std::strlen(text) + 1;
    unsigned block = 0, position = 0;
    if (!InsertionPoint(*record, text, &block, &position))
        return kAddFailed;

    UserChange change(*record);
    std::vector<std::uint8_t> articles;
    BlockBytes index;
    std::size_t articleAt = 0, entryAt = 0;
    if (!ReadArticles(*record->storage, block, &articles) || !HoldsArticles(articles, record->blocks[block].count) ||
        articles.size() + ArticleSize(article) > kMaxArticleBlock || !ArticleOffset(articles, position, &articleAt))
        return kAddFailed;
    if (!ReadIndexBlock(*record, block, &index) || index.count == 0xFFFF ||
        index.data.size() + entrySize > kMaxBlockSize || !EntryOffset(index.data, position, &entryAt))
        return kAddFailed;
    articles.insert(articles.begin() + articleAt, article, article + ArticleSize(article));
    index.data.insert(index.data.begin() + entryAt, entry, entry + entrySize);
    ++index.count;
    if (position == 0 && !change.SetBlockKey(block, text))
        return kAddFailed;
    if (!change.SetCounts(record->HeadwordCount() + 1, block, index.count))
        return kAddFailed;
    if (!change.WriteArticles(block, articles) || !change.WriteIndex(block, index) || !change.WriteInformation() ||
        !change.Commit())
        return kAddFailed;
    return record->blockStarts[block] + position;
}

int SetArticle(__DictHandle* handle, unsigned long index, const unsigned char* article) {
    sDictData* record = OpenUserRecord(handle);
    unsigned block = 0, position = 0;
    if (record == nullptr || article == nullptr || index > 0xFFFFFFFFul ||
        !LocateHeadword(*record, static_cast<std::uint32_t>(index), &block, &position))
        return 0;
    UserChange change(*record);
    std::vector<std::uint8_t> articles;
    std::size_t begin = 0, end = 0;
    // The room is checked before the old article leaves, as a full block refuses any replacement.
    if (!ReadArticles(*record->storage, block, &articles) || !HoldsArticles(articles, record->blocks[block].count) ||
        articles.size() + ArticleSize(article) > kMaxArticleBlock || !ArticleOffset(articles, position, &begin) ||
        !ArticleOffset(articles, position + 1, &end))
        return 0;
    articles.erase(articles.begin() + begin, articles.begin() + end);
    articles.insert(articles.begin() + begin, article, article + ArticleSize(article));
    if (!change.WriteArticles(block, articles) || !change.Commit())
        return 0;
    return 1;
}

int DeleteArticle(__DictHandle* handle, unsigned long index) {
    sDictData* record = OpenUserRecord(handle);
    unsigned block = 0, position = 0;
    if (record == nullptr || index > 0xFFFFFFFFul ||
        !LocateHeadword(*record, static_cast<std::uint32_t>(index), &block, &position))
        return 0;
    UserChange change(*record);
    std::vector<std::uint8_t> articles;
    BlockBytes entries;
    std::size_t articleBegin = 0, articleEnd = 0, entryBegin = 0, entryEnd = 0;
    if (!ReadArticles(*record->storage, block, &articles) || !HoldsArticles(articles, record->blocks[block].count) ||
        !ArticleOffset(articles, position, &articleBegin) || !ArticleOffset(articles, position + 1, &articleEnd))
        return 0;
    if (!ReadIndexBlock(*record, block, &entries) || entries.count == 0 ||
        !EntryOffset(entries.data, position, &entryBegin) || !EntryOffset(entries.data, position + 1, &entryEnd))
        return 0;
    articles.erase(articles.begin() + articleBegin, articles.begin() + articleEnd);
    entries.data.erase(entries.data.begin() + entryBegin, entries.data.begin() + entryEnd);
    --entries.count;
    if (entries.count == 0)
        entries.data.clear();
    // The block key follows the first entry; a block left empty has an empty key.
    if (position == 0) {
        const char* first = entries.count > 0 ? reinterpret_cast<const char*>(entries.data.data()) : "";
        if (!change.SetBlockKey(block, first))
            return 0;
    }
    if (!change.SetCounts(record->HeadwordCount() - 1, block, entries.count))
        return 0;
    if (!change.WriteArticles(block, articles) || !change.WriteIndex(block, entries))
        return 0;
    if (!change.WriteInformation() || !change.Commit())
        return -1; // the information stream could not take the new count
    return 1;
}

} // namespace DEngine
