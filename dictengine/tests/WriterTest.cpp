// The dictionary writer: block cutting within the limits, block keys and counts, control bytes,
// abbreviation tables, the entries it refuses, and rewriting a dictionary that a failed or killed
// rewrite must leave whole.
#include "DictFixtures.h"
#include "InfoStream.h"
#include "dictengine/BlockStream.h"

#include "IoFaults.h"
#include "testsupport/Probe.h"

#include "base/FileSystem.h"
#include "dictengine/DictFile.h"

#include <cstdio>
#include <filesystem>

using namespace dengine;
using namespace dengine::testing;

namespace {

std::string Word(std::size_t i) {
    std::string word = "w";
    for (std::size_t n = i; n > 0; n /= 26)
        word.push_back(static_cast<char>('a' + n % 26));
    return word + std::to_string(i);
}

} // namespace

TEST(WriterTest, CutsBlocksWithinLimitsAndKeysEachByItsFirstEntry) {
    std::vector<WriterEntry> entries;
    for (std::size_t i = 0; i < 5000; ++i)
        entries.push_back({Word(i), "", MakeArticle({{0x01, std::string(40 + i % 200, 'x')}})});
    DictionaryDescription description = Description("Big", 0x0102);
    StreamList streams;
    std::string error;
    ASSERT_TRUE(BuildDictionaryStreams(description, entries, &streams, &error)) << error;
    ASSERT_GT(streams.size(), 3u);
    ASSERT_EQ(streams.size() % 2, 1u);
    std::size_t blockCount = (streams.size() - 1) / 2;

    const std::vector<std::uint8_t>& info = streams[0].second;
    HeaderLayout layout;
    ASSERT_TRUE(ParseHeader(info.data() + kNameSize, info.size() - kNameSize, &layout));
    ASSERT_EQ(layout.blockCount, blockCount);
    std::vector<std::uint16_t> counts;
    ASSERT_TRUE(ReadBlockCountTable(info.data() + kNameSize, layout, &counts));

    std::size_t next = 0;
    for (std::size_t b = 0; b < blockCount; ++b) {
        EXPECT_EQ(streams[1 + 2 * b].first, std::to_wstring(2 * b + 1));
        EXPECT_EQ(streams[2 + 2 * b].first, std::to_wstring(2 * b + 2));
        std::uint16_t count = 0;
        std::vector<std::uint8_t> index, articles;
        ASSERT_TRUE(DecodeIndexBlock(streams[1 + 2 * b].second, &count, &index));
        ASSERT_TRUE(DecodeArticleBlock(streams[2 + 2 * b].second, &articles));
        EXPECT_EQ(count, counts[b]);
        EXPECT_LE(index.size(), 65535u);
        EXPECT_LE(articles.size(), 65535u);
        EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + kNameSize + layout.keyOffsets[b]), Word(next).c_str());
        // The entries and the articles of the block, in the order given.
        std::size_t offset = 0, articleOffset = 0;
        for (std::uint16_t j = 0; j < count; ++j, ++next) {
            std::string entry(reinterpret_cast<const char*>(index.data() + offset));
            ASSERT_EQ(entry, Word(next));
            offset += entry.size() + 1;
            std::string article(articles.begin() + articleOffset,
                                articles.begin() + articleOffset + entries[next].article.size());
            ASSERT_EQ(article, entries[next].article);
            articleOffset += article.size();
        }
        EXPECT_EQ(offset, index.size());
        EXPECT_EQ(articleOffset, articles.size());
    }
    EXPECT_EQ(next, entries.size());
}

TEST(WriterTest, BigArticlesStartNewBlocksBeforeTheLimit) {
    std::vector<WriterEntry> entries;
    for (int i = 0; i < 6; ++i)
        entries.push_back({Word(i), "", MakeArticle({{0x80, std::string(30000, 'a')}})});
    StreamList streams;
    std::string error;
    ASSERT_TRUE(BuildDictionaryStreams(Description("B", 0x0102), entries, &streams, &error)) << error;
    EXPECT_EQ(streams.size(), 1u + 2 * 3) << "two 30 KB articles per block";
}

