// The sentence pass into Russian: roles, senses, agreement and government.
#include "IntoRussian.h"

#include "EnginePrivate.h"
#include "RussianForms.h"
#include "WesternForms.h"

#include "Inflections.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace mtengine {

namespace {

// Russian text written here in UTF-8, in the engine's Cyrillic plane.
std::string Ru(const char* utf8) {
    return FromUtf8(Plane::Cyrillic, utf8);
}

enum class Role {
    Unknown,
    Article,
    Determiner, // agrees with its noun ("этот", "мой") or stays as it is ("его")
    Number,
    Pronoun, // a subject
    Object,  // "me", "him", "us", "them"
    Be,
    Have,
    Do,
    Modal,
    Will,
    To,
    Not,
    Preposition,
    Conjunction,
    Subordinator, // German "dass", "weil", "wenn": the clause after it has its verb last
    Particle,     // a German verb's particle at the clause's end ("kommt ... an"): part of the verb
    There,
    Noun,
    Verb,
    Adjective,
    Adverb,
};

enum class Tense { Present, Past, Future };

struct Subject {
    bool known = false;
    int person = 3;
    Agreement agreement = Agreement::Masculine;
    std::size_t first = 0, last = 0; // its words
    bool pronoun = false;
};

struct PronounInfo {
    const char* english;
    int person;
    Agreement agreement;
    const char* genitive; // after "у"
};

const PronounInfo kPronouns[] = {
    {"i", 1, Agreement::Masculine, "меня"},  {"you", 2, Agreement::Plural, "вас"},
    {"he", 3, Agreement::Masculine, "него"}, {"she", 3, Agreement::Feminine, "неё"},
    {"it", 3, Agreement::Neuter, "него"},    {"we", 1, Agreement::Plural, "нас"},
    {"they", 3, Agreement::Plural, "них"},
};

struct ObjectInfo {
    const char* english;
    const char* accusative;
};

const ObjectInfo kObjects[] = {{"me", "меня"}, {"him", "его"}, {"us", "нас"}, {"them", "их"}};

struct DeterminerInfo {
    const char* english;
    const char* lemma; // agrees when the forms table has it as an adjective
    bool plural;
};

const DeterminerInfo kDeterminers[] = {
    {"this", "этот", false},   {"that", "тот", false}, {"these", "этот", true},   {"those", "тот", true},
    {"my", "мой", false},      {"your", "ваш", false}, {"our", "наш", false},     {"every", "каждый", false},
    {"each", "каждый", false}, {"all", "весь", false}, {"his", "его", false},     {"her", "её", false},
    {"its", "его", false},     {"their", "их", false}, {"same", "тот же", false}, {"other", "другой", false},
};

struct PrepositionInfo {
    const char* english;
    const char* russian; // "" drops the preposition ("of": the genitive alone)
    Case governs;
};

const PrepositionInfo kPrepositions[] = {
    {"in", "в", Case::Prepositional},
    {"at", "в", Case::Prepositional},
    {"on", "на", Case::Prepositional},
    {"into", "в", Case::Accusative},
    {"to", "к", Case::Dative},
    {"towards", "к", Case::Dative},
    {"from", "из", Case::Genitive},
    {"of", "", Case::Genitive},
    {"with", "с", Case::Instrumental},
    {"for", "для", Case::Genitive},
    {"about", "о", Case::Prepositional},
    {"near", "около", Case::Genitive},
    {"under", "под", Case::Instrumental},
    {"over", "над", Case::Instrumental},
    {"above", "над", Case::Instrumental},
    {"behind", "за", Case::Instrumental},
    {"without", "без", Case::Genitive},
    {"after", "после", Case::Genitive},
    {"before", "до", Case::Genitive},
    {"through", "через", Case::Accusative},
    {"across", "через", Case::Accusative},
    {"between", "между", Case::Instrumental},
    {"around", "вокруг", Case::Genitive},
    {"by", "у", Case::Genitive},
    {"during", "во время", Case::Genitive},
    {"against", "против", Case::Genitive},
    {"like", "как", Case::Nominative},
};

// Verbs of motion: "to" after them is "в" with the accusative ("went to the shop": "в магазин").
const char* const kMotionVerbs[] = {"go", "come", "walk", "run", "drive", "fly", "travel", "return", "move", "get"};

struct NumberInfo {
    const char* english;
    const char* russian;
    const char* feminine;
    bool genitivePlural; // five and more: the genitive plural; two to four: the genitive singular
};

const NumberInfo kNumbers[] = {
    {"two", "два", "две", false},        {"three", "три", "три", false},     {"four", "четыре", "четыре", false},
    {"five", "пять", "пять", true},      {"six", "шесть", "шесть", true},    {"seven", "семь", "семь", true},
    {"eight", "восемь", "восемь", true}, {"nine", "девять", "девять", true}, {"ten", "десять", "десять", true},
    {"many", "много", "много", true},
};

// German and French: the same classes (the field "english" holds the source word).
const PronounInfo kGermanPronouns[] = {
    {"ich", 1, Agreement::Masculine, "меня"}, {"du", 2, Agreement::Masculine, "тебя"},
    {"er", 3, Agreement::Masculine, "него"},  {"sie", 3, Agreement::Feminine, "неё"},
    {"es", 3, Agreement::Neuter, "него"},     {"wir", 1, Agreement::Plural, "нас"},
    {"ihr", 2, Agreement::Plural, "вас"},
};
const PronounInfo kFrenchPronouns[] = {
    {"je", 1, Agreement::Masculine, "меня"}, {"j", 1, Agreement::Masculine, "меня"},
    {"tu", 2, Agreement::Masculine, "тебя"}, {"il", 3, Agreement::Masculine, "него"},
    {"elle", 3, Agreement::Feminine, "неё"}, {"nous", 1, Agreement::Plural, "нас"},
    {"vous", 2, Agreement::Plural, "вас"},   {"ils", 3, Agreement::Plural, "них"},
    {"elles", 3, Agreement::Plural, "них"},  {"on", 3, Agreement::Masculine, "него"},
};
const ObjectInfo kGermanObjects[] = {
    {"mich", "меня"}, {"dich", "тебя"}, {"ihn", "его"}, {"uns", "нас"}, {"euch", "вас"}};
const ObjectInfo kFrenchObjects[] = {{"me", "меня"}, {"te", "тебя"}, {"lui", "ему"}, {"leur", "им"}};
const DeterminerInfo kGermanDeterminers[] = {
    {"mein", "мой", false},    {"meine", "мой", false},    {"meinen", "мой", false},  {"meinem", "мой", false},
    {"meiner", "мой", false},  {"dein", "твой", false},    {"deine", "твой", false},  {"sein", "его", false},
    {"seine", "его", false},   {"unser", "наш", false},    {"unsere", "наш", false},  {"euer", "ваш", false},
    {"dieser", "этот", false}, {"diese", "этот", false},   {"dieses", "этот", false}, {"diesen", "этот", false},
    {"diesem", "этот", false}, {"jeder", "каждый", false}, {"jede", "каждый", false}, {"jedes", "каждый", false},
    {"alle", "весь", true},
};
const DeterminerInfo kFrenchDeterminers[] = {
    {"mon", "мой", false},    {"ma", "мой", false},    {"mes", "мой", true},        {"ton", "твой", false},
    {"ta", "твой", false},    {"tes", "твой", true},   {"son", "его", false},       {"sa", "его", false},
    {"ses", "его", true},     {"notre", "наш", false}, {"nos", "наш", true},        {"votre", "ваш", false},
    {"vos", "ваш", true},     {"leurs", "их", true},   {"ce", "этот", false},       {"cet", "этот", false},
    {"cette", "этот", false}, {"ces", "этот", true},   {"chaque", "каждый", false}, {"tous", "весь", true},
};
const PrepositionInfo kGermanPrepositions[] = {
    {"in", "в", Case::Prepositional},     {"im", "в", Case::Prepositional},    {"ins", "в", Case::Accusative},
    {"auf", "на", Case::Prepositional},   {"am", "на", Case::Prepositional},   {"an", "на", Case::Prepositional},
    {"mit", "с", Case::Instrumental},     {"nach", "в", Case::Accusative},     {"zu", "к", Case::Dative},
    {"zum", "к", Case::Dative},           {"zur", "к", Case::Dative},          {"von", "из", Case::Genitive},
    {"vom", "из", Case::Genitive},        {"aus", "из", Case::Genitive},       {"für", "для", Case::Genitive},
    {"bei", "у", Case::Genitive},         {"beim", "у", Case::Genitive},       {"ohne", "без", Case::Genitive},
    {"unter", "под", Case::Instrumental}, {"über", "над", Case::Instrumental}, {"hinter", "за", Case::Instrumental},
    {"neben", "около", Case::Genitive},
};
const PrepositionInfo kFrenchPrepositions[] = {
    {"dans", "в", Case::Prepositional},  {"en", "в", Case::Prepositional},   {"sur", "на", Case::Prepositional},
    {"avec", "с", Case::Instrumental},   {"de", "", Case::Genitive},         {"d", "", Case::Genitive},
    {"pour", "для", Case::Genitive},     {"chez", "у", Case::Genitive},      {"sans", "без", Case::Genitive},
    {"sous", "под", Case::Instrumental}, {"après", "после", Case::Genitive}, {"avant", "до", Case::Genitive},
};
const NumberInfo kGermanNumbers[] = {
    {"zwei", "два", "две", false},     {"drei", "три", "три", false},     {"vier", "четыре", "четыре", false},
    {"fünf", "пять", "пять", true},    {"sechs", "шесть", "шесть", true}, {"zehn", "десять", "десять", true},
    {"viele", "много", "много", true},
};
const NumberInfo kFrenchNumbers[] = {
    {"deux", "два", "две", false},  {"trois", "три", "три", false},  {"quatre", "четыре", "четыре", false},
    {"cinq", "пять", "пять", true}, {"six", "шесть", "шесть", true}, {"dix", "десять", "десять", true},
};

struct Tables {
    std::span<const PronounInfo> pronouns;
    std::span<const ObjectInfo> objects;
    std::span<const DeterminerInfo> determiners;
    std::span<const PrepositionInfo> prepositions;
    std::span<const NumberInfo> numbers;
};

const Tables& TablesOf(unsigned language) {
    static const Tables english{kPronouns, kObjects, kDeterminers, kPrepositions, kNumbers};
    static const Tables german{kGermanPronouns, kGermanObjects, kGermanDeterminers, kGermanPrepositions,
                               kGermanNumbers};
    static const Tables french{kFrenchPronouns, kFrenchObjects, kFrenchDeterminers, kFrenchPrepositions,
                               kFrenchNumbers};
    return language == kLangGerman ? german : language == kLangFrench ? french : english;
}

// The tables' source words are written in UTF-8; keys are in the Western plane.
bool SameWord(const std::string& key, const char* utf8) {
    for (const char* c = utf8; *c != 0; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80)
            return key == FromUtf8(Plane::Western, utf8);
    }
    return key == utf8;
}

