// Mueller entries in their three layouts, with homonyms and senses past 9; texts longer than a leaf
// split and read back whole; transcriptions in ASCII; the reverse dictionary's headwords; and input
// that is refused. The texts are UTF-8 as in the dict-server files.
#include "Builder.h"
#include "Encoder.h"
#include "Leaves.h"

#include "base/CodePage.h"
#include "base/Unicode.h"
#include "dictengine/DEngine.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

using namespace dicbuild;

namespace {

Headword Parse(const std::string& headword, const std::string& body) {
    Headword parsed;
    EXPECT_TRUE(ParseMuellerEntry(headword, body, &parsed)) << body;
    return parsed;
}

} // namespace

TEST(MuellerTest, Layouts_OneLineHeadWithSensesAndTranscriptionAlone) {
    // The head and the translation on one line, with the verb's forms.
    Headword write = Parse("write", "write\n   [raɪt] _v. (wrote, written) писать\n");
    EXPECT_EQ(write.transcription, "[raɪt]");
    ASSERT_EQ(write.parts.size(), 1u);
    EXPECT_EQ(write.parts[0].partOfSpeech, 3);
    EXPECT_EQ(write.parts[0].note, "(wrote, written)");
    ASSERT_EQ(write.parts[0].senses.size(), 1u);
    EXPECT_EQ(write.parts[0].senses[0].translation, "писать");

    // The head on its line, numbered senses below; a word broken at a hyphen is joined again.
    Headword city = Parse("city", "city\n   [↗sɪtɪ] _n.\n   1) большой, старинный город (в Англии); всякий\n"
                                  "   город\n   2) the C. Сити, деловой квартал; северо-\n   восток\n");
    EXPECT_EQ(city.transcription, "[↗sɪtɪ]");
    ASSERT_EQ(city.parts.size(), 1u);
    EXPECT_EQ(city.parts[0].partOfSpeech, 1);
    ASSERT_EQ(city.parts[0].senses.size(), 2u);
    EXPECT_EQ(city.parts[0].senses[0].translation, "большой, старинный город (в Англии); всякий город");
    EXPECT_EQ(city.parts[0].senses[1].translation, "");
    EXPECT_EQ(city.parts[0].senses[1].note, "the C. Сити, деловой квартал; северо-восток");

    // The transcription alone, then numbered parts with their own heads and senses.
    Headword house = Parse("house", "house\n   [haʊs]\n   1. _n. _pl. [↗haʊzɪz]\n      1) дом\n"
                                    "   2. _v. [haʊz]\n      1) _воен. расквартировывать\n   3. _attr. домашний\n");
    EXPECT_EQ(house.transcription, "[haʊs]");
    ASSERT_EQ(house.parts.size(), 3u);
    EXPECT_EQ(house.parts[0].partOfSpeech, 1);
    EXPECT_EQ(house.parts[0].note, "pl. [↗haʊzɪz]");
    EXPECT_EQ(house.parts[1].partOfSpeech, 3);
    EXPECT_EQ(house.parts[1].transcription, "[haʊz]");
    EXPECT_EQ(house.parts[1].senses[0].label, "воен.");
    EXPECT_EQ(house.parts[1].senses[0].translation, "расквартировывать");
    EXPECT_EQ(house.parts[2].note, "attr.");
    EXPECT_EQ(house.parts[2].senses[0].translation, "домашний");

    // Another spelling and a part of speech after the transcription.
    Headword variant =
        Parse("advertise", "advertise\n   [↗ædvɜtaɪz] = advertize [↗ædvɜtaɪz] _v.\n   1) рекламировать\n");
    EXPECT_EQ(variant.parts[0].partOfSpeech, 3);
    EXPECT_EQ(variant.parts[0].note, "= advertize [↗ædvɜtaɪz]");
}

