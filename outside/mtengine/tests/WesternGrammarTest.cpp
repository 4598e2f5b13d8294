// The German and French forms tables made from Debian's data, and the German and French grammar the
// translator out of Russian writes with them: irregular forms, genders, articles, agreement, verb
// forms, the perfect and French elision.
#include "WesternGrammar.h"
#include "EnginePrivate.h"
#include "WesternForms.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mtengine;

namespace {

std::string W(const char* utf8) {
    return FromUtf8(Plane::Western, utf8);
}

bool Reads(unsigned language, const char* form, const char* lemma, char kind, int slot) {
    auto analyses = WesternForms::Of(language)->Analyse(W(form));
    return std::any_of(analyses.begin(), analyses.end(), [&](const WesternForms::Analysis& a) {
        return a.lemma == W(lemma) && a.entry.kind == kind && a.slot == slot;
    });
}

std::string Form(unsigned language, const char* lemma, char kind, int slot) {
    const WesternForms* forms = WesternForms::Of(language);
    const WesternLemma* entry = forms->Find(W(lemma), kind);
    return entry != nullptr ? forms->Form(W(lemma), *entry, slot) : "(none)";
}

} // namespace

TEST(WesternFormsTest, GermanTable_StrongVerbsPluralsAndGenders) {
    EXPECT_TRUE(Reads(kLangGerman, "schläft", "schlafen", 'v', western::kGermanThirdPerson));
    EXPECT_TRUE(Reads(kLangGerman, "ging", "gehen", 'v', western::kGermanPast));
    EXPECT_TRUE(Reads(kLangGerman, "gelesen", "lesen", 'v', western::kGermanParticiple));
    EXPECT_TRUE(Reads(kLangGerman, "häuser", "haus", 'n', western::kPlural));
    EXPECT_EQ(Form(kLangGerman, "laufen", 'v', western::kGermanPast), "lief");
    EXPECT_EQ(Form(kLangGerman, "buch", 'n', western::kPlural), W("bücher"));
    EXPECT_EQ(WesternForms::Of(kLangGerman)->Find("katze", 'n')->gender, 'f');
    EXPECT_EQ(WesternForms::Of(kLangGerman)->Find("haus", 'n')->gender, 'n');
    EXPECT_TRUE(WesternForms::Of(kLangGerman)->Find("gehen", 'v')->auxiliaryBe);
    EXPECT_FALSE(WesternForms::Of(kLangGerman)->Find("lesen", 'v')->auxiliaryBe);
    EXPECT_EQ(WesternForms::Of(kLangGerman)->Find("xyzzy", 'n'), nullptr);
}

// A verb the dictionary writes with its object ("etw. wissen {vt}") is listed with its forms too.
TEST(WesternFormsTest, GermanTable_VerbWrittenWithItsObject) {
    EXPECT_TRUE(Reads(kLangGerman, "weiß", "wissen", 'v', western::kGermanThirdPerson));
    EXPECT_EQ(Form(kLangGerman, "wissen", 'v', western::kGermanPast), "wusste");
    EXPECT_EQ(WesternGrammar(kLangGerman).Present("wissen", 1, false), W("weiß"));
}

TEST(WesternFormsTest, FrenchTable_IrregularPluralsVerbsAndAdjectives) {
    EXPECT_TRUE(Reads(kLangFrench, "yeux", "œil", 'n', western::kPlural));
    EXPECT_TRUE(Reads(kLangFrench, "chevaux", "cheval", 'n', western::kPlural));
    EXPECT_TRUE(Reads(kLangFrench, "sont", "être", 'v', western::FrenchPresent(3, true)));
    EXPECT_TRUE(Reads(kLangFrench, "vont", "aller", 'v', western::FrenchPresent(3, true)));
    EXPECT_TRUE(Reads(kLangFrench, "bu", "boire", 'v', western::FrenchParticiple(false, false)));
    EXPECT_EQ(Form(kLangFrench, "grand", 'a', western::kFemininePlural), "grandes");
    EXPECT_EQ(Form(kLangFrench, "faire", 'v', western::FrenchPresent(3, false)), "fait");
    EXPECT_EQ(Form(kLangFrench, "être", 'v', western::FrenchImperfect(1, true)), W("étions"));
    EXPECT_EQ(WesternForms::Of(kLangFrench)->Find("maison", 'n')->gender, 'f');
    EXPECT_TRUE(WesternForms::Of(kLangFrench)->Find("partir", 'v')->auxiliaryBe);
    EXPECT_FALSE(WesternForms::Of(kLangFrench)->Find(W("être"), 'v')->auxiliaryBe); // "il a été"
    EXPECT_EQ(WesternForms::Of(kLangEnglish), nullptr);
}

