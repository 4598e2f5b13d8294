// The catalogue: initialisation, enumeration of a folder's ".dic" files, attaching single files,
// removing a folder's dictionaries, and the queries by direction index and position.
#include "Compare.h"
#include "Engine.h"
#include "InfoStream.h"
#include "dictengine/DictFormat.h"

#include "base/FileSystem.h"
#include "base/Path.h"

#include <cstring>

using namespace dengine;

namespace {

constexpr unsigned short kNotFound = 0xFFFF;
constexpr unsigned char kAnyType = 15;

// Adds a record for a file whose information stream has been read and checked.
void AddDictionary(const std::wstring& path, const std::vector<std::uint8_t>& stream) {
    EngineState& engine = Engine();
    std::uint16_t code = ReadBigEndian16(stream.data() + kHeaderOffset + kHeaderDirection);
    sDirData* direction = nullptr;
    for (sDirData& candidate : engine.catalogue) {
        if (candidate.direction == code) {
            direction = &candidate;
            break;
        }
    }
    if (direction == nullptr) {
        engine.catalogue.push_back(sDirData{code, {}});
        direction = &engine.catalogue.back();
    }
    direction->dictionaries.push_back(NewRecord(path, stream));
}

bool AddFile(const std::wstring& path) {
    if (path.size() > kMaxPathLength)
        return false;
    std::vector<std::uint8_t> stream;
    if (!ReadInformationStream(path, cfb::Mode::Read | cfb::Mode::ShareExclusive, &stream))
        return false;
    AddDictionary(path, stream);
    return true;
}

void EmptyCatalogue() {
    for (sDirData& direction : Engine().catalogue) {
        for (auto& record : direction.dictionaries)
            CloseRecord(*record);
    }
    Engine().catalogue.clear();
}

} // namespace

namespace DEngine {

unsigned short InitDictEngine(const wchar_t* folder) {
    EngineState& engine = Engine();
    LoadFoldTable(engine.foldTable);
    engine.handleCounter = 0;
    engine.folder = folder != nullptr ? folder : L"";
    if (engine.folder.size() > kMaxPathLength - 1)
        engine.folder.resize(kMaxPathLength - 1);
    if (engine.folder.empty() || !ovrin::IsPathSeparator(engine.folder.back()))
        engine.folder.push_back(ovrin::kPathSeparator);
    EnumDictionaries(engine.folder.c_str());
    return 0;
}

void DoneDictEngine() {
    EmptyCatalogue();
}

int ReloadDictEngine(const wchar_t* folder) {
    EmptyCatalogue();
    InitDictEngine(folder);
    return 1;
}

int EnumDictionaries(const wchar_t* folder) {
    std::wstring base = folder != nullptr ? folder : L"";
    for (const std::wstring& name : ovrin::ListFiles(base, L".dic"))
        AddFile(ovrin::PathJoin(base, name));
    OrderCatalogue(Engine().catalogue);
    return 1;
}

int AttachDictionary(const wchar_t* path) {
    if (path == nullptr || !AddFile(path))
        return 0;
    OrderCatalogue(Engine().catalogue);
    return 1;
}

int RemoveDictionaries(const wchar_t* folder) {
    if (folder == nullptr)
        return 1;
    std::wstring prefix = folder;
    bool prefixIsFolder = !prefix.empty() && ovrin::IsPathSeparator(prefix.back());
    auto& catalogue = Engine().catalogue;
    for (std::size_t d = 0; d < catalogue.size();) {
        auto& list = catalogue[d].dictionaries;
        for (std::size_t i = 0; i < list.size();) {
            const std::wstring& path = list[i]->path;
            bool inside =
                path.compare(0, prefix.size(), prefix) == 0 &&
                (prefixIsFolder || (path.size() > prefix.size() && ovrin::IsPathSeparator(path[prefix.size()])));
            if (inside) {
                CloseRecord(*list[i]);
                list.erase(list.begin() + i);
            } else {
                ++i;
            }
        }
        if (list.empty())
            catalogue.erase(catalogue.begin() + d);
        else
            ++d;
    }
    return 1;
}

unsigned short GetDirectionCount() {
    return static_cast<unsigned short>(Engine().catalogue.size());
}

unsigned short GetDirection(unsigned short dirIndex) {
    auto& catalogue = Engine().catalogue;
    return dirIndex < catalogue.size() ? catalogue[dirIndex].direction : 0;
}

unsigned short GetDirectionIndex(unsigned short code) {
    auto& catalogue = Engine().catalogue;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].direction == code)
            return static_cast<unsigned short>(i);
    }
    return kNotFound;
}

