// The sample dictionaries built from the dictionaries Debian ships: every headword is found by the
// engine at its own number, and prefix searches agree with a scan of the headword list.
#include "Builder.h"

#include "dictengine/Article.h"
#include "dictengine/DEngine.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

using namespace dicbuild;

namespace {

#ifdef OVRIN_REAL_DATA_SAMPLE_STEP
constexpr std::size_t kSampleStep = OVRIN_REAL_DATA_SAMPLE_STEP; // every n-th entry, always the same ones
#else
constexpr std::size_t kSampleStep = 1;
#endif

struct Sample {
    const char* index;
    const char* data;
    EntryStyle style;
    std::uint16_t direction;
    bool reverse;
    const char* name;
};

const Sample kSamples[] = {
    {"mueller7.index", "mueller7.dict.dz", EntryStyle::Mueller, 0x0102, false, "Mueller ER"},
    {"mueller7.index", "mueller7.dict.dz", EntryStyle::Mueller, 0x0102, true, "Mueller RE"},
    {"freedict-deu-rus.index", "freedict-deu-rus.dict.dz", EntryStyle::FreeDict, 0x0402, false, "FreeDict GR"},
    {"freedict-fra-rus.index", "freedict-fra-rus.dict.dz", EntryStyle::FreeDict, 0x0802, false, "FreeDict FR"},
};

class SampleDictionaryTest : public ::testing::TestWithParam<Sample> {
protected:
    void TearDown() override { DEngine::DoneDictEngine(); }
};

bool StartsWithWordCharacter(const char* text) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    return c >= 0x80 || std::isalnum(c);
}

} // namespace

