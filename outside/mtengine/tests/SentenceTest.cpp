// The engine stand-in translating sentences over dictionaries whose articles name parts of speech:
// the role of each word choosing its sense and its form, English into Russian (agreement, case
// government, verb person and tense, dropped words) and Russian into English (inflected forms found,
// articles, verb forms, "to be"), with each direction's shipped general glossary.
#include "enginetest/EngineLayout.h"

#include "base/Unicode.h"

using namespace enginetest;

namespace {

constexpr unsigned char kNoun = 1, kAdjective = 2, kVerb = 3, kAdverb = 100;

struct Sense {
    unsigned char partOfSpeech;
    std::wstring translation;
};
using Articles = std::vector<std::pair<std::wstring, std::vector<Sense>>>;

// A dictionary whose every sense is a part of its article naming its part of speech, in the order
// given (the first is the article's first translation).
void WriteSensesDictionary(const std::wstring& path, const std::wstring& prefix, const Articles& articles) {
    unsigned source = Language(prefix[0]), target = Language(prefix[1]);
    std::vector<dengine::WriterEntry> entries;
    for (const auto& [headword, senses] : articles) {
        std::vector<std::pair<std::uint8_t, std::string>> parts;
        for (const Sense& sense : senses) {
            std::string text = ovrin::WideToMultiByte(CodePageOf(target), sense.translation);
            std::string translation = dengine::MakeArticle({{0x01, text}}).substr(2);
            std::string part = dengine::MakeArticle(
                                   {{0x02, std::string(1, static_cast<char>(sense.partOfSpeech))}, {0x90, translation}})
                                   .substr(2);
            parts.emplace_back(0x80, part);
        }
        entries.push_back({ovrin::WideToMultiByte(CodePageOf(source), headword), "", dengine::MakeArticle(parts)});
    }
    dengine::SortEntries(entries, static_cast<std::uint8_t>(source));
    dengine::DictionaryDescription description;
    description.name = "Test " + std::string(prefix.begin(), prefix.end());
    description.direction = static_cast<std::uint16_t>(source << 8 | target);
    std::string error;
    EXPECT_TRUE(dengine::WriteDictionary(path, description, entries, &error)) << error;
}

std::wstring ShippedGlossary(const std::wstring& prefix) {
    std::wstring path = ovrin::Utf8ToUtf16(OVRIN_MTENGINE_DATA_DIR);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    path = (path.size() > 1 && path[1] == L':' ? path : L"Z:" + path) + L"\\" + prefix + L"\\general.gls";
    return ovrin::Utf8ToUtf16(testsupport::ReadFileBytes(path));
}

class SentenceTest : public ::testing::Test {
protected:
    SentenceTest() { layout.WriteStandardCatalogue(); }

    void AddDirection(const std::wstring& prefix, const Articles& articles) {
        std::wstring folder = layout.MakeDirectionFolder(prefix, {}, {{L"general.gls", ShippedGlossary(prefix)}});
        WriteSensesDictionary(folder + L"test.dic", prefix, articles);
        layout.AddDirectionKey(prefix, DirIdOf(prefix), prefix, folder);
        layout.AddSubject(prefix, L"General", L"Общая", {});
    }

    std::wstring Translate(int direction, const std::wstring& text) {
        if (!m_client) {
            m_translator = std::make_unique<CTranslator>(layout.Folder(), layout.Key());
            m_client = std::make_unique<CEngineClient>(*m_translator);
        }
        CEngineClient::SetDirectionSetting(direction);
        CEngineClient::SetSubjectSetting(0);
        std::wstring result;
        EXPECT_TRUE(m_client->TranslateText(text, result)) << Utf8(text).c_str();
        return result;
    }

