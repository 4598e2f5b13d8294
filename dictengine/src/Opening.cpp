// Opening and closing dictionaries (with their open counts), and deleting and moving their files.
#include "Engine.h"
#include "InfoStream.h"
#include "dictengine/DictFormat.h"

#include "base/FileSystem.h"
#include "base/Path.h"

using namespace dengine;

namespace {

// Reads the entry count at the start of each index block stream.
bool ReadCountsFromBlockStreams(cfb::Storage& storage, unsigned blockCount, std::vector<std::uint16_t>* counts) {
    counts->assign(blockCount, 0);
    for (unsigned i = 0; i < blockCount; ++i) {
        std::unique_ptr<cfb::Stream> stream;
        if (!cfb::Succeeded(storage.OpenStream(BlockStreamName(i, kIndexBlockStream),
                                               cfb::Mode::Read | cfb::Mode::ShareExclusive, &stream)))
            return false;
        std::uint8_t bytes[2] = {};
        std::size_t read = 0;
        if (!cfb::Succeeded(stream->Read(bytes, 2, &read)) || read != 2)
            return false;
        (*counts)[i] = ReadBigEndian16(bytes);
    }
    return true;
}

bool OpenRecord(sDictData& record) {
    HeaderLayout layout;
    if (!ParseHeader(record.Header().data(), record.Header().size(), &layout))
        return false;
    std::unique_ptr<cfb::Storage> storage;
    if (!cfb::Succeeded(cfb::OpenRootStorage(record.path, OpenModeFor(record, true), &storage)))
        return false;
    if (record.Version() != 1)
        return false;
    // The counts come from the block-count table of the stream as it is in the file now, when it has
    // one for every block; otherwise from the index block streams themselves.
    std::vector<std::uint8_t> stream;
    std::vector<std::uint16_t> counts;
    bool haveTable = false;
    if (ReadWholeStream(*storage, kInformationStreamName, &stream) && stream.size() >= kMinimumInformationSize) {
        HeaderLayout fresh;
        const std::uint8_t* header = stream.data() + kNameSize;
        haveTable = ParseHeader(header, stream.size() - kNameSize, &fresh) && fresh.blockCount == layout.blockCount &&
                    ReadBlockCountTable(header, fresh, &counts);
    } else {
        std::unique_ptr<cfb::Stream> info;
        if (!cfb::Succeeded(
                storage->OpenStream(kInformationStreamName, cfb::Mode::Read | cfb::Mode::ShareExclusive, &info)))
            return false;
    }
    if (!haveTable && !ReadCountsFromBlockStreams(*storage, layout.blockCount, &counts))
        return false;

    // Every headword number rests on the counts: they must add up to the header's headword count,
    // or the file is damaged and answers would point at the wrong headwords.
    std::uint64_t sum = 0;
    for (std::uint16_t count : counts)
        sum += count;
    if (sum != record.HeadwordCount())
        return false;
    // Nor may they claim more than the block streams could hold: a table and a header that agree on a
    // billion headwords in a small file would otherwise have every caller size its lists by them.
    std::vector<std::uint64_t> streamSizes;
    if (!IndexBlockStreamSizes(*storage, layout.blockCount, &streamSizes) ||
        FirstOverfullBlock(counts, streamSizes) != counts.size())
        return false;
    record.blocks.clear();
    record.blocks.resize(layout.blockCount);
    record.blockStarts.resize(layout.blockCount);
    std::uint32_t start = 0;
    for (unsigned i = 0; i < layout.blockCount; ++i) {
        record.blocks[i].count = counts[i];
        record.blockStarts[i] = start;
        start += counts[i];
    }
    record.keyOffsets = std::move(layout.keyOffsets);
    record.abbreviations = record.Header().data() + layout.trailerOffset;
    record.DropArticleBlock();
    record.storage = std::move(storage);
    record.openCount = 1;
    return true;
}

// Creates the folder and every missing folder above it; failures are left to the copy to find.
bool CreateFolderPath(std::wstring folder) {
    while (!folder.empty() && ovrin::IsPathSeparator(folder.back()))
        folder.pop_back();
    if (folder.empty())
        return false;
    std::size_t start = folder.size() > 1 && folder[1] == L':' ? 2 : 0;
    for (std::size_t i = start; i < folder.size(); ++i) {
        if (ovrin::IsPathSeparator(folder[i]) && i > 0)
            ovrin::CreateFolder(folder.substr(0, i));
    }
    ovrin::CreateFolder(folder);
    return true;
}

// Puts the record back on its file after a failed move; a file that cannot be opened again leaves
// the record closed rather than open without a storage object.
void ReopenAfterFailedMove(sDictData& record) {
    std::unique_ptr<cfb::Storage> storage;
    if (cfb::Succeeded(cfb::OpenRootStorage(record.path, OpenModeFor(record, true), &storage)))
        record.storage = std::move(storage);
    else
        CloseRecord(record);
}

} // namespace

namespace DEngine {

__DictHandle* OpenDictionary(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    if (record == nullptr)
        return nullptr;
    if (record->openCount > 0) {
        if (record->openCount == 0xFFFF)
            return nullptr; // one more open would wrap the count to "closed"
        ++record->openCount;
        return HandleOf(record);
    }
    if (!OpenRecord(*record)) {
        CloseRecord(*record);
        return nullptr;
    }
    return HandleOf(record);
}

__DictHandle* OpenDictionary(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    unsigned dirIndex = 0, dictIndex = 0;
    if (record == nullptr || !PositionOf(record, &dirIndex, &dictIndex))
        return nullptr;
    return OpenDictionary(static_cast<unsigned short>(dirIndex), static_cast<unsigned short>(dictIndex));
}

int CloseDictionary(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    if (record == nullptr || record->openCount == 0)
        return 0;
    if (record->openCount > 1) {
        --record->openCount;
        return 1;
    }
    return ForceCloseDictionary(handle);
}

int ForceCloseDictionary(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    if (record != nullptr && record->openCount > 0)
        CloseRecord(*record);
    return 0;
}

int DeleteDictionary(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    if (record == nullptr || record->openCount > 0 || !ovrin::DeleteFileAt(record->path))
        return 0;
    RemoveRecord(record);
    return 1;
}

int MoveDictionary(__DictHandle* handle, const wchar_t* folder) {
    sDictData* record = RecordOf(handle);
    if (record == nullptr || record->openCount == 0 || folder == nullptr)
        return 0;
    if (!CreateFolderPath(folder))
        return 0;
    std::wstring newPath = ovrin::PathJoin(folder, ovrin::PathFileName(record->path));
    if (newPath.size() > kMaxPathLength)
        return 0;

    record->storage.reset(); // the file must be closed to be copied
    if (!ovrin::CopyFileIfAbsent(record->path, newPath)) {
        ReopenAfterFailedMove(*record);
        return 0;
    }
    std::unique_ptr<cfb::Storage> storage;
    if (!cfb::Succeeded(cfb::OpenRootStorage(newPath, OpenModeFor(*record, true), &storage))) {
        ReopenAfterFailedMove(*record);
        ovrin::DeleteFileAt(newPath);
        return 0;
    }
    ovrin::DeleteFileAt(record->path);
    record->storage = std::move(storage);
    record->path = newPath;
    return 1;
}

} // namespace DEngine