TEST_P(SampleDictionaryTest, EveryHeadwordIsFoundAtItsOwnNumber) {
    const Sample& sample = GetParam();
    std::string folder = "/usr/share/dictd/";
    ASSERT_TRUE(std::filesystem::exists(folder + sample.index)) << "scripts/test installs the dictionary packages";
    testsupport::TempFolder output;
    std::wstring path = output.File(L"sample.dic");
    std::vector<SourceEntry> source;
    BuildSummary summary;
    std::string error;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ReadSource(folder + sample.index, folder + sample.data, &source, &summary.problems, &error)) << error;
    if (kSampleStep > 1) {
        std::vector<SourceEntry> sampled;
        for (std::size_t i = 0; i < source.size(); i += kSampleStep)
            sampled.push_back(std::move(source[i]));
        source = std::move(sampled);
    }
    BuildOptions options{sample.style, sample.name, sample.direction, sample.reverse};
    ASSERT_TRUE(BuildFromSource(source, options, path, &summary, &error)) << error;
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%s: %u headwords, %u blocks, built in %.1f s\n", sample.name, summary.headwords, summary.blocks,
                elapsed.count());
    ASSERT_GT(summary.headwords, (sample.reverse ? 10000u : 5000u) / kSampleStep);
    if (summary.measured) {
        // Every Cyrillic word of the source entries reaches the articles, and every entry that names a
        // part of speech has one.
        double kept = 100.0 * static_cast<double>(summary.keptWords) / static_cast<double>(summary.sourceWords);
        std::printf("%s: Cyrillic words of the source in the articles: %llu of %llu (%.2f%%); part of speech in %u "
                    "of %u entries naming one\n",
                    sample.name, summary.keptWords, summary.sourceWords, kept, summary.taggedPartOfSpeech,
                    summary.namingPartOfSpeech);
        EXPECT_GE(kept, 99.9);
        // Every Mueller entry whole; FreeDict has a few words with letters that are transliterated
        // ("ҋ" written as "й").
        if (sample.style == EntryStyle::Mueller) {
            EXPECT_EQ(summary.missingWords.count, 0u)
                << (summary.missingWords.first.empty() ? "" : summary.missingWords.first[0]);
        }
        EXPECT_EQ(summary.taggedPartOfSpeech, summary.namingPartOfSpeech)
            << (summary.untaggedPartOfSpeech.first.empty() ? "" : summary.untaggedPartOfSpeech.first[0]);
        EXPECT_EQ(summary.cut.count, 0u);
        EXPECT_EQ(summary.leftOut.count, 0u);
    }

    ASSERT_EQ(DEngine::AttachDictionary(path.c_str()), 1);
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    unsigned long total = DEngine::GetTotalWordCount(handle);
    ASSERT_EQ(total, summary.headwords);
    std::vector<std::string> displays;
    for (unsigned long n = 0; n < total; ++n) {
        const unsigned char* entry = DEngine::GetSingleIndex(handle, n);
        ASSERT_NE(entry, nullptr) << n;
        displays.emplace_back(DEngine::IndexDataToDisplayData(entry));
    }
    unsigned checked = 0;
    for (unsigned long n = 0; n < total; ++n) {
        const std::string& display = displays[n];
        if (!StartsWithWordCharacter(display.c_str()))
            continue; // the lookup skips leading punctuation, so it looks up another text
        unsigned long index = 0;
        int exact = 0;
        ASSERT_EQ(DEngine::FindWord(handle, display.c_str(), &index, &exact), 1);
        bool keyedElsewhere =
            std::strcmp(DEngine::IndexDataToKeyData(DEngine::GetSingleIndex(handle, n)), display.c_str()) != 0;
        ASSERT_EQ(index, n) << "\"" << display << "\"";
        if (!keyedElsewhere) {
            ASSERT_EQ(exact, 1) << "\"" << display << "\"";
        }
        ++checked;
    }
    EXPECT_GT(checked, total * 9 / 10);

    if (sample.reverse) {
        // Headwords a reader can type, and (from the whole dictionary) the translations a reader expects.
        for (const std::string& display : displays) {
            EXPECT_EQ(display.find("  "), std::string::npos) << display;
            EXPECT_TRUE(StartsWithWordCharacter(display.c_str())) << display;
            EXPECT_FALSE(display.size() > 2 && display[1] == ')') << display;
        }
        std::vector<std::pair<const char*, const char*>> pairs = {
            {"\xEF\xE8\xF1\xE0\xF2\xFC", "write"},  {"\xE3\xEE\xF0\xEE\xE4", "city"},
            {"\xE6\xE8\xF2\xFC", "live"},           {"\xED\xE0\xF7\xE8\xED\xE0\xF2\xFC", "begin"},
            {"\xE2\xF1\xE5\xE3\xE4\xE0", "always"},
        };
        if (kSampleStep > 1)
            pairs.clear(); // a sample need not hold them
        for (const auto& [russian, english] : pairs) {
            unsigned long index = 0;
            int exact = 0;
            ASSERT_EQ(DEngine::FindWord(handle, russian, &index, &exact), 1);
            ASSERT_EQ(exact, 1) << english;
            const unsigned char* article = DEngine::GetArticle(handle, index);
            ASSERT_NE(article, nullptr);
            std::size_t size = 2 + (std::size_t(article[0]) << 8 | article[1]);
            std::string bytes(reinterpret_cast<const char*>(article), size);
            EXPECT_NE(bytes.find(std::string("\x01") + char(std::strlen(english)) + english), std::string::npos)
                << english;
        }
    }

    // Every article parses, and packing the parsed article gives its bytes back.
    for (unsigned long n = 0; n < total; ++n) {
        const unsigned char* article = DEngine::GetArticle(handle, n);
        ASSERT_NE(article, nullptr) << n;
        std::size_t size = 2 + (std::size_t(article[0]) << 8 | article[1]);
        DEngine::sArticle* parsed = DEngine::ParseArticle(article);
        ASSERT_NE(parsed, nullptr) << n;
        unsigned char* packed = parsed->Pack();
        ASSERT_NE(packed, nullptr) << n;
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(packed), size),
                  std::string(reinterpret_cast<const char*>(article), size))
            << "\"" << displays[n] << "\"";
        DEngine::FreePtr(packed);
        parsed->Free();
    }

    // A prefix search agrees with a scan of the list.
    DEngine::LoadCompareTable(sample.direction >> 8);
    for (const char* prefix : {"a", "ab", "ma", "st", "\xE4\xEE"}) {
        unsigned long count = 0;
        unsigned long* indexes = nullptr;
        ASSERT_EQ(DEngine::PerformSearch(handle, prefix, &count, &indexes, nullptr, nullptr), 1);
        std::vector<unsigned long> expected;
        for (unsigned long n = 0; n < total; ++n) {
            if (DEngine::TableStrNCompare(sample.direction >> 8, prefix, displays[n].c_str(),
                                          static_cast<unsigned short>(std::strlen(prefix))) == 0)
                expected.push_back(n);
        }
        EXPECT_EQ(std::vector<unsigned long>(indexes, indexes + count), expected) << prefix;
        DEngine::FreePtr(indexes);
    }
}

INSTANTIATE_TEST_SUITE_P(Debian, SampleDictionaryTest, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == ' ')
                                     c = '_';
                             return name;
                         });
