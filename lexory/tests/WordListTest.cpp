// CIniFile and the history and bookmark lists: the bytes of the list files after sequences of
// changes, the reading rules, and bad input.
#include "WordList.h"
#include "IniFile.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lexory;

namespace {

constexpr std::uint32_t kEnglishRussian = 131073;
constexpr std::uint32_t kGermanRussian = 131076;

std::string Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

std::vector<unsigned long> Read(const std::wstring& path, std::uint32_t key = kEnglishRussian) {
    std::vector<unsigned long> list;
    ReadIndexList(path, key, list);
    return list;
}

class WordListTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    std::wstring history = folder.File(kHistoryFileName);
    std::wstring bookmarks = folder.File(kBookmarkFileName);
};

} // namespace

TEST_F(WordListTest, HistoryKeepsFifteenMostRecentFirstEachOnce) {
    std::vector<unsigned long> list{1};
    EXPECT_FALSE(ReadIndexList(history, kEnglishRussian, list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(RemoveIndexFromList(history, kEnglishRussian, 3));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(history)));

    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 17, kHistoryLimit));
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 5, kHistoryLimit));
    EXPECT_EQ(Bytes(history), "[data]\r\n131073=\"5,17\"\r\n");
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 17, kHistoryLimit));
    EXPECT_EQ(Read(history), (std::vector<unsigned long>{17, 5}));

    for (unsigned long i = 100; i < 114; ++i)
        ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, i, kHistoryLimit));
    std::vector<unsigned long> expected{113, 112, 111, 110, 109, 108, 107, 106, 105, 104, 103, 102, 101, 100, 17};
    EXPECT_EQ(Read(history), expected);
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 114, kHistoryLimit));
    expected.insert(expected.begin(), 114);
    expected.pop_back();
    EXPECT_EQ(Read(history), expected);
    EXPECT_EQ(Bytes(history), "[data]\r\n131073=\"114,113,112,111,110,109,108,107,106,105,104,103,102,101,100\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(history + L".new")));
}

TEST_F(WordListTest, BookmarksGrowWithoutLimitAndDirectionsAreSeparate) {
    for (unsigned long i = 0; i < 20; ++i)
        ASSERT_TRUE(AddIndexToList(bookmarks, kEnglishRussian, i, kNoLimit));
    ASSERT_TRUE(AddIndexToList(bookmarks, kGermanRussian, 7, kNoLimit));
    ASSERT_TRUE(AddIndexToList(bookmarks, kEnglishRussian, 3, kNoLimit));
    EXPECT_EQ(Read(bookmarks).size(), 20u);
    EXPECT_EQ(Read(bookmarks).front(), 3u);
    EXPECT_EQ(Read(bookmarks, kGermanRussian), (std::vector<unsigned long>{7}));

    ASSERT_TRUE(RemoveIndexFromList(bookmarks, kGermanRussian, 7));
    ASSERT_TRUE(RemoveIndexFromList(bookmarks, kGermanRussian, 7));
    EXPECT_EQ(Bytes(bookmarks),
              "[data]\r\n131076=\"\"\r\n131073=\"3,19,18,17,16,15,14,13,12,11,10,9,8,7,6,5,4,2,1,0\"\r\n");
    std::vector<unsigned long> list{1};
    EXPECT_TRUE(ReadIndexList(bookmarks, kGermanRussian, list)); // the key stays, with an empty list
    EXPECT_TRUE(list.empty());
}

TEST_F(WordListTest, UnquotedValuesCommentsAndFollowingSectionsAreReadAndKept) {
    Write(history, "; lists\r\n[data]\r\n\r\n  ; 131073=\"1\"\r\n131073=5,17,\r\n[other]\r\n131076=\"9\"\r\n");
    EXPECT_EQ(Read(history), (std::vector<unsigned long>{5, 17}));
    EXPECT_TRUE(Read(history, kGermanRussian).empty()); // stands in the next section
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 8, kHistoryLimit));
    ASSERT_TRUE(AddIndexToList(history, kGermanRussian, 4, kHistoryLimit));
    EXPECT_EQ(Bytes(history), "; lists\r\n[data]\r\n131076=\"4\"\r\n\r\n  ; 131073=\"1\"\r\n131073=\"8,5,17\"\r\n"
                              "[other]\r\n131076=\"9\"\r\n");
}

