// User dictionaries on real files: making them, the whole life of one (adding in and out of order,
// equal keys, replacing, deleting down to empty, reading back after a restart), the limits of the
// blocks, operations refused on other dictionaries, and a change that fails part-way through, which
// must leave the file and the engine as they were.
#include "DictFixtures.h"
#include "Engine.h"
#include "UserFiles.h"

#include "base/FileSystem.h"

#include "cfb/Storage.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

using namespace dengine;
using namespace dengine::testing;

namespace {

int g_writesBeforeFault = -1;

bool WriteAllowed() {
    if (g_writesBeforeFault == 0)
        return false;
    --g_writesBeforeFault;
    return true;
}

// The next `writes` stream writes succeed and every one after them fails, until called again with
// -1 (never fail).
void FailUserWritesAfter(int writes) {
    g_writesBeforeFault = writes;
    SetUserWriteGate(writes < 0 ? nullptr : WriteAllowed);
}

std::vector<std::uint8_t> ReadStream(const std::wstring& path, const std::wstring& name) {
    std::unique_ptr<cfb::Storage> storage;
    std::vector<std::uint8_t> bytes;
    if (cfb::Succeeded(cfb::OpenRootStorage(path, cfb::Mode::Read | cfb::Mode::ShareExclusive, &storage)))
        ReadWholeStream(*storage, name, &bytes);
    return bytes;
}

std::string FileBytes(const std::wstring& path) {
    return testsupport::ReadFileBytes(path);
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.c_str());
}

std::string Article(const std::string& text) {
    return MakeArticle({{0x01, text}});
}

class UserDictionaryTest : public EngineTest {
protected:
    void TearDown() override {
        FailUserWritesAfter(-1);
        EngineTest::TearDown();
    }

    // The English-Russian user dictionary of a folder that holds one ordinary dictionary.
    __DictHandle* OpenUser() {
        MakeDictionary(L"general.dic", Description("General", 0x0102));
        Init();
        return DEngine::OpenUserDictionary(0x0102);
    }

    unsigned long Add(__DictHandle* handle, const std::string& entry, const std::string& text) {
        std::string article = Article(text);
        return DEngine::AddArticle(handle, Bytes(entry), Bytes(article));
    }

    // Every headword with its article text, in order.
    std::vector<std::string> Contents(__DictHandle* handle) {
        std::vector<std::string> rows;
        for (unsigned long i = 0; i < DEngine::GetTotalWordCount(handle); ++i) {
            const unsigned char* entry = DEngine::GetSingleIndex(handle, i);
            const unsigned char* article = DEngine::GetArticle(handle, i);
            if (entry == nullptr || article == nullptr) {
                rows.push_back("<missing>");
                continue;
            }
            const unsigned char* leaf = DEngine::FindTag(article, 0x01);
            rows.push_back(std::string(DEngine::IndexDataToDisplayData(entry)) + "=" +
                           (leaf ? std::string(reinterpret_cast<const char*>(leaf + 2), leaf[1]) : "?"));
        }
        return rows;
    }

    // Block key 0 as the file holds it; the file must be closed.
    std::string BlockKey(const std::wstring& path) {
        std::vector<std::uint8_t> info = ReadStream(path, L"0");
        return info.size() > 22 ? std::string(reinterpret_cast<const char*>(info.data() + 22)) : "<none>";
    }
    // Block key 0 as the engine holds it.
    std::string BlockKey(__DictHandle* handle) {
        return reinterpret_cast<const char*>(RecordOf(handle)->Header().data() + kHeaderKeys);
    }
};

using Rows = std::vector<std::string>;

} // namespace

TEST_F(UserDictionaryTest, OpenUserDictionaryMakesTheDirectionsFile) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    std::wstring path = folder.File(L"ER_User.dic");
    EXPECT_EQ(DEngine::GetDictionaryPath(handle), path);
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 2);
    EXPECT_EQ(DEngine::GetDictionaryHandle(0, 1), handle);
    EXPECT_STREQ(DEngine::GetDictionaryName(handle), "User");
    EXPECT_EQ(DEngine::GetDictionaryType(handle), 4);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 0u);
    EXPECT_EQ(DEngine::OpenUserDictionary(0x0102), handle);
    EXPECT_EQ(RecordOf(handle)->openCount, 2);
    DEngine::ForceCloseDictionary(handle);

    std::vector<std::uint8_t> info = {'U', 's', 'e', 'r', 0, 0, 0, 0, 0, 0, 0, 0, 1,
                                      4,   0,   0,   0,   0, 0, 1, 1, 2, 0, 0, 0};
    EXPECT_EQ(ReadStream(path, L"0"), info);
    EXPECT_EQ(ReadStream(path, L"1"), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(ReadStream(path, L"2"), std::vector<std::uint8_t>(2, 0));
}

