// Damaged dictionary files are left out by enumeration and refused by attach and open, without a
// read outside their bytes (the sanitizer build runs these too).
#include "DictFixtures.h"
#include "InfoStream.h"
#include "dictengine/DictFormat.h"

#include "dictengine/BlockStream.h"
#include "dictengine/DictFile.h"

#include <algorithm>

using namespace dengine::testing;

namespace {

std::vector<std::uint8_t> InfoStream(std::uint16_t blockCount, const std::vector<std::uint8_t>& afterFixedPart,
                                     std::uint8_t version = 1) {
    std::vector<std::uint8_t> stream = {'B', 'a', 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, version, 1, 0, 0, 0, 2};
    stream.push_back(static_cast<std::uint8_t>(blockCount >> 8));
    stream.push_back(static_cast<std::uint8_t>(blockCount));
    stream.push_back(0x01);
    stream.push_back(0x02);
    stream.insert(stream.end(), afterFixedPart.begin(), afterFixedPart.end());
    return stream;
}

class BadFileTest : public EngineTest {
protected:
    // A file with the streams of a good two-word dictionary, stream "0" replaced.
    std::wstring WithInfoStream(const std::wstring& name, const std::vector<std::uint8_t>& info) {
        dengine::StreamList streams;
        std::string error;
        EXPECT_TRUE(dengine::BuildDictionaryStreams(Description("Good", 0x0102), Words({"a", "b"}), &streams, &error));
        streams[0].second = info;
        std::wstring path = folder.File(name);
        EXPECT_TRUE(dengine::WriteStreamFile(path, streams, &error)) << error;
        return path;
    }
};

} // namespace

TEST_F(BadFileTest, DamagedInformationStreams_AreSkippedAndRefused) {
    std::vector<std::wstring> bad = {
        WithInfoStream(L"short.dic", std::vector<std::uint8_t>(21, 'x')),
        WithInfoStream(L"morekeys.dic", InfoStream(3, {'a', 0, 'b', 0, 0, 0})),
        WithInfoStream(L"unterminated.dic", InfoStream(1, {'a', 'b', 'c'})),
        WithInfoStream(L"trailer.dic", InfoStream(1, {'a', 0, 0x00, 0x09, 0xCD, 0})),
        WithInfoStream(L"notrailer.dic", InfoStream(1, {'a', 0})),
    };
    testsupport::WriteFileBytes(folder.File(L"text.dic"), "just some text, not a compound file");
    testsupport::WriteFileBytes(folder.File(L"empty.dic"), "");
    dengine::StreamList noInfo = {{L"1", {0, 0, 0, 0}}};
    std::string error;
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"noinfo.dic"), noInfo, &error));
    bad.push_back(folder.File(L"text.dic"));
    bad.push_back(folder.File(L"empty.dic"));
    bad.push_back(folder.File(L"noinfo.dic"));
    MakeDictionary(L"good.dic", Description("Good", 0x0201));

    Init();
    ASSERT_EQ(Directions(), (std::vector<unsigned short>{0x0201}));
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 1);
    for (const std::wstring& path : bad)
        EXPECT_EQ(DEngine::AttachDictionary(path.c_str()), 0) << testsupport::ToPath(path).string();
    EXPECT_EQ(DEngine::AttachDictionary(folder.File(L"missing.dic").c_str()), 0);
    EXPECT_EQ(DEngine::AttachDictionary(nullptr), 0);
    EXPECT_EQ(DEngine::GetDirectionCount(), 1);
}

TEST_F(BadFileTest, WrongVersion_IsListedButCannotBeOpened) {
    WithInfoStream(L"v2.dic", InfoStream(1, {'a', 0, 0, 0}, 2));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    EXPECT_EQ(DEngine::GetVersion(handle), 0x0201);
    EXPECT_EQ(DEngine::OpenDictionary(handle), nullptr);
}

TEST_F(BadFileTest, ShortCountTable_FallsBackToTheBlockStreams) {
    // The table claims one entry of four bytes for two blocks: the counts come from the streams.
    std::wstring path =
        WithInfoStream(L"short-table.dic", InfoStream(2, {'a', 0, 'b', 0, 0x00, 0x07, 0xCD, 0x00, 0x04, 0, 0, 1, 0}));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    // The good file has a single block, so its stream "3" is missing and the open fails cleanly.
    EXPECT_EQ(DEngine::OpenDictionary(0, 0), nullptr);
}

