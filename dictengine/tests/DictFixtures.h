// Dictionaries for tests: small real files made with the dictionary writer in a temporary folder,
// and an engine that is always shut down when a test ends.
#pragma once

#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dengine::testing {

inline std::vector<WriterEntry> Words(const std::vector<std::string>& words) {
    std::vector<WriterEntry> entries;
    for (const std::string& word : words)
        entries.push_back({word, "", MakeArticle({{0x01, "article of " + word}})});
    return entries;
}

inline DictionaryDescription Description(const std::string& name, std::uint16_t direction, std::uint8_t type = 1) {
    DictionaryDescription description;
    description.name = name;
    description.direction = direction;
    description.type = type;
    return description;
}

class EngineTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    std::wstring root = testsupport::ToWide(folder.Path());

    void TearDown() override { DEngine::DoneDictEngine(); }

    std::wstring MakeDictionary(const std::wstring& fileName, const DictionaryDescription& description,
                                const std::vector<std::string>& words = {"alpha", "beta"}) {
        std::wstring path = folder.File(fileName);
        std::string error;
        EXPECT_TRUE(WriteDictionary(path, description, Words(words), &error)) << error;
        return path;
    }

    void Init() { DEngine::InitDictEngine(root.c_str()); }

    std::vector<unsigned short> Directions() {
        std::vector<unsigned short> codes;
        for (unsigned short i = 0; i < DEngine::GetDirectionCount(); ++i)
            codes.push_back(DEngine::GetDirection(i));
        return codes;
    }

    std::vector<std::string> Names(unsigned short dirIndex) {
        std::vector<std::string> names;
        for (unsigned short i = 0; i < DEngine::GetDictionaryCount(dirIndex); ++i)
            names.push_back(DEngine::GetDictionaryName(dirIndex, i));
        return names;
    }
};

} // namespace dengine::testing