    EngineLayout layout;

private:
    std::unique_ptr<CTranslator> m_translator;
    std::unique_ptr<CEngineClient> m_client;
};

const Articles& EnglishArticles() {
    static const Articles articles = {
        {L"want", {{kNoun, L"недостаток"}, {kVerb, L"хотеть"}}},
        {L"read", {{kVerb, L"читать"}}},
        {L"book", {{kNoun, L"книга"}, {kVerb, L"заказывать"}}},
        {L"stand", {{kNoun, L"остановка"}, {kVerb, L"стоять"}}},
        {L"end", {{kNoun, L"конец"}, {kVerb, L"кончать"}}},
        {L"quiet", {{kNoun, L"тишина"}, {kAdjective, L"тихий"}}},
        {L"street", {{kNoun, L"улица"}}},
        {L"live", {{kVerb, L"жить"}, {kAdjective, L"живой"}}},
        {L"life", {{kNoun, L"жизнь"}}},
        {L"keep", {{kVerb, L"держать"}}},
        {L"town", {{kNoun, L"город"}}},
        {L"sea", {{kNoun, L"море"}}},
        {L"child", {{kNoun, L"ребёнок"}}},
        {L"play", {{kNoun, L"игра"}, {kVerb, L"играть"}}},
        {L"park", {{kNoun, L"парк"}}},
        {L"open", {{kAdjective, L"открытый"}, {kVerb, L"открыть"}}},
        {L"window", {{kNoun, L"окно"}}},
        {L"not", {{kNoun, L"узел"}}},
        {L"note", {{kNoun, L"записка"}, {kVerb, L"отметить"}}},
        {L"price", {{kNoun, L"цена"}}},
        {L"car", {{kNoun, L"машина"}}},
        {L"sleep", {{kNoun, L"сон"}, {kVerb, L"спать"}}},
        {L"room", {{kNoun, L"комната"}}},
        {L"girl", {{kNoun, L"девочка"}}},
        {L"red", {{kAdjective, L"красный"}}},
        {L"dress", {{kNoun, L"платье"}}},
        {L"write", {{kVerb, L"писать"}}},
        {L"letter", {{kNoun, L"письмо"}}},
        {L"garden", {{kNoun, L"сад"}}},
        {L"floor", {{kNoun, L"пол"}}},
        {L"forest", {{kNoun, L"лес"}}},
        {L"door", {{kNoun, L"дверь"}}},
        {L"closed", {{kAdjective, L"закрытый"}}},
        {L"table", {{kNoun, L"стол"}}},
    };
    return articles;
}

} // namespace

// Each word takes the sense of its role and the form its place asks for.
TEST_F(SentenceTest, EnglishRussian_RoleChoosesTheSenseAndTheFormAgrees) {
    AddDirection(L"ER", EnglishArticles());
    // "want" after a pronoun is the verb, in the first person; "to" before a verb goes; the object
    // and its determiner in the accusative.
    EXPECT_EQ(Translate(0, L"I want to read this book."), L"Я хочу читать эту книгу.");
    // The third person; "at" with the prepositional; "of" as the genitive, the adjective agreeing.
    EXPECT_EQ(Translate(0, L"Our house stands at the end of a quiet street."), L"Наш дом стоит в конце тихой улицы.");
    // "lives" after a pronoun is "live", not "life"; "near" governs the genitive.
    EXPECT_EQ(Translate(0, L"She lives in a small town near the sea."), L"Она живёт в маленьком городе около моря.");
    // An irregular plural as the subject; "are" with "-ing" dropped, the verb in the plural.
    EXPECT_EQ(Translate(0, L"The children are playing in the park."), L"Дети играют в парке.");
    // The past in the gender of the subject: "opened" of a masculine, "noted" ("note", not "not") of
    // a feminine; the objects in the accusative.
    EXPECT_EQ(Translate(0, L"He opened the window."), L"Он открыл окно.");
    EXPECT_EQ(Translate(0, L"She noted the price."), L"Она отметила цену.");
    EXPECT_EQ(Translate(0, L"The cat is sleeping in the house."), L"Кошка спит в доме.");
}

TEST_F(SentenceTest, EnglishRussian_HaveThereIsCapitalsAndDroppedWords) {
    AddDirection(L"ER", EnglishArticles());
    EXPECT_EQ(Translate(0, L"I have a new car."), L"У меня есть новая машина.");
    // The owner that is a noun goes into the genitive after "у".
    EXPECT_EQ(Translate(0, L"The girl has a red dress."), L"У девочки есть красное платье.");
    // "There is" with a place: the place first.
    EXPECT_EQ(Translate(0, L"There is a table in the room."), L"В комнате есть стол.");
    // "I" inside a sentence keeps no capital; the present tense of the verb after it.
    EXPECT_EQ(Translate(0, L"Today I read a letter."), L"Сегодня я читаю письмо.");
    // A word dropped before a sign leaves no space before it.
    EXPECT_EQ(Translate(0, L"It is."), L"Это.");
}

