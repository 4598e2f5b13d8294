// The engine's process-wide state in one place: the engine folder, the handle counter, the compare
// tables and the catalogue of directions and dictionary records, with the lookups every operation
// shares (by position, by handle) and the reading of a dictionary's information stream.
#pragma once

#include "dictengine/DEngine.h"
#include "dictengine/DictFormat.h"

#include "cfb/Storage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dengine {

// The engine-owned buffers that article bytes handed out lie in (each record's header, each open
// record's cached article block), by where they begin: the walkers bound a pointer they are given by
// the end of the buffer holding it, found here without looking at every record.
class BufferIndex {
public:
    void Add(const std::uint8_t* begin, std::size_t size);
    void Remove(const std::uint8_t* begin);
    // The end of the buffer holding p; null when p lies in none.
    const std::uint8_t* EndOf(const std::uint8_t* p) const;

private:
    std::map<std::uintptr_t, std::uintptr_t> m_ends; // begin to end, of buffers of at least one byte
};

// One index block of an open dictionary.
struct sBlockInfo {
    std::uint16_t count = 0;                 // entries of the block
    std::unique_ptr<std::uint8_t[]> data;    // decompressed entries; null while not loaded
    std::uint16_t size = 0;                  // length of data
    std::vector<std::uint16_t> entryOffsets; // where each entry starts in data, once loaded
};

// One dictionary file of the catalogue. Its header and cached article block are set only through
// SetHeader and SetArticleBlock, which keep the buffer index up to date.
struct sDictData {
    explicit sDictData(BufferIndex& buffers) : m_buffers(buffers) {}
    ~sDictData();
    sDictData(const sDictData&) = delete;
    sDictData& operator=(const sDictData&) = delete;

    std::wstring path;
    const std::uint8_t* abbreviations = nullptr; // the trailer container inside header, set at opening
    std::vector<std::uint32_t> keyOffsets;       // header offset of each block key, set at opening
    std::vector<std::uint32_t> blockStarts;      // number of the first headword of each block, set at opening
    char name[13] = {};
    std::uint32_t handle = 0;
    std::unique_ptr<cfb::Storage> storage; // open storage object, or none
    std::uint16_t openCount = 0;
    std::vector<sBlockInfo> blocks;
    std::uint16_t articleBlock = 0xFFFF; // the cached article block, 0xFFFF when none
    std::uint16_t articleBlockSize = 0;

    // The information stream from its offset 12 to its end.
    const std::vector<std::uint8_t>& Header() const { return m_header; }
    void SetHeader(std::vector<std::uint8_t> header);
    // The cached article block (null while none); SetArticleBlock takes a buffer of at least one byte.
    const std::uint8_t* ArticleData() const { return m_articleData.get(); }
    void SetArticleBlock(unsigned block, std::unique_ptr<std::uint8_t[]> data, std::uint16_t size);
    void DropArticleBlock();

    std::uint8_t Version() const { return m_header[kHeaderVersion]; }
    std::uint8_t Type() const { return m_header[kHeaderType]; }
    std::uint8_t SourceLanguage() const { return m_header[kHeaderSourceLanguage]; }
    std::uint32_t HeadwordCount() const;
    std::uint16_t BlockCount() const;
    std::uint16_t Direction() const;

private:
    BufferIndex& m_buffers;
    std::vector<std::uint8_t> m_header;
    std::unique_ptr<std::uint8_t[]> m_articleData;
};

struct sDirData {
    std::uint16_t direction = 0;
    // Records are held by pointer so that the names and paths handed out stay where they are while
    // the catalogue is re-ordered.
    std::vector<std::unique_ptr<sDictData>> dictionaries;
};

struct EngineState {
    BufferIndex buffers; // before the catalogue: its records leave the index as they go
    std::wstring folder;
    std::uint32_t handleCounter = 0;
    std::uint8_t orderTable[256] = {};
    std::uint8_t foldTable[256] = {};
    std::vector<sDirData> catalogue;
    std::uint64_t articleBlockReads = 0; // article blocks decompressed since start, for tests of the cache
};

EngineState& Engine();

// Catalogue lookups. Null (or false) when out of range or unknown.
sDictData* RecordAt(unsigned dirIndex, unsigned dictIndex);
sDictData* RecordOf(__DictHandle* handle);
bool PositionOf(const sDictData* record, unsigned* dirIndex, unsigned* dictIndex);
inline __DictHandle* HandleOf(const sDictData* record) {
    return reinterpret_cast<__DictHandle*>(static_cast<std::uintptr_t>(record->handle));
}

// Orders directions and the dictionaries inside each one (after every enumeration and attach).
void OrderCatalogue(std::vector<sDirData>& catalogue);

// A record, with the next handle, for the file at path whose information stream has been read and
// checked; not yet in the catalogue.
std::unique_ptr<sDictData> NewRecord(const std::wstring& path, const std::vector<std::uint8_t>& stream);

// Removes the record from the catalogue, and its direction when that held nothing else.
void RemoveRecord(sDictData* record);

// Opens the file as storage, reads stream "0" whole. Fails on every step that fails, and on an
// information stream whose header, block keys or trailer do not fit in it.
bool ReadInformationStream(const std::wstring& path, cfb::Mode mode, std::vector<std::uint8_t>* stream);

// Reads a whole stream of an open storage.
bool ReadWholeStream(cfb::Storage& storage, const std::wstring& name, std::vector<std::uint8_t>* bytes);

// Force-closes an open record: drops its blocks, cached article and storage object.
void CloseRecord(sDictData& record);

// The open record of a handle; null when the handle is unknown or the dictionary is closed.
sDictData* OpenRecordOf(__DictHandle* handle);

// Index blocks: loading one (decompressed and checked to hold its entries), freeing the others, and
// finding the block of a headword number.
bool LoadBlock(sDictData& record, unsigned block);
// Frees every loaded block but those from first to last; FreeAllBlocks frees them all.
void FreeBlocksOutside(sDictData& record, unsigned first, unsigned last);
void FreeAllBlocks(sDictData& record);
// The size of each of blockCount index block streams as the storage's directory records it, without
// opening them; 0 for a missing stream.
bool IndexBlockStreamSizes(const cfb::Storage& storage, unsigned blockCount, std::vector<std::uint64_t>* sizes);
// The first block whose entry count is more than its stream of sizes[i] bytes could hold (a block
// of no entries needs no stream); counts.size() when every count fits.
std::size_t FirstOverfullBlock(const std::vector<std::uint16_t>& counts, const std::vector<std::uint64_t>& sizes);
bool LocateHeadword(const sDictData& record, std::uint32_t number, unsigned* block, unsigned* position);
inline const char* EntryText(const sDictData& record, unsigned block, unsigned position) {
    const sBlockInfo& info = record.blocks[block];
    return reinterpret_cast<const char*>(info.data.get() + info.entryOffsets[position]);
}
// The display text and the key of an index entry (after a control byte n, the key skips n more).
const char* DisplayOf(const char* entry);
const char* KeyOf(const char* entry);

// The end of the engine-owned buffer (an open record's cached article block, or a record's header)
// that holds p; null when p lies in none of them, so that only its own lengths can bound it.
const std::uint8_t* EngineBufferEnd(const std::uint8_t* p);

// Article blocks: the cached block of an open record, read and decompressed when another is needed.
bool LoadArticleBlock(sDictData& record, unsigned block);

// Opens the storage of a record's file with the mode its type asks for.
cfb::Mode OpenModeFor(const sDictData& record, bool transactedForUser);

} // namespace dengine