template <typename Info>
const Info* FindInfo(std::span<const Info> table, const std::string& key) {
    for (const Info& info : table) {
        if (SameWord(key, info.english))
            return &info;
    }
    return nullptr;
}

template <typename Word, std::size_t N>
bool IsAny(const std::string& key, const Word (&words)[N]) {
    for (const char* word : words) {
        if (SameWord(key, word))
            return true;
    }
    return false;
}

struct Candidate {
    std::string base;
    EnglishForm form;
    const DictionaryEntry* entry;
};

bool Has(const DictionaryEntry* entry, unsigned char pos);

struct Analysed {
    Role role = Role::Unknown;
    EnglishForm form = EnglishForm::Base;
    const DictionaryEntry* entry = nullptr;
    std::string base;
    std::vector<Candidate> candidates; // the readings the dictionary knows, the word itself first

    void Choose(std::size_t c) {
        base = candidates[c].base;
        form = candidates[c].form;
        entry = candidates[c].entry;
    }
    bool CanBe(unsigned char pos) const {
        for (const Candidate& candidate : candidates) {
            if (Has(candidate.entry, pos))
                return true;
        }
        return false;
    }
    // Takes the first reading with the part of speech; for a verb, an inflected reading before the
    // word itself when the ending says so ("sitting": "sit" rather than "заседание").
    void ChooseAs(unsigned char pos) {
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            if (Has(candidates[c].entry, pos)) {
                Choose(c);
                return;
            }
        }
    }
    bool negated = false; // "don't", "isn't": the word carries "not"
    Tense tense = Tense::Present;
    bool plural = false;
    // Russian
    std::string lemma;
    Case nounCase = Case::Nominative;
};

bool Has(const DictionaryEntry* entry, unsigned char pos) {
    return SenseOf(entry, pos) != nullptr;
}

bool HasAnySense(const DictionaryEntry* entry) {
    return entry != nullptr && !entry->senses.empty();
}

bool SingleWord(const std::string& text) {
    return !text.empty() && text.find(' ') == std::string::npos;
}

// The closed classes, known by their English form.
// German and French words of the classes that have no table of their own.
const char* const kGermanBe[] = {"bin", "bist", "ist", "sind", "seid", "war", "warst", "waren", "wurde", "wurden"};
const char* const kGermanHave[] = {"habe", "hast", "hat", "haben", "habt", "hatte", "hatten"};
const char* const kGermanArticles[] = {"der", "die",  "das",   "den",   "dem",   "des",
                                       "ein", "eine", "einen", "einem", "einer", "eines"};
const char* const kFrenchBe[] = {"suis", "es", "est", "sommes", "êtes", "sont", "était", "étaient"};
const char* const kFrenchHave[] = {"ai", "as", "a", "avons", "avez", "ont"};
const char* const kFrenchArticles[] = {"le", "la", "les", "l", "un", "une", "des", "du", "au", "aux", "pas"};

// German words that open a clause with its verb last, and their Russian.
struct SubordinatorInfo {
    const char* english; // the source word (named so for FindInfo)
    const char* russian;
};
const SubordinatorInfo kGermanSubordinators[] = {
    {"dass", "что"}, {"weil", "потому что"}, {"wenn", "если"}, {"obwohl", "хотя"}};