TEST_F(UserDictionaryTest, ADirectionWithoutDictionariesStaysWhenTheFileCannotBeMade) {
    Init();
    { std::ofstream(testsupport::ToPath(folder.File(L"GF_User.dic"))) << "not a dictionary"; }
    EXPECT_EQ(DEngine::OpenUserDictionary(0x0408), nullptr);
    unsigned short dirIndex = DEngine::GetDirectionIndex(static_cast<unsigned short>(0x0408));
    ASSERT_NE(dirIndex, 0xFFFF);
    EXPECT_EQ(DEngine::GetDictionaryCount(dirIndex), 0);
    EXPECT_EQ(FileBytes(folder.File(L"GF_User.dic")), "not a dictionary");
    // A direction that can be made gets its file and the dictionary.
    __DictHandle* handle = DEngine::OpenUserDictionary(0x0804);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(ovrin::FileExists(folder.File(L"FG_User.dic")));
}

TEST_F(UserDictionaryTest, CreateUserDictionaryNamesFilesByGuid) {
    MakeDictionary(L"general.dic", Description("General", 0x0102));
    Init();
    EXPECT_EQ(DEngine::CreateUserDictionary(1, nullptr, L"Mine"), 0xFFFF); // no such direction
    EXPECT_EQ(DEngine::CreateUserDictionary(0, nullptr, L"General"), 0xFFFF);
    unsigned short mine = DEngine::CreateUserDictionary(0, nullptr, L"Mine");
    ASSERT_EQ(mine, 1);
    unsigned short unnamed = DEngine::CreateUserDictionary(0, folder.File(L"").c_str(), L"");
    ASSERT_EQ(unnamed, 2);
    EXPECT_STREQ(DEngine::GetDictionaryName(0, unnamed), "User");
    EXPECT_EQ(DEngine::CreateUserDictionary(0, nullptr, L"Mine"), 0xFFFF);
    std::wstring path = DEngine::GetDictionaryPath(0, mine);
    std::string name = testsupport::ToPath(path.substr(root.size() + 1)).string();
    EXPECT_TRUE(
        std::regex_match(name, std::regex("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}\\.dic")))
        << name;
    EXPECT_NE(path, DEngine::GetDictionaryPath(0, unnamed));
    EXPECT_EQ(RecordOf(DEngine::GetDictionaryHandle(0, mine))->openCount, 0); // made, not opened
    EXPECT_EQ(ReadStream(path, L"0").size(), 25u);
    // After a restart the files are listed as user dictionaries of the direction, last.
    DEngine::ReloadDictEngine(root.c_str());
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 3);
    EXPECT_EQ(DEngine::GetDictionaryType(0, 2), 4);
}