TEST(WesternGrammarTest, German_ArticlesByCaseContractionsAndAdjectiveEndings) {
    WesternGrammar german(kLangGerman);
    EXPECT_EQ(german.Article(true, 'm', false, WesternCase::Accusative, "Tisch"), "den");
    EXPECT_EQ(german.Article(true, 'f', false, WesternCase::Dative, "Stadt"), "der");
    EXPECT_EQ(german.Article(true, 'n', true, WesternCase::Dative, "Kinder"), "den");
    EXPECT_EQ(german.Article(false, 'm', false, WesternCase::Accusative, "Brief"), "einen");
    EXPECT_EQ(german.Article(false, 'n', true, WesternCase::Nominative, "Bücher"), ""); // no plural "ein"
    EXPECT_EQ(german.Contraction("in", "dem"), "im");
    EXPECT_EQ(german.Contraction("Zu", "der"), "zur");
    EXPECT_EQ(german.Contraction("auf", "dem"), "");
    // Weak after "der", mixed after "ein", strong with no article; a predicate has no ending.
    EXPECT_EQ(german.Adjective("klein", 'n', false, WesternCase::Nominative, Determination::Definite, true, ""),
              "kleine");
    EXPECT_EQ(german.Adjective("klein", 'n', false, WesternCase::Dative, Determination::Indefinite, true, ""),
              "kleinen");
    EXPECT_EQ(german.Adjective("neu", 'n', false, WesternCase::Accusative, Determination::Indefinite, true, ""),
              "neues");
    EXPECT_EQ(german.Adjective("kalt", 'f', false, WesternCase::Dative, Determination::None, true, ""), "kalter");
    EXPECT_EQ(german.Adjective("leise", 'm', false, WesternCase::Nominative, Determination::Indefinite, true, ""),
              "leiser");
    EXPECT_EQ(german.Adjective("klein", 'n', false, WesternCase::Nominative, Determination::None, false, ""), "klein");
    EXPECT_EQ(german.Determiner("mein", 'f', false, WesternCase::Nominative, "Mutter"), "meine");
    EXPECT_EQ(german.Determiner("Unser", 'n', true, WesternCase::Dative, "Kindern"), "Unseren");
    EXPECT_EQ(german.Determiner("dieser", 'm', false, WesternCase::Accusative, "Mann"), "diesen");
    EXPECT_EQ(german.Number("Haus", true), W("Häuser"));
    EXPECT_EQ(german.Gender("Katze"), 'f');
}

TEST(WesternGrammarTest, German_VerbFormsAndThePerfect) {
    WesternGrammar german(kLangGerman);
    EXPECT_EQ(german.Present(W("schlafen"), 3, false), W("schläft"));
    EXPECT_EQ(german.Present(W("schlafen"), 2, false), W("schläfst"));
    EXPECT_EQ(german.Present("lesen", 2, false), "liest");
    EXPECT_EQ(german.Present("spielen", 1, false), "spiele");
    EXPECT_EQ(german.Present("arbeiten", 2, true), "arbeitet");
    EXPECT_EQ(german.Present(W("können"), 1, false), "kann");
    EXPECT_EQ(german.Present("sein", 1, true), "sind");
    EXPECT_EQ(german.SimplePast("sein", 1, true), "waren");
    EXPECT_EQ(german.SimplePast("haben", 3, false), "hatte");
    EXPECT_EQ(german.PerfectAuxiliary("gehen", 1, true), "sind");
    EXPECT_EQ(german.PerfectAuxiliary("finden", 3, false), "hat");
    EXPECT_EQ(german.Participle("finden", false, false), "gefunden");
    // Verbs the table lacks: the participle of the verb after a prefix, or the regular one.
    EXPECT_EQ(german.Participle("durchlesen", false, false), "durchgelesen");
    EXPECT_EQ(german.Participle("zerlaufen", false, false), "zerlaufen");
    EXPECT_EQ(german.Participle("wuppen", false, false), "gewuppt");
}