// The particles of German separable verbs ("an" of "ankommen", "auf" of "aufmachen").
const char* const kGermanParticles[] = {"an",  "auf",  "ab",     "aus",    "ein",  "mit",      "vor",
                                        "zu",  "nach", "zurück", "weg",    "fort", "los",      "her",
                                        "hin", "fest", "vorbei", "weiter", "heim", "zusammen", "fern"};

// The adverbs of time that Russian puts at the clause's front ("Сегодня погода хорошая").
bool IsTimeAdverb(unsigned language, const std::string& key) {
    static const char* const kEnglish[] = {"today", "yesterday", "tomorrow", "tonight"};
    static const char* const kGerman[] = {"heute", "gestern", "morgen"};
    static const char* const kFrench[] = {"aujourd'hui", "hier", "demain"};
    return language == kLangEnglish  ? IsAny(key, kEnglish)
           : language == kLangGerman ? IsAny(key, kGerman)
                                     : IsAny(key, kFrench);
}

// The role of a word of the source language's class tables (pronouns, object forms, determiners,
// numerals, prepositions); Unknown for any other.
Role TableRole(const std::string& key, const Tables& t) {
    if (FindInfo(t.pronouns, key) != nullptr)
        return Role::Pronoun;
    if (FindInfo(t.objects, key) != nullptr)
        return Role::Object;
    if (FindInfo(t.determiners, key) != nullptr)
        return Role::Determiner;
    if (FindInfo(t.numbers, key) != nullptr)
        return Role::Number;
    if (FindInfo(t.prepositions, key) != nullptr)
        return Role::Preposition;
    return Role::Unknown;
}

Role OtherClosedRole(unsigned language, const std::string& key, Analysed* a, const Tables& t) {
    bool german = language == kLangGerman;
    if (german ? IsAny(key, kGermanBe) : IsAny(key, kFrenchBe)) {
        a->tense = key.size() > 2 && (key[0] == 'w' || key.compare(0, 2, "\xE9t") == 0) ? Tense::Past : Tense::Present;
        return Role::Be;
    }
    if (german ? IsAny(key, kGermanHave) : IsAny(key, kFrenchHave)) {
        a->tense = german && key.compare(0, 3, "hat") == 0 && key.size() > 3 ? Tense::Past : Tense::Present;
        return Role::Have;
    }
    if (german ? IsAny(key, kGermanArticles) : IsAny(key, kFrenchArticles)) {
        a->plural = !german && (key == "les" || key == "des" || key == "aux");
        return Role::Article;
    }
    if (key == (german ? "nicht" : "ne") || (!german && key == "n"))
        return Role::Not;
    if (key == (german ? "und" : "et") || key == (german ? "oder" : "ou") || key == (german ? "aber" : "mais"))
        return Role::Conjunction;
    return TableRole(key, t);
}

Role ClosedRole(const std::string& key, Analysed* a, const Tables& t) {
    static const char* const kBe[] = {"am", "is", "are", "was", "were", "be", "been", "being", "'s", "'re", "'m"};
    for (const char* be : kBe) {
        if (key == be) {
            a->tense = key == "was" || key == "were" ? Tense::Past : Tense::Present;
            return Role::Be;
        }
    }
    if (key == "isn't" || key == "aren't" || key == "wasn't" || key == "weren't") {
        a->negated = true;
        a->tense = key[0] == 'w' ? Tense::Past : Tense::Present;
        return Role::Be;
    }
    if (key == "have" || key == "has" || key == "had" || key == "'ve") {
        a->tense = key == "had" ? Tense::Past : Tense::Present;
        return Role::Have;
    }
    if (key == "do" || key == "does" || key == "did" || key == "don't" || key == "doesn't" || key == "didn't") {
        a->tense = key[0] == 'd' && key.size() >= 3 && key.compare(0, 3, "did") == 0 ? Tense::Past : Tense::Present;
        a->negated = key.find('\'') != std::string::npos;
        return Role::Do;
    }
    if (key == "will" || key == "'ll" || key == "won't" || key == "shall") {
        a->negated = key == "won't";
        return Role::Will;
    }
    if (key == "can" || key == "could" || key == "must" || key == "should" || key == "may" || key == "might" ||
        key == "can't" || key == "cannot" || key == "couldn't" || key == "would") {
        a->negated = key == "can't" || key == "cannot" || key == "couldn't";
        a->tense = key == "could" || key == "couldn't" ? Tense::Past : Tense::Present;
        return Role::Modal;
    }
    if (key == "not" || key == "n't")
        return Role::Not;
    if (key == "please")
        return Role::Adverb;
    if (key == "to")
        return Role::To;
    if (key == "a" || key == "an" || key == "the")
        return Role::Article;
    if (key == "there")
        return Role::There;
    if (key == "and" || key == "or" || key == "but")
        return Role::Conjunction;
    return TableRole(key, t);
}

bool StartsNounPhrase(Role role) {
    return role == Role::Article || role == Role::Determiner || role == Role::Number || role == Role::Adjective ||
           role == Role::Preposition;
}

// The short form of an adjective that is a past participle ("открытый" -> "открыт", "открыто";
// "сделанный" -> "сделан"), which Russian uses as a predicate; empty for any other adjective. The
// participles are told by their endings: "-ытый", "-итый", "-ятый", "-етый", "-утый"; "-анный",
// "-янный", "-енный", "-ённый" ("чистый", "длинный" are not participles).
std::string ShortForm(const std::string& lemma, Agreement agreement) {
    auto ends = [&](const char* utf8) {
        std::string ending = Ru(utf8);
        return lemma.size() > ending.size() + 1 &&
               lemma.compare(lemma.size() - ending.size(), ending.size(), ending) == 0;
    };
    std::string stem;
    for (const char* ending : {"ытый", "итый", "ятый", "етый", "утый"}) {
        if (stem.empty() && ends(ending))
            stem = lemma.substr(0, lemma.size() - Ru("ый").size());
    }
    for (const char* ending : {"анный", "янный", "енный", "ённый"}) {
        if (stem.empty() && ends(ending))
            stem = lemma.substr(0, lemma.size() - Ru("ный").size());
    }
    if (stem.empty())
        return {};
    static const char* const kEndings[] = {"", "а", "о", "ы"}; // masculine, feminine, neuter, plural
    return stem + Ru(kEndings[static_cast<int>(agreement)]);
}

// The short passive participle of a Russian verb, for a state ("закрывать"/"закрыть" -> "закрыт",
// "сделать" -> "сделан"), by the patterns that make it regularly: "-крывать", "-бывать", "-мывать"
// and "-ыть" take "-ыт", a perfective "-ать"/"-ять" takes "-ан"/"-ян"; empty for any other verb.
std::string PassiveShort(const std::string& lemma, bool perfective, Agreement agreement) {
    auto ends = [&](const char* utf8) {
        std::string ending = Ru(utf8);
        return lemma.size() > ending.size() + 1 &&
               lemma.compare(lemma.size() - ending.size(), ending.size(), ending) == 0;
    };
    std::string stem;
    if (ends("крывать") || ends("бывать") || ends("мывать"))
        stem = lemma.substr(0, lemma.size() - Ru("вать").size()) + Ru("т");
    else if (ends("ыть"))
        stem = lemma.substr(0, lemma.size() - Ru("ь").size());
    else if (perfective && (ends("ать") || ends("ять")))
        stem = lemma.substr(0, lemma.size() - Ru("ть").size()) + Ru("н");
    if (stem.empty())
        return {};
    static const char* const kEndings[] = {"", "а", "о", "ы"}; // masculine, feminine, neuter, plural
    return stem + Ru(kEndings[static_cast<int>(agreement)]);
}

