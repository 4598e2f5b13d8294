// The dictionary program's parts that need no window: the command line, display texts with language
// runs, the fetch window of the headword list, and CDictManager over dictionaries in a temporary
// folder (with the CDictEngine forwards it reaches the engine through).
#include "DictManager.h"
#include "LexoryDlg.h"
#include "MyCommandLineInfo.h"
#include "base/Path.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "dictengine/DictWriter.h"
#include "platform/Handles.h"
#include "platform/RegistryKey.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <string>
#include <vector>

namespace {

const std::wstring kPrivet = L"\x043F\x0440\x0438\x0432\x0435\x0442"; // привет, 1251 bytes below
const std::string kPrivetBytes = "\xEF\xF0\xE8\xE2\xE5\xF2";

std::wstring ParsedWord(const wchar_t* commandLine) {
    CMyCommandLineInfo info;
    platform::ParseCommandLine(info, commandLine);
    return info.m_word;
}

dengine::WriterEntry Entry(const std::string& display, const std::string& article = "") {
    return {display, "", dengine::MakeArticle({{0x01, article.empty() ? "article of " + display : article}})};
}

std::wstring WriteDictionary(const testsupport::TempFolder& folder, const std::wstring& file, std::uint16_t direction,
                             std::vector<dengine::WriterEntry> entries, const std::string& name = "General") {
    dengine::DictionaryDescription description;
    description.name = name;
    description.direction = direction;
    dengine::SortEntries(entries, static_cast<std::uint8_t>(direction >> 8));
    std::string error;
    std::wstring path = folder.File(file);
    EXPECT_TRUE(dengine::WriteDictionary(path, description, entries, &error)) << error;
    return path;
}

std::wstring FolderOf(const testsupport::TempFolder& folder) {
    return testsupport::ToWide(folder.Path()) + L"\\";
}

} // namespace

TEST(MyCommandLineInfoTest, LastPlainParameterWinsFlagsAreIgnoredAndLineBreaksCut) {
    EXPECT_EQ(ParsedWord(L"Lexory.exe"), L"");
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"hello world\""), L"hello world");
    EXPECT_EQ(ParsedWord(L"Lexory.exe first -flag second /x"), L"second");
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"line one\rline two\""), L"line one");
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"word\nrest\""), L"word");
}

// The toolbar hands every word over in double quotes: a quoted "-ing" or "/usr" is a word, not a flag.
TEST(MyCommandLineInfoTest, AQuotedParameterIsAWordWhateverItBeginsWith) {
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"-ing\""), L"-ing");
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"/usr\""), L"/usr");
    EXPECT_EQ(ParsedWord(L"Lexory.exe \"-\""), L"-");
    EXPECT_EQ(ParsedWord(L"Lexory.exe word -ing"), L"word") << "an unquoted -ing stays a flag";
    EXPECT_EQ(ParsedWord(L"Lexory.exe  \"two words\"  -x"), L"two words");
    // A quote inside a parameter does not make a flag a word.
    EXPECT_EQ(ParsedWord(L"Lexory.exe word -\"ing\""), L"word");
}

TEST(DisplayTextTest, RunsAreConvertedInTheirOwnLanguage) {
    // a, "%", 2, space, x, "%", b: a and b in the source language, x in Russian.
    EXPECT_EQ(CDictManager::ToDisplayText(1, "a%2 \xF5%b"), L"a\x0445"
                                                            L"b");
    EXPECT_EQ(CDictManager::ToDisplayText(2, kPrivetBytes.c_str()), kPrivet);
    EXPECT_EQ(CDictManager::ToDisplayText(1, "caf\xE9"), L"caf\x00E9");
    EXPECT_EQ(CDictManager::ToDisplayText(1, ("see %2 " + kPrivetBytes + "% now").c_str()),
              L"see " + kPrivet + L" now");
}