TEST_F(SentenceTest, RussianEnglish_InflectedFormsFoundAndEnglishBuilt) {
    AddDirection(L"ER", EnglishArticles());
    AddDirection(L"RE", {{L"кошка", {{kNoun, L"cat"}}},
                         {L"спать", {{kVerb, L"sleep"}}},
                         {L"дом", {{kNoun, L"house"}}},
                         {L"жить", {{kVerb, L"keep"}, {kVerb, L"live"}}},
                         {L"маленький", {{kAdjective, L"small"}}},
                         {L"деревня", {{kNoun, L"village"}}},
                         {L"сестра", {{kNoun, L"sister"}}},
                         {L"врач", {{kNoun, L"doctor"}}},
                         {L"знать", {{kVerb, L"know"}}},
                         {L"слово", {{kNoun, L"word"}}},
                         {L"книга", {{kNoun, L"book"}}},
                         {L"ребёнок", {{kNoun, L"child"}}},
                         {L"видеть", {{kVerb, L"see"}}},
                         {L"окно", {{kNoun, L"window"}}},
                         {L"вода", {{kNoun, L"backwash"}, {kNoun, L"water"}}},
                         {L"холодный", {{kAdjective, L"cold"}}},
                         {L"открытый", {{kAdjective, L"open"}}},
                         {L"дверь", {{kNoun, L"door"}}},
                         {L"закрытый", {{kAdjective, L"closed"}}}});
    // "спит", "доме", "живём", "маленькой", "деревне": forms of the dictionary's lemmas.
    EXPECT_EQ(Translate(1, L"Кошка спит в доме."), L"The cat sleeps in the house.");
    // Of two translations the one the opposite direction's dictionary (ER, the sibling folder)
    // gives the headword back for: "live" ("жить"), not the commoner "keep" ("держать").
    EXPECT_EQ(Translate(1, L"Мы живём в маленькой деревне."), L"We live in a small village.");
    // Of two translations the commoner: "water", not "backwash".
    EXPECT_EQ(Translate(1, L"Вода холодная."), L"The water is cold.");
    // "to be" put back; "не" before the verb as "do not"; "a" before a predicate and what "есть"
    // introduces.
    EXPECT_EQ(Translate(1, L"Моя сестра врач."), L"My sister is a doctor.");
    EXPECT_EQ(Translate(1, L"Я не знаю это слово."), L"I do not know this word.");
    EXPECT_EQ(Translate(1, L"У меня есть книга."), L"I have a book.");
    // A short form is the predicate adjective: "открыто" of "открытый".
    EXPECT_EQ(Translate(1, L"Окно открыто."), L"The window is open.");
    EXPECT_EQ(Translate(1, L"Дверь закрыта."), L"The door is closed.");
    // A plural subject and object, an irregular past.
    EXPECT_EQ(Translate(1, L"Дети видели окна."), L"The children saw the windows.");
}

// "в" and "на" take the second locative of the nouns that have one; a participle as a predicate is
// the short form.
TEST_F(SentenceTest, EnglishRussian_SecondLocativeAndShortPredicates) {
    AddDirection(L"ER", EnglishArticles());
    EXPECT_EQ(Translate(0, L"The children are playing in the garden."), L"Дети играют в саду.");
    EXPECT_EQ(Translate(0, L"The cat is sleeping on the floor."), L"Кошка спит на полу.");
    EXPECT_EQ(Translate(0, L"He lives in the forest."), L"Он живёт в лесу.");
    // The prepositional stays where the preposition asks for it.
    EXPECT_EQ(Translate(0, L"The cat is sleeping in the house."), L"Кошка спит в доме.");
    EXPECT_EQ(Translate(0, L"The window is open."), L"Окно открыто.");
    EXPECT_EQ(Translate(0, L"The door was closed."), L"Дверь была закрыта.");
    // Attributive, the full form.
    EXPECT_EQ(Translate(0, L"She opened the closed door."), L"Она открыла закрытую дверь.");
}

// A dictionary naming no part of speech is translated word by word, as before.
TEST_F(SentenceTest, DictionaryWithoutPartsOfSpeech_WordByWord) {
    layout.AddDirection(L"ER", EnglishRussian());
    EXPECT_EQ(Translate(0, L"the big cat"), L"этот большой кошка");
}

// French elision: a dropped part takes its apostrophe along; between two translated parts the
// apostrophe becomes a space.
TEST_F(SentenceTest, FrenchElision_ApostropheGoesWithTheDroppedPartOrBecomesASpace) {
    layout.AddDirection(L"FR",
                        {{L"bon", L"хороший"}, {L"homme", L"человек"}, {L"aujourd", L"сегодня"}, {L"hui", L"днём"}}, 0,
                        {{L"general.gls", L"l =\nc = это\nest =\n"}});
    EXPECT_EQ(Translate(0, L"C'est bon."), L"Это хороший.");
    EXPECT_EQ(Translate(0, L"l'homme"), L"человек");
    // The capital of a dropped first part passes on.
    EXPECT_EQ(Translate(0, L"L'homme."), L"Человек.");
    EXPECT_EQ(Translate(0, L"aujourd'hui"), L"сегодня днём");
}