TEST(MuellerTest, HomonymsAndSensesPastNine) {
    std::string body =
        "bank\n   _I  [bæŋk]\n      1. _n.\n         1) вал, насыпь\n      2. _v.\n         1) делать насыпь\n"
        "   _II [bæŋk]\n      1. _n.\n         1) банк\n"
        "   _III[bæŋk] _n. _ист.\n";
    for (int i = 1; i <= 12; ++i)
        body += "         " + std::to_string(i) + (i < 10 ? ") " : ")") + "смысл" + std::to_string(i) + "\n";
    Headword bank = Parse("bank", body);
    ASSERT_EQ(bank.parts.size(), 4u) << "two parts of the first homonym, one of each other";
    EXPECT_EQ(bank.transcription, "[bæŋk]");
    EXPECT_EQ(bank.parts[0].senses[0].translation, "вал, насыпь");
    EXPECT_EQ(bank.parts[1].partOfSpeech, 3);
    EXPECT_EQ(bank.parts[1].senses[0].translation, "делать насыпь") << "the next homonym is not glued on";
    EXPECT_EQ(bank.parts[2].transcription, "[bæŋk]");
    EXPECT_EQ(bank.parts[2].senses[0].translation, "банк");
    EXPECT_EQ(bank.parts[3].partOfSpeech, 1);
    EXPECT_EQ(bank.parts[3].note, "ист.");
    ASSERT_EQ(bank.parts[3].senses.size(), 12u);
    EXPECT_EQ(bank.parts[3].senses[8].translation, "смысл9");
    EXPECT_EQ(bank.parts[3].senses[9].translation, "смысл10");
    EXPECT_EQ(bank.parts[3].senses[11].translation, "смысл12");
}

TEST(MuellerTest, Transliteration_TranscriptionsAndDigitsInAscii) {
    TextEncoder english(1);
    EXPECT_EQ(english.Encode("[↗hɛ↗lɜʊ] [ˈθɪŋk] [ʃɑːʒ] [ʌ]", 1), "['hE'l@U] ['TINk] [SA:Z] [V]");
    TextEncoder german(4);
    EXPECT_EQ(german.Encode("C₂H₂ und x⁴", 4), "C2H2 und x4");
    EXPECT_EQ(german.Encode("[bɔ̃ʒuːʁ]", 4), "[bO~Zu:R]");
    EXPECT_EQ(german.TransliteratedCharacters(), 8u);
    EXPECT_EQ(german.DroppedCharacters(), 0u);
    // A stress mark on a Russian word has no letter of its own: the word stays whole, the mark counted.
    TextEncoder russian(4);
    EXPECT_EQ(ovrin::Utf16ToUtf8(DecodeDictionaryText(russian.Encode("моло́ко", 2), 2)), "молоко");
    EXPECT_EQ(russian.DroppedCharacters(), 1u);
    // A vowel with a combining accent is the accented letter of code page 1252.
    EXPECT_EQ(english.Encode("cafe\xCC\x81", 1), "caf\xE9");
}

TEST(MuellerTest, Leaves_LongTextsSplitAndReadBackWhole) {
    TextEncoder encoder(1);
    std::string translation, note;
    for (int i = 0; i < 60; ++i)
        translation += (i ? (i % 7 ? ", " : "; ") : "") + std::string("перевод") + std::to_string(i);
    for (int i = 0; i < 40; ++i)
        note += (i ? "; " : "") + std::string("an example пример") + std::to_string(i) + " with more words";
    // A long English run inside Russian text: it has to be split inside the run.
    std::string runs = "начало " + std::string(40, 'x');
    for (int i = 0; i < 80; ++i)
        runs += " wörd" + std::to_string(i);
    struct Case {
        std::string text;
        unsigned char language;
        TextKind kind;
    };
    for (const Case& c :
         {Case{translation, 2, TextKind::Translation}, Case{note, 1, TextKind::Note}, Case{runs, 2, TextKind::Note}}) {
        std::string encoded = encoder.Encode(c.text, c.language);
        ASSERT_GT(encoded.size(), kMaxLeaf);
        LeafSplit split = SplitIntoLeaves(encoded, c.kind);
        EXPECT_FALSE(split.cutInsideWord);
        ASSERT_GT(split.leaves.size(), 1u);
        std::wstring rebuilt;
        for (const std::string& leaf : split.leaves) {
            EXPECT_LE(leaf.size(), kMaxLeaf);
            EXPECT_EQ(std::count(leaf.begin(), leaf.end(), '%') % 2, 0) << "runs closed in every leaf: " << leaf;
            rebuilt += (rebuilt.empty() ? L"" : L" ") + DecodeDictionaryText(leaf, c.language);
        }
        EXPECT_EQ(ovrin::Utf16ToUtf8(rebuilt), c.text);
    }
    // Translations split at "; " before ", ".
    LeafSplit split = SplitIntoLeaves(encoder.Encode(translation, 2), TextKind::Translation);
    EXPECT_EQ(split.leaves[0].back(), ';');
}

