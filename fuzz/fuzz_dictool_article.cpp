// dictool's article printing on damaged articles: the input becomes the article block of a small
// dictionary of eight headwords (its first bytes choose the direction and an abbreviation table),
// and dictool prints the article of every headword, and of one past the last, as its "article"
// command does.
#include "FuzzFolder.h"
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"
#include "dictool/Commands.h"

#include "dictengine/BlockStream.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > 64000)
        return 0;
    static const std::wstring path = fuzzing::Folder().File("print.dic");
    static const std::uint8_t languages[] = {1, 2, 4, 8, 16, 32, 64};
    dengine::DictionaryDescription description;
    description.name = "P";
    description.direction = dengine::MakeDirection(languages[data[0] % 7], languages[(data[0] / 7) % 7]);
    // Abbreviation tables for the tags the input names, so that the printing expands some texts.
    for (std::uint8_t i = 0; i < (data[1] & 7); ++i)
        description.abbreviations[static_cast<std::uint8_t>((data[1] >> 3) + i)][static_cast<std::uint8_t>(i + 1)] =
            std::string(1 + i, static_cast<char>('A' + i));
    std::vector<dengine::WriterEntry> entries;
    for (char c = 'a'; c <= 'h'; ++c)
        entries.push_back({std::string(1, c) + "\xE9", "", dengine::MakeArticle({{0x01, "x"}})});
    dengine::StreamList streams;
    if (!dengine::BuildDictionaryStreams(description, entries, &streams, nullptr))
        return 0;
    std::vector<std::uint8_t> block(data + 2, data + size);
    for (auto& [name, bytes] : streams) {
        if (name == L"2" && !dengine::EncodeArticleBlock(block, &bytes))
            return 0;
    }
    if (!dengine::WriteStreamFile(path, streams, nullptr))
        return 0;
    for (unsigned number = 0; number <= entries.size(); ++number) {
        for (bool tags : {false, true}) {
            std::ostringstream out, err;
            dictool::Article(path, std::to_wstring(number), tags, out, err);
        }
    }
    return 0;
}
