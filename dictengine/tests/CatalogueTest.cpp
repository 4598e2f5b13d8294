// The catalogue: enumeration, ordering of directions and dictionaries, handles, the queries by
// position and by handle, and the behaviour before initialisation.
#include "DictFixtures.h"

#include <cstring>

using namespace dengine::testing;

TEST_F(EngineTest, EmptyFolder_GivesAnEmptyCatalogue) {
    Init();
    EXPECT_EQ(DEngine::GetDirectionCount(), 0);
    EXPECT_EQ(DEngine::GetDirection(std::uint16_t{0}), 0);
    EXPECT_EQ(DEngine::OpenDictionary(0, 0), nullptr);
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 0);
    EXPECT_EQ(DEngine::GetDictionaryName(0, 0), nullptr);
    EXPECT_EQ(DEngine::GetDictionaryPath(0, 0), nullptr);
    EXPECT_EQ(DEngine::FindDictionary(0, "General", 15), 0xFFFF);
}

TEST(EngineBeforeInit, EveryCallBehavesAsOnAnEmptyCatalogue) {
    auto* bogus = reinterpret_cast<__DictHandle*>(static_cast<std::uintptr_t>(1));
    EXPECT_EQ(DEngine::GetDirectionCount(), 0);
    EXPECT_EQ(DEngine::GetDirectionIndex(0x0102), 0xFFFF);
    EXPECT_EQ(DEngine::GetDictionaryHandle(0, 0), nullptr);
    EXPECT_EQ(DEngine::OpenDictionary(bogus), nullptr);
    EXPECT_EQ(DEngine::CloseDictionary(bogus), 0);
    EXPECT_EQ(DEngine::ForceCloseDictionary(bogus), 0);
    EXPECT_EQ(DEngine::DeleteDictionary(0, 0), 0);
    EXPECT_EQ(DEngine::MoveDictionary(bogus, L"x"), 0);
    EXPECT_EQ(DEngine::GetDirection(bogus), 0);
    EXPECT_EQ(DEngine::GetDirectionIndex(bogus), 0);
    EXPECT_EQ(DEngine::GetIndexInDirection(bogus), 0xFFFF);
    EXPECT_EQ(DEngine::GetDictionaryName(bogus), nullptr);
    EXPECT_EQ(DEngine::GetDictionaryPath(bogus), nullptr);
    EXPECT_EQ(DEngine::GetDictionaryType(bogus), 255);
    EXPECT_EQ(DEngine::GetVersion(bogus), 0);
    EXPECT_EQ(DEngine::GetTotalWordCount(bogus), 0u);
    unsigned char buffer[4];
    unsigned short size = 4;
    EXPECT_EQ(DEngine::GetDictionaryDynamicInfo(bogus, L"x", buffer, &size), 0);
    EXPECT_EQ(DEngine::SetDictionaryDynamicInfo(bogus, L"x", buffer, 4), 0);
    EXPECT_EQ(DEngine::RemoveDictionaries(L"anything"), 1);
}

TEST_F(EngineTest, Directions_PairsSideBySideLoneAndSameLanguageBehind) {
    MakeDictionary(L"a.dic", Description("EnRu", 0x0101));
    MakeDictionary(L"b.dic", Description("GeEn", 0x0401));
    MakeDictionary(L"c.dic", Description("RuEn", 0x0201));
    MakeDictionary(L"d.dic", Description("EnRu", 0x0102));
    Init();
    EXPECT_EQ(Directions(), (std::vector<unsigned short>{0x0102, 0x0201, 0x0401, 0x0101}));
    EXPECT_EQ(DEngine::GetDirectionIndex(0x0401), 2);
    EXPECT_EQ(DEngine::GetDirectionIndex(0x0104), 0xFFFF);
}

TEST_F(EngineTest, Directions_PairsByLowerCodeThenHigherAndUnknownCodesKeepTheirOrder) {
    // French-German, German-French, Russian-French, a code outside the seven languages, English-German.
    for (auto [file, code] : std::vector<std::pair<const wchar_t*, std::uint16_t>>{
             {L"1.dic", 0x0804}, {L"2.dic", 0x8001}, {L"3.dic", 0x0408}, {L"4.dic", 0x0208}, {L"5.dic", 0x0104}})
        MakeDictionary(file, Description("D", code));
    for (unsigned attempt = 0; attempt < 2; ++attempt) {
        Init();
        EXPECT_EQ(Directions(), (std::vector<unsigned short>{0x0104, 0x0208, 0x0408, 0x0804, 0x8001}));
        DEngine::DoneDictEngine();
    }
}

TEST_F(EngineTest, Dictionaries_GeneralFirstThenByNameAndUserDictionariesLast) {
    MakeDictionary(L"1.dic", Description("Zeta", 0x0102, 1));
    MakeDictionary(L"2.dic", Description("General", 0x0102, 1));
    MakeDictionary(L"3.dic", Description("Alpha", 0x0102, 2));
    MakeDictionary(L"4.dic", Description("Mine", 0x0102, 4));
    MakeDictionary(L"5.dic", Description("General", 0x0102, 3));
    MakeDictionary(L"6.dic", Description("Alpha", 0x0102, 5));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    EXPECT_EQ(Names(0), (std::vector<std::string>{"General", "General", "Alpha", "Alpha", "Zeta", "Mine"}));
    EXPECT_EQ(DEngine::GetDictionaryType(0, 0), 3);
    EXPECT_EQ(DEngine::GetDictionaryType(0, 1), 1);
    EXPECT_EQ(DEngine::GetDictionaryType(0, 2), 5);
    EXPECT_EQ(DEngine::GetDictionaryType(0, 3), 2);
    EXPECT_EQ(DEngine::GetDictionaryType(0, 5), 4);
    EXPECT_EQ(DEngine::FindDictionary(0, "Alpha", 2), 3);
    EXPECT_EQ(DEngine::FindDictionary(0, "Alpha", 15), 2);
    EXPECT_EQ(DEngine::FindDictionary(0, "Alpha", 7), 0xFFFF);
    EXPECT_EQ(DEngine::FindDictionary(1, "Alpha", 15), 0xFFFF);
}

