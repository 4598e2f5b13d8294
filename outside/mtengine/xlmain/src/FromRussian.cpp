// The sentence pass out of Russian: analysis, senses, articles, verb forms and "to be".
#include "FromRussian.h"

#include "EnginePrivate.h"
#include "EnglishForms.h"
#include "RussianForms.h"
#include "WesternGrammar.h"

#include <cstring>

namespace mtengine {

namespace {

std::string Ru(const char* utf8) {
    return FromUtf8(Plane::Cyrillic, utf8);
}

enum class Kind { Other, Noun, Adjective, Verb, Determiner, Pronoun, OwnerPronoun, Preposition, Not, Have, Exists, At };

struct Word {
    Kind kind = Kind::Other;
    std::string english; // the base translation
    bool plural = false;
    Case nounCase = Case::Nominative;
    int slot = -1; // the verb's slot
    bool perfective = false;
    int person = 3;
    bool mayBeVerb = false;
    bool negated = false; // German and French: the negation goes round the verb
    std::string lemma;    // the Russian lemma
};

struct PronounInfo {
    const char* russian;
    const char* english;
    int person;
    bool plural;
    const char* german = "";
    const char* french = "";
};

const PronounInfo kSubjects[] = {{"я", "I", 1, false},     {"ты", "you", 2, false}, {"он", "he", 3, false},
                                 {"она", "she", 3, false}, {"оно", "it", 3, false}, {"мы", "we", 1, true},
                                 {"вы", "you", 2, true},   {"они", "they", 3, true}};

// After "у": the owner.
const PronounInfo kOwners[] = {{"меня", "I", 1, false, "ich", "je"},    {"тебя", "you", 2, false, "du", "tu"},
                               {"него", "he", 3, false, "er", "il"},    {"неё", "she", 3, false, "sie", "elle"},
                               {"нее", "she", 3, false, "sie", "elle"}, {"нас", "we", 1, true, "wir", "nous"},
                               {"вас", "you", 2, true, "ihr", "vous"},  {"них", "they", 3, true, "sie", "ils"}};

const char* const kDeterminers[] = {"мой", "твой",   "наш",  "ваш", "свой", "этот",
                                    "тот", "каждый", "весь", "его", "её",   "их"};

const char* const kPrepositions[] = {"в",     "во", "на",    "с",     "со",    "к",   "ко",  "из",    "от",
                                     "для",   "по", "о",     "об",    "за",    "под", "над", "около", "без",
                                     "после", "до", "через", "между", "перед", "про", "при", "вокруг"};

// Numerals and quantities: no article after them.
const char* const kQuantities[] = {"один",   "одна",   "одно",   "два",   "две",       "двое",
                                   "три",    "трое",   "четыре", "пять",  "шесть",     "семь",
                                   "восемь", "девять", "десять", "много", "несколько", "все"};

// Question words: "Где вокзал?", "where is the station?".
const char* const kQuestions[] = {"где", "что", "кто", "как", "когда", "куда", "откуда", "почему"};

template <std::size_t N>
const PronounInfo* FindPronoun(const PronounInfo (&table)[N], const std::string& key) {
    for (const PronounInfo& info : table) {
        if (key == Ru(info.russian))
            return &info;
    }
    return nullptr;
}

bool IsOneOf(const std::string& key, const char* const* begin, const char* const* end) {
    for (const char* const* it = begin; it != end; ++it) {
        if (key == Ru(*it))
            return true;
    }
    return false;
}

bool SingleWord(const std::string& text) {
    return !text.empty() && text.find(' ') == std::string::npos;
}

bool Finite(int slot) {
    return slot >= 1 && slot != 11 && slot != 12;
}

std::string We(const char* utf8) {
    return FromUtf8(Plane::Western, utf8);
}

// The forms of the target language the pass writes: English, German or French.
struct Target {
    unsigned language;

    bool English() const { return language == kLangEnglish; }