namespace {

// A dictionary of several index blocks whose counts a test damages: the 0xCD table entry of a block,
// the header's headword count and the count at the start of an index block stream.
class CountTest : public EngineTest {
protected:
    dengine::StreamList streams;
    std::vector<std::string> words;

    void SetUp() override {
        for (char first = 'a'; first <= 'z'; ++first)
            words.push_back(std::string(2, first) + "word");
        dengine::DictionaryDescription description = Description("Counts", 0x0102);
        description.targetIndexBlockBytes = 40;
        std::string error;
        ASSERT_TRUE(dengine::BuildDictionaryStreams(description, Words(words), &streams, &error)) << error;
        ASSERT_GE(BlockCount(), 3u);
    }

    unsigned BlockCount() const { return static_cast<unsigned>((streams.size() - 1) / 2); }
    std::uint8_t* Header() { return streams[0].second.data() + dengine::kNameSize; }

    // Adds delta to the table's count of block i.
    void ChangeTableCount(unsigned block, int delta) {
        dengine::HeaderLayout layout;
        ASSERT_TRUE(dengine::ParseHeader(Header(), streams[0].second.size() - dengine::kNameSize, &layout));
        dengine::TagView table;
        ASSERT_TRUE(dengine::FindTopLevelTag(Header() + layout.trailerTagsBegin, Header() + layout.trailerTagsEnd,
                                             dengine::kTagBlockCountTable, table));
        auto* entry = const_cast<std::uint8_t*>(table.data) + block * 4;
        unsigned count = (entry[2] | entry[3] << 8) + delta;
        entry[2] = static_cast<std::uint8_t>(count);
        entry[3] = static_cast<std::uint8_t>(count >> 8);
    }
    void ChangeHeadwordCount(int delta) { Header()[5] = static_cast<std::uint8_t>(Header()[5] + delta); }
    std::uint32_t HeadwordCount() { return dengine::ReadBigEndian32(Header() + dengine::kHeaderHeadwordCount); }
    void SetHeadwordCount(std::uint32_t count) {
        dengine::WriteBigEndian32(Header() + dengine::kHeaderHeadwordCount, count);
    }
    std::uint16_t StreamCount(unsigned block) { return dengine::ReadBigEndian16(streams[1 + 2 * block].second.data()); }
    void SetStreamCount(unsigned block, std::uint16_t count) {
        streams[1 + 2 * block].second[0] = static_cast<std::uint8_t>(count >> 8);
        streams[1 + 2 * block].second[1] = static_cast<std::uint8_t>(count);
    }

    __DictHandle* Open() {
        std::string error;
        EXPECT_TRUE(dengine::WriteStreamFile(folder.File(L"counts.dic"), streams, &error)) << error;
        Init();
        return DEngine::OpenDictionary(0, 0);
    }

    // FindWord of each word: its number when found exactly, -1 when found inexactly, -2 on failure.
    std::vector<long> Lookups(__DictHandle* handle) {
        std::vector<long> results;
        for (const std::string& word : words) {
            unsigned long index = 0;
            int exact = 0;
            if (DEngine::FindWord(handle, word.c_str(), &index, &exact) != 1)
                results.push_back(-2);
            else
                results.push_back(exact ? static_cast<long>(index) : -1);
        }
        return results;
    }
};

std::vector<long> Numbers(std::size_t count) {
    std::vector<long> numbers(count);
    for (std::size_t i = 0; i < count; ++i)
        numbers[i] = static_cast<long>(i);
    return numbers;
}

} // namespace

TEST_F(CountTest, Undamaged_EveryWordIsFoundAtItsNumber) {
    __DictHandle* handle = Open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Lookups(handle), Numbers(words.size()));
}

TEST_F(CountTest, BlockCountsThatDoNotAddUpToTheHeader_RefuseTheFile) {
    ChangeTableCount(BlockCount() - 1, +1); // raised: "zzword" would be followed by an unreadable one
    EXPECT_EQ(Open(), nullptr);
    DEngine::DoneDictEngine();
    ChangeTableCount(BlockCount() - 1, -2); // lowered: a headword would vanish
    EXPECT_EQ(Open(), nullptr);
    DEngine::DoneDictEngine();
    ChangeTableCount(BlockCount() - 1, +1);
    ChangeHeadwordCount(+3); // the header alone: lookups would point past the last headword
    EXPECT_EQ(Open(), nullptr);
    std::string error;
    dengine::DictFileInfo fileInfo;
    EXPECT_FALSE(dengine::ReadDictFileInfo(folder.File(L"counts.dic"), &fileInfo, &error));
    EXPECT_NE(error.find("add up"), std::string::npos) << error;
}