// German and French into Russian: their articles, pronouns and prepositions, the same agreement and
// government; German "nicht" goes before the verb, French plural articles give the noun's number.
TEST_F(SentenceTest, GermanAndFrenchRussian_AgreementGovernmentAndNegation) {
    AddDirection(L"GR", {{L"wohnen", {{kVerb, L"жить"}}},
                         {L"klein", {{kAdjective, L"маленький"}}},
                         {L"Dorf", {{kNoun, L"деревня"}}},
                         {L"kennen", {{kVerb, L"знать"}}},
                         {L"Haus", {{kNoun, L"дом"}}}});
    AddDirection(L"FR", {{L"habiter", {{kVerb, L"жить"}}},
                         {L"petit", {{kAdjective, L"маленький"}}},
                         {L"village", {{kNoun, L"деревня"}}},
                         {L"enfant", {{kNoun, L"ребёнок"}}},
                         {L"jouer", {{kVerb, L"играть"}}},
                         {L"parc", {{kNoun, L"парк"}}}});
    EXPECT_EQ(Translate(0, L"Wir wohnen in einem kleinen Dorf."), L"Мы живём в маленькой деревне.");
    EXPECT_EQ(Translate(0, L"Ich kenne das Haus nicht."), L"Я не знаю дом.");
    EXPECT_EQ(Translate(1, L"Nous habitons dans un petit village."), L"Мы живём в маленькой деревне.");
    EXPECT_EQ(Translate(1, L"Les enfants jouent dans le parc."), L"Дети играют в парке.");
    // An elided word is a word of its own: "j'ai habité" is a past, "n'" the negation.
    EXPECT_EQ(Translate(1, L"J'ai habité dans un petit village."), L"Я жил в маленькой деревне.");
    EXPECT_EQ(Translate(1, L"Il n'habite pas dans le parc."), L"Он не живёт в парке.");
    EXPECT_EQ(Translate(1, L"L'enfant joue."), L"Ребёнок играет.");
}

// German and French irregular forms read through the forms tables: strong verbs' present and past,
// plurals that change the stem, the perfect with its participle.
TEST_F(SentenceTest, GermanAndFrenchRussian_IrregularFormsFound) {
    AddDirection(L"GR", {{L"Katze", {{kNoun, L"кошка"}}},
                         {L"schlafen", {{kVerb, L"спать"}}},
                         {L"Haus", {{kNoun, L"дом"}}},
                         {L"groß", {{kAdjective, L"большой"}}},
                         {L"lesen", {{kVerb, L"читать"}}},
                         {L"Buch", {{kNoun, L"книга"}}}});
    AddDirection(L"FR", {{L"cheval", {{kNoun, L"лошадь"}}},
                         {L"dormir", {{kVerb, L"спать"}}},
                         {L"œil", {{kNoun, L"глаз"}}},
                         {L"bleu", {{kAdjective, L"голубой"}}},
                         {L"boire", {{kVerb, L"пить"}}},
                         {L"lait", {{kNoun, L"молоко"}}}});
    EXPECT_EQ(Translate(0, L"Die Katze schläft im Haus."), L"Кошка спит в доме.");
    EXPECT_EQ(Translate(0, L"Die Häuser sind groß."), L"Дома большие.");
    EXPECT_EQ(Translate(0, L"Sie las das Buch."), L"Она читала книгу.");
    EXPECT_EQ(Translate(0, L"Er hat das Buch gelesen."), L"Он читал книгу.");
    EXPECT_EQ(Translate(1, L"Les chevaux dorment."), L"Лошади спят.");
    EXPECT_EQ(Translate(1, L"Les yeux sont bleus."), L"Глаза голубые.");
    EXPECT_EQ(Translate(1, L"Il boit le lait."), L"Он пьёт молоко.");
    EXPECT_EQ(Translate(1, L"Il a bu le lait."), L"Он пил молоко.");
}

// German's verb second, "die" before a plural that is not feminine, a regular participle.
TEST_F(SentenceTest, GermanRussian_VerbSecondPluralArticleAndRegularParticiple) {
    AddDirection(L"GR", {{L"gestern", {{kAdverb, L"вчера"}}},
                         {L"Wald", {{kNoun, L"лес"}}},
                         {L"Mädchen", {{kNoun, L"девочка"}}},
                         {L"singen", {{kVerb, L"петь"}}},
                         {L"kaufen", {{kVerb, L"покупать"}}},
                         {L"Brot", {{kNoun, L"хлеб"}}},
                         {L"finden", {{kVerb, L"найти"}}},
                         {L"Schlüssel", {{kNoun, L"ключ"}}}});
    EXPECT_EQ(Translate(0, L"Gestern waren wir im Wald."), L"Вчера мы были в лесу.");
    // "nicht" before the participle negates the verb that takes the auxiliary's place.
    EXPECT_EQ(Translate(0, L"Er hat den Schlüssel nicht gefunden."), L"Он не нашёл ключ.");
    EXPECT_EQ(Translate(0, L"Die Mädchen singen."), L"Девочки поют.");
    EXPECT_EQ(Translate(0, L"Das Mädchen singt."), L"Девочка поёт.");
    EXPECT_EQ(Translate(0, L"Er hat das Brot gekauft."), L"Он покупал хлеб.");
}

