// The compare tables and the comparisons: each language's irregular entries, the fold pass, counted
// comparisons, wildcard matching against a plain recursive matcher, and (Windows) the program's
// resources holding the same bytes as the built-in tables.
#include "Compare.h"
#include "CompareTableData.h"
#include "Engine.h"

#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace dengine;

namespace {

int Compare(unsigned language, const std::string& a, const std::string& b) {
    return FullCompare(LanguageWeights(language).Get(), a.c_str(), b.c_str());
}

const std::uint8_t* BuiltIn(unsigned type, unsigned id) {
    for (const CompareTableData* entry = kCompareTables; entry->bytes != nullptr; ++entry)
        if (entry->type == type && entry->id == id)
            return entry->bytes;
    return nullptr;
}

// The matcher written as the recursive definition, to check the iterative one against.
bool RecursiveMatch(const std::uint8_t* order, const char* p, const char* t) {
    for (; *p != 0; ++p, ++t) {
        if (*p == '*') {
            if (p[1] == 0)
                return true;
            for (const char* k = t; *k != 0; ++k)
                if (RecursiveMatch(order, p + 1, k))
                    return true;
            return false;
        }
        if (*t == 0)
            return false;
        if (*p != '?' && order[static_cast<std::uint8_t>(*p)] != order[static_cast<std::uint8_t>(*t)])
            return false;
    }
    return *t == 0;
}

} // namespace

TEST(CompareTest, Tables_IrregularEntriesAsListed) {
    const std::uint8_t* fold = BuiltIn(997, 1);
    const std::uint8_t* english = BuiltIn(999, 1);
    const std::uint8_t* russian = BuiltIn(999, 2);
    const std::uint8_t* german = BuiltIn(999, 4);
    const std::uint8_t* french = BuiltIn(999, 8);
    const std::uint8_t* italian = BuiltIn(999, 16);
    ASSERT_TRUE(fold && english && russian && german && french && italian);
    EXPECT_EQ(BuiltIn(999, 32), nullptr) << "no Spanish table";
    EXPECT_EQ(std::memcmp(BuiltIn(999, 64), french, 256), 0) << "Portuguese is the French table";
    EXPECT_EQ(fold[0xC5], 0x41);
    EXPECT_EQ(fold[0xD7], 0xD7) << "the multiplication sign is not a letter";
    EXPECT_EQ(fold[0xDB], 0xBD);
    EXPECT_EQ(fold[0xDF], 0x73);
    EXPECT_EQ(english['['], 0x79);
    EXPECT_EQ(english['`'], 0x78);
    EXPECT_EQ(english['a'], 'A');
    EXPECT_EQ(english[0xF7], 0xF7);
    EXPECT_EQ(russian[0xA8], 0x47) << "Yo between Ye and Zhe";
    EXPECT_EQ(russian[0xB8], 0x47);
    EXPECT_EQ(russian[0xC5], 0x46);
    EXPECT_EQ(russian[0xC6], 0x48);
    EXPECT_EQ(russian['G'], 0xA8);
    EXPECT_EQ(russian[0x82], 0xFF);
    EXPECT_EQ(german[0xDF], 0x73);
    EXPECT_EQ(german[0xE4], 0x42);
    EXPECT_EQ(german['5'], '5');
    EXPECT_EQ(french[0x86], 0xE7);
    EXPECT_EQ(french[0xE3], 0xC3);
    EXPECT_EQ(italian[0x8F], 0xC0);
    EXPECT_EQ(italian[0xEB], 0xCB);
}

TEST(CompareTest, CaseAndAccents) {
    EXPECT_EQ(Compare(1, "apple", "Apple"), 0);
    // French: e and \xE9 differ in the plain pass only.
    EXPECT_EQ(Compare(8, "ete", "\xE9t\xE9"), -1);
    EXPECT_EQ(Compare(8, "\xE9t\xE9", "etf"), -1);
    EXPECT_EQ(Compare(8, "\xE9t\xE9", "ETE"), 1);
    // German: a-umlaut sorts right after a in both passes; sharp s folds to s.
    EXPECT_EQ(Compare(4, "\xE4", "b"), -1);
    EXPECT_EQ(Compare(4, "a", "\xE4"), -1);
    EXPECT_EQ(Compare(4,
                      "Stra\xDF"
                      "e",
                      "strase"),
              1)
        << "sharp s folds to one s; the plain pass decides";
    // Russian uses no fold table: the byte 0xE8 (a Cyrillic letter) would fold to e and sort after a.
    EXPECT_EQ(Compare(2, "\xE8", "a"), -1);
    EXPECT_EQ(Compare(2, "\xE5", "\xB8"), -1) << "ye before yo";
    EXPECT_EQ(Compare(2, "\xB8", "\xE6"), -1) << "yo before zhe";
    EXPECT_EQ(Compare(2, "\xC0", "\xE0"), 0) << "capital and small A";
    EXPECT_EQ(Compare(2, "\xFF", "a"), -1) << "Cyrillic before Latin";
    // Longer texts sort after their prefixes.
    EXPECT_EQ(Compare(1, "cat", "cats"), -1);
    EXPECT_EQ(Compare(1, "", ""), 0);
}

