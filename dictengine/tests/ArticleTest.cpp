// Articles: fetching them through the one-block cache, walking their parts, translations and tags,
// expanding abbreviations from a dictionary's trailer, and damaged articles and blocks, which must
// end a walk instead of leading it outside the bytes.
#include "DictFixtures.h"
#include "Engine.h"
#include "dictengine/BlockStream.h"

#include <cstring>

using namespace dengine;
using namespace dengine::testing;

namespace {

using Tags = std::vector<std::pair<std::uint8_t, std::string>>;

std::string Sequence(const Tags& tags) {
    return MakeArticle(tags).substr(2);
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string Container(const unsigned char* container) {
    return std::string(reinterpret_cast<const char*>(container), 2 + (container[0] << 8 | container[1]));
}

// A leaf's data as text.
std::string LeafText(const unsigned char* leaf) {
    return std::string(reinterpret_cast<const char*>(leaf + 2), leaf[1]);
}

class ArticleTest : public EngineTest {
protected:
    // A dictionary whose headwords each carry the given article, in blocks of a few entries.
    __DictHandle* OpenWith(const std::vector<WriterEntry>& entries, const DictionaryDescription& description) {
        std::string error;
        EXPECT_TRUE(WriteDictionary(folder.File(L"articles.dic"), description, entries, &error)) << error;
        Init();
        return DEngine::OpenDictionary(0, 0);
    }
};

} // namespace

TEST(ArticleWalk, AnArticleWithoutPartsIsOnePart) {
    std::string article = MakeArticle({{0x02, "\x01"}, {0x0A, "one"}, {0x08, "x"}, {0x0A, "two"}});
    const unsigned char* a = Bytes(article);
    EXPECT_EQ(DEngine::GetSrcPartCount(a), 1);
    EXPECT_EQ(DEngine::GetSrcPart(a, 0), a);
    EXPECT_EQ(DEngine::GetSrcPart(a, 1), nullptr);
    EXPECT_EQ(DEngine::GetTranslationCount(a), 0);
    EXPECT_EQ(DEngine::GetTranslation(a, 0), nullptr);
    const unsigned char* first = DEngine::FindTag(a, 0x0A);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LeafText(first), "one");
    const unsigned char* second = DEngine::FindNextTag(a, first);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(LeafText(second), "two");
    EXPECT_EQ(DEngine::FindNextTag(a, second), nullptr);
    EXPECT_EQ(DEngine::FindTag(a, 0x0B), nullptr);
}

TEST(ArticleWalk, PartsAndTranslationsAreFoundInOrder) {
    std::string article = MakeArticle(
        {{0x02, "\x09"}, // outside the parts
         {0x80, Sequence({{0x02, "\x01"}})},
         {0x80,
          Sequence({{0x02, "\x02"}, {0x90, Sequence({{0x01, "a"}})}, {0x08, "n"}, {0x90, Sequence({{0x01, "b"}})}})},
         {0x80, Sequence({{0x02, "\x03"}, {0x90, Sequence({{0x90, Sequence({{0x01, "nested"}})}})}})}});
    const unsigned char* a = Bytes(article);
    EXPECT_EQ(DEngine::GetSrcPartCount(a), 3);
    const unsigned char* third = DEngine::GetSrcPart(a, 2);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third[-1], 0x80);
    EXPECT_EQ(LeafText(DEngine::FindTag(third, 0x02)), "\x03");
    EXPECT_EQ(DEngine::GetSrcPart(a, 3), nullptr);
    EXPECT_EQ(DEngine::GetTranslationCount(DEngine::GetSrcPart(a, 0)), 0);
    const unsigned char* second = DEngine::GetSrcPart(a, 1);
    EXPECT_EQ(DEngine::GetTranslationCount(second), 2);
    EXPECT_EQ(LeafText(DEngine::FindTag(DEngine::GetTranslation(second, 1), 0x01)), "b");
    EXPECT_EQ(DEngine::GetTranslation(second, 2), nullptr);
    // Only the top level counts: the nested 0x90 is not a translation of the third part.
    EXPECT_EQ(DEngine::GetTranslationCount(third), 1);
    // The second names are the same functions.
    EXPECT_EQ(DEngine::GetSrcPartE(a, 2), third);
    EXPECT_EQ(DEngine::GetTranslationCountE(second), 2);
}

