// The headword list of open dictionaries: FindWord against the plain entry-by-entry walk on
// generated multi-block dictionaries, GetIndex across block borders, display and key data, pattern
// searches with block skipping, progress and cancel, and damaged blocks.
#include "Compare.h"
#include "DictFixtures.h"
#include "InfoStream.h"
#include "dictengine/BlockStream.h"

#include <cstring>
#include <random>

using namespace dengine;
using namespace dengine::testing;

namespace {

// The lookup as a plain walk over every block key and every entry, to check the engine against.
struct PlainDictionary {
    std::vector<std::string> keys;                // block keys as stored
    std::vector<std::vector<std::string>> blocks; // index entries of each block
    std::uint32_t total = 0;
};

PlainDictionary Decode(const StreamList& streams) {
    PlainDictionary plain;
    const std::vector<std::uint8_t>& info = streams[0].second;
    HeaderLayout layout;
    ParseHeader(info.data() + kNameSize, info.size() - kNameSize, &layout);
    for (std::uint32_t offset : layout.keyOffsets)
        plain.keys.emplace_back(reinterpret_cast<const char*>(info.data() + kNameSize + offset));
    for (std::size_t b = 0; b < layout.blockCount; ++b) {
        std::uint16_t count = 0;
        std::vector<std::uint8_t> data;
        DecodeIndexBlock(streams[1 + 2 * b].second, &count, &data);
        std::vector<std::string> entries;
        for (std::size_t offset = 0; entries.size() < count; offset += entries.back().size() + 1)
            entries.emplace_back(reinterpret_cast<const char*>(data.data() + offset));
        plain.total += count;
        plain.blocks.push_back(entries);
    }
    return plain;
}

const char* Key(const std::string& entry) {
    unsigned char n = static_cast<unsigned char>(entry[0]);
    return n > 0 && n < 0x20 ? entry.c_str() + 1 + n : entry.c_str();
}
const char* Display(const std::string& entry) {
    unsigned char n = static_cast<unsigned char>(entry[0]);
    return n > 0 && n < 0x20 ? entry.c_str() + 1 : entry.c_str();
}

void PlainFindWord(const PlainDictionary& d, unsigned language, const char* text, unsigned long* index, int* exact) {
    LanguageWeights weights(language);
    Weights w = weights.Get();
    *exact = 0;
    const char* s = text;
    while (*s != 0 && static_cast<unsigned char>(*s) < 0x80 && !std::isalnum(static_cast<unsigned char>(*s)))
        ++s;
    const char* t = s;
    if (language == 8 && std::strncmp(s, "se ", 3) == 0)
        t = s + 3;
    else if (language == 8 && std::strncmp(s, "s'", 2) == 0)
        t = s[2] == ' ' ? s + 3 : s + 2;
    *index = 0;
    std::size_t block = d.keys.size() - 1;
    bool chosen = false;
    for (std::size_t i = 0; i < d.keys.size() && !chosen; ++i) {
        int c = FullCompare(w, Key(d.keys[i]), t);
        if (c == 0) {
            block = i;
            chosen = true;
        } else if (c > 0) {
            block = i == 0 ? 0 : i - 1;
            if (i > 0)
                *index -= d.blocks[i - 1].size();
            chosen = true;
        } else {
            *index += d.blocks[i].size();
        }
    }
    if (!chosen)
        *index -= d.blocks.back().size();
    std::size_t n = std::strlen(s), j = 0;
    for (; j < d.blocks[block].size(); ++j) {
        const std::string& e = d.blocks[block][j];
        int c2 = CountedCompare(w, Key(e), t, n);
        int c1 = CountedCompare(w, Display(e), s, n);
        if (c2 < 0 || (c2 == 0 && c1 != 0))
            continue;
        if (c2 > 0 && FirstPassCountedCompare(w, Key(e), s, n) > 0)
            break;
        *exact = FullCompare(w, Key(e), s) == 0;
        break;
    }
    *index += j;
    if (*index >= d.total)
        *index = d.total == 0 ? 0 : d.total - 1;
}

std::string RandomWord(std::mt19937& random, const std::string& alphabet, std::size_t maxLength) {
    std::string word;
    for (std::size_t k = 1 + random() % maxLength; k > 0; --k)
        word.push_back(alphabet[random() % alphabet.size()]);
    return word;
}

// A sorted dictionary of random words over the alphabet, some shown with a prefix ("to ", "se ")
// and found under the word alone; small blocks so that there are many.
std::vector<WriterEntry> RandomEntries(std::mt19937& random, unsigned language, const std::string& alphabet,
                                       std::size_t count) {
    std::vector<WriterEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        std::string word = RandomWord(random, alphabet, 7);
        std::string display = word;
        if (random() % 8 == 0)
            display = (language == 8 ? "se " : "to ") + word;
        entries.push_back({display, word, MakeArticle({{0x01, word}})});
    }
    SortEntries(entries, static_cast<std::uint8_t>(language));
    return entries;
}