// Russian into German and French: the verb in its subject's person, the negation round the verb.
TEST_F(SentenceTest, RussianGermanAndFrench_VerbPersonAndNegation) {
    AddDirection(L"RG", {{L"играть", {{kVerb, L"spielen"}}}});
    AddDirection(L"RF", {{L"играть", {{kVerb, L"jouer"}}}});
    EXPECT_EQ(Translate(0, L"Она играет."), L"Sie spielt.");
    EXPECT_EQ(Translate(0, L"Мы не играем."), L"Wir spielen nicht.");
    EXPECT_EQ(Translate(1, L"Она играет."), L"Elle joue.");
    EXPECT_EQ(Translate(1, L"Мы не играем."), L"Nous ne jouons pas.");
}

// Russian into German and French: the article in its noun's gender and case, contracted with the
// preposition ("im"); indefinite after an adjective; plurals; adjectives agreeing; the past as the
// perfect (German: participle and "nicht" at the clause's end; French: "ne" elided).
TEST_F(SentenceTest, RussianGermanAndFrench_ArticlesPluralsAgreementAndThePerfect) {
    AddDirection(L"RG", {{L"кошка", {{kNoun, L"Katze"}}},
                         {L"спать", {{kVerb, L"schlafen"}}},
                         {L"дом", {{kNoun, L"Haus"}}},
                         {L"маленький", {{kAdjective, L"klein"}}},
                         {L"деревня", {{kNoun, L"Dorf"}}},
                         {L"жить", {{kVerb, L"wohnen"}}},
                         {L"ребёнок", {{kNoun, L"Kind"}}},
                         {L"читать", {{kVerb, L"lesen"}}},
                         {L"книга", {{kNoun, L"Buch"}}},
                         {L"найти", {{kVerb, L"finden"}}},
                         {L"ключ", {{kNoun, L"Schlüssel"}}},
                         {L"машина", {{kNoun, L"Auto"}}},
                         {L"вчера", {{kAdverb, L"gestern"}}},
                         {L"лес", {{kNoun, L"Wald"}}}});
    AddDirection(L"RF", {{L"собака", {{kNoun, L"chien"}}},
                         {L"спать", {{kVerb, L"dormir"}}},
                         {L"дом", {{kNoun, L"maison"}}},
                         {L"маленький", {{kAdjective, L"petit"}}},
                         {L"деревня", {{kNoun, L"village"}}},
                         {L"жить", {{kVerb, L"habiter"}}},
                         {L"ребёнок", {{kNoun, L"enfant"}}},
                         {L"читать", {{kVerb, L"lire"}}},
                         {L"книга", {{kNoun, L"livre"}}},
                         {L"найти", {{kVerb, L"trouver"}}},
                         {L"ключ", {{kNoun, L"clé"}}},
                         {L"машина", {{kNoun, L"voiture"}}}});
    EXPECT_EQ(Translate(0, L"Кошка спит в доме."), L"Die Katze schläft im Haus.");
    EXPECT_EQ(Translate(0, L"Мы живём в маленькой деревне."), L"Wir wohnen in einem kleinen Dorf.");
    EXPECT_EQ(Translate(0, L"Дети читают книги."), L"Die Kinder lesen die Bücher.");
    EXPECT_EQ(Translate(0, L"Он не нашёл ключ."), L"Er hat den Schlüssel nicht gefunden.");
    EXPECT_EQ(Translate(0, L"Машина маленькая."), L"Das Auto ist klein.");
    // The verb second: after an adverb, before its subject.
    EXPECT_EQ(Translate(0, L"Вчера мы были в лесу."), L"Gestern waren wir im Wald.");
    EXPECT_EQ(Translate(1, L"Собака спит в доме."), L"Le chien dort dans la maison.");
    EXPECT_EQ(Translate(1, L"Мы живём в маленькой деревне."), L"Nous habitons dans un petit village.");
    EXPECT_EQ(Translate(1, L"Дети читают книги."), L"Les enfants lisent les livres.");
    EXPECT_EQ(Translate(1, L"Он не нашёл ключ."), L"Il n'a pas trouvé la clé.");
    EXPECT_EQ(Translate(1, L"Машина маленькая."), L"La voiture est petite.");
}

