// The sentence pass out of Russian: analysis, senses, articles, verb forms and "to be".
#include "FromRussian.h"

#include "EnginePrivate.h"
#include "EnglishForms.h"
#include "RussianForms.h"

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

    // A verb's present in a person; regular endings, and the few verbs every sentence needs.
    std::string Present(const std::string& verb, int person, bool plural) const {
        int index = (plural ? 3 : 0) + person - 1;
        if (English())
            return person == 3 && !plural ? EnglishThirdPerson(verb) : verb;
        auto ends = [&](const char* e) {
            return verb.size() > std::strlen(e) &&
                   verb.compare(verb.size() - std::strlen(e), std::string::npos, e) == 0;
        };
        if (language == kLangGerman) {
            if (verb == "sein")
                return Be(person, plural);
            if (verb == "haben")
                return Have(person, plural);
            std::string stem = ends("en")  ? verb.substr(0, verb.size() - 2)
                               : ends("n") ? verb.substr(0, verb.size() - 1)
                                           : verb;
            bool dental = !stem.empty() && (stem.back() == 't' || stem.back() == 'd');
            static const char* const kEndings[] = {"e", "st", "t", "en", "t", "en"};
            static const char* const kDental[] = {"e", "est", "et", "en", "et", "en"};
            return index == 3 || index == 5 ? verb : stem + (dental ? kDental[index] : kEndings[index]);
        }
        if (verb == We("être"))
            return Be(person, plural);
        if (verb == "avoir")
            return Have(person, plural);
        static const char* const kAller[] = {"vais", "vas", "va", "allons", "allez", "vont"};
        static const char* const kFaire[] = {"fais", "fais", "fait", "faisons", "faites", "font"};
        if (verb == "aller")
            return kAller[index];
        if (verb == "faire")
            return kFaire[index];
        std::string stem = verb.substr(0, verb.size() >= 2 ? verb.size() - 2 : 0);
        if (ends("er")) {
            static const char* const kEndings[] = {"e", "es", "e", "ons", "ez", "ent"};
            std::string ending = kEndings[index];
            if (index == 3 && !stem.empty() && stem.back() == 'g')
                ending = "eons"; // "mangeons"
            return stem + ending;
        }
        if (ends("ir")) {
            static const char* const kEndings[] = {"is", "is", "it", "issons", "issez", "issent"};
            return stem + kEndings[index];
        }
        if (ends("re")) {
            static const char* const kEndings[] = {"s", "s", "", "ons", "ez", "ent"};
            return stem + kEndings[index];
        }
        return verb;
    }
};

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
        for (const RussianForms::Analysis& analysis : analyses) {
            const DictionaryEntry* entry = m_lookup(analysis.lemma);
            if (entry == nullptr)
                continue;
            int rank = 100;
            if (analysis.entry.kind == 'v')
                rank = Finite(analysis.slot) || analysis.slot == slot::kInfinitive ? 10 : 30;
            else if (analysis.entry.kind == 'n') {
                Case c = static_cast<Case>(analysis.slot % 6);
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
        if (best == nullptr)
            continue;
        const DictionaryEntry* entry = m_lookup(best->lemma);
        char kind = best->entry.kind;
        // A word whose article is first of all an adverb ("сегодня") is kept as the word-by-word
        // pass gave it.
        if (!entry->senses.empty() && entry->senses.front().first >= kPosAdverb)
            continue;
        if (kind == 'a' && IsOneOf(best->lemma, std::begin(kDeterminers), std::end(kDeterminers))) {
            w[i].kind = Kind::Determiner;
            continue;
        }
        unsigned char pos = kind == 'n' ? kPosNoun : kind == 'v' ? kPosVerb : kPosAdjective;
        const std::string* sense = SenseOf(entry, pos);
        std::string english = sense != nullptr ? *sense : entry->translation;
        if (word.glossary && word.found)
            english = word.translation;
        w[i].english = english;
        if (kind == 'n') {
            w[i].kind = Kind::Noun;
            w[i].plural = best->slot >= 6;
            w[i].nounCase = static_cast<Case>(best->slot % 6);
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
    std::size_t clause = 0;
    auto finishClause = [&](std::size_t end) {
        bool verb = false;
        std::size_t subjectEnd = end;
        bool subjectPlural = false;
        int subjectPerson = 3;
        std::size_t lastOpen = end;
        for (std::size_t i = clause; i < end; ++i) {
            verb = verb || w[i].kind == Kind::Verb || w[i].kind == Kind::Have || w[i].kind == Kind::Exists ||
                   w[i].mayBeVerb || w[i].kind == Kind::OwnerPronoun || (!words[i].found && !words[i].dropped);
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
            words[lastOpen].translation = be + " " + words[lastOpen].translation;
        } else if (!verb && subjectEnd + 1 < end && !words[subjectEnd].dropped) {
            words[subjectEnd].translation += " " + be;
            words[subjectEnd].found = true;
        }
        clause = end;
    };

    int subjectPerson = 3;
    bool subjectPlural = false;
    for (std::size_t i = 0; i < n; ++i) {
        SentenceWord& word = words[i];
        if (word.clauseStart) {
            finishClause(i);
            subjectPerson = 3;
            subjectPlural = false;
        }
        Word& x = w[i];
        switch (x.kind) {
        case Kind::Pronoun:
            subjectPerson = x.person;
            subjectPlural = x.plural;
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
            if (!determined && !words[start].translation.empty() && target.English())
                words[start].translation = "the " + words[start].translation;
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
        default:
            break;
        }
    }
    finishClause(n);
    (void)subjectPerson;
    (void)subjectPlural;
}

} // namespace mtengine