class SearchTest : public EngineTest {
protected:
    __DictHandle* OpenNew(const std::wstring& name, std::uint16_t direction, const std::vector<WriterEntry>& entries,
                          std::size_t blockBytes, StreamList* streams = nullptr) {
        DictionaryDescription description = Description("D", direction);
        description.targetIndexBlockBytes = blockBytes;
        description.checkOrder = true;
        StreamList built;
        std::string error;
        EXPECT_TRUE(BuildDictionaryStreams(description, entries, &built, &error)) << error;
        EXPECT_TRUE(WriteStreamFile(folder.File(name), built, &error)) << error;
        if (streams != nullptr)
            *streams = built;
        DEngine::ReloadDictEngine(root.c_str());
        return DEngine::OpenDictionary(DEngine::GetDirectionIndex(direction), 0);
    }

    std::string Display(__DictHandle* handle, unsigned long number) {
        const unsigned char* entry = DEngine::GetSingleIndex(handle, number);
        return entry != nullptr ? DEngine::IndexDataToDisplayData(entry) : "<none>";
    }
};

} // namespace

TEST_F(SearchTest, FindWord_AgreesWithThePlainWalkOnGeneratedDictionaries) {
    struct Case {
        unsigned language;
        std::string alphabet;
    };
    std::vector<Case> cases = {{1, "abcdeyzAB[` -'"},
                               {2, "\xC0\xE0\xC5\xE5\xA8\xB8\xC6\xE6\xFF"
                                   "ab"},
                               {4, "aouAOU\xE4\xF6\xFC\xC4\xDF"
                                   "bs"},
                               {8, "aeAE\xE9\xE8\xEA\xC9"
                                   "bs'"},
                               {16, "aeio\xE0\xE8\xEC\xF2"
                                    "bz"}};
    std::mt19937 random(11);
    for (const Case& c : cases) {
        std::vector<WriterEntry> entries = RandomEntries(random, c.language, c.alphabet, 3000);
        StreamList streams;
        std::uint16_t direction = static_cast<std::uint16_t>(c.language << 8 | (c.language == 2 ? 1 : 2));
        __DictHandle* handle =
            OpenNew(L"gen" + std::to_wstring(c.language) + L".dic", direction, entries, 300, &streams);
        ASSERT_NE(handle, nullptr);
        PlainDictionary plain = Decode(streams);
        ASSERT_GT(plain.blocks.size(), 20u);
        std::vector<std::string> queries = {"", "  ...", "\x01", "\xFF\xFF\xFF\xFF", "s'", "se ", "se a", "s' a"};
        for (int i = 0; i < 1500; ++i) {
            std::string word = RandomWord(random, c.alphabet, 5);
            if (i % 5 == 0)
                word = Key(plain.blocks[random() % plain.blocks.size()][0]);
            if (i % 7 == 0)
                word = "se " + word;
            queries.push_back(word);
            queries.push_back(word.substr(0, 1 + random() % word.size()));
        }
        for (const std::string& query : queries) {
            unsigned long got = 99, expected = 0;
            int exact = 5, expectedExact = 0;
            ASSERT_EQ(DEngine::FindWord(handle, query.c_str(), &got, &exact), 1);
            PlainFindWord(plain, c.language, query.c_str(), &expected, &expectedExact);
            ASSERT_EQ(got, expected) << "language " << c.language << " query \"" << query << "\"";
            ASSERT_EQ(exact, expectedExact) << "language " << c.language << " query \"" << query << "\"";
        }
        DEngine::CloseDictionary(handle);
    }
}