TEST_F(UserDictionaryTest, TheLifeOfAUserDictionary) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    std::wstring path = DEngine::GetDictionaryPath(handle);
    EXPECT_EQ(Add(handle, "mango", "m"), 0u);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 1u);
    EXPECT_EQ(BlockKey(handle), "mango");
    EXPECT_EQ(Add(handle, "pear", "p"), 1u);
    EXPECT_EQ(Add(handle, "apple", "a"), 0u); // before the first: the new block key
    EXPECT_EQ(BlockKey(handle), "apple");
    EXPECT_EQ(Add(handle, "kiwi", "k"), 1u);
    EXPECT_EQ(Add(handle, "zucchini", "z"), 4u);
    std::string shown("\x04"
                      "the kiwi",
                      9); // shown as "the kiwi", found under "kiwi"
    EXPECT_EQ(DEngine::AddArticle(handle, Bytes(shown), Bytes(Article("k0"))), 2u);
    // An equal key goes right after the headword that the lookup finds for it.
    EXPECT_EQ(Add(handle, "pear", "p2"), 5u);
    EXPECT_EQ(Add(handle, "pear", "p3"), 5u);
    EXPECT_EQ(Contents(handle),
              (Rows{"apple=a", "kiwi=k", "the kiwi=k0", "mango=m", "pear=p", "pear=p3", "pear=p2", "zucchini=z"}));

    std::string replaced = Article("MANGO");
    EXPECT_EQ(DEngine::SetArticle(handle, 3, Bytes(replaced)), 1);
    EXPECT_EQ(DEngine::SetArticle(handle, 8, Bytes(replaced)), 0);
    EXPECT_EQ(DEngine::DeleteArticle(handle, 8), 0);
    EXPECT_EQ(DEngine::DeleteArticle(handle, 0), 1); // the first: the block key follows
    EXPECT_EQ(BlockKey(handle), "kiwi");
    EXPECT_EQ(DEngine::DeleteArticle(handle, 4), 1);
    EXPECT_EQ(Contents(handle), (Rows{"kiwi=k", "the kiwi=k0", "mango=MANGO", "pear=p", "pear=p2", "zucchini=z"}));

    // Read back from the file after a restart.
    DEngine::ReloadDictEngine(root.c_str());
    handle = DEngine::OpenUserDictionary(0x0102);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(DEngine::GetDictionaryPath(handle), path);
    EXPECT_EQ(Contents(handle), (Rows{"kiwi=k", "the kiwi=k0", "mango=MANGO", "pear=p", "pear=p2", "zucchini=z"}));
    unsigned long index = 0;
    int exact = 0;
    ASSERT_EQ(DEngine::FindWord(handle, "pear", &index, &exact), 1);
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(exact, 1);

    while (DEngine::GetTotalWordCount(handle) > 0)
        ASSERT_EQ(DEngine::DeleteArticle(handle, 0), 1);
    EXPECT_EQ(DEngine::DeleteArticle(handle, 0), 0);
    DEngine::ForceCloseDictionary(handle);
    std::vector<std::uint8_t> info = {'U', 's', 'e', 'r', 0, 0, 0, 0, 0, 0, 0, 0, 1,
                                      4,   0,   0,   0,   0, 0, 1, 1, 2, 0, 0, 0};
    EXPECT_EQ(ReadStream(path, L"0"), info); // count 0 and an empty block key
    EXPECT_EQ(ReadStream(path, L"1"), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(ReadStream(path, L"2"), std::vector<std::uint8_t>(2, 0));
    handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 1));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(RecordOf(handle)->blocks.size(), 1u);
    EXPECT_EQ(RecordOf(handle)->blocks[0].count, 0);
    EXPECT_EQ(Add(handle, "again", "g"), 0u);
}

TEST_F(UserDictionaryTest, AFullArticleBlockRefusesAndChangesNothing) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    std::string big(250, 'x');
    // Each article is 2 + 2 + 250 bytes; 251 of them fill 63754 of the 64000 bytes.
    for (int i = 0; i < 251; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "w%03d", i);
        ASSERT_EQ(Add(handle, word, big), static_cast<unsigned long>(i));
    }
    // The file is compared closed: an open dictionary holds it exclusively.
    std::wstring path = DEngine::GetDictionaryPath(handle);
    DEngine::ForceCloseDictionary(handle);
    std::string file = FileBytes(path);
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(DEngine::OpenDictionary(handle), handle);
    Rows before = Contents(handle);
    EXPECT_EQ(Add(handle, "w999", big), 0xFFFFFFFFul);
    EXPECT_EQ(Add(handle, "a", big), 0xFFFFFFFFul);
    EXPECT_EQ(DEngine::SetArticle(handle, 0, Bytes(Article(big))), 0); // no room beside the old one either
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 251u);
    EXPECT_EQ(Contents(handle), before);
    DEngine::ForceCloseDictionary(handle);
    EXPECT_EQ(FileBytes(path), file);
    ASSERT_EQ(DEngine::OpenDictionary(handle), handle);
    // A small article still fits.
    EXPECT_EQ(Add(handle, "w999", "small"), 251u);
}