TEST(WesternGrammarTest, French_ArticlesAgreementPlacementAndElision) {
    WesternGrammar french(kLangFrench);
    EXPECT_EQ(french.Article(true, 'f', false, WesternCase::Nominative, "maison"), "la");
    EXPECT_EQ(french.Article(true, 'm', false, WesternCase::Nominative, "enfant"), "l'");
    EXPECT_EQ(french.Article(false, 'f', false, WesternCase::Accusative, "table"), "une");
    EXPECT_EQ(french.Article(false, 'm', true, WesternCase::Accusative, "livres"), "des");
    EXPECT_EQ(french.Contraction(W("à"), "le"), "au");
    EXPECT_EQ(french.Contraction("de", "les"), "des");
    EXPECT_EQ(french.Adjective("petit", 'f', false, WesternCase::Nominative, Determination::None, false, ""), "petite");
    EXPECT_EQ(french.Adjective("vieux", 'f', false, WesternCase::Nominative, Determination::None, false, ""),
              "vieille");
    EXPECT_EQ(french.Adjective("nouveau", 'm', false, WesternCase::Nominative, Determination::Indefinite, true,
                               "appartement"),
              "nouvel");
    EXPECT_EQ(french.Adjective("nouveau", 'm', true, WesternCase::Nominative, Determination::None, true, ""),
              "nouveaux");
    EXPECT_TRUE(french.BeforeNoun("petit"));
    EXPECT_FALSE(french.BeforeNoun("rouge"));
    EXPECT_EQ(french.Determiner("mon", 'f', false, WesternCase::Nominative, W("mère")), "ma");
    EXPECT_EQ(french.Determiner("mon", 'f', false, WesternCase::Nominative, W("école")), "mon");
    EXPECT_EQ(french.Determiner("ce", 'm', false, WesternCase::Nominative, "homme"), "cet");
    EXPECT_EQ(french.Number("cheval", true), "chevaux");
    EXPECT_EQ(french.Number("table", true), "tables");
    EXPECT_EQ(french.Gender("chatte"), 'f'); // not in the table: by its ending
    EXPECT_EQ(french.Elided("je", "aime"), "j'");
    EXPECT_EQ(french.Elided("ne", "habite"), "n'");
    EXPECT_EQ(french.Elided("ne", "trouve"), "");
}

TEST(WesternGrammarTest, French_VerbFormsAndThePerfect) {
    WesternGrammar french(kLangFrench);
    EXPECT_EQ(french.Present("aller", 1, true), "allons");
    EXPECT_EQ(french.Present(W("connaître"), 3, false), W("connaît"));
    EXPECT_EQ(french.Present("habiter", 1, true), "habitons");
    EXPECT_EQ(french.SimplePast(W("être"), 1, false), W("étais"));
    EXPECT_EQ(french.PerfectAuxiliary("partir", 3, true), "sont");
    EXPECT_EQ(french.PerfectAuxiliary("trouver", 3, false), "a");
    // Participles agree with the subject after "être" only.
    EXPECT_EQ(french.Participle("partir", true, true), "parties");
    EXPECT_EQ(french.Participle("trouver", true, false), W("trouvé"));
    EXPECT_EQ(french.Participle("boire", false, false), "bu");
}

// How common German words are: a word in many of the dictionary's entries above its rare synonym.
TEST(WesternFormsTest, GermanFrequency_CommonWordAboveItsRareSynonym) {
    EXPECT_GT(GermanFrequency("trinken"), GermanFrequency("saufen"));
    EXPECT_GT(GermanFrequency("spielen"), GermanFrequency("daddeln"));
    EXPECT_GT(GermanFrequency(W("tür")), 0u); // the table's UTF-8 read in the Western plane
    EXPECT_EQ(GermanFrequency("qqqxyz"), 0u);
}

// French partitive: by gender and elision, "de" after a negation; mass nouns (German ones too) and
// verbs of liking.
TEST(WesternGrammarTest, French_Partitive) {
    WesternGrammar french(kLangFrench);
    EXPECT_EQ(french.Partitive('m', false, "pain"), "du");
    EXPECT_EQ(french.Partitive('f', false, "soupe"), "de la");
    EXPECT_EQ(french.Partitive('f', false, "eau"), "de l'");
    EXPECT_EQ(french.Partitive('m', true, "pain"), "de");
    EXPECT_EQ(french.Partitive('f', true, "eau"), "d'");
    EXPECT_TRUE(french.MassNoun(W("café")));
    EXPECT_FALSE(french.MassNoun("livre"));
    EXPECT_TRUE(french.LikingVerb(W("préférer")));
    EXPECT_FALSE(french.LikingVerb("acheter"));
    EXPECT_TRUE(WesternGrammar(kLangGerman).MassNoun("Brot"));
    EXPECT_FALSE(WesternGrammar(kLangGerman).MassNoun("Buch"));
}
