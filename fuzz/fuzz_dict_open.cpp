// Attaches, opens, queries and closes a dictionary made from the input. Half the inputs are whole
// files (the compound file layer included); the other half are the streams of a well-formed compound
// file, so that the engine's own parsing of the information stream and the blocks is reached.
#include "dictengine/DEngine.h"
#include "dictengine/DictFile.h"
#include "dictengine/DictWriter.h"

#include "FuzzFolder.h"

#include "testsupport/TempFolder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Splits the input into streams "0", "1", "2", ... at each occurrence of the separator "|#|".
dengine::StreamList SplitStreams(const std::uint8_t* data, std::size_t size) {
    dengine::StreamList streams;
    std::vector<std::uint8_t> current;
    for (std::size_t i = 0; i < size; ++i) {
        if (i + 2 < size && data[i] == '|' && data[i + 1] == '#' && data[i + 2] == '|') {
            streams.emplace_back(std::to_wstring(streams.size()), current);
            current.clear();
            i += 2;
        } else {
            current.push_back(data[i]);
        }
    }
    streams.emplace_back(std::to_wstring(streams.size()), current);
    return streams;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    std::wstring path = fuzzing::Folder().File("fuzz.dic");
    if (data[0] & 1) {
        testsupport::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    } else if (!dengine::WriteStreamFile(path, SplitStreams(data + 1, size - 1), nullptr)) {
        return 0;
    }
    dengine::DictFileInfo info;
    std::string error;
    dengine::ReadDictFileInfo(path, &info, &error);
    if (DEngine::AttachDictionary(path.c_str()) == 1) {
        __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
        DEngine::GetTotalWordCount(handle);
        if (DEngine::OpenDictionary(handle) != nullptr) {
            unsigned char buffer[64];
            unsigned short bufferSize = sizeof buffer;
            DEngine::GetDictionaryDynamicInfo(handle, L"x", buffer, &bufferSize);
            DEngine::CloseDictionary(handle);
        }
        tagDictInfo record;
        DEngine::GetDictionaryInfo(path.c_str(), &record);
    }
    DEngine::DoneDictEngine();
    return 0;
}