TEST(WriterTest, ControlBytesAbbreviationsAndTheFileInfo) {
    testsupport::TempFolder folder;
    DictionaryDescription description = Description("Phrases", 0x0801, 6);
    description.abbreviations[0x03] = {{1, "masculine"}, {2, "feminine"}};
    std::vector<WriterEntry> entries = {{"se laver", "laver", MakeArticle({{0x01, "wash"}})},
                                        {"to go", "go", MakeArticle({{0x01, "go"}})}};
    std::string error;
    std::wstring path = folder.File(L"p.dic");
    ASSERT_TRUE(WriteDictionary(path, description, entries, &error)) << error;
    DictFileInfo info;
    ASSERT_TRUE(ReadDictFileInfo(path, &info, &error)) << error;
    EXPECT_EQ(info.name, "Phrases");
    EXPECT_EQ(info.version, 1);
    EXPECT_EQ(info.type, 6);
    EXPECT_EQ(info.direction, 0x0801);
    EXPECT_EQ(info.headwordCount, 2u);
    EXPECT_TRUE(info.hasCountTable);
    EXPECT_EQ(info.blockCounts, (std::vector<std::uint16_t>{2}));
    ASSERT_EQ(info.blockKeys.size(), 1u);
    EXPECT_EQ(info.blockKeys[0], std::string("\x03se laver"));
    ASSERT_EQ(info.trailerTags.size(), 2u);
    EXPECT_EQ(info.trailerTags[0], (std::pair<std::uint8_t, std::size_t>{0xCD, 4}));
    EXPECT_EQ(info.trailerTags[1].first, 0xC3) << "abbreviations of article tag 3 are kept under 3 + 0xC0";
    EXPECT_EQ(info.trailerTags[1].second, 2u + 9 + 2 + 8);
}

TEST(WriterTest, RefusesWhatCannotBeStored) {
    StreamList streams;
    std::string error;
    auto refuses = [&](const std::vector<WriterEntry>& entries, DictionaryDescription description) {
        error.clear();
        bool built = BuildDictionaryStreams(description, entries, &streams, &error);
        return !built && !error.empty();
    };
    std::string article = MakeArticle({{0x01, "x"}});
    DictionaryDescription plain = Description("X", 0x0102);
    EXPECT_TRUE(refuses({{"", "", article}}, plain));
    EXPECT_TRUE(refuses({{std::string("a\0b", 3), "", article}}, plain));
    EXPECT_TRUE(refuses({{"to go", "went", article}}, plain));
    EXPECT_TRUE(refuses({{std::string(40, 'a') + "b", "b", article}}, plain)) << "a control byte holds at most 31";
    EXPECT_TRUE(refuses({{"\x05word", "", article}}, plain));
    EXPECT_TRUE(refuses({{"word", "",
                          "\x00\x05"
                          "abc"}},
                        plain))
        << "the article's length must match";
    EXPECT_TRUE(refuses({{"word", "", MakeArticle({{0x80, std::string(65534, 'a')}})}}, plain));
    DictionaryDescription longName = Description("ThirteenChars", 0x0102);
    EXPECT_TRUE(refuses({}, longName));
    DictionaryDescription badTable = plain;
    badTable.abbreviations[0x50] = {{1, "x"}};
    EXPECT_TRUE(refuses({}, badTable)) << "tag 0x50 + 0xC0 would be a leaf tag";
}

TEST(WriterTest, FailedWrite_LeavesNoFile) {
    testsupport::TempFolder folder;
    std::string error;
    std::wstring path = testsupport::ToWide(folder.Path() / "missing-folder" / "x.dic");
    EXPECT_FALSE(WriteDictionary(path, Description("X", 0x0102), Words({"a"}), &error));
    EXPECT_FALSE(error.empty());
}

namespace {

class RewriteTest : public EngineTest {
protected:
    std::wstring path = folder.File(L"sample.dic");