TEST_F(CountTest, ABlockThatDoesNotHoldItsCount_IsRefused) {
    // Table and header agree, but block 1 holds one entry fewer than both say...
    unsigned last = BlockCount() - 1;
    ChangeTableCount(last, +1);
    ChangeHeadwordCount(+1);
    // ...and block 0 one more.
    ChangeTableCount(0, -1);
    ChangeHeadwordCount(-1);
    __DictHandle* handle = Open();
    ASSERT_NE(handle, nullptr);
    std::vector<long> results = Lookups(handle);
    unsigned long index = 0;
    int exact = 0;
    // Lookups in the damaged blocks fail instead of answering with wrong numbers; "zoo" after the last
    // headword does not find an unreadable one.
    EXPECT_EQ(results.front(), -2);
    EXPECT_EQ(results.back(), -2);
    EXPECT_EQ(DEngine::FindWord(handle, "zoo", &index, &exact), 0);
    const unsigned char* entries[1];
    EXPECT_EQ(DEngine::GetIndex(handle, DEngine::GetTotalWordCount(handle) - 1, 1, entries), 0);
    // The blocks in between still answer exactly (at the numbers the counts give them).
    for (std::size_t i = 0; i < words.size(); ++i)
        if (results[i] != -2)
            EXPECT_EQ(results[i], static_cast<long>(i) - 1) << words[i];
    EXPECT_GT(std::count_if(results.begin(), results.end(), [](long r) { return r >= 0; }), 0);
}

TEST_F(CountTest, AStreamCountOfZeroReadsWithTheTablesCount_AnyOtherMismatchIsRefused) {
    for (unsigned block = 0; block < BlockCount(); ++block)
        SetStreamCount(block, 0);
    __DictHandle* handle = Open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Lookups(handle), Numbers(words.size()));
    DEngine::DoneDictEngine();
    SetStreamCount(1, 1); // neither 0 nor the table's count
    handle = Open();
    ASSERT_NE(handle, nullptr);
    std::vector<long> results = Lookups(handle);
    EXPECT_EQ(results.front(), 0);
    EXPECT_EQ(results.back(), static_cast<long>(words.size() - 1));
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (results[i] != -2) {
            EXPECT_EQ(results[i], static_cast<long>(i)) << words[i];
        }
    }
    EXPECT_GT(std::count(results.begin(), results.end(), -2), 0);
}

TEST_F(CountTest, AUserDictionaryWithADamagedCountIsNeverWrittenTo) {
    dengine::DictionaryDescription user = Description("Mine", 0x0102, 4);
    std::string error;
    ASSERT_TRUE(dengine::BuildDictionaryStreams(user, Words({"alpha", "beta", "gamma"}), &streams, &error));
    ChangeHeadwordCount(+1);
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"ER_User.dic"), streams, &error));
    std::string before = testsupport::ReadFileBytes(folder.File(L"ER_User.dic"));
    Init();
    __DictHandle* handle = DEngine::OpenUserDictionary(0x0102);
    EXPECT_EQ(handle, nullptr);
    std::string article = dengine::MakeArticle({{0x01, "x"}});
    EXPECT_EQ(DEngine::AddArticle(DEngine::GetDictionaryHandle(0, 0), reinterpret_cast<const unsigned char*>("delta"),
                                  reinterpret_cast<const unsigned char*>(article.c_str())),
              0xFFFFFFFFul);
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"ER_User.dic")), before);
}