TEST(MuellerTest, Reverse_HeadwordsAreCleanAlternatives) {
    using List = std::vector<std::string>;
    EXPECT_EQ(ReverseHeadwords("большой, старинный город (в Англии); всякий город", true),
              (List{"город", "всякий город"}))
        << "adjectives of one noun are not alternatives";
    EXPECT_EQ(ReverseHeadwords("идти, ходить; быть в движении", true), (List{"идти", "ходить", "быть в движении"}));
    EXPECT_EQ(ReverseHeadwords("от gallop 2", true), List{});
    EXPECT_EQ(ReverseHeadwords("см. тж. run", true), List{});
    EXPECT_EQ(ReverseHeadwords("= ходить", true), List{});
    EXPECT_EQ(ReverseHeadwords("а) донорский  пункт; б) запасы крови", true),
              (List{"донорский пункт", "запасы крови"}));
    EXPECT_EQ(ReverseHeadwords("\"круглое отлично\"; «пятёрка»", true), (List{"круглое отлично", "пятёрка"}));
    EXPECT_EQ(ReverseHeadwords("ручей, поток и т.п.; разг. приятель; -ся", true), (List{"ручей", "поток"}));
}

TEST(MuellerTest, BadInput_IsRefused) {
    testsupport::TempFolder folder;
    BuildOptions options{EntryStyle::Mueller, "Test", 0x0102, false};
    BuildSummary summary;
    std::string error;
    // Text that reads as no Mueller entry: a FreeDict file, data of another dictionary.
    std::vector<SourceEntry> wrong = {{"a", "\x01\x02"}, {"b", ""}, {"c", "c\n"}, {"d", "\xD0\xB4\xD0\xBE\xD0\xBC"}};
    EXPECT_FALSE(BuildFromSource(wrong, options, folder.File(L"bad.dic"), &summary, &error));
    EXPECT_NE(error.find("only 0 of 4 entries"), std::string::npos) << error;
    // The name in the code page of the source language: Russian for the reverse direction.
    std::string name;
    options.name = "Мюллер";
    options.reverse = true;
    ASSERT_TRUE(EncodeDictionaryName(options, &name, &error)) << error;
    EXPECT_EQ(name, "\xCC\xFE\xEB\xEB\xE5\xF0");
    options.reverse = false;
    EXPECT_FALSE(EncodeDictionaryName(options, &name, &error)) << "code page 1252 has no Cyrillic";
    options.name = "A name too long";
    EXPECT_FALSE(EncodeDictionaryName(options, &name, &error));
}

TEST(MuellerTest, Build_ArticleHoldsEveryLeafOfALongEntry) {
    testsupport::TempFolder folder;
    std::string senses;
    for (int i = 1; i <= 30; ++i)
        senses += "   " + std::to_string(i) + (i < 10 ? ") " : ")") + "значение номер " + std::to_string(i) +
                  "; an example of use пример употребления\n";
    std::string long1;
    for (int i = 0; i < 50; ++i)
        long1 += (i ? "; " : "") + std::string("перевод") + std::to_string(i);
    std::vector<SourceEntry> source = {{"go", "go\n   [gɜʊ]\n   1. _v. (went - gone)\n" + senses},
                                       {"long", "long\n   [lɘŋ] _a. " + long1 + "\n"}};
    BuildOptions options{EntryStyle::Mueller, "Test ER", 0x0102, false};
    BuildSummary summary;
    std::string error;
    std::wstring output = folder.File(L"er.dic");
    ASSERT_TRUE(BuildFromSource(source, options, output, &summary, &error)) << error;
    EXPECT_EQ(summary.keptWords, summary.sourceWords);
    EXPECT_EQ(summary.taggedPartOfSpeech, 2u);
    EXPECT_EQ(summary.split.first, std::vector<std::string>{"long"});
    DEngine::AttachDictionary(output.c_str());
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    const unsigned char* article = DEngine::GetArticle(handle, 1);
    ASSERT_NE(article, nullptr);
    ASSERT_EQ(DEngine::GetSrcPartCount(article), 1u);
    const unsigned char* translation = DEngine::GetTranslation(DEngine::GetSrcPart(article, 0), 0);
    ASSERT_NE(translation, nullptr);
    std::wstring rebuilt;
    for (const unsigned char* leaf = DEngine::FindTag(translation, 0x01); leaf != nullptr;
         leaf = DEngine::FindNextTag(translation, leaf))
        rebuilt += (rebuilt.empty() ? L"" : L" ") +
                   DecodeDictionaryText(std::string(reinterpret_cast<const char*>(leaf + 2), leaf[1]), 2);
    EXPECT_EQ(ovrin::Utf16ToUtf8(rebuilt), long1);
    const unsigned char* go = DEngine::GetArticle(handle, 0);
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(DEngine::GetTranslationCount(DEngine::GetSrcPart(go, 0)), 30u);
    const unsigned char* transcription = DEngine::FindTag(DEngine::GetSrcPart(go, 0), 0x08);
    ASSERT_NE(transcription, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(transcription + 2), transcription[1]), "[g@U]");
    DEngine::DoneDictEngine();
}

