// The name and direction records of dictionary files, and the dynamic information values kept in a
// dictionary's sub-storage "DD_INFO", one stream per value.
#include "Engine.h"
#include "InfoStream.h"
#include "dictengine/DictFormat.h"

#include <cstring>

using namespace dengine;

namespace {

const wchar_t kDynamicInfoStorage[] = L"DD_INFO";

constexpr cfb::Mode kReadExclusive = cfb::Mode::Read | cfb::Mode::ShareExclusive;
constexpr cfb::Mode kWriteExclusive = cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive;
constexpr cfb::Mode kTransactedWrite = kWriteExclusive | cfb::Mode::Transacted;

// The record's open storage object, or one opened for the length of a call.
class StorageForCall {
public:
    StorageForCall(sDictData& record, cfb::Mode modeWhenClosed) : m_record(record) {
        if (!record.storage)
            cfb::OpenRootStorage(record.path, modeWhenClosed, &m_own);
    }
    cfb::Storage* Get() { return m_record.storage ? m_record.storage.get() : m_own.get(); }

private:
    sDictData& m_record;
    std::unique_ptr<cfb::Storage> m_own;
};

} // namespace

namespace DEngine {

int GetDictionaryInfo(const wchar_t* path, tagDictInfo* info) {
    if (path == nullptr || info == nullptr)
        return 0;
    std::unique_ptr<cfb::Storage> storage;
    std::vector<std::uint8_t> stream;
    if (!cfb::Succeeded(cfb::OpenRootStorage(path, kReadExclusive, &storage)) ||
        !ReadWholeStream(*storage, kInformationStreamName, &stream) || stream.size() < kMinimumInformationSize)
        return 0;
    std::memcpy(info->name, stream.data(), kNameSize);
    info->name[kNameSize] = '\0';
    info->direction = ReadBigEndian16(stream.data() + kHeaderOffset + kHeaderDirection);
    return 1;
}

int SetDictionaryInfo(const wchar_t* path, tagDictInfo info) {
    if (path == nullptr)
        return 0;
    std::unique_ptr<cfb::Storage> storage;
    if (!cfb::Succeeded(cfb::OpenRootStorage(path, kTransactedWrite, &storage)))
        return 0;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeStream(*storage, kInformationStreamName, &bytes) || bytes.size() < kMinimumInformationSize)
        return 0;
    std::memset(bytes.data(), 0, kNameSize);
    for (std::size_t i = 0; i < kNameSize && info.name[i] != '\0'; ++i)
        bytes[i] = static_cast<std::uint8_t>(info.name[i]);
    WriteBigEndian16(bytes.data() + kHeaderOffset + kHeaderDirection, info.direction);
    std::unique_ptr<cfb::Stream> stream;
    if (!cfb::Succeeded(storage->OpenStream(kInformationStreamName, kWriteExclusive, &stream)) ||
        !cfb::Succeeded(stream->Seek(0, cfb::SeekOrigin::Begin, nullptr)) ||
        !cfb::Succeeded(stream->Write(bytes.data(), bytes.size(), nullptr)))
        return 0;
    stream.reset();
    return cfb::Succeeded(storage->Commit()) ? 1 : 0;
}

int GetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* buffer, unsigned short* size) {
    sDictData* record = RecordOf(handle);
    if (record == nullptr || name == nullptr || size == nullptr)
        return 0;
    StorageForCall storage(*record, OpenModeFor(*record, true));
    if (storage.Get() == nullptr)
        return 0;
    std::unique_ptr<cfb::Storage> values;
    std::vector<std::uint8_t> bytes;
    if (!cfb::Succeeded(storage.Get()->OpenStorage(kDynamicInfoStorage, kReadExclusive, &values)) ||
        !ReadWholeStream(*values, name, &bytes))
        return 0;
    if (*size < bytes.size() || (buffer == nullptr && !bytes.empty()))
        return 0;
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    *size = static_cast<unsigned short>(bytes.size());
    return 1;
}

int SetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* data, unsigned short size) {
    sDictData* record = RecordOf(handle);
    if (record == nullptr || name == nullptr || (data == nullptr && size > 0))
        return 0;
    StorageForCall storage(*record, kTransactedWrite);
    cfb::Storage* root = storage.Get();
    if (root == nullptr)
        return 0;
    std::unique_ptr<cfb::Storage> values;
    if (!cfb::Succeeded(root->OpenStorage(kDynamicInfoStorage, kTransactedWrite, &values)) &&
        !cfb::Succeeded(root->CreateStorage(kDynamicInfoStorage, kTransactedWrite, &values)))
        return 0;
    values->DestroyElement(name); // a value of that name may not exist yet
    std::unique_ptr<cfb::Stream> stream;
    if (!cfb::Succeeded(values->CreateStream(name, kWriteExclusive, &stream)) ||
        !cfb::Succeeded(stream->Write(data, size, nullptr)))
        return 0;
    stream.reset();
    if (!cfb::Succeeded(values->Commit()))
        return 0;
    values.reset();
    return cfb::Succeeded(root->Commit()) ? 1 : 0;
}

} // namespace DEngine
