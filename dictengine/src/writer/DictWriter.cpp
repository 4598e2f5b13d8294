// Cutting entries into blocks and laying out the streams of a dictionary file.
#include "dictengine/DictWriter.h"
#include "dictengine/DictFormat.h"

#include "../Compare.h"
#include "../InfoStream.h"
#include "dictengine/BlockStream.h"

#include "base/FileSystem.h"

#include <algorithm>

#include "cfb/Storage.h"

namespace dengine {

namespace {

constexpr std::size_t kMaxControlByte = 31;

struct Block {
    std::vector<std::uint8_t> index;
    std::vector<std::uint8_t> articles;
    std::uint16_t count = 0;
    std::string key;
};

void Append(std::vector<std::uint8_t>& out, const std::string& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// The index entry of a headword: its display text, preceded by a control byte when the key is the
// display text without its first n bytes.
bool MakeIndexEntry(const WriterEntry& entry, std::string* indexEntry, std::string* error) {
    if (entry.display.empty() || entry.display.find('\0') != std::string::npos) {
        *error = "a headword is empty or holds a NUL byte";
        return false;
    }
    if (entry.key.empty() || entry.key == entry.display) {
        if (static_cast<unsigned char>(entry.display[0]) < 0x20) {
            *error = "the headword \"" + entry.display + "\" begins with a control byte";
            return false;
        }
        *indexEntry = entry.display;
        return true;
    }
    std::size_t skip = entry.display.size() - entry.key.size();
    if (entry.key.size() >= entry.display.size() || skip > kMaxControlByte ||
        entry.display.compare(skip, std::string::npos, entry.key) != 0) {
        *error = "the key \"" + entry.key + "\" is not the end of its headword \"" + entry.display + "\"";
        return false;
    }
    *indexEntry = std::string(1, static_cast<char>(skip)) + entry.display;
    return true;
}

bool CutBlocks(const DictionaryDescription& description, const std::vector<WriterEntry>& entries,
               std::vector<Block>* blocks, std::string* error) {
    blocks->assign(1, Block{});
    for (const WriterEntry& entry : entries) {
        std::string indexEntry;
        if (!MakeIndexEntry(entry, &indexEntry, error))
            return false;
        if (entry.article.size() < 2 || entry.article.size() > kMaxBlockSize ||
            ReadBigEndian16(reinterpret_cast<const std::uint8_t*>(entry.article.data())) != entry.article.size() - 2) {
            *error = "the article of \"" + entry.display + "\" is not a container of at most 65535 bytes";
            return false;
        }
        Block* block = &blocks->back();
        bool full = block->count > 0 &&
                    (block->index.size() >= description.targetIndexBlockBytes ||
                     block->index.size() + indexEntry.size() + 1 > kMaxBlockSize ||
                     block->articles.size() + entry.article.size() > kMaxBlockSize || block->count == 0xFFFF);
        if (full) {
            blocks->push_back(Block{});
            block = &blocks->back();
        }
        if (block->count == 0)
            block->key = indexEntry;
        Append(block->index, indexEntry);
        block->index.push_back(0);
        Append(block->articles, entry.article);
        ++block->count;
    }
    if (blocks->size() > 0xFFFF) {
        *error = "too many blocks";
        return false;
    }
    return true;
}

// The tags of the trailer container: the block-count table and the abbreviation tables.
bool BuildTrailer(const DictionaryDescription& description, const std::vector<Block>& blocks, std::string* tags,
                  std::string* error) {
    tags->clear();
    if (description.writeCountTable) {
        std::string table(blocks.size() * kBlockCountEntrySize, '\0');
        for (std::size_t i = 0; i < blocks.size(); ++i)
            WriteBlockCountEntry(reinterpret_cast<std::uint8_t*>(&table[i * kBlockCountEntrySize]), blocks[i].count);
        if (!AppendTag(*tags, kTagBlockCountTable, table)) {
            *error = "too many blocks for the block-count table";
            return false;
        }
    }
    for (const auto& [articleTag, texts] : description.abbreviations) {
        std::uint8_t tableTag = static_cast<std::uint8_t>((articleTag + kAbbreviationTableBase) & 0xFF);
        if (tableTag < kFirstContainerTag || tableTag == kTagBlockCountTable) {
            *error = "article tag " + std::to_string(articleTag) + " cannot have an abbreviation table";
            return false;
        }
        std::string table;
        for (const auto& [number, text] : texts) {
            if (number >= kFirstContainerTag || !AppendTag(table, number, text)) {
                *error = "abbreviation " + std::to_string(number) + " cannot be stored";
                return false;
            }
        }
        if (!AppendTag(*tags, tableTag, table)) {
            *error = "an abbreviation table is too large";
            return false;
        }
    }
    return true;
}

const std::string& KeyOf(const WriterEntry& entry) {
    return entry.key.empty() ? entry.display : entry.key;
}

bool CheckOrder(const DictionaryDescription& description, const std::vector<WriterEntry>& entries, std::string* error) {
    LanguageWeights language(SourceLanguage(description.direction));
    Weights weights = language.Get();
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (FullCompare(weights, KeyOf(entries[i - 1]).c_str(), KeyOf(entries[i]).c_str()) > 0) {
            *error = "the key \"" + KeyOf(entries[i]) + "\" sorts before the key \"" + KeyOf(entries[i - 1]) +
                     "\" that comes before it";
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::size_t> SortedOrder(const std::vector<WriterEntry>& entries, std::uint8_t sourceLanguage) {
    LanguageWeights language(sourceLanguage);
    Weights weights = language.Get();
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return FullCompare(weights, KeyOf(entries[a]).c_str(), KeyOf(entries[b]).c_str()) < 0;
    });
    return order;
}

void SortEntries(std::vector<WriterEntry>& entries, std::uint8_t sourceLanguage) {
    std::vector<WriterEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t i : SortedOrder(entries, sourceLanguage))
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

bool BuildDictionaryStreams(const DictionaryDescription& description, const std::vector<WriterEntry>& entries,
                            StreamList* streams, std::string* error) {
    std::string ignored;
    if (error == nullptr)
        error = &ignored;
    if (description.name.size() > kNameSize) {
        *error = "the dictionary name is longer than 12 bytes";
        return false;
    }
    if (description.checkOrder && !CheckOrder(description, entries, error))
        return false;
    std::vector<Block> blocks;
    InformationStream information;
    if (!CutBlocks(description, entries, &blocks, error) ||
        !BuildTrailer(description, blocks, &information.trailerTags, error))
        return false;
    information.name = description.name;
    information.type = description.type;
    information.headwordCount = static_cast<std::uint32_t>(entries.size());
    information.direction = description.direction;
    for (const Block& block : blocks)
        information.blockKeys.push_back(block.key);
    std::vector<std::uint8_t> info;
    if (!MakeInformationStream(information, &info)) {
        *error = "the trailer is too large";
        return false;
    }

    streams->clear();
    streams->emplace_back(kInformationStreamName, std::move(info));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        std::vector<std::uint8_t> index, articles;
        if (!EncodeIndexBlock(blocks[i].count, blocks[i].index, &index) ||
            !EncodeArticleBlock(blocks[i].articles, &articles)) {
            *error = "a block could not be compressed";
            return false;
        }
        streams->emplace_back(BlockStreamName(static_cast<unsigned>(i), kIndexBlockStream), std::move(index));
        streams->emplace_back(BlockStreamName(static_cast<unsigned>(i), kArticleBlockStream), std::move(articles));
    }
    return true;
}

namespace {

bool WriteStreams(const std::wstring& path, const StreamList& streams, std::string* error) {
    std::unique_ptr<cfb::Storage> storage;
    cfb::Status status = cfb::CreateRootStorage(
        path, cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive | cfb::Mode::Create | cfb::Mode::Transacted, &storage);
    if (!cfb::Succeeded(status)) {
        *error = std::string("cannot create the file: ") + cfb::StatusText(status);
        return false;
    }
    for (const auto& [name, bytes] : streams) {
        std::unique_ptr<cfb::Stream> stream;
        status = storage->CreateStream(name, cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive, &stream);
        if (cfb::Succeeded(status))
            status = stream->Write(bytes.data(), bytes.size(), nullptr);
        if (!cfb::Succeeded(status)) {
            *error = std::string("cannot write a stream: ") + cfb::StatusText(status);
            return false;
        }
    }
    status = storage->Commit();
    if (!cfb::Succeeded(status)) {
        *error = std::string("cannot commit the file: ") + cfb::StatusText(status);
        return false;
    }
    return true;
}

} // namespace

bool WriteStreamFile(const std::wstring& path, const StreamList& streams, std::string* error) {
    std::string ignored;
    if (error == nullptr)
        error = &ignored;
    // The transacted storage writes the new file beside an existing one and moves it over only when
    // it is complete, so a failure or an interrupted run leaves the old dictionary whole. A file
    // that did not exist before is not left behind half-made.
    const bool existed = ovrin::FileExists(path);
    if (WriteStreams(path, streams, error))
        return true;
    if (!existed)
        ovrin::DeleteFileAt(path);
    return false;
}

bool WriteDictionary(const std::wstring& path, const DictionaryDescription& description,
                     const std::vector<WriterEntry>& entries, std::string* error) {
    StreamList streams;
    return BuildDictionaryStreams(description, entries, &streams, error) && WriteStreamFile(path, streams, error);
}

} // namespace dengine
