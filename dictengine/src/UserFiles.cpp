// Making user dictionaries: their files (named after a new GUID, or "XY_User.dic" for the one user
// dictionary of a direction), their catalogue records, and the stream writes and commits of every
// later change.
#include "UserFiles.h"
#include "Engine.h"
#include "InfoStream.h"

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "base/Path.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <objbase.h>
#else
#include <random>
#endif

using namespace dengine;

namespace {

constexpr unsigned short kCreateFailed = 0xFFFF;
const cfb::Mode kWriteExclusive = cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive;

UserWriteGate g_writeGate = nullptr; // set by the tests only

bool WriteNewStream(cfb::Storage& storage, const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<cfb::Stream> stream;
    return cfb::Succeeded(storage.CreateStream(name, kWriteExclusive, &stream)) &&
           cfb::Succeeded(stream->Write(bytes.data(), bytes.size(), nullptr));
}

// Creates the file with its three streams and commits it; a file left half-made is removed.
bool MakeUserFile(const std::wstring& path, const std::string& name, std::uint16_t direction, bool transacted) {
    std::unique_ptr<cfb::Storage> storage;
    cfb::Mode mode = transacted ? kWriteExclusive | cfb::Mode::Transacted : kWriteExclusive;
    if (!cfb::Succeeded(cfb::CreateRootStorage(path, mode, &storage)))
        return false; // an existing file is never replaced
    // One empty index block (its count and size 0) and one empty article block (size 0).
    bool made = WriteNewStream(*storage, kInformationStreamName, NewUserInformation(name, direction)) &&
                WriteNewStream(*storage, BlockStreamName(0, kIndexBlockStream), std::vector<std::uint8_t>(4, 0)) &&
                WriteNewStream(*storage, BlockStreamName(0, kArticleBlockStream), std::vector<std::uint8_t>(2, 0)) &&
                cfb::Succeeded(storage->Commit());
    storage.reset();
    if (!made)
        ovrin::DeleteFileAt(path);
    return made;
}

// Appends a record for a new user dictionary file to the end of its direction, without re-ordering.
unsigned AppendUserRecord(unsigned dirIndex, const std::wstring& path, const std::vector<std::uint8_t>& stream) {
    EngineState& engine = Engine();
    auto& list = engine.catalogue[dirIndex].dictionaries;
    list.push_back(NewRecord(path, stream));
    return static_cast<unsigned>(list.size() - 1);
}

} // namespace

namespace dengine {

void SetUserWriteGate(UserWriteGate gate) {
    g_writeGate = gate;
}

bool WriteUserStream(cfb::Storage& storage, const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    if (g_writeGate != nullptr && !g_writeGate())
        return false;
    std::unique_ptr<cfb::Stream> stream;
    return cfb::Succeeded(storage.OpenStream(name, kWriteExclusive, &stream)) &&
           cfb::Succeeded(stream->Seek(0, cfb::SeekOrigin::Begin, nullptr)) &&
           cfb::Succeeded(stream->Write(bytes.data(), bytes.size(), nullptr)) &&
           cfb::Succeeded(stream->SetSize(bytes.size()));
}

bool CommitUserStorage(cfb::Storage& storage) {
    return cfb::Succeeded(storage.Commit());
}

std::wstring NewGuidFileName() {
    std::uint8_t bytes[16] = {};
#ifdef _WIN32
    GUID guid{};
    CoCreateGuid(&guid);
    // The registry form prints the first three fields as numbers, the last eight bytes in order.
    bytes[0] = static_cast<std::uint8_t>(guid.Data1 >> 24);
    bytes[1] = static_cast<std::uint8_t>(guid.Data1 >> 16);
    bytes[2] = static_cast<std::uint8_t>(guid.Data1 >> 8);
    bytes[3] = static_cast<std::uint8_t>(guid.Data1);
    bytes[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
    bytes[5] = static_cast<std::uint8_t>(guid.Data2);
    bytes[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
    bytes[7] = static_cast<std::uint8_t>(guid.Data3);
    std::memcpy(bytes + 8, guid.Data4, 8);
#else
    std::random_device source;
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(source());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // a random GUID, version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
#endif
    char text[40];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
                  bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    std::wstring name(text, text + std::strlen(text));
    return name + L".dic";
}

std::vector<std::uint8_t> NewUserInformation(const std::string& name, std::uint16_t direction) {
    // No headwords, one empty block (its key empty) and an empty trailer: 25 bytes.
    InformationStream information;
    information.name = (name.empty() ? std::string("User") : name).substr(0, kNameSize);
    information.type = DEngine::kUserDictionaryType;
    information.direction = direction;
    information.blockKeys.assign(1, std::string());
    std::vector<std::uint8_t> stream;
    MakeInformationStream(information, &stream); // cannot fail: every part is within its limits
    return stream;
}

} // namespace dengine

namespace DEngine {

unsigned short CreateUserDictionary(unsigned short dirIndex, const wchar_t* folder, const wchar_t* name) {
    EngineState& engine = Engine();
    if (dirIndex >= engine.catalogue.size())
        return kCreateFailed;
    std::string converted = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, name != nullptr ? name : L"");
    for (auto& record : engine.catalogue[dirIndex].dictionaries) {
        if (converted == record->name)
            return kCreateFailed;
    }
    std::wstring path = (folder != nullptr ? std::wstring(folder) : engine.folder) + NewGuidFileName();
    std::uint16_t direction = engine.catalogue[dirIndex].direction;
    if (path.size() > kMaxPathLength || !MakeUserFile(path, converted, direction, true))
        return kCreateFailed;
    unsigned position = AppendUserRecord(dirIndex, path, NewUserInformation(converted, direction));
    return static_cast<unsigned short>(position);
}

__DictHandle* OpenUserDictionary(unsigned short direction) {
    EngineState& engine = Engine();
    unsigned short dirIndex = GetDirectionIndex(direction);
    if (dirIndex == 0xFFFF) {
        engine.catalogue.push_back(sDirData{direction, {}});
        dirIndex = static_cast<unsigned short>(engine.catalogue.size() - 1);
    }
    auto& list = engine.catalogue[dirIndex].dictionaries;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i]->Type() == kUserDictionaryType)
            return OpenDictionary(dirIndex, static_cast<unsigned short>(i));
    }
    std::wstring fileName = L"  _User.dic";
    fileName[0] = static_cast<wchar_t>(LangToChar(SourceLanguage(direction)));
    fileName[1] = static_cast<wchar_t>(LangToChar(TargetLanguage(direction)));
    std::wstring path = engine.folder + fileName;
    if (!MakeUserFile(path, "User", direction, false))
        return nullptr;
    unsigned position = AppendUserRecord(dirIndex, path, NewUserInformation("User", direction));
    return OpenDictionary(dirIndex, static_cast<unsigned short>(position));
}

} // namespace DEngine