    int RunWriter(const std::string& tag, long words, long long faultAfter) {
        return cfbtest::RunProbe(
            {path, std::wstring(tag.begin(), tag.end()), std::to_wstring(words), std::to_wstring(faultAfter)},
            L"dict_write_probe");
    }

    // The dictionary at path, read through the engine: "old" or "new" when it is the whole of one of
    // them (every headword there, in order, with its article), else a description of what is wrong.
    std::string WhichDictionary() {
        DEngine::DoneDictEngine();
        Init();
        __DictHandle* handle = DEngine::OpenDictionary(0, 0);
        if (DEngine::GetDirectionCount() != 1 || DEngine::GetDictionaryCount(0) != 1 || handle == nullptr)
            return "no dictionary";
        std::string tag = DEngine::GetDictionaryName(0, 0);
        unsigned long count = DEngine::GetTotalWordCount(handle);
        if ((tag == "old" && count != 3000) || (tag == "new" && count != 4000))
            return tag + " with " + std::to_string(count) + " headwords";
        for (unsigned long i = 0; i < count; ++i) {
            char expected[16];
            std::snprintf(expected, sizeof expected, "%s%05lu", tag.c_str(), i);
            const unsigned char* entry = DEngine::GetSingleIndex(handle, i);
            if (entry == nullptr || std::string(reinterpret_cast<const char*>(entry)) != expected ||
                DEngine::GetArticle(handle, i) == nullptr)
                return tag + " damaged at " + std::to_string(i);
        }
        DEngine::DoneDictEngine();
        return tag;
    }

    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.Path()), {}));
    }
};

} // namespace

TEST_F(RewriteTest, ARebuildKilledAtAnyPointLeavesTheOldDictionaryWhole) {
    ASSERT_EQ(RunWriter("old", 3000, -1), 0);
    ASSERT_EQ(WhichDictionary(), "old");
    const std::string old = testsupport::ReadFileBytes(path);
    ASSERT_GT(old.size(), 100000u);
    // The writing process ends after 0 bytes, inside the header, the first sectors, the middle and
    // just before the end of the new file.
    for (long long bytes : {0LL, 511LL, 1536LL, 20000LL, static_cast<long long>(old.size()) / 2,
                            static_cast<long long>(old.size()) * 4 / 3 - 600}) {
        EXPECT_EQ(RunWriter("new", 4000, bytes), 3) << bytes;
        EXPECT_TRUE(testsupport::ReadFileBytes(path) == old) << bytes;
        EXPECT_EQ(WhichDictionary(), "old") << bytes;
    }
    // A complete rebuild replaces it, and takes away what the killed ones left beside it.
    EXPECT_EQ(RunWriter("new", 4000, -1), 0);
    EXPECT_EQ(WhichDictionary(), "new");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(RewriteTest, AFailedWriteKeepsTheOldDictionary_AndLeavesNoNewOneHalfMade) {
    ASSERT_EQ(RunWriter("old", 3000, -1), 0);
    const std::string old = testsupport::ReadFileBytes(path);
    std::vector<WriterEntry> entries;
    for (long i = 0; i < 4000; ++i)
        entries.push_back({"new" + std::to_string(100000 + i), "", MakeArticle({{0x01, "article"}})});
    for (std::int64_t bytes : {0, 700, 4096}) {
        cfb::detail::PlanWriteFault(bytes, false);
        std::string error;
        EXPECT_FALSE(WriteDictionary(path, Description("new", 0x0102), entries, &error)) << bytes;
        cfb::detail::PlanWriteFault(-1, false);
        EXPECT_TRUE(testsupport::ReadFileBytes(path) == old) << bytes;
        EXPECT_EQ(FilesInFolder(), 1u) << bytes;
    }
    // A new file that cannot be written completely is not left behind.
    cfb::detail::PlanWriteFault(2000, false);
    std::string error;
    EXPECT_FALSE(WriteDictionary(folder.File(L"fresh.dic"), Description("new", 0x0102), entries, &error));
    cfb::detail::PlanWriteFault(-1, false);
    EXPECT_FALSE(ovrin::FileExists(folder.File(L"fresh.dic")));
}
