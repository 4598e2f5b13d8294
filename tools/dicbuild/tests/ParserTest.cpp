// Parsing the two entry styles, encoding with language runs, reading damaged index files, and
// articles built within the limits of their tags.
#include "Builder.h"
#include "Encoder.h"

#include "dictengine/DEngine.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

using namespace dicbuild;

TEST(ParserTest, Mueller_PartsSensesLabelsAndExamples) {
    const std::string body =
        "abandon\n"
        "   [\xC9\x9C\xE2\x86\x97"
        "b\xC3\xA6nd\xC9\x9Cn]\n"
        "   1. _v.\n"
        "      1) \xD0\xBF\xD0\xBE\xD0\xBA\xD0\xB8\xD0\xB4\xD0\xB0\xD1\x82\xD1\x8C\n"
        "      2) _refl. \xD0\xBF\xD1\x80\xD0\xB5\xD0\xB4\xD0\xB0\xD0\xB2\xD0\xB0\xD1\x82\xD1\x8C\xD1\x81\xD1\x8F; to "
        "abandon\n"
        "      oneself to the idea \xD0\xBC\xD1\x8B\xD1\x81\xD0\xBB\xD1\x8C\n"
        "   2. _n. _\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB6. "
        "\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB2\xD1\x8F\xD0\xB7\xD0\xBD\xD0\xBE\xD1\x81\xD1\x82\xD1\x8C\n";
    Headword headword;
    ASSERT_TRUE(ParseMuellerEntry("abandon", body, &headword));
    EXPECT_EQ(headword.transcription, "[\xC9\x9C\xE2\x86\x97"
                                      "b\xC3\xA6nd\xC9\x9Cn]");
    ASSERT_EQ(headword.parts.size(), 2u);
    EXPECT_EQ(headword.parts[0].partOfSpeech, 3);
    ASSERT_EQ(headword.parts[0].senses.size(), 2u);
    EXPECT_EQ(headword.parts[0].senses[0].translation,
              "\xD0\xBF\xD0\xBE\xD0\xBA\xD0\xB8\xD0\xB4\xD0\xB0\xD1\x82\xD1\x8C");
    EXPECT_EQ(headword.parts[0].senses[1].label, "refl.");
    EXPECT_EQ(headword.parts[0].senses[1].note,
              "to abandon oneself to the idea \xD0\xBC\xD1\x8B\xD1\x81\xD0\xBB\xD1\x8C");
    EXPECT_EQ(headword.parts[1].partOfSpeech, 1);
    ASSERT_EQ(headword.parts[1].senses.size(), 1u);
    EXPECT_EQ(headword.parts[1].senses[0].translation,
              "\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB2\xD1\x8F\xD0\xB7\xD0\xBD\xD0\xBE\xD1\x81\xD1\x82\xD1\x8C");
    EXPECT_EQ(headword.parts[1].note, "\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB6.");
    EXPECT_FALSE(ParseMuellerEntry("empty", "empty\n\n", &headword));
}

TEST(ParserTest, FreeDict_HeaderSensesAndDefinitions) {
    const std::string body =
        "maison /m\xC9\x9B.z\xC9\x94\xCC\x83/ <n, fem>\n"
        "1. \xD0\xB4\xD0\xBE\xD0\xBC 2.\n"
        "B\xC3\xA2timent servant de logis\n"
        " 3.\n"
        "Lign\xC3\xA9"
        "e, famille\n"
        "2. \xD0\xBF\xD1\x80\xD0\xB5\xD0\xB4\xD0\xBF\xD1\x80\xD0\xB8\xD1\x8F\xD1\x82\xD0\xB8\xD0\xB5\n"
        "Entreprise, commerce\n";
    Headword headword;
    ASSERT_TRUE(ParseFreeDictEntry("maison", body, &headword));
    EXPECT_EQ(headword.transcription, "/m\xC9\x9B.z\xC9\x94\xCC\x83/");
    ASSERT_EQ(headword.parts.size(), 1u);
    EXPECT_EQ(headword.parts[0].partOfSpeech, 1);
    EXPECT_EQ(headword.parts[0].note, "fem");
    ASSERT_EQ(headword.parts[0].senses.size(), 2u);
    EXPECT_EQ(headword.parts[0].senses[0].translation, "\xD0\xB4\xD0\xBE\xD0\xBC");
    EXPECT_EQ(headword.parts[0].senses[0].note, "B\xC3\xA2timent servant de logis; Lign\xC3\xA9"
                                                "e, famille");
    EXPECT_EQ(headword.parts[0].senses[1].note, "Entreprise, commerce");
    ASSERT_TRUE(ParseFreeDictEntry("lavenir",
                                   "l\xE2\x80\x99"
                                   "avenir <n>\n\xD0\xB1\n",
                                   &headword));
    EXPECT_EQ(headword.headword, "l\xE2\x80\x99"
                                 "avenir")
        << "the headword as the entry writes it";
    ASSERT_TRUE(ParseFreeDictEntry("laver", "laver /la.ve/ <v>\n\xD0\xBC\xD1\x8B\xD1\x82\xD1\x8C\n", &headword));
    EXPECT_EQ(headword.parts[0].partOfSpeech, 3);
    EXPECT_EQ(headword.parts[0].senses[0].translation, "\xD0\xBC\xD1\x8B\xD1\x82\xD1\x8C");
}