// More of Russian into German and French: "es gibt" with the verb second and the accusative, the
// perfect with "être" agreeing with its subject, French adjectives after the noun but for "beau".
TEST_F(SentenceTest, RussianGermanAndFrench_ThereIsPerfectWithBeAndAdjectivePlaces) {
    AddDirection(L"RG", {{L"комната", {{kNoun, L"Zimmer"}}}, {L"стол", {{kNoun, L"Tisch"}}}});
    AddDirection(L"RF", {{L"уйти", {{kVerb, L"partir"}}},
                         {L"красивый", {{kAdjective, L"beau"}}},
                         {L"интересный", {{kAdjective, L"intéressant"}}},
                         {L"книга", {{kNoun, L"livre"}}},
                         {L"читать", {{kVerb, L"lire"}}},
                         {L"дом", {{kNoun, L"maison"}}},
                         {L"жить", {{kVerb, L"habiter"}}}});
    EXPECT_EQ(Translate(0, L"В комнате есть стол."), L"Im Zimmer gibt es einen Tisch.");
    EXPECT_EQ(Translate(1, L"Она ушла."), L"Elle est partie.");
    EXPECT_EQ(Translate(1, L"Мы живём в красивом доме."), L"Nous habitons dans une belle maison.");
    EXPECT_EQ(Translate(1, L"Я читаю интересную книгу."), L"Je lis un livre intéressant.");
}

// Headwords that differ only in case both stay: inside a sentence the word written with a capital is
// the headword spelt so, any other the lowercase one (the capital passes on, as for every word).
TEST_F(SentenceTest, HeadwordsDifferingInCase_BothKept) {
    layout.AddDirection(
        L"ER", {{L"polish", L"полировать"}, {L"Polish", L"польский"}, {L"March", L"март"}, {L"march", L"марш"}});
    EXPECT_EQ(Translate(0, L"polish, Polish, march, March"), L"полировать, Польский, марш, Март");
    EXPECT_EQ(Translate(0, L"Polish"), L"Полировать");
}

// After "to be" in the past or the future a predicate adjective or noun is in the instrumental; in the
// present it stays in the nominative, and a participle keeps its short form.
TEST_F(SentenceTest, IntoRussian_PredicateAfterPastBeInTheInstrumental) {
    AddDirection(L"ER", {{L"night", {{kNoun, L"ночь"}}},
                         {L"dark", {{kAdjective, L"тёмный"}}},
                         {L"cold", {{kNoun, L"холод"}, {kAdjective, L"холодный"}}},
                         {L"good", {{kAdjective, L"хороший"}}},
                         {L"teacher", {{kNoun, L"учитель"}}},
                         {L"door", {{kNoun, L"дверь"}}},
                         {L"closed", {{kAdjective, L"закрытый"}}}});
    AddDirection(
        L"GR",
        {{L"Lehrer", {{kNoun, L"учитель"}}}, {L"Nacht", {{kNoun, L"ночь"}}}, {L"dunkel", {{kAdjective, L"тёмный"}}}});
    AddDirection(
        L"FR",
        {{L"nuit", {{kNoun, L"ночь"}}}, {L"sombre", {{kAdjective, L"тёмный"}}}, {L"médecin", {{kNoun, L"врач"}}}});
    EXPECT_EQ(Translate(0, L"The night was dark."), L"Ночь была тёмной.");
    EXPECT_EQ(Translate(0, L"The night was dark and cold."), L"Ночь была тёмной и холодной.");
    EXPECT_EQ(Translate(0, L"He was a good teacher."), L"Он был хорошим учителем.");
    EXPECT_EQ(Translate(0, L"The night is dark."), L"Ночь тёмная.");
    EXPECT_EQ(Translate(0, L"The door was closed."), L"Дверь была закрыта.");
    EXPECT_EQ(Translate(1, L"Er war Lehrer."), L"Он был учителем.");
    EXPECT_EQ(Translate(1, L"Die Nacht war dunkel."), L"Ночь была тёмной.");
    EXPECT_EQ(Translate(2, L"La nuit était sombre."), L"Ночь была тёмной.");
    EXPECT_EQ(Translate(2, L"Il était médecin."), L"Он был врачом.");
}