TEST(MuellerTest, Reverse_NamedPairsFromSmallEntriesAndACyrillicName) {
    std::vector<SourceEntry> source = {
        {"always", "always\n   [↗ɘ:lwɜz] _adv. всегда\n"},
        {"begin", "begin\n   [bɪ↗gɪn] _v. (began; begun)\n   1) начинать(ся); to begin with начать с того, что\n"
                  "   2) _разг. браться\n"},
        {"city", "city\n   [↗sɪtɪ] _n.\n   1) большой, старинный город (в Англии)\n   2) _attr. городской\n"},
        {"gallop", "gallop\n   [↗gælɜp] _v. _I скакать\n"},
        {"galloper", "galloper\n   [↗gælɜpɜ] _n. от gallop 2; \"скакун\"\n"},
        {"live", "live\n   _I  [lɪv] _v.\n      1) жить, существовать\n   _II [laɪv] _a. живой\n"},
        {"write", "write\n   [raɪt] _v. (wrote, written) писать\n"},
    };
    testsupport::TempFolder folder;
    std::wstring output = folder.File(L"re.dic");
    BuildOptions options{EntryStyle::Mueller, "Мюллер РА", 0x0102, true};
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildFromSource(source, options, output, &summary, &error)) << error;
    ASSERT_EQ(DEngine::AttachDictionary(output.c_str()), 1);
    EXPECT_STREQ(DEngine::GetDictionaryName(0, 0), "\xCC\xFE\xEB\xEB\xE5\xF0 \xD0\xC0") << "code page 1251";
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    std::vector<std::string> headwords;
    for (unsigned long n = 0; n < DEngine::GetTotalWordCount(handle); ++n)
        headwords.push_back(ovrin::Utf16ToUtf8(
            DecodeDictionaryText(DEngine::IndexDataToDisplayData(DEngine::GetSingleIndex(handle, n)), 2)));
    // No fragment of a cross-reference, no quotation mark, no lone adjective of "большой, старинный город".
    EXPECT_EQ(headwords, (std::vector<std::string>{"браться", "всегда", "город", "городской", "живой", "жить",
                                                   "начинать", "писать", "скакать", "скакун", "существовать"}));
    for (const auto& [russian, english] : std::vector<std::pair<std::string, std::string>>{
             {"писать", "write"}, {"город", "city"}, {"жить", "live"}, {"начинать", "begin"}, {"всегда", "always"}}) {
        unsigned long index = 0;
        int exact = 0;
        std::string key = ovrin::WideToMultiByte(1251, ovrin::Utf8ToUtf16(russian));
        ASSERT_EQ(DEngine::FindWord(handle, key.c_str(), &index, &exact), 1);
        ASSERT_EQ(exact, 1) << russian;
        const unsigned char* article = DEngine::GetArticle(handle, index);
        ASSERT_NE(article, nullptr);
        const unsigned char* translation = DEngine::GetTranslation(DEngine::GetSrcPart(article, 0), 0);
        ASSERT_NE(translation, nullptr);
        const unsigned char* text = DEngine::FindTag(translation, 0x01);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(text + 2), text[1]), english);
    }
    DEngine::DoneDictEngine();
}