// A definition may begin with a number of its own ("2. Person", "1.000", "1. Grades"): it stays the
// definition, whole, where it stands; only the next number of numbered translations opens a sense.
TEST(ParserTest, FreeDict_DefinitionsThatBeginWithANumber) {
    Headword headword;
    // After a translation that is not numbered.
    ASSERT_TRUE(ParseFreeDictEntry("du", "du /du\xCB\x90/ <pron>\n\xD1\x82\xD1\x8B\n2. Person Singular, vertraulich\n",
                                   &headword));
    ASSERT_EQ(headword.parts[0].senses.size(), 1u);
    EXPECT_EQ(headword.parts[0].senses[0].translation, "\xD1\x82\xD1\x8B");
    EXPECT_EQ(headword.parts[0].senses[0].note, "2. Person Singular, vertraulich");
    // After a translation that announces further definitions, and after the number of one of them.
    ASSERT_TRUE(ParseFreeDictEntry("tausend",
                                   "tausend <num>\n\xD1\x82\xD1\x8B\xD1\x81\xD1\x8F\xD1\x87\xD0\xB0 2.\n"
                                   "1.000, zehn mal hundert\n 3.\n1. Stelle: sehr viele\n",
                                   &headword));
    ASSERT_EQ(headword.parts[0].senses.size(), 1u);
    EXPECT_EQ(headword.parts[0].senses[0].translation, "\xD1\x82\xD1\x8B\xD1\x81\xD1\x8F\xD1\x87\xD0\xB0");
    EXPECT_EQ(headword.parts[0].senses[0].note, "1.000, zehn mal hundert; 1. Stelle: sehr viele");
    // Among numbered translations: a number out of their order is a definition, the next one a sense
    // (also right after a translation without a definition).
    ASSERT_TRUE(ParseFreeDictEntry("Vetter",
                                   "Vetter <n, masc>\n1. \xD0\xBA\xD1\x83\xD0\xB7\xD0\xB5\xD0\xBD\n"
                                   "3. Grades: entfernter Verwandter\n2. \xD0\xB1\xD0\xB8\xD1\x82\xD1\x8C\n"
                                   "3. \xD1\x83\xD0\xB4\xD0\xB0\xD1\x80\xD0\xB8\xD1\x82\xD1\x8C\nschlagen\n",
                                   &headword));
    ASSERT_EQ(headword.parts[0].senses.size(), 3u);
    EXPECT_EQ(headword.parts[0].senses[0].note, "3. Grades: entfernter Verwandter");
    EXPECT_EQ(headword.parts[0].senses[1].translation, "\xD0\xB1\xD0\xB8\xD1\x82\xD1\x8C");
    EXPECT_EQ(headword.parts[0].senses[1].note, "");
    EXPECT_EQ(headword.parts[0].senses[2].translation, "\xD1\x83\xD0\xB4\xD0\xB0\xD1\x80\xD0\xB8\xD1\x82\xD1\x8C");
    EXPECT_EQ(headword.parts[0].senses[2].note, "schlagen");
}

TEST(ParserTest, Encoder_CodePagesLanguageRunsAndDroppedCharacters) {
    TextEncoder encoder(8);
    // Russian text with a French word: the word goes into a French run.
    EXPECT_EQ(encoder.Encode("\xD0\xB4\xD0\xBE\xD0\xBC (maison \xC3\xA9t\xC3\xA9)", 2),
              "\xE4\xEE\xEC (maison %8 \xE9t\xE9%)");
    // French text with a Russian word: the word goes into a Russian run.
    EXPECT_EQ(encoder.Encode("\xC3\xA9t\xC3\xA9 \xD0\xBB\xD0\xB5\xD1\x82\xD0\xBE", 8),
              "\xE9t\xE9 %2 \xEB\xE5\xF2\xEE%");
    EXPECT_EQ(encoder.DroppedCharacters(), 0u);
    // IPA letters are in no supported code page: they are written in ASCII; "%" would read as a run.
    EXPECT_EQ(encoder.Encode("[\xC9\x99"
                             "b] 5%",
                             1),
              "[@b] 5");
    EXPECT_EQ(encoder.DroppedCharacters(), 1u);
}