// A German verb whose particle stands at the clause's end is the verb with the particle ("kommt ...
// an" is "ankommen"); a particle before its noun is still a preposition.
TEST_F(SentenceTest, GermanRussian_SeparableVerbJoinedWithItsParticle) {
    AddDirection(L"GR", {{L"Zug", {{kNoun, L"поезд"}}},
                         {L"kommen", {{kVerb, L"приходить"}}},
                         {L"ankommen", {{kVerb, L"прибывать"}}},
                         {L"machen", {{kVerb, L"делать"}}},
                         {L"aufmachen", {{kVerb, L"открывать"}}},
                         {L"Tür", {{kNoun, L"дверь"}}},
                         {L"heute", {{kAdverb, L"сегодня"}}}});
    EXPECT_EQ(Translate(0, L"Der Zug kommt an."), L"Поезд прибывает.");
    EXPECT_EQ(Translate(0, L"Er macht die Tür auf."), L"Он открывает дверь.");
    EXPECT_EQ(Translate(0, L"Sie machte die Tür auf."), L"Она открывала дверь.");
    EXPECT_EQ(Translate(0, L"Der Zug kommt heute an, er kommt."), L"Сегодня поезд прибывает, он приходит.");
    EXPECT_EQ(Translate(0, L"Er kommt mit dem Zug."), L"Он приходит с поездом.");
}

// A German clause after "dass", "weil" or "wenn" has its verb last; Russian puts it after the subject,
// and the object after it is the verb's. The main clause after it starts with its verb: the pronoun
// goes first.
TEST_F(SentenceTest, GermanRussian_SubordinateClauseVerbAfterItsSubject) {
    AddDirection(L"GR", {{L"sagen", {{kVerb, L"говорить"}}},
                         {L"lesen", {{kVerb, L"читать"}}},
                         {L"Buch", {{kNoun, L"книга"}}},
                         {L"Kind", {{kNoun, L"ребёнок"}}},
                         {L"schlafen", {{kVerb, L"спать"}}},
                         {L"müde", {{kAdjective, L"усталый"}}},
                         {L"heute", {{kAdverb, L"сегодня"}}}});
    EXPECT_EQ(Translate(0, L"Er sagt, dass er das Buch liest."), L"Он говорит, что он читает книгу.");
    EXPECT_EQ(Translate(0, L"Das Kind schläft, weil er müde ist."), L"Ребёнок спит, потому что он усталый.");
    EXPECT_EQ(Translate(0, L"Er sagt, dass er das Buch gelesen hat."), L"Он говорит, что он читал книгу.");
    EXPECT_EQ(Translate(0, L"Wenn das Kind schläft, lese ich das Buch."), L"Если ребёнок спит, я читаю книгу.");
    // A time adverb goes to the clause's front after the word that opens it.
    EXPECT_EQ(Translate(0, L"Er sagt, dass er heute das Buch liest."), L"Он говорит, что сегодня он читает книгу.");
}

// Russian into French: a mass noun as the object takes the partitive ("du pain"), as does one after
// "avec"; after a verb of liking, and for a countable noun, the definite article stays.
TEST_F(SentenceTest, RussianFrench_PartitiveBeforeAMassNounObject) {
    AddDirection(L"RF", {{L"женщина", {{kNoun, L"femme"}}},
                         {L"покупать", {{kVerb, L"acheter"}}},
                         {L"хлеб", {{kNoun, L"pain"}}},
                         {L"пить", {{kVerb, L"boire"}}},
                         {L"вода", {{kNoun, L"eau"}}},
                         {L"молоко", {{kNoun, L"lait"}}},
                         {L"кофе", {{kNoun, L"café"}}},
                         {L"любить", {{kVerb, L"aimer"}}},
                         {L"рыба", {{kNoun, L"poisson"}}},
                         {L"книга", {{kNoun, L"livre"}}},
                         {L"суп", {{kNoun, L"soupe"}}},
                         {L"свежий", {{kAdjective, L"frais"}}}});
    EXPECT_EQ(Translate(0, L"Женщина покупает хлеб."), L"La femme achète du pain.");
    EXPECT_EQ(Translate(0, L"Он пьёт воду."), L"Il boit de l'eau.");
    EXPECT_EQ(Translate(0, L"Она пьёт кофе с молоком."), L"Elle boit du café avec du lait.");
    EXPECT_EQ(Translate(0, L"Я покупаю суп."), L"J'achète de la soupe.");
    EXPECT_EQ(Translate(0, L"Женщина любит рыбу."), L"La femme aime le poisson.");
    EXPECT_EQ(Translate(0, L"Женщина покупает книгу."), L"La femme achète le livre.");
    EXPECT_EQ(Translate(0, L"Хлеб свежий."), L"Le pain est frais.");
}

