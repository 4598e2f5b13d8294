// The engine's state, the catalogue lookups shared by every operation, and the reading of streams.
#include "Engine.h"
#include "dictengine/DictFormat.h"

#include "Compare.h"
#include "InfoStream.h"

#include <cstring>
#include <iterator>

namespace dengine {

EngineState& Engine() {
    // The fold table is there from the first use, so that comparisons need no start of the engine.
    static EngineState state;
    static const bool foldTableLoaded = LoadFoldTable(state.foldTable);
    (void)foldTableLoaded;
    return state;
}

void BufferIndex::Add(const std::uint8_t* begin, std::size_t size) {
    if (size > 0)
        m_ends[reinterpret_cast<std::uintptr_t>(begin)] = reinterpret_cast<std::uintptr_t>(begin) + size;
}

void BufferIndex::Remove(const std::uint8_t* begin) {
    m_ends.erase(reinterpret_cast<std::uintptr_t>(begin));
}

const std::uint8_t* BufferIndex::EndOf(const std::uint8_t* p) const {
    auto address = reinterpret_cast<std::uintptr_t>(p);
    auto after = m_ends.upper_bound(address); // the first buffer beginning after p
    if (after == m_ends.begin())
        return nullptr;
    auto holding = std::prev(after);
    return address < holding->second ? reinterpret_cast<const std::uint8_t*>(holding->second) : nullptr;
}

sDictData::~sDictData() {
    m_buffers.Remove(m_header.data());
    m_buffers.Remove(m_articleData.get());
}

void sDictData::SetHeader(std::vector<std::uint8_t> header) {
    m_buffers.Remove(m_header.data());
    m_header = std::move(header);
    m_buffers.Add(m_header.data(), m_header.size());
}

void sDictData::SetArticleBlock(unsigned block, std::unique_ptr<std::uint8_t[]> data, std::uint16_t size) {
    DropArticleBlock();
    m_articleData = std::move(data);
    articleBlockSize = size;
    articleBlock = static_cast<std::uint16_t>(block);
    m_buffers.Add(m_articleData.get(), size);
}

void sDictData::DropArticleBlock() {
    m_buffers.Remove(m_articleData.get());
    m_articleData.reset();
    articleBlockSize = 0;
    articleBlock = 0xFFFF;
}

std::uint32_t sDictData::HeadwordCount() const {
    return ReadBigEndian32(m_header.data() + kHeaderHeadwordCount);
}
std::uint16_t sDictData::BlockCount() const {
    return ReadBigEndian16(m_header.data() + kHeaderBlockCount);
}
std::uint16_t sDictData::Direction() const {
    return ReadBigEndian16(m_header.data() + kHeaderDirection);
}

sDictData* RecordAt(unsigned dirIndex, unsigned dictIndex) {
    auto& catalogue = Engine().catalogue;
    if (dirIndex >= catalogue.size() || dictIndex >= catalogue[dirIndex].dictionaries.size())
        return nullptr;
    return catalogue[dirIndex].dictionaries[dictIndex].get();
}

// A linear scan over every record: handles survive re-ordering, positions do not.
sDictData* RecordOf(__DictHandle* handle) {
    auto serial = reinterpret_cast<std::uintptr_t>(handle);
    if (serial == 0)
        return nullptr;
    for (sDirData& direction : Engine().catalogue) {
        for (auto& record : direction.dictionaries) {
            if (record->handle == serial)
                return record.get();
        }
    }
    return nullptr;
}

bool PositionOf(const sDictData* record, unsigned* dirIndex, unsigned* dictIndex) {
    auto& catalogue = Engine().catalogue;
    for (std::size_t d = 0; d < catalogue.size(); ++d) {
        auto& list = catalogue[d].dictionaries;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].get() == record) {
                *dirIndex = static_cast<unsigned>(d);
                *dictIndex = static_cast<unsigned>(i);
                return true;
            }
        }
    }
    return false;
}

std::unique_ptr<sDictData> NewRecord(const std::wstring& path, const std::vector<std::uint8_t>& stream) {
    EngineState& engine = Engine();
    auto record = std::make_unique<sDictData>(engine.buffers);
    record->path = path;
    record->SetHeader(std::vector<std::uint8_t>(stream.begin() + kNameSize, stream.end()));
    std::memcpy(record->name, stream.data(), kNameSize);
    record->name[kNameSize] = '\0';
    record->handle = ++engine.handleCounter;
    return record;
}

void RemoveRecord(sDictData* record) {
    unsigned dirIndex = 0, dictIndex = 0;
    if (!PositionOf(record, &dirIndex, &dictIndex))
        return;
    auto& catalogue = Engine().catalogue;
    auto& list = catalogue[dirIndex].dictionaries;
    list.erase(list.begin() + dictIndex);
    if (list.empty())
        catalogue.erase(catalogue.begin() + dirIndex);
}

bool ReadWholeStream(cfb::Storage& storage, const std::wstring& name, std::vector<std::uint8_t>* bytes) {
    std::unique_ptr<cfb::Stream> stream;
    if (!cfb::Succeeded(storage.OpenStream(name, cfb::Mode::Read | cfb::Mode::ShareExclusive, &stream)))
        return false;
    cfb::ElementInfo info;
    if (!cfb::Succeeded(stream->Stat(&info)) || info.size > 0x7FFFFFFF)
        return false;
    bytes->resize(static_cast<std::size_t>(info.size));
    std::size_t read = 0;
    if (!cfb::Succeeded(stream->Read(bytes->data(), bytes->size(), &read)) || read != bytes->size())
        return false;
    return true;
}

bool ReadInformationStream(const std::wstring& path, cfb::Mode mode, std::vector<std::uint8_t>* stream) {
    std::unique_ptr<cfb::Storage> storage;
    if (!cfb::Succeeded(cfb::OpenRootStorage(path, mode, &storage)))
        return false;
    if (!ReadWholeStream(*storage, kInformationStreamName, stream) || stream->size() < kMinimumInformationSize)
        return false;
    HeaderLayout layout;
    return ParseHeader(stream->data() + kNameSize, stream->size() - kNameSize, &layout);
}

void CloseRecord(sDictData& record) {
    record.DropArticleBlock();
    record.blocks.clear();
    record.abbreviations = nullptr;
    record.keyOffsets.clear();
    record.blockStarts.clear();
    record.openCount = 0;
    record.storage.reset();
}

cfb::Mode OpenModeFor(const sDictData& record, bool transactedForUser) {
    if (record.Type() == DEngine::kUserDictionaryType) {
        cfb::Mode mode = cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive;
        return transactedForUser ? mode | cfb::Mode::Transacted : mode;
    }
    return cfb::Mode::Read | cfb::Mode::ShareExclusive;
}

} // namespace dengine
