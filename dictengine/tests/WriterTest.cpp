// The dictionary writer: block cutting within the limits, block keys and counts, control bytes,
// abbreviation tables, and the entries it refuses.
#include "BlockStream.h"
#include "DictFixtures.h"
#include "InfoStream.h"

#include "dictengine/DictFile.h"

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
        entries.push_back({Word(i), "", MakeArticle({{0x01, std::string(40 + i % 300, 'x')}})});
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
