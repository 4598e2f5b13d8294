// The engine's state, the catalogue lookups shared by every operation, and the reading of streams.
#include "Engine.h"
#include "dictengine/DictFormat.h"

#include "InfoStream.h"

namespace dengine {

EngineState& Engine() {
    static EngineState state;
    return state;
}

std::uint32_t sDictData::HeadwordCount() const {
    return ReadBigEndian32(header.data() + kHeaderHeadwordCount);
}
std::uint16_t sDictData::BlockCount() const {
    return ReadBigEndian16(header.data() + kHeaderBlockCount);
}
std::uint16_t sDictData::Direction() const {
    return ReadBigEndian16(header.data() + kHeaderDirection);
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
    record.articleBlock = 0xFFFF;
    record.articleBlockSize = 0;
    record.articleData.reset();
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