TEST_F(WordListTest, IniFileKeysAndValues) {
    Write(history, "[data]\n key = \"a\" \nx=\"\n=\"q\"\n[data2]\ny=1\n");
    CIniFile file;
    ASSERT_TRUE(file.Load(history));
    std::wstring value = L"old";
    EXPECT_TRUE(file.GetValue(L"data", L"key ", value));
    EXPECT_EQ(value, L" \"a\" "); // the quotes are removed only when they end the value
    EXPECT_TRUE(file.GetValue(L"data", L"x", value));
    EXPECT_EQ(value, L"\"");
    EXPECT_FALSE(file.GetValue(L"data", L"y", value));
    EXPECT_EQ(value, L"");
    EXPECT_TRUE(file.GetValue(L"data2", L"y", value));
    EXPECT_EQ(value, L"1");
    EXPECT_FALSE(file.GetValue(L"none", L"y", value));
    EXPECT_TRUE(file.SetValue(L"new", L"k", L"v"));
    EXPECT_TRUE(file.SetValue(L"data2", L"z", L"2"));
    EXPECT_TRUE(file.Release());
    EXPECT_EQ(Bytes(history),
              "[data]\r\n key = \"a\" \r\nx=\"\r\n=\"q\"\r\n[data2]\r\nz=\"2\"\r\ny=1\r\n[new]\r\nk=\"v\"\r\n");
}

TEST_F(WordListTest, GarbageNumbersAndMissingQuotesNeverCrash) {
    Write(history, "\x01\x02 garbage\r\n[data]\r\nno equals sign\r\n131073=\"abc,-5,99999999999999999999,+7, 8 ,"
                   "4294967295,\r\n131073=\"1\"\r\n");
    EXPECT_EQ(Read(history), (std::vector<unsigned long>{0, kNoHeadword, kNoHeadword, 7, 8, kNoHeadword}));
    ASSERT_TRUE(RemoveIndexFromList(history, kEnglishRussian, kNoHeadword));
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 8, kHistoryLimit));
    EXPECT_EQ(Read(history), (std::vector<unsigned long>{8, 0, kNoHeadword, 7, kNoHeadword}));
    EXPECT_EQ(SplitList(L",5"), (std::vector<std::wstring>{L",5"}));
    EXPECT_EQ(SplitList(L"5,,6, "), (std::vector<std::wstring>{L"5", L"", L"6"}));
}

TEST_F(WordListTest, UnreadableFileIsNeitherReadNorWritten) {
    // A folder where the file should be: it exists for the list but cannot be opened as a file.
    std::filesystem::create_directory(std::filesystem::path(history));
    EXPECT_TRUE(Read(history).empty());
    EXPECT_FALSE(AddIndexToList(history, kEnglishRussian, 1, kHistoryLimit));
    CIniFile file;
    EXPECT_FALSE(file.Load(folder.File(L"missing.dat")));
    EXPECT_TRUE(file.LoadFailed());
    EXPECT_FALSE(file.SetValue(L"data", L"1", L"2"));
    EXPECT_FALSE(file.Save());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder.File(L"missing.dat"))));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder.File(L"missing.dat.new"))));
}

TEST_F(WordListTest, FailedSaveLeavesTheOldFileWhole) {
    ASSERT_TRUE(AddIndexToList(history, kEnglishRussian, 1, kHistoryLimit));
    std::string before = Bytes(history);
    // The new file cannot be made beside the old one: the save fails and the old file stays.
    std::filesystem::create_directory(std::filesystem::path(history + L".new"));
    std::filesystem::create_directory(std::filesystem::path(history + L".new/x"));
    EXPECT_FALSE(AddIndexToList(history, kEnglishRussian, 2, kHistoryLimit));
    EXPECT_EQ(Bytes(history), before);
}