TEST(DisplayTextTest, StrayPercentSignsAndUnclosedRuns) {
    EXPECT_EQ(CDictManager::ToDisplayText(1, "50%x"), L"50%x") << "a % before a letter is shown";
    EXPECT_EQ(CDictManager::ToDisplayText(1, "a%2b"), L"a2b") << "a % before a digit with no later space is dropped";
    EXPECT_EQ(CDictManager::ToDisplayText(1, ("x %2 " + kPrivetBytes).c_str()), L"x " + kPrivet)
        << "an unclosed run takes the rest in its language";
    EXPECT_EQ(CDictManager::ToDisplayText(1, "%2%5 x"), L"5 x");
    EXPECT_EQ(CDictManager::ToDisplayText(1, "%"), L"%");
    EXPECT_EQ(CDictManager::ToDisplayText(1, ""), L"");
    EXPECT_EQ(CDictManager::ToDisplayText(1, nullptr), L"");
}

TEST(DisplayTextTest, TextIsCutAt255Characters) {
    std::string longText(300, 'w');
    EXPECT_EQ(CDictManager::ToDisplayText(1, longText.c_str()), std::wstring(255, L'w'));
    std::string runs;
    for (int i = 0; i < 100; ++i)
        runs += "ab%2 \xE0\xE1%";
    std::wstring text = CDictManager::ToDisplayText(1, runs.c_str());
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 4), L"ab\x0430\x0431");
}

TEST(FetchWindowTest, HundredRowsFromFiftyBeforeTheRowAndNeverPastTheLast) {
    using Window = std::pair<unsigned long, unsigned short>;
    EXPECT_EQ(CLexoryDlg::FetchWindow(0, 46000), Window(0, 100));
    EXPECT_EQ(CLexoryDlg::FetchWindow(49, 46000), Window(0, 100));
    EXPECT_EQ(CLexoryDlg::FetchWindow(50, 46000), Window(0, 100));
    EXPECT_EQ(CLexoryDlg::FetchWindow(51, 46000), Window(1, 100));
    EXPECT_EQ(CLexoryDlg::FetchWindow(45999, 46000), Window(45949, 51));
    EXPECT_EQ(CLexoryDlg::FetchWindow(45949, 46000), Window(45899, 100)) << "start + 100 reaches the end exactly";
    EXPECT_EQ(CLexoryDlg::FetchWindow(45950, 46000), Window(45900, 100));
    EXPECT_EQ(CLexoryDlg::FetchWindow(3, 7), Window(0, 7));
}

class DictManagerTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    void SetUp() override {
        CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(ovrin::protocol::kDictionarySection));
    }
    void TearDown() override {
        CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(ovrin::protocol::kDictionarySection));
    }
};

TEST_F(DictManagerTest, DirectionsNamesCodesAndCounts) {
    WriteDictionary(folder, L"er.dic", 0x0102, {Entry("apple"), Entry("hello"), Entry("help")});
    WriteDictionary(folder, L"re.dic", 0x0201, {Entry(kPrivetBytes)});
    CDictManager manager(FolderOf(folder));
    ASSERT_EQ(manager.CountDirections(), 2);
    EXPECT_EQ(manager.GetDirectionCode(0), 131073u);
    EXPECT_EQ(manager.GetDirectionCode(1), 65538u);
    EXPECT_EQ(manager.GetDirectionCode(2), 0u);
    EXPECT_EQ(manager.GetDirectionCode(-1), 0u);
    EXPECT_EQ(manager.GetDirectionName(0), L"English-Russian");
    EXPECT_EQ(manager.GetDirectionName(1), L"Russian-English");
    EXPECT_EQ(manager.GetWordCount(0), 3u);
    EXPECT_EQ(manager.GetWordCount(7), 0u);
    EXPECT_EQ(CDictManager::GetLanguageName(64), L"Portuguese");
    EXPECT_EQ(CDictManager::GetLanguageName(3), L"");

    CAppSettings::WriteString(L"Lexory", L"131073",
                              L"\x0410\x043D\x0433\x043B\x043E-\x0440\x0443\x0441\x0441\x043A\x0438\x0439");
    EXPECT_EQ(manager.GetDirectionName(0),
              L"\x0410\x043D\x0433\x043B\x043E-\x0440\x0443\x0441\x0441\x043A\x0438\x0439");
}