TEST_F(EngineTest, Handles_AreSerialNumbersThatSurviveReordering) {
    std::wstring zeta = MakeDictionary(L"zeta.dic", Description("Zeta", 0x0102));
    Init();
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(handle), 1u);
    ASSERT_NE(DEngine::OpenDictionary(handle), nullptr);

    // An attached "General" takes position 0 and a new direction is put in front.
    std::wstring general = MakeDictionary(L"general.dic", Description("General", 0x0102));
    std::wstring reverse = MakeDictionary(L"reverse.dic", Description("Reverse", 0x0201));
    std::wstring lone = MakeDictionary(L"lone.dic", Description("Lone", 0x0101));
    ASSERT_EQ(DEngine::AttachDictionary(general.c_str()), 1);
    ASSERT_EQ(DEngine::AttachDictionary(lone.c_str()), 1);
    ASSERT_EQ(DEngine::AttachDictionary(reverse.c_str()), 1);
    EXPECT_EQ(Directions(), (std::vector<unsigned short>{0x0102, 0x0201, 0x0101}));
    EXPECT_EQ(DEngine::GetIndexInDirection(handle), 1);
    EXPECT_EQ(DEngine::GetDirectionIndex(handle), 0);
    EXPECT_STREQ(DEngine::GetDictionaryName(handle), "Zeta");
    EXPECT_EQ(std::wstring(DEngine::GetDictionaryPath(handle)), zeta);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(0, 0)), 2u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(1, 0)), 4u);

    // Attaching a listed file again gives a second record with a new handle.
    ASSERT_EQ(DEngine::AttachDictionary(zeta.c_str()), 0) << "the open dictionary is held share-exclusive";
    DEngine::ForceCloseDictionary(handle);
    ASSERT_EQ(DEngine::AttachDictionary(zeta.c_str()), 1);
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 3);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(0, 2)), 5u);
}

TEST_F(EngineTest, HandleQueries_ReadTheHeaderOfClosedDictionaries) {
    MakeDictionary(L"er.dic", Description("EngRus", 0x0102, 7), {"a", "b", "c"});
    Init();
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    EXPECT_EQ(DEngine::GetDirection(handle), 0x0102);
    EXPECT_EQ(DEngine::GetDictionaryType(handle), 7);
    EXPECT_EQ(DEngine::GetVersion(handle), 0x0107);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 3u);
    CDictEngine engine;
    EXPECT_EQ(engine.GetDirection(handle), 0x00020001u) << "the direction key: target << 16 | source";
    EXPECT_EQ(engine.GetTotalWordCount(handle), 3u);
}

TEST_F(EngineTest, RemoveDictionaries_TakesTheFolderOnlyNotItsNamesakes) {
    testsupport::TempFolder other;
    std::wstring card = testsupport::ToWide(other.Path() / "Storage Card");
    std::wstring cards = testsupport::ToWide(other.Path() / "Storage Cards");
    std::filesystem::create_directories(testsupport::ToPath(card));
    std::filesystem::create_directories(testsupport::ToPath(cards));
    std::string error;
    ASSERT_TRUE(
        dengine::WriteDictionary(card + static_cast<wchar_t>(std::filesystem::path::preferred_separator) + L"x.dic",
                                 Description("X", 0x0102), Words({"x"}), &error));
    ASSERT_TRUE(
        dengine::WriteDictionary(cards + static_cast<wchar_t>(std::filesystem::path::preferred_separator) + L"y.dic",
                                 Description("Y", 0x0201), Words({"y"}), &error));
    Init();
    DEngine::EnumDictionaries(card.c_str());
    DEngine::EnumDictionaries(cards.c_str());
    ASSERT_EQ(DEngine::GetDirectionCount(), 2);
    EXPECT_EQ(DEngine::RemoveDictionaries(card.c_str()), 1);
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    EXPECT_STREQ(DEngine::GetDictionaryName(0, 0), "Y");
}

TEST_F(EngineTest, ReloadAndInit_StartHandlesAgainFromOne) {
    MakeDictionary(L"a.dic", Description("A", 0x0102));
    Init();
    Init(); // a second initialisation adds every file again
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 2);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(0, 0)), 1u);
    EXPECT_EQ(DEngine::ReloadDictEngine(root.c_str()), 1);
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 1);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(0, 0)), 1u);
}

TEST(LanguagesTest, LettersAndCodes) {
    const char letters[] = "ERGFISP";
    for (int i = 0; i < 7; ++i) {
        unsigned char code = static_cast<unsigned char>(1 << i);
        EXPECT_EQ(DEngine::LangToChar(code), letters[i]);
        EXPECT_EQ(DEngine::CharToLang(letters[i]), code);
        EXPECT_EQ(DEngine::CharToLang(static_cast<char>(letters[i] + ('a' - 'A'))), code);
    }
    EXPECT_EQ(DEngine::LangToChar(3), '?');
    EXPECT_EQ(DEngine::LangToChar(0), '?');
    EXPECT_EQ(DEngine::LangToChar(128), '?');
    EXPECT_EQ(DEngine::CharToLang('X'), 0);
    EXPECT_EQ(DEngine::CharToLang('\0'), 0);
}