TEST_F(SearchTest, FindWord_EdgesOfTheList) {
    std::vector<WriterEntry> entries = Words({"apple", "banana", "cat", "cats", "dog", "goal"});
    entries.push_back({"to go", "go", MakeArticle({{0x01, "go"}})});
    SortEntries(entries, 1);
    __DictHandle* handle = OpenNew(L"e.dic", 0x0102, entries, 12);
    ASSERT_NE(handle, nullptr);
    unsigned long index = 0;
    int exact = 0;
    ASSERT_EQ(DEngine::FindWord(handle, "  ...cat", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "cat");
    EXPECT_EQ(exact, 1);
    ASSERT_EQ(DEngine::FindWord(handle, "CATS", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "cats");
    ASSERT_EQ(DEngine::FindWord(handle, "ca", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "cat");
    EXPECT_EQ(exact, 0);
    ASSERT_EQ(DEngine::FindWord(handle, "zzz", &index, &exact), 1);
    EXPECT_EQ(index, 6u) << "after every headword: the last one";
    ASSERT_EQ(DEngine::FindWord(handle, "aaa", &index, nullptr), 1);
    EXPECT_EQ(index, 0u);
    // "to go" is kept under "go", but typing "go" passes over it, since its display text does not
    // begin with what was typed, and stops at "goal".
    ASSERT_EQ(DEngine::FindWord(handle, "go", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "goal");
    EXPECT_EQ(exact, 0);
    EXPECT_EQ(Display(handle, index - 1), "to go");
    EXPECT_EQ(DEngine::FindWord(nullptr, "a", &index, &exact), 0);
    DEngine::CloseDictionary(handle);
    EXPECT_EQ(DEngine::FindWord(handle, "a", &index, &exact), 0) << "a closed dictionary";
}

TEST_F(SearchTest, FindWord_FrenchReflexivesAreFoundUnderTheVerb) {
    std::vector<WriterEntry> entries = Words({"asseoir", "laver", "lever"});
    entries.push_back({"se laver", "laver", MakeArticle({{0x01, "x"}})});
    entries.push_back({"s'asseoir", "asseoir", MakeArticle({{0x01, "x"}})});
    SortEntries(entries, 8);
    __DictHandle* handle = OpenNew(L"f.dic", 0x0802, entries, 8192);
    unsigned long index = 0;
    int exact = 0;
    ASSERT_EQ(DEngine::FindWord(handle, "se laver", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "se laver");
    EXPECT_EQ(exact, 0) << "exact compares the key with the whole text typed";
    ASSERT_EQ(DEngine::FindWord(handle, "s'asseoir", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "s'asseoir");
    ASSERT_EQ(DEngine::FindWord(handle, "laver", &index, &exact), 1);
    EXPECT_EQ(Display(handle, index), "laver");
    EXPECT_EQ(exact, 1);
}

TEST_F(SearchTest, FindWord_EmptyDictionaryGivesZero) {
    __DictHandle* handle = OpenNew(L"empty.dic", 0x0102, {}, 8192);
    ASSERT_NE(handle, nullptr);
    unsigned long index = 7;
    int exact = 3;
    EXPECT_EQ(DEngine::FindWord(handle, "anything", &index, &exact), 1);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(exact, 0);
    const unsigned char* entry = nullptr;
    EXPECT_EQ(DEngine::GetIndex(handle, 0, 1, &entry), 0);
}

TEST_F(SearchTest, GetIndex_RunsAcrossBlockBordersAndRefusesPastTheEnd) {
    std::vector<std::string> words;
    for (int i = 0; i < 400; ++i)
        words.push_back("w" + std::to_string(1000 + i));
    __DictHandle* handle = OpenNew(L"i.dic", 0x0102, Words(words), 100);
    ASSERT_NE(handle, nullptr);
    std::vector<const unsigned char*> rows(100);
    ASSERT_EQ(DEngine::GetIndex(handle, 150, 100, rows.data()), 1);
    DEngine::IndexDataToDisplayData(100, rows.data());
    for (int i = 0; i < 100; ++i)
        ASSERT_STREQ(reinterpret_cast<const char*>(rows[i]), words[150 + i].c_str());
    ASSERT_EQ(DEngine::GetIndex(handle, 300, 100, rows.data()), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(rows[99]), "w1399");
    EXPECT_EQ(DEngine::GetIndex(handle, 301, 100, rows.data()), 0);
    EXPECT_EQ(DEngine::GetIndex(handle, 400, 1, rows.data()), 0);
    EXPECT_EQ(DEngine::GetSingleIndex(handle, 400), nullptr);
    EXPECT_STREQ(DEngine::IndexDataToDisplayData(DEngine::GetSingleIndex(handle, 0)), "w1000");
}

TEST_F(SearchTest, DisplayAndKeyData_StepOverTheControlByte) {
    const unsigned char plain[] = "word";
    const unsigned char prefixed[] = "\x03to go";
    EXPECT_EQ(DEngine::IndexDataToDisplayData(plain), reinterpret_cast<const char*>(plain));
    EXPECT_STREQ(DEngine::IndexDataToDisplayData(prefixed), "to go");
    EXPECT_STREQ(DEngine::IndexDataToKeyData(prefixed), " go");
    EXPECT_STREQ(DEngine::IndexDataToKeyData(plain), "word");
    const unsigned char* rows[2] = {plain, prefixed};
    EXPECT_EQ(DEngine::IndexDataToKeyData(2, rows), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(rows[1]), " go");
}

namespace {
std::vector<unsigned long> g_progressCalls;
int CountProgress(unsigned long, unsigned long current, unsigned short) {
    g_progressCalls.push_back(current);
    return 1;
}
int CancelAtOnce(unsigned long, unsigned long, unsigned short) {
    return 0;
}
} // namespace

TEST_F(SearchTest, PerformSearch_PatternsAndProgress) {
    std::vector<std::string> words = {"a", "ab", "abc", "abd", "b", "ba", "bab", "c", "ca", "x"};
    for (int i = 0; i < 500; ++i)
        words.push_back("m" + std::to_string(1000 + i));
    std::vector<WriterEntry> entries = Words(words);
    SortEntries(entries, 1);
    __DictHandle* handle = OpenNew(L"p.dic", 0x0102, entries, 64);
    ASSERT_NE(handle, nullptr);
    auto search = [&](const char* pattern, int expectedResult) {
        unsigned long count = 0;
        unsigned long* indexes = nullptr;
        unsigned char* found = nullptr;
        EXPECT_EQ(DEngine::PerformSearch(handle, pattern, &count, &indexes, &found, nullptr), expectedResult);
        std::vector<std::string> texts;
        const unsigned char* p = found;
        for (unsigned long i = 0; i < count; ++i) {
            EXPECT_STREQ(DEngine::IndexDataToDisplayData(DEngine::GetSingleIndex(handle, indexes[i])),
                         reinterpret_cast<const char*>(p));
            texts.emplace_back(reinterpret_cast<const char*>(p));
            p += texts.back().size() + 1;
        }
        DEngine::FreePtr(indexes);
        DEngine::FreePtr(found);
        return texts;
    };
    EXPECT_EQ(search("*", 1).size(), words.size());
    EXPECT_EQ(search("?", 1), (std::vector<std::string>{"a", "b", "c", "x"}));
    EXPECT_EQ(search("ab*", 1), (std::vector<std::string>{"ab", "abc", "abd"}));
    EXPECT_EQ(search("a?*", 1), (std::vector<std::string>{"ab", "abc", "abd"}));
    EXPECT_EQ(search("AB", 1), (std::vector<std::string>{"ab", "abc", "abd"}));
    EXPECT_EQ(search("?a?", 1), (std::vector<std::string>{"bab"}));
    EXPECT_EQ(search("m1499", 1), (std::vector<std::string>{"m1499"}));
    EXPECT_TRUE(search("q", 1).empty());
    EXPECT_TRUE(search(std::string(256, 'a').c_str(), 0).empty()) << "a pattern over 255 bytes is refused";

    unsigned long count = 0;
    unsigned long* indexes = nullptr;
    g_progressCalls.clear();
    ASSERT_EQ(DEngine::PerformSearch(handle, "*", &count, &indexes, nullptr, CountProgress), 1);
    EXPECT_EQ(g_progressCalls, (std::vector<unsigned long>{0, 100, 200, 300, 400, 500}));
    DEngine::FreePtr(indexes);
    ASSERT_EQ(DEngine::PerformSearch(handle, "*", &count, &indexes, nullptr, CancelAtOnce), 1);
    EXPECT_EQ(count, 0u);
    DEngine::FreePtr(indexes);
}

TEST_F(SearchTest, DamagedBlock_FailsTheCallThatNeedsIt) {
    std::vector<std::string> words;
    for (int i = 0; i < 300; ++i)
        words.push_back("w" + std::to_string(1000 + i));
    DictionaryDescription description = Description("D", 0x0102);
    description.targetIndexBlockBytes = 200;
    StreamList streams;
    std::string error;
    ASSERT_TRUE(BuildDictionaryStreams(description, Words(words), &streams, &error));
    // Block 1: the compressed data cut short; block 2: one entry fewer than its count promises.
    streams[3].second.resize(streams[3].second.size() / 2);
    std::uint16_t count = 0;
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(DecodeIndexBlock(streams[5].second, &count, &data));
    data.resize(data.size() - 6);
    ASSERT_TRUE(EncodeIndexBlock(count, data, &streams[5].second));
    ASSERT_TRUE(WriteStreamFile(folder.File(L"damaged.dic"), streams, &error));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    unsigned long index = 0;
    EXPECT_EQ(DEngine::FindWord(handle, "w1000", &index, nullptr), 1) << "block 0 is sound";
    const unsigned char* row = nullptr;
    unsigned long firstOfBlock1 = 0;
    for (unsigned long n = 0; DEngine::GetSingleIndex(handle, n) != nullptr; ++n)
        firstOfBlock1 = n + 1;
    EXPECT_LT(firstOfBlock1, 300u);
    EXPECT_EQ(DEngine::GetIndex(handle, firstOfBlock1, 1, &row), 0);
    unsigned long found = 0;
    unsigned long* indexes = nullptr;
    EXPECT_EQ(DEngine::PerformSearch(handle, "*", &found, &indexes, nullptr, nullptr), 0);
    EXPECT_EQ(found, 0u);
    EXPECT_EQ(indexes, nullptr);
    // Searches whose prefix lies wholly in sound blocks never load the damaged ones: the blocks before
    // the prefix's range and those after it are skipped by their keys.
    for (auto [pattern, matches] : {std::pair{"w1000", 1u}, {"w12?9", 10u}, {"w1299*", 1u}}) {
        ASSERT_EQ(DEngine::PerformSearch(handle, pattern, &found, &indexes, nullptr, nullptr), 1) << pattern;
        EXPECT_EQ(found, matches) << pattern;
        DEngine::FreePtr(indexes);
    }
}