TEST(ArticleWalk, ATagRunningPastItsContainerEndsTheWalk) {
    // The container says 9 bytes; the second leaf claims 200 of them.
    std::string bytes = std::string("\x00\x09", 2) +
                        "\x0A\x01"
                        "a" +
                        "\x0A\xC8"
                        "bcd";
    bytes.resize(bytes.size() + 16, '\x0A'); // bytes that a walk trusting the length would read
    const unsigned char* a = Bytes(bytes);
    const unsigned char* first = DEngine::FindTag(a, 0x0A);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DEngine::FindNextTag(a, first), nullptr);
    // A container tag longer than its container is no part.
    std::string part = std::string("\x00\x06", 2) + "\x80\x00\x20"
                                                    "\x01\x01"
                                                    "z";
    EXPECT_EQ(DEngine::GetSrcPartCount(Bytes(part)), 1);
    EXPECT_EQ(DEngine::GetSrcPart(Bytes(part), 1), nullptr);
    EXPECT_EQ(DEngine::FindNextTag(a, a + 100), nullptr); // not inside the container
    EXPECT_EQ(DEngine::FindTag(nullptr, 1), nullptr);
    EXPECT_EQ(DEngine::GetSrcPartCount(nullptr), 1);
    EXPECT_EQ(DEngine::GetSrcPart(nullptr, 0), nullptr);
    DEngine::sArticle* model = DEngine::ParseArticle(a);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->count, 1);
    EXPECT_EQ(model->items[0].count, 1); // the damaged leaf is not taken
    model->Free();
}

TEST_F(ArticleTest, GetArticleGivesTheArticleOfEachHeadword) {
    std::vector<WriterEntry> entries;
    for (char c = 'a'; c <= 'z'; ++c) {
        std::string word(3, c);
        entries.push_back({word, "", MakeArticle({{0x02, "\x01"}, {0x90, Sequence({{0x01, "is " + word}})}})});
    }
    DictionaryDescription description = Description("Art", 0x0102);
    description.targetIndexBlockBytes = 20; // several blocks
    __DictHandle* handle = OpenWith(entries, description);
    ASSERT_NE(handle, nullptr);
    for (unsigned long i = 0; i < entries.size(); ++i) {
        const unsigned char* article = DEngine::GetArticle(handle, i);
        ASSERT_NE(article, nullptr) << i;
        EXPECT_EQ(Container(article), entries[i].article);
        EXPECT_EQ(DEngine::GetArticleE(handle, i), article);
    }
    EXPECT_EQ(DEngine::GetArticle(handle, entries.size()), nullptr);
    EXPECT_EQ(DEngine::GetArticle(nullptr, 0), nullptr);
    DEngine::CloseDictionary(handle);
    EXPECT_EQ(DEngine::GetArticle(handle, 0), nullptr); // closed
}

TEST_F(ArticleTest, ArticlesOfOneBlockCostOneDecompression) {
    DictionaryDescription description = Description("Cache", 0x0102);
    description.targetIndexBlockBytes = 12; // "alpha" and "beta" share block 0
    std::string error;
    ASSERT_TRUE(WriteDictionary(folder.File(L"cache.dic"), description,
                                Words({"alpha", "beta", "gamma", "delta", "omega"}), &error));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    sDictData* record = RecordOf(handle);
    ASSERT_GE(record->blocks.size(), 2u);
    ASSERT_GE(record->blocks[0].count, 2);
    std::uint64_t before = Engine().articleBlockReads;
    ASSERT_NE(DEngine::GetArticle(handle, 0), nullptr);
    ASSERT_NE(DEngine::GetArticle(handle, 1), nullptr);
    EXPECT_EQ(Engine().articleBlockReads, before + 1);
    EXPECT_EQ(record->articleBlock, 0);
    const unsigned char* last = DEngine::GetArticle(handle, DEngine::GetTotalWordCount(handle) - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Engine().articleBlockReads, before + 2);
    EXPECT_EQ(record->articleBlock, record->blocks.size() - 1);
    EXPECT_EQ(Container(last), MakeArticle({{0x01, "article of omega"}}));
}

TEST_F(ArticleTest, AbbreviationsExpandFromTheTrailer) {
    DictionaryDescription description = Description("Abbr", 0x0102);
    description.abbreviations[0x03] = {{5, "colloq."}, {6, "obs."}};
    std::string reference("\x03\x02\x00\x05", 4);
    std::string article = MakeArticle({{0x03, std::string("\x00\x05", 2)},
                                       {0x03, std::string("\x00\x07", 2)},
                                       {0x08, std::string("\x00\x05", 2)},
                                       {0x03, "x"}});
    __DictHandle* handle = OpenWith({{"word", "", article}}, description);
    ASSERT_NE(handle, nullptr);
    const unsigned char* a = DEngine::GetArticle(handle, 0);
    ASSERT_NE(a, nullptr);
    const unsigned char* leaf = DEngine::FindTag(a, 0x03);
    const unsigned char* expanded = DEngine::Unabbreviate(handle, leaf);
    ASSERT_NE(expanded, leaf);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expanded + 1), expanded[0]), "colloq.");
    EXPECT_EQ(DEngine::UnabbreviateE(handle, leaf), expanded);
    // A number the table lacks, a tag without a table, and an unknown handle give the fallback.
    const unsigned char* missing = DEngine::Unabbreviate(handle, DEngine::FindNextTag(a, leaf));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(missing), 2), std::string("\x01\x00", 2));
    const unsigned char* noTable = DEngine::Unabbreviate(handle, DEngine::FindTag(a, 0x08));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(noTable), 2), std::string("\x01\x00", 2));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(DEngine::Unabbreviate(nullptr, Bytes(reference))), 2),
              std::string("\x01\x00", 2));
    // A leaf that is no reference comes back as it is.
    const unsigned char* plain = DEngine::FindNextTag(a, DEngine::FindNextTag(a, leaf));
    EXPECT_EQ(DEngine::Unabbreviate(handle, plain), plain);
}