TEST_F(UserDictionaryTest, AnIndexBlockBeyondItsSizeIsRefused) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    // Entries of 8000 bytes and their NUL: eight fit 65535 bytes, a ninth does not.
    for (char c = 'a'; c < 'i'; ++c)
        ASSERT_NE(Add(handle, std::string(8000, c), "x"), 0xFFFFFFFFul);
    EXPECT_EQ(Add(handle, std::string(8000, 'z'), "x"), 0xFFFFFFFFul);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 8u);
    EXPECT_EQ(Add(handle, "short", "x"), 8u);
}

TEST_F(UserDictionaryTest, OtherDictionariesAreNeverChanged) {
    std::wstring path = MakeDictionary(L"general.dic", Description("General", 0x0102));
    Init();
    std::string file = FileBytes(path);
    ASSERT_FALSE(file.empty());
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Add(handle, "gamma", "g"), 0xFFFFFFFFul);
    EXPECT_EQ(DEngine::SetArticle(handle, 0, Bytes(Article("new"))), 0);
    EXPECT_EQ(DEngine::DeleteArticle(handle, 0), 0);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 2u);
    DEngine::ForceCloseDictionary(handle);
    EXPECT_EQ(FileBytes(path), file);
    // A user dictionary that is not open refuses too.
    __DictHandle* user = DEngine::OpenUserDictionary(0x0102);
    DEngine::ForceCloseDictionary(user);
    EXPECT_EQ(Add(user, "gamma", "g"), 0xFFFFFFFFul);
    EXPECT_EQ(DEngine::DeleteArticle(user, 0), 0);
}

TEST_F(UserDictionaryTest, AFailedWriteLeavesTheFileAndTheEngineAsTheyWere) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    std::wstring path = DEngine::GetDictionaryPath(handle);
    ASSERT_EQ(Add(handle, "kiwi", "k"), 0u);
    ASSERT_EQ(Add(handle, "pear", "p"), 1u);
    Rows before = Contents(handle);

    // Each change writes the article block, then the index block, then the information stream.
    for (int writes = 0; writes < 3; ++writes) {
        FailUserWritesAfter(writes);
        EXPECT_EQ(Add(handle, "apple", "a"), 0xFFFFFFFFul) << writes;
        FailUserWritesAfter(writes);
        EXPECT_NE(DEngine::DeleteArticle(handle, 0), 1) << writes;
        FailUserWritesAfter(writes);
        EXPECT_EQ(DEngine::SetArticle(handle, 1, Bytes(Article("P"))), writes == 0 ? 0 : 1) << writes;
        FailUserWritesAfter(-1);
        if (writes > 0) {
            ASSERT_EQ(DEngine::SetArticle(handle, 1, Bytes(Article("p"))), 1); // writes only one stream
        }
        EXPECT_EQ(Contents(handle), before) << writes;
        EXPECT_EQ(DEngine::GetTotalWordCount(handle), 2u);
    }
    FailUserWritesAfter(2);
    EXPECT_EQ(DEngine::DeleteArticle(handle, 0), -1); // the count could not be written
    FailUserWritesAfter(-1);
    DEngine::ForceCloseDictionary(handle);
    EXPECT_EQ(BlockKey(path), "kiwi");
    // The file reads as before, and takes the next change.
    DEngine::ReloadDictEngine(root.c_str());
    handle = DEngine::OpenUserDictionary(0x0102);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Contents(handle), before);
    EXPECT_EQ(Add(handle, "apple", "a"), 0u);
    EXPECT_EQ(Contents(handle), (Rows{"apple=a", "kiwi=k", "pear=p"}));
}