// A time adverb later in the clause goes to its front, where Russian puts it; a word that is a noun as
// well ("today") is the adverb there, and the adjective before it the predicate.
TEST_F(SentenceTest, IntoRussian_TimeAdverbFirst) {
    AddDirection(L"ER", {{L"weather", {{kNoun, L"погода"}}},
                         {L"good", {{kAdjective, L"хороший"}}},
                         {L"today", {{kNoun, L"сегодняшний день"}, {kAdverb, L"сегодня"}}},
                         {L"read", {{kVerb, L"читать"}}},
                         {L"letter", {{kNoun, L"письмо"}}}});
    AddDirection(L"GR", {{L"Wetter", {{kNoun, L"погода"}}},
                         {L"gut", {{kAdjective, L"хороший"}}},
                         {L"heute", {{kAdverb, L"сегодня"}}},
                         {L"Morgen", {{kNoun, L"утро"}}},
                         {L"lesen", {{kVerb, L"читать"}}},
                         {L"Buch", {{kNoun, L"книга"}}}});
    EXPECT_EQ(Translate(0, L"The weather is good today."), L"Сегодня погода хорошая.");
    EXPECT_EQ(Translate(0, L"I read a letter today, the weather is good."), L"Сегодня я читаю письмо, погода хорошая.");
    EXPECT_EQ(Translate(0, L"Today I read a letter."), L"Сегодня я читаю письмо.");
    EXPECT_EQ(Translate(1, L"Das Wetter ist heute gut."), L"Сегодня погода хорошая.");
    // "Morgen" after an article is the noun.
    EXPECT_EQ(Translate(1, L"Ich lese das Buch, der Morgen ist gut."), L"Я читаю книгу, утро хорошее.");
}

// Into German, of two translations both confirmed by the opposite direction, the commoner word:
// "trinken" rather than "saufen", "spielen" rather than "daddeln".
TEST_F(SentenceTest, RussianGerman_CommonerOfTwoConfirmedTranslations) {
    AddDirection(L"GR", {{L"saufen", {{kVerb, L"пить"}}},
                         {L"trinken", {{kVerb, L"пить"}}},
                         {L"daddeln", {{kVerb, L"играть"}}},
                         {L"spielen", {{kVerb, L"играть"}}}});
    AddDirection(L"RG", {{L"пить", {{kVerb, L"saufen"}, {kVerb, L"trinken"}}},
                         {L"играть", {{kVerb, L"daddeln"}, {kVerb, L"spielen"}}}});
    EXPECT_EQ(Translate(1, L"Он пьёт."), L"Er trinkt.");
    EXPECT_EQ(Translate(1, L"Мы играем."), L"Wir spielen.");
}

// Russian into German: a mass noun as the object or after "mit" takes no article ("kauft Brot"); a
// countable one keeps it.
TEST_F(SentenceTest, RussianGerman_NoArticleBeforeAMassNounObject) {
    AddDirection(L"RG", {{L"женщина", {{kNoun, L"Frau"}}},
                         {L"покупать", {{kVerb, L"kaufen"}}},
                         {L"хлеб", {{kNoun, L"Brot"}}},
                         {L"пить", {{kVerb, L"trinken"}}},
                         {L"молоко", {{kNoun, L"Milch"}}},
                         {L"кофе", {{kNoun, L"Kaffee"}}},
                         {L"книга", {{kNoun, L"Buch"}}},
                         {L"свежий", {{kAdjective, L"frisch"}}}});
    EXPECT_EQ(Translate(0, L"Женщина покупает хлеб."), L"Die Frau kauft Brot.");
    EXPECT_EQ(Translate(0, L"Она пьёт кофе с молоком."), L"Sie trinkt Kaffee mit Milch.");
    EXPECT_EQ(Translate(0, L"Женщина покупает книгу."), L"Die Frau kauft das Buch.");
    EXPECT_EQ(Translate(0, L"Хлеб свежий."), L"Das Brot ist frisch.");
}

// German "sein" with the participle of a verb that makes its perfect with "haben" is a state: the
// Russian short participle ("Дверь закрыта"); with a verb of "sein" it stays the perfect.
TEST_F(SentenceTest, GermanRussian_StateWithSeinIsTheShortParticiple) {
    AddDirection(L"GR", {{L"Tür", {{kNoun, L"дверь"}}},
                         {L"schließen", {{kVerb, L"закрывать"}}},
                         {L"Fenster", {{kNoun, L"окно"}}},
                         {L"öffnen", {{kVerb, L"открывать"}}},
                         {L"kommen", {{kVerb, L"приходить"}}}});
    EXPECT_EQ(Translate(0, L"Die Tür ist geschlossen."), L"Дверь закрыта.");
    EXPECT_EQ(Translate(0, L"Das Fenster war geöffnet."), L"Окно было открыто.");
    EXPECT_EQ(Translate(0, L"Er ist gekommen."), L"Он приходил.");
}