// The participle an auxiliary at i makes a past with: the next word in English ("has read"), the
// clause's first verb after it in German and French ("hat das Buch gelesen", "n'a pas bu"); n
// when there is none.
std::size_t ParticipleAfter(const std::vector<Analysed>& a, const std::vector<SentenceWord>& words, std::size_t i,
                            unsigned language) {
    std::size_t n = a.size();
    std::size_t last = language == kLangEnglish ? std::min(n, i + 2) : n;
    for (std::size_t k = i + 1; k < last && !words[k].clauseStart; ++k) {
        if (a[k].role == Role::Verb)
            return a[k].form == EnglishForm::Past ? k : n;
        if (a[k].role == Role::Be || a[k].role == Role::Have || a[k].role == Role::Modal)
            return n;
    }
    return n;
}

// A German particle ending its clause ("Der Zug kommt um acht an") belongs to the clause's verb:
// the word whose reading joined to the particle is a verb the dictionary knows ("ankommen") takes
// that reading alone, and the particle goes.
void JoinSeparableVerbs(const IntoRussian::Lookup& lookup, std::vector<SentenceWord>& words, std::vector<Analysed>& a) {
    std::size_t n = words.size();
    std::size_t first = 0; // the clause's first word
    for (std::size_t i = 0; i < n; ++i) {
        if (words[i].clauseStart)
            first = i;
        bool last = i + 1 == n || words[i + 1].clauseStart;
        if (!last || i == first || words[i].fixed || words[i].phrase || !IsAny(words[i].key, kGermanParticles))
            continue;
        for (std::size_t k = first; k < i; ++k) {
            if (a[k].role != Role::Unknown || words[k].fixed || words[k].phrase)
                continue;
            std::vector<EnglishReading> readings = ReadWestern(kLangGerman, words[k].key);
            readings.insert(readings.begin(), {words[k].key, EnglishForm::Base, 0});
            // A regular verb's past ("machte ... auf") by its ending.
            const std::string& key = words[k].key;
            bool pastShape = (key.size() > 4 && key.compare(key.size() - 2, 2, "te") == 0) ||
                             (key.size() > 5 && key.compare(key.size() - 3, 3, "ten") == 0);
            for (const std::string& base : BaseForms(kLangGerman, key))
                readings.push_back({base, pastShape ? EnglishForm::Past : EnglishForm::Base, 0});
            const DictionaryEntry* joined = nullptr;
            for (const EnglishReading& reading : readings) {
                joined = lookup(words[i].key + reading.base);
                if (joined != nullptr && Has(joined, kPosVerb)) {
                    a[k].candidates = {{words[i].key + reading.base, reading.form, joined}};
                    a[k].Choose(0);
                    break;
                }
                joined = nullptr;
            }
            if (joined != nullptr) {
                a[i].role = Role::Particle;
                break;
            }
        }
    }
}

// A German clause opened by "dass", "weil" or "wenn" has its finite verb last ("dass er das Buch
// liest"); the verb moves to after the subject, the Russian order ("что он читает книгу").
void VerbAfterSubject(std::vector<SentenceWord>& words, std::vector<Analysed>& a, std::vector<std::string>& given) {
    std::size_t n = words.size();
    for (std::size_t s = 0; s < n; ++s) {
        if (a[s].role != Role::Subordinator)
            continue;
        std::size_t end = s + 1;
        while (end < n && !words[end].clauseStart)
            ++end;
        std::size_t verb = end - 1;
        Role last = a[verb].role;
        if (verb <= s + 1 || (last != Role::Verb && last != Role::Be && last != Role::Have && last != Role::Modal))
            continue;
        std::size_t subjectEnd = s + 1;
        if (a[subjectEnd].role == Role::Pronoun) {
            ++subjectEnd;
        } else {
            while (subjectEnd < verb &&
                   (a[subjectEnd].role == Role::Article || a[subjectEnd].role == Role::Determiner ||
                    a[subjectEnd].role == Role::Number || a[subjectEnd].role == Role::Adjective))
                ++subjectEnd;
            if (subjectEnd == verb || a[subjectEnd].role != Role::Noun)
                continue;
            while (subjectEnd < verb && a[subjectEnd].role == Role::Noun)
                ++subjectEnd;
        }
        if (subjectEnd < verb) {
            std::rotate(a.begin() + subjectEnd, a.begin() + verb, a.begin() + verb + 1);
            std::rotate(words.begin() + subjectEnd, words.begin() + verb, words.begin() + verb + 1);
            std::rotate(given.begin() + subjectEnd, given.begin() + verb, given.begin() + verb + 1);
        }
        // The main clause after it starts with its verb ("..., lese ich"): the pronoun goes first.
        if (end + 1 < n && !words[end + 1].clauseStart && a[end + 1].role == Role::Pronoun &&
            (a[end].role == Role::Verb || a[end].role == Role::Be || a[end].role == Role::Have ||
             a[end].role == Role::Modal)) {
            std::swap(a[end], a[end + 1]);
            std::swap(words[end], words[end + 1]);
            std::swap(words[end].clauseStart, words[end + 1].clauseStart);
            std::swap(given[end], given[end + 1]);
        }
    }
}

} // namespace