TEST(CompareTest, CountedComparisonAndThePublicFunctions) {
    DEngine::LoadCompareTable(1);
    EXPECT_EQ(DEngine::TableStrNCompare(1, "abcd", "abx", 2), 0);
    EXPECT_EQ(DEngine::TableStrNCompare(1, "abcd", "abx", 3), -1);
    EXPECT_EQ(DEngine::TableStrNCompare(1, "ab", "abx", 3), -1);
    EXPECT_EQ(DEngine::TableStrNCompare(1, "abx", "ab", 3), 1);
    EXPECT_EQ(DEngine::TableStrNCompare(1, "ABC", "abd", 2), 0);
    EXPECT_EQ(DEngine::TableStrCompare(1, "Zebra", "apple"), 1);
    // Loading a language without a table keeps the current one.
    DEngine::LoadCompareTable(32);
    EXPECT_EQ(DEngine::TableStrCompare(32, "apple", "Apple"), 0);
    DEngine::LoadCompareTable(2);
    EXPECT_EQ(DEngine::TableStrCompare(2, "\xE8", "a"), -1);
    EXPECT_EQ(DEngine::TableStrCompare(1, "\xE8", "a"), 1) << "the same table with the fold pass";
}

TEST(CompareTest, Wildcards_MatchAsTheRecursiveDefinition) {
    const std::uint8_t* order = BuiltIn(999, 1);
    EXPECT_TRUE(WildcardMatch(order, "*", ""));
    EXPECT_TRUE(WildcardMatch(order, "c?T", "cat"));
    EXPECT_TRUE(WildcardMatch(order, "a*", "a")) << "a last star matches whatever is left, nothing included";
    EXPECT_TRUE(WildcardMatch(order, "a*b", "ab"));
    EXPECT_FALSE(WildcardMatch(order, "ab*c", "ab")) << "a star that is not last never takes an empty remainder";
    EXPECT_TRUE(WildcardMatch(order, "a*b", "axb"));
    EXPECT_TRUE(WildcardMatch(order, "a*b", "abb"));
    EXPECT_FALSE(WildcardMatch(order, "a**", "a"));
    EXPECT_TRUE(WildcardMatch(order, "*a*b*", "xxaxxbxx"));
    std::mt19937 random(7);
    const char letters[] = "ab?*";
    for (int i = 0; i < 20000; ++i) {
        std::string pattern, text;
        for (int k = random() % 7; k > 0; --k)
            pattern.push_back(letters[random() % 4]);
        for (int k = random() % 8; k > 0; --k)
            text.push_back(letters[random() % 2]);
        ASSERT_EQ(WildcardMatch(order, pattern.c_str(), text.c_str()),
                  RecursiveMatch(order, pattern.c_str(), text.c_str()))
            << "pattern \"" << pattern << "\" text \"" << text << "\"";
    }
}

#ifdef _WIN32
TEST(CompareTest, ProgramResourcesHoldTheBuiltInBytes) {
    for (const CompareTableData* entry = kCompareTables; entry->bytes != nullptr; ++entry) {
        HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(entry->id), MAKEINTRESOURCEW(entry->type));
        ASSERT_NE(resource, nullptr) << entry->type << "/" << entry->id;
        ASSERT_EQ(SizeofResource(nullptr, resource), 256u);
        const void* bytes = LockResource(LoadResource(nullptr, resource));
        EXPECT_EQ(std::memcmp(bytes, entry->bytes, 256), 0) << entry->type << "/" << entry->id;
    }
}
#endif

TEST(CompareTest, OnlyTheLookupsAndLoadCompareTableChangeTheCurrentTable) {
    // English and Russian order "\xE0" (Cyrillic a in code page 1251) and "z" differently.
    DEngine::LoadCompareTable(DEngine::kLangRussian);
    const int russian = DEngine::TableStrCompare(DEngine::kLangRussian, "\xE0", "z");
    DEngine::LoadCompareTable(DEngine::kLangEnglish);
    const int english = DEngine::TableStrCompare(DEngine::kLangRussian, "\xE0", "z");
    ASSERT_NE(russian, english);

    std::vector<dengine::WriterEntry> entries = {{"b", "", ""}, {"a", "", ""}};
    dengine::SortEntries(entries, DEngine::kLangRussian);
    EXPECT_EQ(entries[0].display, "a");
    EXPECT_EQ(FullCompare(LanguageWeights(DEngine::kLangRussian).Get(), "\xE0", "z"), russian);
    EXPECT_EQ(DEngine::TableStrCompare(DEngine::kLangRussian, "\xE0", "z"), english)
        << "sorting for the writer changed the current table";
}