namespace {

// The key an index entry is sorted by: the display text without its first n characters after a
// control byte n.
std::string SortKey(const std::string& entry) {
    unsigned char control = static_cast<unsigned char>(entry[0]);
    if (control >= 0x20)
        return entry;
    return entry.substr(std::min<std::size_t>(entry.size(), 1 + control));
}

// Texts a lookup takes as they are: beginning with a letter or digit, and for French not with a
// reflexive "se " or "s'".
bool LookedUpAsIs(const std::string& display, bool french) {
    unsigned char first = static_cast<unsigned char>(display[0]);
    if (!std::isalnum(first) && first < 0x80)
        return false;
    return !french || (display.rfind("se ", 0) != 0 && display.rfind("s'", 0) != 0);
}

struct Row {
    std::string entry;
    std::string article;
    bool operator==(const Row&) const = default;
};

class UserDictionaryOrderTest : public UserDictionaryTest {
protected:
    std::vector<Row> Read(__DictHandle* handle) {
        std::vector<Row> rows;
        for (unsigned long i = 0; i < DEngine::GetTotalWordCount(handle); ++i) {
            const unsigned char* entry = DEngine::GetSingleIndex(handle, i);
            const unsigned char* article = DEngine::GetArticle(handle, i);
            const unsigned char* leaf = article ? DEngine::FindTag(article, 0x01) : nullptr;
            rows.push_back({entry ? reinterpret_cast<const char*>(entry) : "<missing>",
                            leaf ? std::string(reinterpret_cast<const char*>(leaf + 2), leaf[1]) : "<missing>"});
        }
        return rows;
    }

    // The index is sorted by key and every headword that a lookup takes as it is gets found exactly.
    void ExpectSortedAndFound(__DictHandle* handle, unsigned short language, const std::vector<Row>& rows,
                              const std::string& step) {
        for (std::size_t i = 1; i < rows.size(); ++i)
            ASSERT_LE(
                DEngine::TableStrCompare(language, SortKey(rows[i - 1].entry).c_str(), SortKey(rows[i].entry).c_str()),
                0)
                << step << ": " << rows[i - 1].entry << " before " << rows[i].entry;
        for (const Row& row : rows) {
            std::string display = DEngine::IndexDataToDisplayData(Bytes(row.entry));
            if (static_cast<unsigned char>(row.entry[0]) < 0x20 || !LookedUpAsIs(display, language == 8))
                continue;
            unsigned long index = 0;
            int exact = 0;
            ASSERT_EQ(DEngine::FindWord(handle, display.c_str(), &index, &exact), 1);
            ASSERT_LT(index, rows.size());
            EXPECT_EQ(exact, 1) << step << ": " << display;
            EXPECT_EQ(DEngine::TableStrCompare(language, SortKey(rows[index].entry).c_str(), display.c_str()), 0)
                << step << ": " << display << " found " << rows[index].entry;
        }
    }

    // Random adds, replacements and deletions on the direction's user dictionary, made anew.
    void RunRandomSequence(unsigned short direction, const std::vector<std::string>& pool, unsigned seed) {
        DEngine::DoneDictEngine();
        ovrin::DeleteFileAt(folder.File(direction == 0x0102 ? L"ER_User.dic" : L"FR_User.dic"));
        Init();
        __DictHandle* handle = DEngine::OpenUserDictionary(direction);
        ASSERT_NE(handle, nullptr);
        const unsigned short language = static_cast<unsigned short>(direction >> 8);
        std::mt19937 random(seed);
        std::vector<Row> rows;
        for (int step = 0; step < 160; ++step) {
            std::string label = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            unsigned choice = random() % 10;
            if (rows.empty() || choice < 6) {
                std::string entry = pool[random() % pool.size()];
                std::string text = "a" + std::to_string(step);
                unsigned long at = Add(handle, entry, text);
                ASSERT_LE(at, rows.size()) << label << ": add " << entry;
                rows.insert(rows.begin() + static_cast<long>(at), Row{entry, text});
            } else if (choice < 8) {
                unsigned long at = random() % rows.size();
                std::string text = "s" + std::to_string(step);
                ASSERT_EQ(DEngine::SetArticle(handle, at, Bytes(Article(text))), 1) << label;
                rows[at].article = text;
            } else {
                unsigned long at = random() % rows.size();
                ASSERT_EQ(DEngine::DeleteArticle(handle, at), 1) << label;
                rows.erase(rows.begin() + static_cast<long>(at));
            }
            // Nothing else moved, and the whole index is in order.
            ASSERT_EQ(Read(handle), rows) << label;
            ExpectSortedAndFound(handle, language, rows, label);
            if (HasFatalFailure() || HasFailure())
                return;
        }
        // The same after a restart, from the file.
        DEngine::ReloadDictEngine(root.c_str());
        handle = DEngine::OpenUserDictionary(direction);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(Read(handle), rows);
    }
};

} // namespace