TEST_F(BadFileTest, ATableClaimingABillionHeadwords_RefusesTheFile) {
    // Header and block-count table agree on 10^9 headwords in 15,260 blocks, far more than the
    // file's block streams can hold: first with only the two-word dictionary's own block streams,
    // then with a small real stream of one entry for every block.
    const std::uint32_t claimed = 1000000000;
    const unsigned blocks = (claimed + 65534) / 65535;
    dengine::InformationStream information;
    information.name = "Huge";
    information.headwordCount = claimed;
    information.direction = 0x0102;
    std::string table;
    for (unsigned i = 0; i < blocks; ++i) {
        information.blockKeys.push_back(i == 0 ? "a" : "b");
        std::uint32_t count = std::min<std::uint32_t>(65535, claimed - i * 65535);
        table += {0, 0, static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
    }
    ASSERT_TRUE(dengine::AppendTag(information.trailerTags, dengine::kTagBlockCountTable, table));
    std::vector<std::uint8_t> info;
    ASSERT_TRUE(dengine::MakeInformationStream(information, &info));
    WithInfoStream(L"huge-missing.dic", info);

    dengine::StreamList streams = {{L"0", info}};
    std::vector<std::uint8_t> oneEntry;
    ASSERT_TRUE(dengine::EncodeIndexBlock(1, {'b', 0}, &oneEntry));
    for (unsigned i = 0; i < blocks; ++i) {
        streams.emplace_back(dengine::BlockStreamName(i, dengine::kIndexBlockStream), oneEntry);
        streams.emplace_back(dengine::BlockStreamName(i, dengine::kArticleBlockStream), std::vector<std::uint8_t>(2));
    }
    std::string error;
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"huge-small.dic"), streams, &error)) << error;

    Init();
    ASSERT_EQ(DEngine::GetDictionaryCount(0), 2);
    for (unsigned short i = 0; i < 2; ++i) {
        __DictHandle* handle = DEngine::GetDictionaryHandle(0, i);
        EXPECT_EQ(DEngine::OpenDictionary(handle), nullptr) << DEngine::GetDictionaryName(handle);
        EXPECT_EQ(DEngine::CloseDictionary(handle), 0) << "a refused open leaves it closed";
        unsigned long index = 0;
        EXPECT_EQ(DEngine::FindWord(handle, "a", &index, nullptr), 0);
    }
}

TEST_F(CountTest, ACountItsBlockStreamCannotHold_RefusesTheFile) {
    // Block 0 of about forty bytes claims the most entries a block may have; header and table agree.
    std::uint32_t total = HeadwordCount();
    const std::uint16_t blockZero = StreamCount(0);
    ChangeTableCount(0, 65535 - blockZero);
    SetHeadwordCount(total - blockZero + 65535);
    EXPECT_EQ(Open(), nullptr);
    DEngine::DoneDictEngine();
    std::string error;
    dengine::DictFileInfo fileInfo;
    EXPECT_FALSE(dengine::ReadDictFileInfo(folder.File(L"counts.dic"), &fileInfo, &error));
    EXPECT_NE(error.find("cannot hold"), std::string::npos) << error;

    // Without the table the count comes from the block stream itself, and is bounded the same way.
    dengine::DictionaryDescription description = Description("Counts", 0x0102);
    description.targetIndexBlockBytes = 40;
    description.writeCountTable = false;
    ASSERT_TRUE(dengine::BuildDictionaryStreams(description, Words(words), &streams, &error)) << error;
    SetStreamCount(0, 65535);
    SetHeadwordCount(total - blockZero + 65535);
    EXPECT_EQ(Open(), nullptr);
}

TEST_F(CountTest, ACountItsStreamCouldHoldButItsEntriesDoNot_IsRefusedOnRead) {
    // Block 1 claims 200 entries more than it has: few enough for its stream's size, so the file
    // opens, but the block is refused when it is read and the headwords after it keep their numbers.
    const unsigned first = StreamCount(0);
    const unsigned end = first + StreamCount(1);
    ChangeTableCount(1, +200);
    SetHeadwordCount(HeadwordCount() + 200);
    __DictHandle* handle = Open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), words.size() + 200);
    std::vector<long> results = Lookups(handle);
    for (unsigned i = 0; i < words.size(); ++i) {
        long expected = i < first ? long(i) : i < end ? -2 : long(i) + 200;
        EXPECT_EQ(results[i], expected) << words[i];
    }
    const unsigned char* entries[2] = {};
    EXPECT_EQ(DEngine::GetIndex(handle, first - 1, 2, entries), 0);
    EXPECT_EQ(DEngine::GetSingleIndex(handle, first + 150), nullptr);
    EXPECT_EQ(DEngine::GetArticle(handle, first + 150), nullptr);
    unsigned long found = 0;
    unsigned long* indexes = nullptr;
    EXPECT_EQ(DEngine::PerformSearch(handle, "*", &found, &indexes, nullptr, nullptr), 0);
    EXPECT_EQ(found, 0u);
    DEngine::FreePtr(indexes);
    EXPECT_EQ(DEngine::GetIndex(handle, end + 200, 2, entries), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(entries[0]), words[end].c_str());
}