    // person 1 to 3
    std::string Be(int person, bool plural) const {
        static const char* const kEnglish[] = {"am", "are", "is", "are", "are", "are"};
        static const char* const kGerman[] = {"bin", "bist", "ist", "sind", "seid", "sind"};
        static const char* const kFrench[] = {"suis", "es", "est", "sommes", "êtes", "sont"};
        int index = (plural ? 3 : 0) + person - 1;
        return We(English() ? kEnglish[index] : language == kLangGerman ? kGerman[index] : kFrench[index]);
    }
    std::string Have(int person, bool plural) const {
        static const char* const kEnglish[] = {"have", "have", "has", "have", "have", "have"};
        static const char* const kGerman[] = {"habe", "hast", "hat", "haben", "habt", "haben"};
        static const char* const kFrench[] = {"ai", "as", "a", "avons", "avez", "ont"};
        int index = (plural ? 3 : 0) + person - 1;
        return English() ? kEnglish[index] : language == kLangGerman ? kGerman[index] : kFrench[index];
    }
    std::string ThereIs() const { return English() ? "there is" : language == kLangGerman ? "es gibt" : "il y a"; }

    // An English verb's present in a person.
    std::string Present(const std::string& verb, int person, bool plural) const {
        return person == 3 && !plural ? EnglishThirdPerson(verb) : verb;
    }
};

// The full adjective of a short form: "открыто" -> "открытый", "найдена" -> "найденный",
// "свободен" -> "свободный"; the first candidate known passes. Empty when none is.
template <typename Known>
std::string LongForm(const std::string& word, Known known) {
    for (const char* ending : {"", "а", "о", "ы"}) {
        std::string tail = Ru(ending);
        if (word.size() < tail.size() + 3 || word.compare(word.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        std::string stem = word.substr(0, word.size() - tail.size());
        std::vector<std::string> candidates{stem + Ru("ый")};
        if (stem.back() == Ru("н")[0]) {
            candidates.push_back(stem + Ru("ный"));
            if (stem.size() > 3 && stem[stem.size() - 2] == Ru("е")[0])
                candidates.push_back(stem.substr(0, stem.size() - 2) + Ru("ный"));
        }
        for (const std::string& candidate : candidates) {
            if (known(candidate))
                return candidate;
        }
    }
    return {};
}

} // namespace

void FromRussian::Shape(std::vector<SentenceWord>& words) const {
    const RussianForms& forms = RussianForms::Shared();
    const Target target{m_language};
    std::size_t n = words.size();
    std::vector<Word> w(n);

    // Analysis.
    for (std::size_t i = 0; i < n; ++i) {
        SentenceWord& word = words[i];
        if (word.fixed || word.phrase)
            continue;
        const std::string& key = word.key;
        if (const PronounInfo* p = FindPronoun(kSubjects, key)) {
            w[i].kind = Kind::Pronoun;
            w[i].person = p->person;
            w[i].plural = p->plural;
            continue;
        }
        if (key == Ru("у")) {
            w[i].kind = Kind::At;
            continue;
        }
        if (const PronounInfo* p = FindPronoun(kOwners, key); p != nullptr && i > 0 && w[i - 1].kind == Kind::At) {
            w[i].kind = Kind::OwnerPronoun;
            w[i].person = p->person;
            w[i].plural = p->plural;
            w[i].english = target.English() ? p->english : m_language == kLangGerman ? p->german : p->french;
            continue;
        }
        if (key == Ru("не")) {
            w[i].kind = Kind::Not;
            continue;
        }
        if (key == Ru("есть")) {
            w[i].kind = Kind::Exists;
            continue;
        }
        if (IsOneOf(key, std::begin(kPrepositions), std::end(kPrepositions))) {
            w[i].kind = Kind::Preposition;
            continue;
        }
        if (IsOneOf(key, std::begin(kQuantities), std::end(kQuantities))) {
            w[i].kind = Kind::Determiner;
            continue;
        }
        bool afterPreposition = i > 0 && w[i - 1].kind == Kind::Preposition;
        // The readings whose lemma the dictionary knows with a part of speech; the likeliest first.
        const RussianForms::Analysis* best = nullptr;
        int bestRank = 1000;
        std::vector<RussianForms::Analysis> analyses = forms.Analyse(key);
        bool determiner = false;
        for (const RussianForms::Analysis& analysis : analyses) {
            determiner = determiner || (analysis.entry.kind == 'a' &&
                                        IsOneOf(analysis.lemma, std::begin(kDeterminers), std::end(kDeterminers)));
            // A form that can be a verb's makes its clause one with a verb, known or not.
            w[i].mayBeVerb = w[i].mayBeVerb || (analysis.entry.kind == 'v' && Finite(analysis.slot));
        }
        if (determiner) {
            w[i].kind = Kind::Determiner;
            continue;
        }
        // German and French: "быть" is "sein", "être" whatever the dictionary says.
        if (m_language != kLangEnglish) {
            const RussianForms::Analysis* be = nullptr;
            for (const RussianForms::Analysis& analysis : analyses)
                be = be == nullptr && analysis.entry.kind == 'v' && analysis.lemma == Ru("быть") ? &analysis : be;
            if (be != nullptr) {
                w[i].kind = Kind::Verb;
                w[i].slot = be->slot;
                w[i].lemma = be->lemma;
                w[i].english = m_language == kLangGerman ? std::string("sein") : We("être");
                word.translation = w[i].english;
                word.found = true;
                continue;
            }
        }
        // A word only the general glossary knows ("большой = grand") has the class its forms say.
        bool glossaryWord = word.glossary && word.found && SingleWord(word.translation);
        for (const RussianForms::Analysis& analysis : analyses) {
            const DictionaryEntry* entry = m_lookup(analysis.lemma);
            if (entry == nullptr && !glossaryWord)
                continue;
            int rank = 100;
            if (analysis.entry.kind == 'v')
                rank = Finite(analysis.slot) || analysis.slot == slot::kInfinitive ? 10 : 30;
            else if (analysis.entry.kind == 'n') {
                Case c = slot::NounCase(analysis.slot);
                bool direct = c == Case::Nominative || c == Case::Accusative;
                rank = 20 + (afterPreposition == direct ? 5 : 0) + (c == Case::Nominative ? 0 : 1);
            } else if (analysis.entry.kind == 'a') {
                rank = 19; // "большой" is the adjective before it is the noun
            }
            if (analysis.lemma == key && analysis.entry.kind != 'v')
                rank -= 2;
            if (rank < bestRank) {
                best = &analysis;
                bestRank = rank;
            }
        }
        if (best == nullptr) {
            // A short form ("открыто", "закрыта", "найдена", "готов") the dictionary does not have
            // itself (as it has the adverb "часто") is read as its adjective or participle, a
            // predicate.
            std::string lemma = word.found ? std::string() : LongForm(key, [&](const std::string& candidate) {
                const DictionaryEntry* entry = m_lookup(candidate);
                return entry != nullptr && forms.Find(candidate, 'a') != nullptr;
            });
            if (lemma.empty())
                continue;
            const DictionaryEntry* entry = m_lookup(lemma);
            const std::string* sense = SenseOf(entry, kPosAdjective);
            if (sense == nullptr)
                sense = SenseOf(entry, kPosParticiple);
            w[i].kind = Kind::Adjective;
            w[i].lemma = lemma;
            w[i].english = sense != nullptr ? *sense : entry->translation;
            word.translation = w[i].english;
            word.found = true;
            continue;
        }
        const DictionaryEntry* entry = m_lookup(best->lemma);
        char kind = best->entry.kind;
        // A word whose article is first of all an adverb ("сегодня") is kept as the word-by-word
        // pass gave it.
        if (entry != nullptr && !entry->senses.empty() && entry->senses.front().first >= kPosAdverb)
            continue;
        if (kind == 'a' && IsOneOf(best->lemma, std::begin(kDeterminers), std::end(kDeterminers))) {
            w[i].kind = Kind::Determiner;
            continue;
        }
        unsigned char pos = kind == 'n' ? kPosNoun : kind == 'v' ? kPosVerb : kPosAdjective;
        const std::string* sense = entry != nullptr ? SenseOf(entry, pos) : nullptr;
        std::string english = sense != nullptr ? *sense : entry != nullptr ? entry->translation : word.translation;
        if (word.glossary && word.found)
            english = word.translation;
        w[i].english = english;
        w[i].lemma = best->lemma;
        if (kind == 'n') {
            w[i].kind = Kind::Noun;
            w[i].plural = slot::NounPlural(best->slot);
            w[i].nounCase = slot::NounCase(best->slot);
        } else if (kind == 'v') {
            w[i].kind = best->lemma == Ru("иметь") ? Kind::Have : Kind::Verb;
            w[i].slot = best->slot;
            w[i].perfective = best->entry.perfective;
        } else {
            w[i].kind = Kind::Adjective;
        }
        word.translation = english;
        word.found = true;
    }

    // Generation, clause by clause.
    const WesternGrammar grammar(m_language);
    const bool western = !target.English();
    const bool german = m_language == kLangGerman;
    auto verbal = [&](std::size_t i) {
        return w[i].kind == Kind::Verb || w[i].kind == Kind::Have || w[i].kind == Kind::Exists || w[i].mayBeVerb ||
               w[i].kind == Kind::OwnerPronoun || (!words[i].found && !words[i].dropped);
    };
    std::vector<bool> clauseHasVerb(n, false);
    for (std::size_t begin = 0; begin < n;) {
        std::size_t end = begin + 1;
        while (end < n && !words[end].clauseStart)
            ++end;
        bool any = false;
        for (std::size_t i = begin; i < end; ++i)
            any = any || verbal(i);
        for (std::size_t i = begin; i < end; ++i)
            clauseHasVerb[i] = any;
        begin = end;
    }
    // German: what goes to the end of the clause ("nicht", the participle of the perfect).
    std::string tail;
    std::size_t clause = 0;
    auto finishClause = [&](std::size_t end) {
        if (!tail.empty()) {
            for (std::size_t k = end; k-- > clause;) {
                if (!words[k].dropped && !words[k].translation.empty()) {
                    words[k].translation += " " + tail;
                    words[k].found = true;
                    break;
                }
            }
            tail.clear();
        }
        bool verb = false;
        std::size_t subjectEnd = end;
        bool subjectPlural = false;
        int subjectPerson = 3;
        std::size_t lastOpen = end;
        for (std::size_t i = clause; i < end; ++i) {
            verb = verb || verbal(i);
            if (w[i].kind == Kind::Noun || w[i].kind == Kind::Adjective)
                lastOpen = i;
            if (subjectEnd == end &&
                (w[i].kind == Kind::Pronoun || (w[i].kind == Kind::Noun && w[i].nounCase == Case::Nominative &&
                                                (i == clause || w[i - 1].kind != Kind::Preposition)))) {
                subjectEnd = i;
                subjectPlural = w[i].plural;
                subjectPerson = w[i].person;
            }
        }
        // "Моя сестра врач": the present of "to be" after the subject, or before the adjective that
        // ends the clause ("Вода в реке холодная"), or after a question word.
        std::string be = target.Be(subjectPerson, subjectPlural);
        bool question = clause < end && IsOneOf(words[clause].key, std::begin(kQuestions), std::end(kQuestions));
        if (!verb && question && clause + 1 < end) {
            words[clause].translation += " " + be;
        } else if (!verb && subjectEnd + 1 < end && lastOpen < end && lastOpen > subjectEnd + 1 &&
                   w[lastOpen].kind == Kind::Adjective) {
            // Before the adverb that goes with the adjective: "is very old".
            std::size_t at = lastOpen;
            while (at > subjectEnd + 1 && w[at - 1].kind == Kind::Other && !words[at - 1].dropped &&
                   SingleWord(words[at - 1].translation))
                --at;
            words[at].translation = be + " " + words[at].translation;
            words[at].found = true;
        } else if (!verb && subjectEnd + 1 < end && !words[subjectEnd].dropped) {
            words[subjectEnd].translation += " " + be;
            words[subjectEnd].found = true;
        }
        clause = end;
    };

    int subjectPerson = 3;
    bool subjectPlural = false;
    // German and French: the subject's gender, for the predicate and the participle that agree.
    bool subjectSeen = false;
    char subjectGender = 'm';

    // A German or French noun phrase ending at i: its article (none after a determiner or as a
    // predicate, indefinite with an adjective or after "есть"), determiner and adjectives agreeing,
    // French adjectives after the noun but for the few that stand before it. The phrase is written
    // at the noun; the adjectives before it are dropped.
    auto westernPhrase = [&](std::size_t i) {
        Word& x = w[i];
        std::size_t start = i;
        while (start > 0 && w[start - 1].kind == Kind::Adjective && !words[start].clauseStart)
            --start;
        std::size_t before = start; // the first word of the phrase, the determiner included
        bool determined = start > 0 && !words[start].clauseStart &&
                          (w[start - 1].kind == Kind::Determiner || w[start - 1].kind == Kind::Pronoun ||
                           w[start - 1].kind == Kind::OwnerPronoun);
        if (determined && w[start - 1].kind == Kind::Determiner)
            before = start - 1;
        std::size_t preposition = before > 0 && w[before - 1].kind == Kind::Preposition ? before - 1 : n;
        bool afterNoun = before > 0 && w[before - 1].kind == Kind::Noun;
        bool existential = before > 0 && (words[before - 1].key == Ru("есть") || w[before - 1].kind == Kind::Have);
        WesternCase c = WesternCase::Dative;
        switch (x.nounCase) {
        case Case::Nominative:
            c = existential || (subjectSeen && clauseHasVerb[i]) ? WesternCase::Accusative : WesternCase::Nominative;
            break;
        case Case::Accusative:
            c = WesternCase::Accusative;
            break;
        case Case::Genitive:
            c = preposition < n ? WesternCase::Dative : afterNoun ? WesternCase::Genitive : WesternCase::Accusative;
            break;
        default:
            break;
        }
        bool subject = c == WesternCase::Nominative && !subjectSeen && preposition == n;
        bool predicate = c == WesternCase::Nominative && subjectSeen && !clauseHasVerb[i] && preposition == n;
        bool indefinite = !subject && (start < i || existential);
        char gender = grammar.Gender(x.english);
        std::string noun = grammar.Number(x.english, x.plural);
        if (german && c == WesternCase::Dative && x.plural && !noun.empty() && noun.back() != 'n' && noun.back() != 's')
            noun += 'n';
        std::string determinerWord =
            determined && before < start ? Lowercase(Plane::Western, words[before].translation) : std::string();
        Determination determination =
            predicate ? Determination::None
            : determined
                ? (determinerWord.compare(0, 4, "dies") == 0 ? Determination::Definite : Determination::Indefinite)
            : indefinite ? (x.plural ? Determination::None : Determination::Indefinite)
                         : Determination::Definite;
        std::vector<std::string> front, back;
        for (std::size_t k = start; k < i; ++k) {
            const std::string& adjective = w[k].english;
            if (german || grammar.BeforeNoun(Lowercase(Plane::Western, adjective)))
                front.push_back(adjective);
            else
                back.push_back(grammar.Adjective(adjective, gender, x.plural, c, determination, true, ""));
        }
        for (std::size_t k = 0; k < front.size(); ++k)
            front[k] = grammar.Adjective(front[k], gender, x.plural, c, determination, true,
                                         k + 1 < front.size() ? front[k + 1] : noun);
        std::string phrase;
        for (const std::string& part : front)
            phrase += part + " ";
        phrase += noun;
        for (const std::string& part : back)
            phrase += " " + part;
        // French: a mass noun as the object, after "il y a" or "avec" stands for some of it
        // ("achète du pain", "avec du lait"), but for what a verb of liking takes ("aime le poisson").
        // German: such a noun takes no article ("kauft Brot", "mit Milch").
        bool partitive = false, partitiveNegated = false, bare = false;
        if (!determined && !predicate && !subject && !x.plural && grammar.MassNoun(x.english)) {
            bool object = preposition == n && c == WesternCase::Accusative;
            std::string with = german ? "mit" : "avec";
            bool after = preposition < n && Lowercase(Plane::Western, words[preposition].translation) == with;
            std::size_t verb = before;
            while (verb > 0 && !words[verb].clauseStart && w[verb - 1].kind != Kind::Verb)
                --verb;
            bool liking = verb > 0 && w[verb - 1].kind == Kind::Verb && grammar.LikingVerb(w[verb - 1].english);
            partitiveNegated = object && verb > 0 && w[verb - 1].kind == Kind::Verb && w[verb - 1].negated;
            partitive = !german && (object || after || existential) && !liking;
            bare = german && (object || after) && !existential && start == i;
        }
        if (partitive) {
            std::string article = grammar.Partitive(gender, partitiveNegated, phrase);
            phrase = article + (article.back() == '\'' ? "" : " ") + phrase;
        } else if (!determined && !predicate && !bare) {
            bool definite = !indefinite;
            std::string article = german && !definite && x.plural
                                      ? std::string()
                                      : grammar.Article(definite, gender, x.plural, c, phrase);
            if (!article.empty() && preposition < n && definite) {
                std::string together = grammar.Contraction(words[preposition].translation, article);
                if (!together.empty()) {
                    words[preposition].translation = together;
                    words[preposition].found = true;
                    article.clear();
                }
            }
            if (article == "des" && !front.empty())
                article = "de"; // "de nouveaux livres"
            if (!article.empty())
                phrase = article + (article.back() == '\'' ? "" : " ") + phrase;
        }
        if (determined && before < start) {
            words[before].translation = grammar.Determiner(words[before].translation, gender, x.plural, c, phrase);
            words[before].found = true;
        }
        for (std::size_t k = start; k < i; ++k) {
            words[k].dropped = true;
            words[k].translation.clear();
        }
        words[i].translation = phrase;
        words[i].found = true;
        if (subject) {
            subjectSeen = true;
            subjectGender = gender;
        }
    };

    // A German or French verb: the present in its person; the past of "to be" and "to have" as such
    // ("war", "était"), of any other verb as the perfect (German: the participle at the clause's
    // end); the negation round it.
    auto westernVerb = [&](std::size_t i, const std::string& verb) {
        Word& x = w[i];
        SentenceWord& word = words[i];
        int slot = x.slot;
        std::string base = x.lemma == Ru("быть") ? (german ? std::string("sein") : We("être")) : verb;
        std::string negation = german ? "nicht" : "pas";
        if (slot >= 7 && slot <= 10) {
            bool plural = slot == 10 || subjectPlural;
            if (base == "sein" || base == "haben" || base == We("être") || base == "avoir") {
                word.translation = grammar.SimplePast(base, subjectPerson, plural);
                if (x.negated && german)
                    tail = negation;
                else if (x.negated)
                    word.translation += " " + negation;
            } else {
                std::string participle = grammar.Participle(base, subjectGender == 'f', plural);
                word.translation = grammar.PerfectAuxiliary(base, subjectPerson, plural);
                if (german)
                    tail = x.negated ? negation + " " + participle : participle;
                else
                    word.translation += (x.negated ? " " + negation + " " : std::string(" ")) + participle;
            }
        } else if (slot >= 1 && slot <= 6) {
            int person = slot > 3 ? slot - 3 : slot;
            word.translation = grammar.Present(base, person, slot > 3);
            if (x.negated && german)
                tail = negation;
            else if (x.negated)
                word.translation += " " + negation;
        } else {
            word.translation = base;
        }
        word.found = true;
    };

    for (std::size_t i = 0; i < n; ++i) {
        SentenceWord& word = words[i];
        if (word.clauseStart) {
            finishClause(i);
            subjectPerson = 3;
            subjectPlural = false;
            subjectSeen = false;
            subjectGender = 'm';
        }
        Word& x = w[i];
        switch (x.kind) {
        case Kind::Pronoun:
            subjectPerson = x.person;
            subjectPlural = x.plural;
            subjectSeen = true;
            subjectGender = word.key == Ru("она") ? 'f' : word.key == Ru("оно") ? 'n' : 'm';
            break;
        case Kind::At:
            if (i + 1 < n && (w[i + 1].kind == Kind::OwnerPronoun || w[i + 1].kind == Kind::Noun)) {
                word.dropped = true;
                word.translation.clear();
            }
            break;
        case Kind::OwnerPronoun: {
            word.translation = x.english;
            bool has = i + 1 < n && w[i + 1].kind == Kind::Exists;
            if (has) {
                words[i + 1].translation = target.Have(x.person, x.plural);
                words[i + 1].found = true;
                w[i + 1].kind = Kind::Other;
            } else {
                word.translation += " " + target.Have(x.person, x.plural);
            }
            word.found = true;
            break;
        }
        case Kind::Exists:
            word.translation = target.ThereIs();
            // German keeps the verb second: "Im Zimmer gibt es einen Tisch".
            if (german && i > clause)
                word.translation = "gibt es";
            word.found = true;
            break;
        case Kind::Not:
            if (i + 1 < n && w[i + 1].kind == Kind::Verb && Finite(w[i + 1].slot)) {
                int slot = w[i + 1].slot;
                bool past = slot >= 7 && slot <= 10;
                bool third = slot == slot::Present(3, false);
                if (target.English()) {
                    word.translation = past ? "did not" : third ? "does not" : "do not";
                    w[i + 1].slot = slot::kInfinitive; // the base form after "do"
                    w[i + 1].kind = Kind::Other;
                    w[i + 1].mayBeVerb = true;
                    words[i + 1].translation = w[i + 1].english;
                } else {
                    // "nicht" after the verb; "ne" before it and "pas" after.
                    w[i + 1].negated = true;
                    word.dropped = m_language == kLangGerman;
                    word.translation = m_language == kLangGerman ? std::string() : std::string("ne");
                }
            }
            break;
        case Kind::Noun: {
            if (western) {
                westernPhrase(i);
                subjectPlural = subjectPlural || (subjectSeen && x.plural && x.nounCase == Case::Nominative);
                break;
            }
            std::string english = x.english;
            if (x.plural && SingleWord(english) && target.English())
                english = EnglishPlural(english);
            // An article where Russian has no determiner, before the adjectives of the phrase.
            std::size_t start = i;
            while (start > 0 && w[start - 1].kind == Kind::Adjective)
                --start;
            bool determined =
                start > 0 && (w[start - 1].kind == Kind::Determiner || w[start - 1].kind == Kind::Pronoun ||
                              w[start - 1].kind == Kind::OwnerPronoun);
            word.translation = english;
            // "a" where the thing is new to the reader: a predicate ("is a doctor"), what "есть" or
            // "have" introduce, an object or place with an adjective; "the" elsewhere. An indefinite
            // plural takes none.
            bool preposition = start > 0 && w[start - 1].kind == Kind::Preposition;
            bool existential = start > 0 && (words[start - 1].key == Ru("есть") || w[start - 1].kind == Kind::Have);
            bool nominative = x.nounCase == Case::Nominative && !preposition;
            bool subject = nominative && !subjectSeen && !existential;
            bool predicate = nominative && subjectSeen && !clauseHasVerb[i];
            bool ofPhrase = x.nounCase == Case::Genitive && start > 0 && w[start - 1].kind == Kind::Noun;
            bool indefinite = !subject && !ofPhrase && (predicate || existential || start < i);
            if (!determined && !words[start].translation.empty()) {
                const std::string& first = words[start].translation;
                bool vowel = std::strchr("aeiouAEIOU", first[0]) != nullptr;
                if (!indefinite)
                    words[start].translation = "the " + first;
                else if (!x.plural)
                    words[start].translation = (vowel ? "an " : "a ") + first;
            }
            if (subject)
                subjectSeen = true;
            // A genitive after a noun: "конце улицы", "the end of the street".
            if (x.nounCase == Case::Genitive && start > 0 && w[start - 1].kind == Kind::Noun && target.English())
                words[start].translation = "of " + words[start].translation;
            break;
        }
        case Kind::Have:
        case Kind::Verb: {
            std::string english = x.kind == Kind::Have ? (target.English()            ? std::string("have")
                                                          : m_language == kLangGerman ? std::string("haben")
                                                                                      : std::string("avoir"))
                                                       : x.english;
            if (!SingleWord(english)) {
                word.translation = english;
                break;
            }
            if (western) {
                westernVerb(i, english);
                break;
            }
            int slot = x.slot;
            if (slot == slot::kInfinitive) {
                bool afterVerb = i > 0 && (w[i - 1].kind == Kind::Verb || w[i - 1].kind == Kind::Other);
                word.translation =
                    afterVerb && i > 0 && w[i - 1].kind == Kind::Verb && target.English() ? "to " + english : english;
            } else if (slot >= 7 && slot <= 10 && target.English()) {
                word.translation = EnglishPast(english);
            } else if (slot >= 7 && slot <= 10) {
                // No past of German or French is generated: the present stands for it.
                bool plural = slot == 10;
                word.translation = target.Present(english, subjectPerson, plural || subjectPlural);
            } else if (slot == 11 || slot == 12) {
                word.translation = english;
            } else if (slot >= 1 && slot <= 6) {
                int person = slot > 3 ? slot - 3 : slot;
                bool plural = slot > 3;
                if (x.perfective && target.English())
                    word.translation = "will " + english;
                else
                    word.translation = target.Present(english, person, plural);
            }
            if (x.negated)
                word.translation += m_language == kLangGerman ? " nicht" : " pas";
            word.found = true;
            break;
        }
        case Kind::Adjective:
            // A French predicate agrees with its subject: "La maison est grande".
            if (western && !german && (i + 1 >= n || (w[i + 1].kind != Kind::Noun && w[i + 1].kind != Kind::Adjective)))
                word.translation = grammar.Adjective(x.english, subjectGender, subjectPlural, WesternCase::Nominative,
                                                     Determination::None, false, "");
            break;
        default:
            break;
        }
    }
    finishClause(n);
    // German keeps the verb second: after an adverb or a place first, the subject pronoun goes
    // behind the verb ("Gestern waren wir im Wald").
    for (std::size_t i = 1; german && i + 1 < n; ++i) {
        std::size_t first = i - 1;
        while (first > 0 && !words[first].clauseStart)
            --first;
        bool verb = w[i + 1].kind == Kind::Verb || w[i + 1].kind == Kind::Have;
        if (w[i].kind != Kind::Pronoun || !verb || words[i + 1].clauseStart || words[i].clauseStart ||
            w[first].kind == Kind::Pronoun || words[i].dropped || words[i + 1].dropped)
            continue;
        bool opening = w[first].kind == Kind::Other || w[first].kind == Kind::Preposition;
        if (!opening)
            continue;
        std::swap(words[i].translation, words[i + 1].translation);
        words[i].found = words[i + 1].found = true;
    }
    // French elision: "je aime" -> "j'aime", "ne a" -> "n'a".
    for (std::size_t i = 0; western && i + 1 < n; ++i) {
        std::size_t next = i + 1;
        while (next < n && words[next].dropped && !words[next].clauseStart)
            ++next;
        if (words[i].dropped || next >= n || words[next].clauseStart || words[next].dropped ||
            !SingleWord(words[i].translation))
            continue;
        std::string elided = grammar.Elided(words[i].translation, words[next].translation);
        if (elided.empty())
            continue;
        words[i].translation = elided + words[next].translation;
        words[i].found = true;
        words[next].dropped = true;
        words[next].translation.clear();
    }
    (void)subjectPerson;
    (void)subjectPlural;
}

} // namespace mtengine