TEST_F(UserDictionaryOrderTest, IssueReproductions_NewHeadwordsGoWhereTheKeyOrderPutsThem) {
    __DictHandle* handle = OpenUser();
    ASSERT_NE(handle, nullptr);
    unsigned long index = 0;
    int exact = 0;
    // "'cause" sorts before both words: its apostrophe weighs less than any letter.
    Add(handle, "apple", "1");
    Add(handle, "cause", "2");
    EXPECT_EQ(Add(handle, "'cause", "3"), 0u);
    ASSERT_EQ(DEngine::FindWord(handle, "apple", &index, &exact), 1);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(exact, 1);
    while (DEngine::GetTotalWordCount(handle) > 0)
        ASSERT_EQ(DEngine::DeleteArticle(handle, 0), 1);
    for (const char* word : {"cat", "dog", "zebra"})
        Add(handle, word, word);
    EXPECT_EQ(Add(handle, "-ism", "ism"), 0u);
    ASSERT_EQ(DEngine::FindWord(handle, "cat", &index, &exact), 1);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(exact, 1);
    // A prefixed entry goes by its key, not by its display text.
    EXPECT_EQ(Add(handle, std::string("\x03to bark", 8), "bark"), 1u);
    ASSERT_EQ(DEngine::FindWord(handle, "dog", &index, &exact), 1);
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(exact, 1);

    // French: "se battre" sorts by its whole key, after "centaure".
    handle = DEngine::OpenUserDictionary(0x0802);
    ASSERT_NE(handle, nullptr);
    Add(handle, "bi\xE8re", "beer");
    Add(handle, "centaure", "centaur");
    EXPECT_EQ(Add(handle, "se battre", "fight"), 2u);
    ASSERT_EQ(DEngine::FindWord(handle, "centaure", &index, &exact), 1);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(exact, 1);
    ASSERT_EQ(DEngine::FindWord(handle, "bi\xE8re", &index, &exact), 1);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(exact, 1);
}

TEST_F(UserDictionaryOrderTest, RandomAddSetDeleteKeepsTheIndexSortedAndFound_English) {
    const std::vector<std::string> pool = {"apple",
                                           "Apple",
                                           "APPLE",
                                           "cause",
                                           "'cause",
                                           "-ism",
                                           "ism",
                                           "...dots",
                                           "  spaced",
                                           "cat",
                                           "Cat",
                                           "cat's",
                                           "catalogue",
                                           "dog",
                                           "zebra",
                                           "a",
                                           "A",
                                           "z",
                                           "9lives",
                                           "0",
                                           "rock'n'roll",
                                           "co-op",
                                           "coop",
                                           "x-ray",
                                           "Xray",
                                           std::string("\x03to go", 6),
                                           "go",
                                           "Go",
                                           std::string("\x02"
                                                       "a cat",
                                                       6),
                                           std::string("\x04the end", 8),
                                           "end",
                                           "\xE9t\xE9",
                                           "ete",
                                           "etf",
                                           "[bracket]",
                                           "_under",
                                           "~tilde"};
    MakeDictionary(L"general.dic", Description("General", 0x0102));
    for (unsigned seed : {1u, 2u, 3u}) {
        RunRandomSequence(0x0102, pool, seed);
        if (HasFailure())
            return;
    }
}

TEST_F(UserDictionaryOrderTest, RandomAddSetDeleteKeepsTheIndexSortedAndFound_French) {
    const std::vector<std::string> pool = {"bi\xE8re",
                                           "centaure",
                                           "se battre",
                                           "battre",
                                           "s'asseoir",
                                           "asseoir",
                                           "se laver",
                                           "laver",
                                           "Laver",
                                           "\xE9t\xE9",
                                           "ete",
                                           "\xC9t\xE9",
                                           "etf",
                                           "sel",
                                           "se",
                                           "s'",
                                           "seine",
                                           "'quote",
                                           "-tiret",
                                           "\xE0 bient\xF4t",
                                           std::string("\x03se taire", 9),
                                           "taire",
                                           std::string("\x02l'eau", 6),
                                           "eau",
                                           "ca",
                                           "\xE7\x61"};
    RunRandomSequence(0x0802, pool, 7);
    if (!HasFailure())
        RunRandomSequence(0x0802, pool, 8);
}