TEST_F(DictManagerTest, OpeningLookupsAndHeadwords) {
    WriteDictionary(folder, L"er.dic", 0x0102, {Entry("apple"), Entry("hello"), Entry("help"), Entry("zebra")});
    WriteDictionary(folder, L"re.dic", 0x0201, {Entry(kPrivetBytes), Entry("\xE0")});
    CDictManager manager(FolderOf(folder));
    EXPECT_EQ(manager.GetCurrentDirection(), -1);
    EXPECT_EQ(manager.FindNearest(L"hello", false), -1) << "nothing is open yet";

    ASSERT_TRUE(manager.OpenDirection(0));
    EXPECT_EQ(manager.FindNearest(L"hel", false), 1);
    EXPECT_EQ(manager.FindNearest(L"HELP", false), 2);
    EXPECT_EQ(manager.FindNearest(L"hex", true), -1);
    EXPECT_EQ(manager.FindNearest(L"help", true), 2);
    EXPECT_EQ(manager.FindNearest(L"help" + std::wstring(1000, L'x'), false), 3) << "only the first 255 characters";
    EXPECT_EQ(manager.GetHeadword(1), L"hello");
    EXPECT_EQ(manager.GetHeadword(99), L"");

    std::vector<std::wstring> cache(4);
    ASSERT_TRUE(manager.GetHeadwords(2, 2, cache));
    EXPECT_EQ(cache, (std::vector<std::wstring>{L"", L"", L"help", L"zebra"}));
    std::vector<std::wstring> appended;
    ASSERT_TRUE(manager.GetHeadwords(0, 2, appended));
    EXPECT_EQ(appended, (std::vector<std::wstring>{L"apple", L"hello"}));
    EXPECT_FALSE(manager.GetHeadwords(3, 5, appended)) << "past the last headword";

    ASSERT_TRUE(manager.OpenDirection(1));
    EXPECT_EQ(manager.GetCurrentDirection(), 1);
    EXPECT_EQ(manager.GetHeadword(manager.FindNearest(kPrivet.substr(0, 3), false)), kPrivet);

    EXPECT_FALSE(manager.OpenDirection(5));
    EXPECT_EQ(manager.GetCurrentDirection(), 5) << "the direction is current even when it does not open";
    EXPECT_FALSE(manager.IsDictionaryOpen());
    EXPECT_EQ(manager.FindNearest(L"a", false), -1);
    EXPECT_FALSE(manager.GetHeadwords(0, 1, appended));
}

