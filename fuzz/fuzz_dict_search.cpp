// FindWord, GetIndex and PerformSearch on dictionaries and texts made from the input: the first part
// of the input gives the headwords of a sorted dictionary (damaged afterwards by the next part), the
// rest the texts looked up and searched.
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    std::string input(reinterpret_cast<const char*>(data + 3), size - 3);
    std::uint8_t languages[] = {1, 2, 4, 8, 16, 32, 64};
    std::uint8_t language = languages[data[0] % 7];
    std::vector<std::string> sections = Split(input, '\x01');
    std::vector<dengine::WriterEntry> entries;
    for (const std::string& word : Split(sections[0], '\n')) {
        if (word.empty() || word.find('\0') != std::string::npos || static_cast<unsigned char>(word[0]) < 0x20)
            continue;
        // Every third word is shown with a prefix and found under the word.
        std::string display = entries.size() % 3 == 2 ? "se " + word : word;
        entries.push_back({display, word, dengine::MakeArticle({{0x01, word}})});
    }
    dengine::SortEntries(entries, language);
    dengine::DictionaryDescription description;
    description.name = "F";
    description.direction = dengine::MakeDirection(language, DEngine::kLangRussian);
    description.targetIndexBlockBytes = 16 + data[1];
    description.writeCountTable = data[2] & 1;
    dengine::StreamList streams;
    if (!dengine::BuildDictionaryStreams(description, entries, &streams, nullptr))
        return 0;
    // Damage one stream: flip a byte chosen by the input.
    if (data[2] & 2) {
        auto& victim = streams[data[1] % streams.size()].second;
        if (!victim.empty())
            victim[(data[2] * 7u) % victim.size()] ^= static_cast<std::uint8_t>(data[0] | 1);
    }
    std::wstring path = fuzzing::Folder().File("search.dic");
    if (!dengine::WriteStreamFile(path, streams, nullptr))
        return 0;
    if (DEngine::AttachDictionary(path.c_str()) == 1) {
        __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
        for (std::size_t i = 1; handle != nullptr && i < sections.size(); ++i) {
            const std::string& text = sections[i];
            unsigned long index = 0;
            int exact = 0;
            if (DEngine::FindWord(handle, text.c_str(), &index, &exact) == 1) {
                const unsigned char* rows[8];
                if (DEngine::GetIndex(handle, index, 8, rows) == 1)
                    DEngine::IndexDataToDisplayData(8, rows);
                DEngine::GetIndex(handle, index > 3 ? index - 3 : 0, 4, rows);
            }
            unsigned long count = 0;
            unsigned long* indexes = nullptr;
            unsigned char* found = nullptr;
            DEngine::PerformSearch(handle, text.c_str(), &count, &indexes, &found, nullptr);
            DEngine::FreePtr(indexes);
            DEngine::FreePtr(found);
        }
    }
    DEngine::DoneDictEngine();
    return 0;
}