TEST(ParserTest, Source_DamagedLinesAreCountedAndSkipped) {
    testsupport::TempFolder folder;
    std::string index = testsupport::ToPath(folder.File(L"d.index")).string();
    std::string data = testsupport::ToPath(folder.File(L"d.dict")).string();
    testsupport::WriteFileBytes(folder.File(L"d.dict"), "alpha\nfirst\nbeta\nsecond\nbad \xFF\n");
    testsupport::WriteFileBytes(folder.File(L"d.index"), "00-database-short\tA\tB\n"
                                                         "alpha\tA\tM\n"
                                                         "beta\tM\tM\n"
                                                         "broken line without tabs\n"
                                                         "past\tA\tZZZ\n"
                                                         "bad\tY\tG\n"
                                                         "digits\t!!\tB\n");
    std::vector<SourceEntry> entries;
    Problems problems;
    std::string error;
    ASSERT_TRUE(ReadSource(index, data, &entries, &problems, &error)) << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].headword, "alpha");
    EXPECT_EQ(entries[0].body, "alpha\nfirst\n");
    EXPECT_EQ(entries[1].body, "beta\nsecond\n");
    EXPECT_EQ(problems.counts["damaged index line"], 2u);
    EXPECT_EQ(problems.counts["entry past the end of the data"], 1u);
    EXPECT_EQ(problems.counts["invalid UTF-8"], 1u);
    EXPECT_FALSE(ReadSource(index + ".missing", data, &entries, &problems, &error));
    EXPECT_FALSE(error.empty());
}

TEST(ParserTest, Build_LongTextsAreSplitOrCutAndReflexivesKeyedByTheVerb) {
    testsupport::TempFolder folder;
    std::string many;
    for (int i = 0; i < 80; ++i)
        many += (i ? "; " : "") + std::string("\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE"); // "слово"
    std::vector<SourceEntry> source = {
        {"laver", "laver /la.ve/ <v>\n\xD0\xBC\xD1\x8B\xD1\x82\xD1\x8C\n"},
        {"se laver", "se laver /s\xC9\x99 la.ve/ <v>\n\xD0\xBC\xD1\x8B\xD1\x82\xD1\x8C\xD1\x81\xD1\x8F\n"},
        {"long", "long /l\xC9\x94\xCC\x83/ <adj>\n" + many + "\n" + std::string(600, 'x') + "\n"},
    };
    BuildOptions options;
    options.style = EntryStyle::FreeDict;
    options.name = "Test FR";
    options.direction = 0x0802;
    BuildSummary summary;
    std::string error;
    std::wstring output = folder.File(L"fr.dic");
    ASSERT_TRUE(BuildFromSource(source, options, output, &summary, &error)) << error;
    EXPECT_EQ(summary.headwords, 3u);
    EXPECT_EQ(summary.split.count, 1u);
    EXPECT_EQ(summary.cut.count, 1u) << "the 600-byte word";
    EXPECT_EQ(summary.cut.first, std::vector<std::string>{"long"});

    DEngine::AttachDictionary(output.c_str());
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    unsigned long index = 0;
    int exact = 0;
    ASSERT_EQ(DEngine::FindWord(handle, "se laver", &index, &exact), 1);
    EXPECT_STREQ(DEngine::IndexDataToDisplayData(DEngine::GetSingleIndex(handle, index)), "se laver");
    EXPECT_STREQ(DEngine::IndexDataToKeyData(DEngine::GetSingleIndex(handle, index)), " laver")
        << "shown as \"se laver\", kept under \"laver\"";
    DEngine::DoneDictEngine();
}

TEST(ParserTest, Build_PatternSearchPassesABlockThatStartsWithAReflexive) {
    // "emporter" and "s'en mordre" have articles of about 37,000 bytes, too many for one block, so the
    // second block starts with "s'en mordre", which is kept under "en mordre": a search for "ma*" must
    // still reach "maison" in that block.
    std::string senses;
    for (int i = 0; i < 180; ++i) {
        for (int k = 0; k < 200; ++k)
            senses += "\xD1\x8F"; // "я", one byte in code page 1251
        senses += "\n";
    }
    std::vector<SourceEntry> source = {
        {"abeille", "abeille <n>\n\xD0\xBF\xD1\x87\xD0\xB5\xD0\xBB\xD0\xB0\n"},
        {"emporter", "emporter <v>\n" + senses},
        {"s'en mordre", "s'en mordre <v>\n" + senses},
        {"maison", "maison <n>\n\xD0\xB4\xD0\xBE\xD0\xBC\n"},
    };
    testsupport::TempFolder folder;
    std::wstring output = folder.File(L"fr.dic");
    BuildOptions options{EntryStyle::FreeDict, "Test FR", 0x0802, false};
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildFromSource(source, options, output, &summary, &error)) << error;
    ASSERT_EQ(summary.blocks, 2u) << "the reflexive opens the second block";
    DEngine::AttachDictionary(output.c_str());
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    unsigned long count = 0;
    unsigned long* indexes = nullptr;
    ASSERT_EQ(DEngine::PerformSearch(handle, "ma*", &count, &indexes, nullptr, nullptr), 1);
    EXPECT_EQ(std::vector<unsigned long>(indexes, indexes + count), std::vector<unsigned long>{3});
    DEngine::FreePtr(indexes);
    DEngine::DoneDictEngine();
}