TEST_F(DictManagerTest, ArticlesAndListsOfTheCurrentDirection) {
    // One translation holding the target-language text.
    std::string translation = dengine::MakeArticle({{0x01, kPrivetBytes}}).substr(2);
    WriteDictionary(folder, L"er.dic", 0x0102,
                    {{"apple", "", dengine::MakeArticle({{0x90, translation}})}, Entry("hello")});
    WriteDictionary(folder, L"re.dic", 0x0201, {Entry(kPrivetBytes)});
    CDictManager manager(FolderOf(folder));
    std::list<sArticlePart> parts(2);
    EXPECT_FALSE(manager.ReadArticle(0, parts)) << "nothing is open yet";
    EXPECT_TRUE(parts.empty());
    ASSERT_TRUE(manager.OpenDirection(0));
    ASSERT_TRUE(manager.ReadArticle(0, parts));
    ASSERT_EQ(parts.size(), 1u);
    ASSERT_EQ(parts.front().translations.size(), 1u);
    EXPECT_EQ(parts.front().translations.front().text, kPrivet); // converted in the target language
    EXPECT_FALSE(manager.ReadArticle(7, parts));

    EXPECT_TRUE(manager.AddToHistory(1));
    EXPECT_TRUE(manager.AddToHistory(0));
    EXPECT_TRUE(manager.AddBookmark(1));
    std::vector<unsigned long> list;
    ASSERT_TRUE(manager.GetHistory(list));
    EXPECT_EQ(list, (std::vector<unsigned long>{0, 1}));
    ASSERT_TRUE(manager.OpenDirection(1));
    EXPECT_FALSE(manager.GetHistory(list)) << "another direction";
    EXPECT_TRUE(manager.RemoveBookmark(1)) << "the file exists; this direction has no list to change";
    ASSERT_TRUE(manager.OpenDirection(0));
    EXPECT_TRUE(manager.RemoveBookmark(1));
    EXPECT_TRUE(manager.GetBookmarks(list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(manager.RemoveFromHistory(0));
    ASSERT_TRUE(manager.GetHistory(list));
    EXPECT_EQ(list, (std::vector<unsigned long>{1}));
}

TEST_F(DictManagerTest, DamagedDictionaryBesideGoodOnesAndEmptyFolder) {
    {
        CDictManager empty(FolderOf(folder));
        EXPECT_EQ(empty.CountDirections(), 0);
        EXPECT_FALSE(empty.OpenDirection(0));
    }
    WriteDictionary(folder, L"er.dic", 0x0102, {Entry("hello")});
    testsupport::WriteFileBytes(folder.File(L"broken.dic"), std::string(4096, '\x5A'));
    // A dictionary whose block streams are cut off: listed, but it cannot be opened.
    std::wstring cut = WriteDictionary(folder, L"ge.dic", 0x0401, {Entry("hallo")});
    std::string bytes = testsupport::ReadFileBytes(cut);
    testsupport::WriteFileBytes(cut, bytes.substr(0, bytes.size() / 2));
    CDictManager manager(FolderOf(folder));
    EXPECT_GE(manager.CountDirections(), 1);
    EXPECT_TRUE(manager.OpenDirection(0));
    EXPECT_EQ(manager.GetHeadword(0), L"hello");
}

TEST_F(DictManagerTest, DictEngineForwardsTheArticleWalkers) {
    // Two source parts, the first with two translations, so that every walker has something to find.
    // (MakeArticle makes a container; without its two-byte head it is the tags of one.)
    auto tags = [](const std::vector<std::pair<std::uint8_t, std::string>>& list) {
        return dengine::MakeArticle(list).substr(2);
    };
    std::string privet = tags({{dengine::kTagTranslationText, kPrivetBytes}});
    std::string hello = tags({{dengine::kTagTranslationText, "\xE7\xE4\xF0\xE0\xE2\xF1\xF2\xE2\xF3\xE9"}});
    std::string first = tags({{dengine::kTagTranslation, privet}, {dengine::kTagTranslation, hello}});
    std::string second = tags({{dengine::kTagTranslation, hello}});
    WriteDictionary(
        folder, L"er.dic", 0x0102,
        {{"hello", "", dengine::MakeArticle({{dengine::kTagSourcePart, first}, {dengine::kTagSourcePart, second}})}});
    CDictManager manager(FolderOf(folder)); // initialises the engine
    CDictEngine engine;
    __DictHandle* handle = engine.OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    const unsigned char* article = engine.GetArticle(handle, 0);
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(article, DEngine::GetArticle(handle, 0));
    const unsigned char* leaf = engine.FindTag(article, dengine::kTagSourcePart);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf, DEngine::FindTag(article, dengine::kTagSourcePart));
    const unsigned char* next = engine.FindNextTag(article, leaf);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next, DEngine::FindNextTag(article, leaf));
    EXPECT_EQ(engine.GetSrcPartCount(article), 2);
    const unsigned char* part = engine.GetSrcPart(article, 1);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part, DEngine::GetSrcPart(article, 1));
    part = engine.GetSrcPart(article, 0);
    EXPECT_EQ(engine.GetTranslationCount(part), 2);
    const unsigned char* translation = engine.GetTranslation(part, 1);
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation, DEngine::GetTranslation(part, 1));
    engine.ForceCloseDictionary(handle);
}

// The names come from the string table of the program itself, as the resource compiler built it.
TEST(PartOfSpeechNameTest, ProgramStringTableHoldsEveryName) {
    CModuleHandle program(LoadLibraryExW((ovrin::GetProgramFolder() + L"Lexory.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program);
    for (const lexory::PartOfSpeechName& name : lexory::kPartOfSpeechNames) {
        wchar_t text[256] = {};
        int length = LoadStringW(program.Get(), name.stringId, text, 256);
        EXPECT_EQ(std::wstring(text, length > 0 ? length : 0), name.text) << name.stringId;
    }
}