TEST_F(ArticleTest, DamagedArticleBlocksAreNeverReadOutside) {
    StreamList streams;
    std::string error;
    ASSERT_TRUE(BuildDictionaryStreams(Description("Bad", 0x0102), Words({"one", "three", "two"}), &streams, &error));
    // Article 0 is whole and ends in a leaf whose data reads as a container length of 0xFFFF;
    // article 1 is whole; article 2 claims more bytes than the block has.
    std::vector<std::uint8_t> block = {0x00, 0x04, 0x01, 0x02, 0xFF, 0xFF, 0x00, 0x03, 0x90, 0x00, 0x40, 0x00, 0x30};
    for (auto& [name, bytes] : streams) {
        if (name == L"2") {
            ASSERT_TRUE(EncodeArticleBlock(block, &bytes));
        }
    }
    ASSERT_TRUE(WriteStreamFile(folder.File(L"bad.dic"), streams, &error));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    const unsigned char* first = DEngine::GetArticle(handle, 0);
    ASSERT_NE(first, nullptr);
    // The last two bytes of the first leaf, taken as a container, would run 65535 bytes on.
    EXPECT_EQ(DEngine::GetTranslationCount(first + 4), 0);
    EXPECT_EQ(DEngine::FindTag(first + 4, 0x01), nullptr);
    // Article 1 holds a 0x90 container tag claiming 64 bytes that are not there.
    const unsigned char* second = DEngine::GetArticle(handle, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DEngine::GetTranslationCount(second), 0);
    EXPECT_EQ(DEngine::GetTranslation(second, 0), nullptr);
    // The block's very last byte as an article: its length field does not fit.
    EXPECT_EQ(DEngine::GetTranslationCount(second + 4), 0);
    EXPECT_EQ(DEngine::GetSrcPart(second + 4, 1), nullptr);
    // Article 2 does not exist inside the block.
    EXPECT_EQ(DEngine::GetArticle(handle, 2), nullptr);
    // A reference leaf cut off by the end of the block is not followed.
    EXPECT_EQ(DEngine::Unabbreviate(handle, second + 4), second + 4);
}

TEST_F(ArticleTest, AMissingOrUndecodableBlockGivesNull) {
    StreamList streams;
    std::string error;
    ASSERT_TRUE(BuildDictionaryStreams(Description("Gone", 0x0102), Words({"one", "two"}), &streams, &error));
    for (auto& [name, bytes] : streams) {
        if (name == L"2")
            bytes = {0x00, 0x40, 0x78, 0x9C, 0x01}; // says 64 bytes, holds a broken zlib stream
    }
    ASSERT_TRUE(WriteStreamFile(folder.File(L"gone.dic"), streams, &error));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(DEngine::GetArticle(handle, 0), nullptr);
    EXPECT_EQ(RecordOf(handle)->articleBlock, 0xFFFF);
}

TEST(WordForms, NoDictionaryHasWordForms) {
    unsigned long indexes[10] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    unsigned char count = 10;
    EXPECT_EQ(DEngine::FindWordWithMorph(nullptr, "went", indexes, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(indexes[0], 7u);
    count = 3;
    EXPECT_EQ(DEngine::FindWordWithMorphE(reinterpret_cast<__DictHandle*>(1), "went", indexes, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(DEngine::GetTotalWordFormsCount(nullptr), 0u);
}

TEST_F(ArticleTest, WordFormsOfAnOpenDictionaryAreNone) {
    __DictHandle* handle = OpenWith(Words({"go", "went"}), Description("Forms", 0x0102));
    ASSERT_NE(handle, nullptr);
    unsigned long indexes[10] = {};
    unsigned char count = 10;
    EXPECT_EQ(DEngine::FindWordWithMorph(handle, "went", indexes, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(DEngine::GetTotalWordFormsCount(handle), 0u);
    DEngine::CloseDictionary(handle);
    EXPECT_EQ(DEngine::GetTotalWordFormsCount(handle), 0u);
}
