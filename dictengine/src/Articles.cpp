// Articles of an open dictionary: the one cached article block per dictionary, and the read-only
// walkers over article bytes (tags, source parts, translations) with the expansion of abbreviation
// references from the header's trailer container. Every walk is bounded twice: by the length of the
// container it was given, and, for engine memory, by the end of the buffer the container lies in.
#include "Engine.h"
#include "dictengine/BlockStream.h"
#include "dictengine/DictFormat.h"

#include <cstring>

using namespace dengine;

namespace {

// What Unabbreviate gives for a reference it cannot expand: an empty text of one NUL byte.
constexpr std::uint8_t kUnabbreviatedFallback[2] = {0x01, 0x00};

bool Inside(const std::uint8_t* p, const std::uint8_t* begin, std::size_t size) {
    auto value = reinterpret_cast<std::uintptr_t>(p);
    auto first = reinterpret_cast<std::uintptr_t>(begin);
    return value >= first && value - first < size;
}

// The top-level tags of a container. In engine memory the container must fit in its buffer; in a
// caller's buffer its own length is all there is to go by.
bool ContainerTags(const std::uint8_t* container, const std::uint8_t** begin, const std::uint8_t** end) {
    if (container == nullptr)
        return false;
    const std::uint8_t* bufferEnd = EngineBufferEnd(container);
    if (bufferEnd == nullptr)
        bufferEnd = container + 2 + ReadBigEndian16(container);
    return ReadContainer(container, bufferEnd, begin, end);
}

// The tag at or after from, in [from, end), whose tag byte is tag; null when none.
const std::uint8_t* FindFrom(const std::uint8_t* from, const std::uint8_t* end, std::uint8_t tag) {
    TagWalker walker(from, end);
    TagView current;
    while (walker.Next(current)) {
        if (current.tag == tag)
            return current.Begin();
    }
    return nullptr;
}

// The i-th top-level tag with the tag byte, counting from 0; null when there are fewer.
const std::uint8_t* NthTag(const std::uint8_t* container, std::uint8_t tag, unsigned i) {
    const std::uint8_t *begin = nullptr, *end = nullptr;
    if (!ContainerTags(container, &begin, &end))
        return nullptr;
    TagWalker walker(begin, end);
    TagView current;
    while (walker.Next(current)) {
        if (current.tag == tag && i-- == 0)
            return current.Begin();
    }
    return nullptr;
}

unsigned CountTags(const std::uint8_t* container, std::uint8_t tag) {
    const std::uint8_t *begin = nullptr, *end = nullptr;
    if (!ContainerTags(container, &begin, &end))
        return 0;
    TagWalker walker(begin, end);
    TagView current;
    unsigned count = 0;
    while (walker.Next(current))
        count += current.tag == tag ? 1 : 0;
    return count;
}

// Containers nested deeper than this are taken as empty, so that damaged bytes cannot make the parse
// recurse without end.
constexpr unsigned kMaxNesting = 64;

// Appends the tags of [begin, end) to sequence; false when memory runs out.
bool ParseSequence(const std::uint8_t* begin, const std::uint8_t* end, DEngine::sTagStructure& sequence,
                   unsigned depth) {
    TagWalker walker(begin, end);
    TagView tag;
    while (walker.Next(tag)) {
        DEngine::sTagEntry* entry = sequence.AddEntry(tag.tag);
        if (entry == nullptr)
            return false;
        entry->length = static_cast<unsigned short>(tag.length);
        if (!tag.IsContainer()) {
            entry->length = 0;
            entry->SetData(const_cast<std::uint8_t*>(tag.data), static_cast<unsigned short>(tag.length));
            if (entry->length != tag.length)
                return false;
        } else if (depth < kMaxNesting && !ParseSequence(tag.data, tag.data + tag.length, entry->children, depth + 1)) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace dengine {

const std::uint8_t* EngineBufferEnd(const std::uint8_t* p) {
    return Engine().buffers.EndOf(p);
}

bool LoadArticleBlock(sDictData& record, unsigned block) {
    if (record.articleBlock == block && record.ArticleData() != nullptr)
        return true;
    record.DropArticleBlock();
    std::vector<std::uint8_t> stream, data;
    if (!ReadWholeStream(*record.storage, BlockStreamName(block, kArticleBlockStream), &stream) ||
        !DecodeArticleBlock(stream, &data))
        return false;
    ++Engine().articleBlockReads;
    // A buffer of at least one byte, so that an empty block is cached like any other.
    auto copy = std::make_unique<std::uint8_t[]>(data.empty() ? 1 : data.size());
    if (!data.empty())
        std::memcpy(copy.get(), data.data(), data.size());
    record.SetArticleBlock(block, std::move(copy), static_cast<std::uint16_t>(data.size()));
    return true;
}

} // namespace dengine

namespace DEngine {

const unsigned char* GetArticle(__DictHandle* handle, unsigned long index) {
    sDictData* record = OpenRecordOf(handle);
    unsigned block = 0, position = 0;
    if (record == nullptr || index > 0xFFFFFFFFul ||
        !LocateHeadword(*record, static_cast<std::uint32_t>(index), &block, &position) ||
        !LoadArticleBlock(*record, block))
        return nullptr;
    // Step over the articles before this one; an article that runs past the block ends the walk.
    const std::uint8_t* article = record->ArticleData();
    const std::uint8_t* end = article + record->articleBlockSize;
    for (unsigned j = 0;; ++j) {
        const std::uint8_t *tagsBegin = nullptr, *tagsEnd = nullptr;
        if (!ReadContainer(article, end, &tagsBegin, &tagsEnd))
            return nullptr;
        if (j == position)
            return article;
        article = tagsEnd;
    }
}

const unsigned char* FindTag(const unsigned char* container, unsigned char tag) {
    const std::uint8_t *begin = nullptr, *end = nullptr;
    if (!ContainerTags(container, &begin, &end))
        return nullptr;
    return FindFrom(begin, end, tag);
}

const unsigned char* FindNextTag(const unsigned char* container, const unsigned char* current) {
    const std::uint8_t *begin = nullptr, *end = nullptr;
    if (current == nullptr || !ContainerTags(container, &begin, &end) ||
        !Inside(current, begin, static_cast<std::size_t>(end - begin)))
        return nullptr;
    TagWalker walker(current, end);
    TagView skipped;
    if (!walker.Next(skipped))
        return nullptr;
    const std::uint8_t* after = skipped.data + skipped.length;
    return FindFrom(after, end, *current);
}

unsigned short GetSrcPartCount(const unsigned char* article) {
    unsigned count = CountTags(article, kTagSourcePart);
    return static_cast<unsigned short>(count == 0 ? 1 : count);
}

const unsigned char* GetSrcPart(const unsigned char* article, unsigned short part) {
    if (FindTag(article, kTagSourcePart) == nullptr)
        return part == 0 && article != nullptr ? article : nullptr;
    const std::uint8_t* tag = NthTag(article, kTagSourcePart, part);
    return tag != nullptr ? tag + 1 : nullptr;
}

unsigned short GetTranslationCount(const unsigned char* part) {
    return static_cast<unsigned short>(CountTags(part, kTagTranslation));
}

const unsigned char* GetTranslation(const unsigned char* part, unsigned short translation) {
    const std::uint8_t* tag = NthTag(part, kTagTranslation, translation);
    return tag != nullptr ? tag + 1 : nullptr;
}

const unsigned char* Unabbreviate(__DictHandle* handle, const unsigned char* leaf) {
    if (leaf == nullptr)
        return nullptr;
    // A reference is four bytes; in engine memory they must all lie inside the buffer.
    const std::uint8_t* bufferEnd = EngineBufferEnd(leaf);
    if (bufferEnd != nullptr && bufferEnd - leaf < 4)
        return leaf;
    if (leaf[1] != 2 || leaf[2] != 0)
        return leaf;
    sDictData* record = OpenRecordOf(handle);
    if (record == nullptr || record->abbreviations == nullptr)
        return kUnabbreviatedFallback;
    const std::uint8_t* headerEnd = record->Header().data() + record->Header().size();
    const std::uint8_t *trailerBegin = nullptr, *trailerEnd = nullptr;
    TagView table;
    if (!ReadContainer(record->abbreviations, headerEnd, &trailerBegin, &trailerEnd) ||
        !FindTopLevelTag(trailerBegin, trailerEnd, static_cast<std::uint8_t>(leaf[0] + kAbbreviationTableBase),
                         table) ||
        !table.IsContainer())
        return kUnabbreviatedFallback;
    TagView expansion;
    if (!FindTopLevelTag(table.data, table.data + table.length, leaf[3], expansion) || expansion.IsContainer())
        return kUnabbreviatedFallback;
    return expansion.data - 1; // the expansion's length byte
}

sArticle* ParseArticle(const unsigned char* article) {
    if (article == nullptr)
        return nullptr;
    sArticle* model = sArticle::New();
    if (model == nullptr)
        return nullptr;
    unsigned short parts = GetSrcPartCount(article);
    for (unsigned short i = 0; i < parts; ++i) {
        const std::uint8_t *begin = nullptr, *end = nullptr;
        sTagStructure* part = model->AddPart(0);
        if (part == nullptr) {
            model->Free();
            return nullptr;
        }
        // AddPart starts a part with a part-of-speech entry; the parsed part holds exactly its tags.
        part->Free();
        if (ContainerTags(GetSrcPart(article, i), &begin, &end) && !ParseSequence(begin, end, *part, 0)) {
            model->Free();
            return nullptr;
        }
    }
    return model;
}

} // namespace DEngine