unsigned short GetDictionaryCount(unsigned short dirIndex) {
    auto& catalogue = Engine().catalogue;
    return dirIndex < catalogue.size() ? static_cast<unsigned short>(catalogue[dirIndex].dictionaries.size()) : 0;
}

const char* GetDictionaryName(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    return record != nullptr ? record->name : nullptr;
}

const wchar_t* GetDictionaryPath(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    return record != nullptr ? record->path.c_str() : nullptr;
}

unsigned char GetDictionaryType(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    return record != nullptr ? record->Type() : 0;
}

unsigned short FindDictionary(unsigned short dirIndex, const char* name, unsigned char type) {
    auto& catalogue = Engine().catalogue;
    if (dirIndex >= catalogue.size() || name == nullptr)
        return kNotFound;
    auto& list = catalogue[dirIndex].dictionaries;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (std::strcmp(list[i]->name, name) == 0 && (type == kAnyType || list[i]->Type() == type))
            return static_cast<unsigned short>(i);
    }
    return kNotFound;
}

__DictHandle* GetDictionaryHandle(unsigned short dirIndex, unsigned short dictIndex) {
    sDictData* record = RecordAt(dirIndex, dictIndex);
    return record != nullptr ? HandleOf(record) : nullptr;
}

unsigned short GetDirection(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? record->Direction() : 0;
}

unsigned short GetDirectionIndex(__DictHandle* handle) {
    unsigned dirIndex = 0, dictIndex = 0;
    sDictData* record = RecordOf(handle);
    return record != nullptr && PositionOf(record, &dirIndex, &dictIndex) ? static_cast<unsigned short>(dirIndex) : 0;
}

unsigned short GetIndexInDirection(__DictHandle* handle) {
    unsigned dirIndex = 0, dictIndex = 0;
    sDictData* record = RecordOf(handle);
    return record != nullptr && PositionOf(record, &dirIndex, &dictIndex) ? static_cast<unsigned short>(dictIndex)
                                                                          : kNotFound;
}

const char* GetDictionaryName(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? record->name : nullptr;
}

const wchar_t* GetDictionaryPath(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? record->path.c_str() : nullptr;
}

unsigned char GetDictionaryType(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? record->Type() : 255;
}

unsigned short GetVersion(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? ReadBigEndian16(record->Header().data()) : 0;
}

unsigned long GetTotalWordCount(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr ? record->HeadwordCount() : 0;
}

char LangToChar(unsigned char code) {
    switch (code) {
    case kLangEnglish:
        return 'E';
    case kLangRussian:
        return 'R';
    case kLangGerman:
        return 'G';
    case kLangFrench:
        return 'F';
    case kLangItalian:
        return 'I';
    case kLangSpanish:
        return 'S';
    case kLangPortuguese:
        return 'P';
    default:
        return '?';
    }
}

unsigned char CharToLang(char letter) {
    switch (letter) {
    case 'E':
    case 'e':
        return kLangEnglish;
    case 'R':
    case 'r':
        return kLangRussian;
    case 'G':
    case 'g':
        return kLangGerman;
    case 'F':
    case 'f':
        return kLangFrench;
    case 'I':
    case 'i':
        return kLangItalian;
    case 'S':
    case 's':
        return kLangSpanish;
    case 'P':
    case 'p':
        return kLangPortuguese;
    default:
        return 0;
    }
}

} // namespace DEngine