void IntoRussian::Shape(std::vector<SentenceWord>& words) const {
    const RussianForms& forms = RussianForms::Shared();
    std::size_t n = words.size();
    std::vector<Analysed> a(n);
    const Tables& t = TablesOf(m_language);
    std::vector<DictionaryEntry> glossaryEntries(n);
    std::vector<std::string> given(n);
    for (std::size_t i = 0; i < n; ++i)
        given[i] = words[i].translation;

    // Readings and closed classes.
    for (std::size_t i = 0; i < n; ++i) {
        const SentenceWord& w = words[i];
        if (w.fixed || w.phrase) {
            a[i].role = Role::Unknown;
            continue;
        }
        a[i].role =
            m_language == kLangEnglish ? ClosedRole(w.key, &a[i], t) : OtherClosedRole(m_language, w.key, &a[i], t);
        if (a[i].role != Role::Unknown)
            continue;
        std::vector<EnglishReading> readings;
        if (m_language == kLangEnglish) {
            readings = ReadEnglish(w.key);
        } else {
            readings.push_back({w.key, EnglishForm::Base, 0});
            for (const EnglishReading& reading : ReadWestern(m_language, w.key))
                readings.push_back(reading);
            for (const std::string& base : BaseForms(m_language, w.key)) {
                bool known = false;
                for (const EnglishReading& reading : readings)
                    known = known || reading.base == base;
                if (!known)
                    readings.push_back({base, EnglishForm::Base, 0});
            }
        }
        for (const EnglishReading& reading : readings) {
            const DictionaryEntry* entry = m_lookup(reading.base);
            if (entry != nullptr && HasAnySense(entry))
                a[i].candidates.push_back({reading.base, reading.form, entry});
        }
        // A word only the general glossary knows has the class its Russian word has.
        if (a[i].candidates.empty() && w.glossary && SingleWord(w.translation)) {
            DictionaryEntry& entry = glossaryEntries[i];
            entry.translation = w.translation;
            for (auto [kind, pos] :
                 {std::pair{'n', kPosNoun}, std::pair{'a', kPosAdjective}, std::pair{'v', kPosVerb}}) {
                if (forms.Find(w.translation, kind) != nullptr)
                    entry.senses.emplace_back(static_cast<unsigned char>(pos), w.translation);
            }
            if (!entry.senses.empty())
                a[i].candidates.push_back({w.key, EnglishForm::Base, &entry});
        }
        if (!a[i].candidates.empty())
            a[i].Choose(0);
    }

    if (m_language == kLangGerman) {
        for (std::size_t i = 0; i < n; ++i) {
            if (const SubordinatorInfo* s =
                    FindInfo(std::span<const SubordinatorInfo>(kGermanSubordinators), words[i].key);
                s != nullptr && !words[i].fixed && !words[i].phrase) {
                a[i].role = Role::Subordinator;
                words[i].translation = Ru(s->russian);
            }
        }
        JoinSeparableVerbs(m_lookup, words, a);
    }

    // Roles of the open words, left to right.
    bool verbSeen = false, subjectSeen = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (words[i].clauseStart) {
            verbSeen = false;
            subjectSeen = false;
        }
        Analysed& w = a[i];
        Role previous = i > 0 ? a[i - 1].role : Role::Unknown;
        if (w.role == Role::To) {
            // "to" before a verb marks the infinitive; before anything else it is a preposition.
            const Analysed* next = i + 1 < n ? &a[i + 1] : nullptr;
            bool marker = next != nullptr && next->role == Role::Unknown && next->CanBe(kPosVerb);
            w.role = marker ? Role::To : Role::Preposition;
            continue;
        }
        if (w.role == Role::Pronoun || w.role == Role::There) {
            subjectSeen = true;
            continue;
        }
        if (w.role == Role::Be || w.role == Role::Have || w.role == Role::Modal || w.role == Role::Will) {
            verbSeen = true;
            continue;
        }
        if (w.role != Role::Unknown || w.candidates.empty())
            continue;
        bool n_ = w.CanBe(kPosNoun), v = w.CanBe(kPosVerb), adj = w.CanBe(kPosAdjective);
        bool adv = w.CanBe(kPosAdverb);
        // "today" is a noun too: but for after an article, a determiner or a preposition, the adverb.
        if (IsTimeAdverb(m_language, words[i].key) && previous != Role::Article && previous != Role::Determiner &&
            previous != Role::Preposition) {
            w.role = Role::Adverb;
            continue;
        }
        // What the ending says: a past or "-ing" form, or "-s" (a plural or the third person).
        EnglishForm said = EnglishForm::Base;
        for (const Candidate& candidate : w.candidates) {
            if (Has(candidate.entry, kPosVerb) && candidate.form != EnglishForm::Base && said == EnglishForm::Base)
                said = candidate.form;
        }
        w.form = said == EnglishForm::Base ? w.form : said;
        const Analysed* next = i + 1 < n ? &a[i + 1] : nullptr;
        bool nextNounish = next != nullptr && next->role == Role::Unknown && next->CanBe(kPosNoun);
        Role role = Role::Unknown;
        bool afterVerbMarker =
            previous == Role::Pronoun || previous == Role::To || previous == Role::Modal || previous == Role::Will ||
            previous == Role::Do ||
            (previous == Role::Not && i > 1 &&
             (a[i - 2].role == Role::Do || a[i - 2].role == Role::Modal || a[i - 2].role == Role::Will));
        if (v && afterVerbMarker) {
            role = Role::Verb;
        } else if (previous == Role::Be && (w.form == EnglishForm::Ing || w.form == EnglishForm::Past) && v) {
            role = w.form == EnglishForm::Past && (adj || w.CanBe(kPosParticiple)) ? Role::Adjective : Role::Verb;
        } else if (previous == Role::Be && adj) {
            role = Role::Adjective;
        } else if (StartsNounPhrase(previous) && previous != Role::Preposition) {
            role = adj && (nextNounish || !n_) ? Role::Adjective : n_ ? Role::Noun : adj ? Role::Adjective : Role::Verb;
        } else if (previous == Role::Preposition) {
            role = adj && nextNounish ? Role::Adjective : n_ ? Role::Noun : adj ? Role::Adjective : Role::Unknown;
        } else if ((w.form == EnglishForm::Past || w.form == EnglishForm::Ing) && v) {
            role = Role::Verb;
        } else if (w.form == EnglishForm::Plural && v && subjectSeen && !verbSeen) {
            role = Role::Verb;
            w.form = EnglishForm::ThirdPerson;
        } else if (w.form == EnglishForm::Plural && n_) {
            role = Role::Noun;
        } else if (v && !subjectSeen && !verbSeen && w.form == EnglishForm::Base &&
                   (i == 0 || words[i].clauseStart || previous == Role::Adverb || previous == Role::Conjunction) &&
                   next != nullptr &&
                   (next->role == Role::Article || next->role == Role::Determiner || next->role == Role::Object ||
                    next->role == Role::Preposition || next->role == Role::Adverb ||
                    (next->role == Role::Unknown && next->CanBe(kPosNoun) && !next->CanBe(kPosVerb)))) {
            role = Role::Verb; // an instruction: "Open the file", "Read more"
        } else if (previous == Role::Conjunction && v && i > 1 && a[i - 2].role == Role::Verb && !n_) {
            role = Role::Verb;
        } else if (previous == Role::Conjunction && adj && !nextNounish && i > 1 && a[i - 2].role == Role::Adjective) {
            role = Role::Adjective; // "dark and cold"
        } else if (subjectSeen && !verbSeen && v) {
            role = Role::Verb;
        } else if (n_) {
            role = adj && nextNounish ? Role::Adjective : Role::Noun;
        } else if (adj) {
            role = Role::Adjective;
        } else if (v) {
            role = Role::Verb;
        } else if (adv) {
            role = Role::Adverb;
        }
        w.role = role;
        if (role == Role::Verb) {
            // The reading that is a verb, in the form its ending says.
            EnglishForm form = w.form;
            w.ChooseAs(kPosVerb);
            if (w.form != EnglishForm::Base || form == EnglishForm::ThirdPerson)
                w.form = form == EnglishForm::Plural ? EnglishForm::ThirdPerson : form;
        } else if (role == Role::Noun) {
            w.ChooseAs(kPosNoun);
        } else if (role == Role::Adjective) {
            w.ChooseAs(Has(w.entry, kPosAdjective) || !w.CanBe(kPosParticiple) ? kPosAdjective : kPosParticiple);
        }
        if (role == Role::Noun && !verbSeen)
            subjectSeen = true;
        if (role == Role::Verb)
            verbSeen = true;
        if (w.form == EnglishForm::Plural && role == Role::Noun)
            w.plural = true;
        // A plural article or determiner before the noun ("les", "mes") says its number.
        if (role == Role::Noun) {
            std::size_t d = i;
            while (d > 0 && a[d - 1].role == Role::Adjective)
                --d;
            if (d > 0 && a[d - 1].role == Role::Article && a[d - 1].plural)
                w.plural = true;
            // German "die" before a noun that is not feminine: the plural ("die Mädchen").
            if (d > 0 && a[d - 1].role == Role::Article && m_language == kLangGerman && words[d - 1].key == "die") {
                const WesternLemma* noun = WesternForms::Of(kLangGerman)->Find(w.base, 'n');
                w.plural = w.plural || (noun != nullptr && noun->gender != 'f');
            }
            if (d > 0 && a[d - 1].role == Role::Determiner) {
                const DeterminerInfo* det = FindInfo(t.determiners, words[d - 1].key);
                w.plural = w.plural || (det != nullptr && det->plural && m_language != kLangEnglish);
            }
        }
        if (w.form == EnglishForm::Past && role == Role::Verb)
            w.tense = Tense::Past;
    }

    if (m_language == kLangGerman)
        VerbAfterSubject(words, a, given);

    // German puts the verb second: after an adverb or a place the subject pronoun follows it
    // ("Gestern waren wir"); Russian has the pronoun first.
    for (std::size_t i = 1; m_language == kLangGerman && i + 1 < n; ++i) {
        bool finite =
            a[i].role == Role::Verb || a[i].role == Role::Be || a[i].role == Role::Have || a[i].role == Role::Modal;
        if (!finite || a[i + 1].role != Role::Pronoun || words[i].clauseStart || words[i + 1].clauseStart)
            continue;
        std::swap(a[i], a[i + 1]);
        std::swap(words[i], words[i + 1]);
        std::swap(words[i].clauseStart, words[i + 1].clauseStart);
        std::swap(given[i], given[i + 1]);
        ++i;
    }

    // Senses: the translation of the part of speech the role asks for.
    for (std::size_t i = 0; i < n; ++i) {
        Analysed& w = a[i];
        unsigned char pos = w.role == Role::Noun        ? kPosNoun
                            : w.role == Role::Verb      ? kPosVerb
                            : w.role == Role::Adjective ? kPosAdjective
                            : w.role == Role::Adverb    ? kPosAdverb
                                                        : kPosNone;
        const std::string* sense = pos != kPosNone ? SenseOf(w.entry, pos) : nullptr;
        if (sense == nullptr && w.role == Role::Adjective)
            sense = SenseOf(w.entry, kPosParticiple);
        // The general glossary's word stands unless it is of another class than the role asks for
        // ("work = работа" for the verb "works").
        const std::string& given = words[i].translation;
        char kind = w.role == Role::Noun ? 'n' : w.role == Role::Verb ? 'v' : w.role == Role::Adjective ? 'a' : 0;
        bool otherClass = SingleWord(given) && kind != 0 && forms.Find(given, kind) == nullptr &&
                          (forms.Find(given, 'n') != nullptr || forms.Find(given, 'v') != nullptr ||
                           forms.Find(given, 'a') != nullptr);
        if (words[i].glossary && !otherClass)
            sense = nullptr;
        if (sense != nullptr && !words[i].fixed) {
            words[i].translation = *sense;
            words[i].found = true;
        }
        w.lemma = words[i].translation;
    }

    // Clauses: subject, verb, objects; noun phrases in their case.
    Subject subject;
    Tense clauseTense = Tense::Present;
    bool clauseNegated = false;
    Case pendingCase = Case::Nominative;
    // The case of a predicate noun or adjective: the instrumental after "to be" in the past or the
    // future ("Ночь была тёмной", "Он был учителем").
    Case predicateCase = Case::Nominative;
    bool verbDone = false;
    bool haveAsPossession = false;
    std::string lastVerbBase;
    std::size_t lastVerb = n;    // the clause's last verb
    std::size_t phraseStart = n; // first word of the noun phrase being built
    auto inflectNoun = [&](std::size_t head, Case c) {
        const RussianLemma* noun = SingleWord(a[head].lemma) ? forms.Find(a[head].lemma, 'n') : nullptr;
        bool plural = a[head].plural;
        Agreement agreement = plural ? Agreement::Plural : noun != nullptr ? noun->gender : Agreement::Masculine;
        bool animate = noun != nullptr && noun->animate;
        // A numeral before the noun decides its case and number.
        Case nounCase = c;
        bool nounPlural = plural;
        for (std::size_t m = phraseStart; m < head; ++m) {
            if (a[m].role != Role::Number)
                continue;
            const NumberInfo* number = FindInfo(t.numbers, words[m].key);
            if (c == Case::Nominative || c == Case::Accusative) {
                nounCase = Case::Genitive;
                nounPlural = number->genitivePlural;
            }
            words[m].translation =
                Ru(noun != nullptr && noun->gender == Agreement::Feminine ? number->feminine : number->russian);
        }
        // "в саду", "на полу": the second locative after "в" and "на".
        bool locative =
            noun != nullptr && nounCase == Case::Prepositional && !nounPlural && phraseStart > 0 && phraseStart < n &&
            a[phraseStart - 1].role == Role::Preposition &&
            (words[phraseStart - 1].translation == Ru("в") || words[phraseStart - 1].translation == Ru("на"));
        std::string second = locative ? forms.SecondLocative(a[head].lemma, *noun) : std::string();
        if (noun != nullptr)
            words[head].translation =
                second.empty() ? forms.Form(a[head].lemma, *noun, slot::Noun(nounPlural, nounCase)) : second;
        for (std::size_t m = phraseStart; m < head; ++m) {
            if (a[m].role == Role::Adjective || a[m].role == Role::Determiner) {
                std::string lemma = a[m].lemma;
                bool detPlural = false;
                if (a[m].role == Role::Determiner) {
                    const DeterminerInfo* det = FindInfo(t.determiners, words[m].key);
                    lemma = Ru(det->lemma);
                    detPlural = det->plural;
                }
                const RussianLemma* adjective = SingleWord(lemma) ? forms.Find(lemma, 'a') : nullptr;
                if (adjective == nullptr)
                    continue;
                Agreement with = detPlural || nounPlural != plural ? Agreement::Plural : agreement;
                if (nounCase != c && !nounPlural && !detPlural)
                    with = agreement;
                words[m].translation = forms.Form(lemma, *adjective, slot::Adjective(with, c, animate));
            }
        }
        return agreement;
    };

    // An auxiliary with its participle: the auxiliary goes, the participle is the verb in the past.
    // German puts the participle last ("hat das Buch gelesen"): the Russian verb takes the
    // auxiliary's place, and the object after it is the verb's.
    std::vector<std::size_t> verbPlace(n, n);
    std::vector<bool> state(n, false); // a German participle after "sein" that is a state
    std::size_t pendingParticiple = n; // a German participle still to come, and whether "nicht" is before it
    bool participleNegated = false;
    auto MakePerfect = [&](std::size_t auxiliary, std::size_t participle) {
        words[auxiliary].dropped = true;
        words[auxiliary].translation.clear();
        a[participle].tense = Tense::Past;
        if (m_language == kLangGerman) {
            verbPlace[participle] = auxiliary;
            pendingCase = Case::Accusative;
            pendingParticiple = participle;
            participleNegated = false;
        }
    };

    for (std::size_t i = 0; i < n; ++i) {
        Analysed& w = a[i];
        SentenceWord& word = words[i];
        if (word.clauseStart) {
            lastVerb = n;
            subject = Subject();
            verbDone = false;
            pendingCase = Case::Nominative;
            predicateCase = Case::Nominative;
            clauseNegated = false;
            phraseStart = n;
        }
        if (phraseStart == n && (w.role == Role::Article || w.role == Role::Determiner || w.role == Role::Number ||
                                 w.role == Role::Adjective || w.role == Role::Noun))
            phraseStart = i;
        switch (w.role) {
        case Role::Article:
            word.dropped = true;
            word.translation.clear();
            break;
        case Role::Pronoun: {
            const PronounInfo* p = FindInfo(t.pronouns, word.key);
            subject = {true, p->person, p->agreement, i, i, true};
            break;
        }
        case Role::Object: {
            word.translation = Ru(FindInfo(t.objects, word.key)->accusative);
            break;
        }
        case Role::There:
            word.dropped = true;
            word.translation.clear();
            subject = {true, 3, Agreement::Neuter, i, i, false};
            break;
        case Role::Be: {
            // "ist gegangen", "sommes rentrés": the perfect made with "to be". German "sein" with the
            // participle of a verb whose perfect takes "haben" is a state ("ist geschlossen"): the
            // participle is the predicate, where a regular pattern makes its Russian short form.
            if (std::size_t participle = ParticipleAfter(a, words, i, m_language);
                participle < n && m_language != kLangEnglish) {
                const WesternLemma* verb =
                    m_language == kLangGerman ? WesternForms::Of(kLangGerman)->Find(a[participle].base, 'v') : nullptr;
                const RussianLemma* russian =
                    SingleWord(a[participle].lemma) ? forms.Find(a[participle].lemma, 'v') : nullptr;
                bool made =
                    !PassiveShort(a[participle].lemma, russian != nullptr && russian->perfective, Agreement::Masculine)
                         .empty();
                if (m_language == kLangGerman && (verb == nullptr || !verb->auxiliaryBe) && made) {
                    a[participle].role = Role::Adjective;
                    state[participle] = true;
                } else {
                    verbDone = true;
                    MakePerfect(i, participle);
                    break;
                }
            }
            bool there = i > 0 && a[i - 1].role == Role::There;
            clauseTense = w.tense;
            verbDone = true;
            pendingCase = Case::Nominative;
            const RussianLemma* be = forms.Find(Ru("быть"), 'v');
            if (i > 0 && a[i - 1].role == Role::Will && be != nullptr) {
                word.translation =
                    forms.Form(Ru("быть"), *be, slot::Present(subject.person, subject.agreement == Agreement::Plural));
            } else if (w.tense == Tense::Past && be != nullptr) {
                word.translation = forms.Form(Ru("быть"), *be, slot::Past(subject.agreement));
            } else if (there) {
                word.translation = Ru("есть");
            } else {
                word.dropped = true;
                word.translation.clear();
            }
            if (w.negated) {
                word.translation = word.dropped ? Ru("не") : Ru("не ") + word.translation;
                word.dropped = false;
            }
            // "Это была кошка": after "это" the predicate stays in the nominative.
            bool thing = subject.known && words[subject.first].translation == Ru("это");
            bool notPresent = w.tense == Tense::Past || (i > 0 && a[i - 1].role == Role::Will);
            predicateCase = notPresent && subject.known && !there && !thing ? Case::Instrumental : Case::Nominative;
            pendingCase = predicateCase;
            break;
        }
        case Role::Have: {
            std::size_t participle = ParticipleAfter(a, words, i, m_language);
            verbDone = true;
            if (participle < n) {
                MakePerfect(i, participle);
                break;
            }
            if (w.tense == Tense::Present && subject.known) {
                haveAsPossession = true;
                pendingCase = Case::Nominative;
                word.translation = Ru("есть");
                if (subject.pronoun) {
                    const PronounInfo* p = FindInfo(t.pronouns, words[subject.first].key);
                    words[subject.first].translation = Ru("у ") + Ru(p->genitive);
                } else {
                    // The owner in the genitive after "у".
                    std::size_t start = subject.first;
                    phraseStart = start;
                    inflectNoun(subject.last, Case::Genitive);
                    std::size_t firstKept = start;
                    while (firstKept < subject.last && words[firstKept].dropped)
                        ++firstKept;
                    words[firstKept].translation = Ru("у ") + words[firstKept].translation;
                    phraseStart = n;
                }
            } else {
                pendingCase = Case::Accusative;
                const RussianLemma* have = forms.Find(Ru("иметь"), 'v');
                if (have != nullptr)
                    word.translation = forms.Form(
                        Ru("иметь"), *have,
                        w.tense == Tense::Past ? slot::Past(subject.agreement)
                                               : slot::Present(subject.person, subject.agreement == Agreement::Plural));
            }
            break;
        }
        case Role::Do:
            clauseTense = w.tense;
            word.dropped = !w.negated;
            word.translation = w.negated ? Ru("не") : std::string();
            break;
        case Role::Will:
            clauseTense = Tense::Future;
            word.dropped = !w.negated;
            word.translation = w.negated ? Ru("не") : std::string();
            break;
        case Role::Modal: {
            verbDone = true;
            const char* lemma = word.key.compare(0, 4, "must") == 0 || word.key == "should" ? nullptr : "мочь";
            if (word.key == "would") {
                word.translation = Ru("бы");
                break;
            }
            if (lemma == nullptr) {
                static const char* const kMust[] = {"должен", "должна", "должно", "должны"};
                word.translation = Ru(kMust[static_cast<int>(subject.agreement)]);
            } else if (const RussianLemma* can = forms.Find(Ru(lemma), 'v')) {
                word.translation = forms.Form(
                    Ru(lemma), *can,
                    w.tense == Tense::Past ? slot::Past(subject.agreement)
                                           : slot::Present(subject.person, subject.agreement == Agreement::Plural));
            }
            if (w.negated)
                word.translation = Ru("не ") + word.translation;
            break;
        }
        case Role::To:
        case Role::Particle:
            word.dropped = true;
            word.translation.clear();
            break;
        case Role::Not:
            word.translation = Ru("не");
            // German puts "nicht" after the verb: "не" goes before it; before a participle still to
            // come, before the verb that takes the auxiliary's place.
            if (m_language == kLangGerman && pendingParticiple < n && pendingParticiple > i) {
                participleNegated = true;
                word.dropped = true;
                word.translation.clear();
            } else if (m_language == kLangGerman && lastVerb < i) {
                words[lastVerb].translation = Ru("не ") + words[lastVerb].translation;
                word.dropped = true;
                word.translation.clear();
            }
            break;
        case Role::Preposition: {
            const PrepositionInfo* p = FindInfo(t.prepositions, word.key);
            if (p == nullptr)
                break;
            pendingCase = p->governs;
            std::string russian = p->russian;
            bool motion = false;
            for (const char* verb : kMotionVerbs)
                motion = motion || lastVerbBase == verb;
            if (word.key == "to" && motion) {
                russian = "в";
                pendingCase = Case::Accusative;
            }
            if (russian.empty()) {
                word.dropped = true;
                word.translation.clear();
            } else {
                word.translation = Ru(russian.c_str());
            }
            break;
        }
        case Role::Number:
        case Role::Determiner:
            if (w.role == Role::Determiner) {
                const DeterminerInfo* det = FindInfo(t.determiners, word.key);
                if (!forms.Find(Ru(det->lemma), 'a'))
                    word.translation = Ru(det->lemma);
            }
            // A determiner with no noun after it ("this is") stands for a thing: "это".
            if (w.role == Role::Determiner &&
                (i + 1 >= n || a[i + 1].role == Role::Be || a[i + 1].role == Role::Verb) &&
                (word.key == "this" || word.key == "that")) {
                word.translation = Ru("это");
                subject = {true, 3, Agreement::Neuter, i, i, false};
                phraseStart = n;
            }
            break;
        case Role::Noun: {
            // The phrase ends at its last noun ("the end", "a quiet street"): a noun followed by
            // another noun is the first's modifier in English, kept as it is.
            bool nextNoun = i + 1 < n && a[i + 1].role == Role::Noun;
            if (nextNoun)
                break;
            Case c = pendingCase;
            if (!verbDone && !subject.known) {
                c = Case::Nominative;
            }
            Agreement agreement = inflectNoun(i, c);
            if (!verbDone && !subject.known) {
                subject = {true, 3, agreement, phraseStart == n ? i : phraseStart, i, false};
            }
            phraseStart = n;
            // After a noun phrase governed by a preposition or a verb, a following one is in the
            // genitive only through "of"; otherwise it is the object.
            pendingCase = verbDone ? Case::Accusative : Case::Nominative;
            if (haveAsPossession)
                pendingCase = Case::Nominative;
            break;
        }
        case Role::Adjective: {
            bool nextModifiable = i + 1 < n && (a[i + 1].role == Role::Noun || a[i + 1].role == Role::Adjective);
            if (nextModifiable)
                break;
            if (state[i]) {
                const RussianLemma* verb = SingleWord(w.lemma) ? forms.Find(w.lemma, 'v') : nullptr;
                std::string brief = PassiveShort(w.lemma, verb != nullptr && verb->perfective, subject.agreement);
                word.translation = brief;
                phraseStart = n;
                break;
            }
            // A predicate: it agrees with the subject in the nominative; a participle in its short
            // form ("Окно открыто").
            if (const RussianLemma* adjective = SingleWord(w.lemma) ? forms.Find(w.lemma, 'a') : nullptr) {
                std::string brief = ShortForm(w.lemma, subject.agreement);
                word.translation =
                    !brief.empty()
                        ? brief
                        : forms.Form(w.lemma, *adjective, slot::Adjective(subject.agreement, predicateCase, false));
            }
            phraseStart = n;
            break;
        }
        case Role::Verb: {
            lastVerbBase = w.base;
            lastVerb = i;
            const RussianLemma* verb = SingleWord(w.lemma) ? forms.Find(w.lemma, 'v') : nullptr;
            Role before = i > 0 ? a[i - 1].role : Role::Unknown;
            Role beforeNot = before == Role::Not && i > 1 ? a[i - 2].role : before;
            bool infinitive = before == Role::To || beforeNot == Role::Modal ||
                              (i > 1 && before == Role::Not && a[i - 2].role == Role::To);
            Tense tense = w.tense == Tense::Past ? Tense::Past : clauseTense;
            if (beforeNot == Role::Do)
                tense = a[i - (before == Role::Not ? 2 : 1)].tense;
            bool imperative = !subject.known && !infinitive && w.form == EnglishForm::Base && beforeNot != Role::Will;
            bool future = beforeNot == Role::Will;
            verbDone = true;
            pendingCase = Case::Accusative;
            if (verb == nullptr) {
                if (verbPlace[i] < n && participleNegated)
                    word.translation = Ru("не ") + word.translation; // the negation stays with it
                break;
            }
            bool plural = subject.agreement == Agreement::Plural;
            if (infinitive)
                break;
            if (imperative) {
                word.translation = forms.Form(w.lemma, *verb, slot::Imperative(true));
            } else if (future && !verb->perfective) {
                const RussianLemma* be = forms.Find(Ru("быть"), 'v');
                if (be != nullptr)
                    word.translation =
                        forms.Form(Ru("быть"), *be, slot::Present(subject.person, plural)) + " " + w.lemma;
            } else if (tense == Tense::Past) {
                word.translation = forms.Form(w.lemma, *verb, slot::Past(subject.agreement));
            } else {
                word.translation = forms.Form(w.lemma, *verb, slot::Present(subject.person, plural));
            }
            clauseTense = Tense::Present;
            if (std::size_t place = verbPlace[i]; place < n) {
                words[place].translation = (participleNegated ? Ru("не ") : std::string()) + word.translation;
                pendingParticiple = n;
                words[place].dropped = false;
                word.translation.clear();
                word.dropped = true;
            }
            break;
        }
        default:
            break;
        }
        (void)clauseNegated;
    }
    // "There is a table in the room": the place comes first ("В комнате есть стол").
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (a[i].role != Role::There || a[i + 1].role != Role::Be || words[i + 1].translation != Ru("есть"))
            continue;
        std::size_t end = i + 2;
        while (end < n && !words[end].clauseStart)
            ++end;
        std::size_t place = end;
        for (std::size_t k = i + 3; k < end && place == end; ++k)
            place = a[k].role == Role::Preposition ? k : end;
        if (place == end)
            break;
        std::string moved;
        for (std::size_t k = place; k < end; ++k) {
            if (!words[k].dropped && !words[k].translation.empty())
                moved += words[k].translation + " ";
            words[k].dropped = true;
            words[k].translation.clear();
        }
        words[i + 1].translation = moved + words[i + 1].translation;
        break;
    }
    // A time adverb after the clause's first word goes to its front ("The weather is good today" ->
    // "Сегодня погода хорошая").
    for (std::size_t first = 0, i = 0; i < n; ++i) {
        if (words[i].clauseStart)
            first = i;
        bool time = IsTimeAdverb(m_language, words[i].key);
        Role before = i > 0 ? a[i - 1].role : Role::Unknown;
        if (!time || i == first || words[i].fixed || words[i].dropped || words[i].translation.empty() ||
            before == Role::Preposition || before == Role::Article || before == Role::Determiner)
            continue;
        std::size_t kept = first;
        while (kept < i && (words[kept].dropped || a[kept].role == Role::Subordinator))
            ++kept;
        if (kept == i)
            continue;
        words[kept].translation = words[i].translation + " " + words[kept].translation;
        words[kept].found = true;
        words[i].dropped = true;
        words[i].translation.clear();
    }
    // What this pass wrote is a translation, found or not before it.
    for (std::size_t i = 0; i < n; ++i) {
        if (!words[i].translation.empty() && words[i].translation != given[i])
            words[i].found = true;
    }
}

} // namespace mtengine
