// German and French forms out of Russian, over the forms tables.
#include "WesternGrammar.h"

#include "EnginePrivate.h"
#include "WesternForms.h"

#include <cstring>
#include <span>

namespace mtengine {

namespace {

std::string We(const char* utf8) {
    return FromUtf8(Plane::Western, utf8);
}

bool EndsWith(const std::string& word, const char* ending) {
    std::size_t length = std::strlen(ending);
    return word.size() > length && word.compare(word.size() - length, length, ending) == 0;
}

// A German noun from the table in lowercase gets the capital back.
std::string LikeCase(const std::string& form, const std::string& model) {
    std::string result = form;
    if (!result.empty() && !model.empty() && IsUpper(Plane::Western, static_cast<unsigned char>(model[0])))
        result[0] = static_cast<char>(ToUpper(Plane::Western, static_cast<unsigned char>(result[0])));
    return result;
}

bool StartsWithVowel(const std::string& word) {
    static const std::string vowels = We("aeiouyhéèêàâîôûœAEIOUYHÉÈÊÀÂÎÔÛŒ");
    return !word.empty() && vowels.find(word[0]) != std::string::npos;
}

int Index(int person, bool plural) {
    return (plural ? 3 : 0) + person - 1;
}

} // namespace

bool WesternGrammar::German() const {
    return m_language == kLangGerman;
}

char WesternGrammar::Gender(const std::string& noun) const {
    const WesternForms* forms = WesternForms::Of(m_language);
    const WesternLemma* entry = forms != nullptr ? forms->Find(Lowercase(Plane::Western, noun), 'n') : nullptr;
    if (entry != nullptr && entry->gender != 0)
        return entry->gender;
    // French nouns the table lacks ("chatte"): the endings most feminines have.
    static const char* const kFeminine[] = {"tion", "sion", "t\xE9", "\xE9e", "tte", "ance", "ence", "ure",
                                            "ie",   "elle", "esse",  "ise",   "ine", "ade",  "ude",  "ette"};
    for (const char* ending : kFeminine) {
        if (!German() && EndsWith(Lowercase(Plane::Western, noun), ending))
            return 'f';
    }
    return 'm';
}

std::string WesternGrammar::Number(const std::string& noun, bool plural) const {
    if (!plural || noun.empty() || noun.find(' ') != std::string::npos)
        return noun;
    const WesternForms* forms = WesternForms::Of(m_language);
    std::string key = Lowercase(Plane::Western, noun);
    if (const WesternLemma* entry = forms != nullptr ? forms->Find(key, 'n') : nullptr) {
        std::string form = forms->Form(key, *entry, western::kPlural);
        if (!form.empty())
            return LikeCase(form, noun);
    }
    if (German() || EndsWith(noun, "s") || EndsWith(noun, "x") || EndsWith(noun, "z"))
        return noun;
    return noun + "s";
}

std::string WesternGrammar::Article(bool definite, char gender, bool plural, WesternCase c,
                                    const std::string& word) const {
    if (!German()) {
        if (plural)
            return definite ? "les" : "des";
        if (definite && StartsWithVowel(word))
            return "l'";
        return definite ? (gender == 'f' ? "la" : "le") : (gender == 'f' ? "une" : "un");
    }
    // Rows: nominative, accusative, dative, genitive; columns: masculine, feminine, neuter, plural.
    static const char* const kDefinite[4][4] = {{"der", "die", "das", "die"},
                                                {"den", "die", "das", "die"},
                                                {"dem", "der", "dem", "den"},
                                                {"des", "der", "des", "der"}};
    static const char* const kIndefinite[4][4] = {{"ein", "eine", "ein", ""},
                                                  {"einen", "eine", "ein", ""},
                                                  {"einem", "einer", "einem", ""},
                                                  {"eines", "einer", "eines", ""}};
    int column = plural ? 3 : gender == 'f' ? 1 : gender == 'n' ? 2 : 0;
    return (definite ? kDefinite : kIndefinite)[static_cast<int>(c)][column];
}

std::string WesternGrammar::Contraction(const std::string& preposition, const std::string& article) const {
    struct Contracted {
        const char* preposition;
        const char* article;
        const char* together;
    };
    static const Contracted kGerman[] = {{"in", "dem", "im"},   {"in", "das", "ins"},  {"an", "dem", "am"},
                                         {"an", "das", "ans"},  {"zu", "dem", "zum"},  {"zu", "der", "zur"},
                                         {"von", "dem", "vom"}, {"bei", "dem", "beim"}};
    static const Contracted kFrench[] = {
        {"\xE0", "le", "au"}, {"\xE0", "les", "aux"}, {"de", "le", "du"}, {"de", "les", "des"}};
    const Contracted* begin = German() ? std::begin(kGerman) : std::begin(kFrench);
    const Contracted* end = German() ? std::end(kGerman) : std::end(kFrench);
    std::string lower = Lowercase(Plane::Western, preposition);
    for (const Contracted* c = begin; c != end; ++c) {
        if (lower == c->preposition && article == c->article)
            return c->together;
    }
    return {};
}

std::string WesternGrammar::Determiner(const std::string& determiner, char gender, bool plural, WesternCase c,
                                       const std::string& next) const {
    std::string lower = Lowercase(Plane::Western, determiner);
    int column = plural ? 3 : gender == 'f' ? 1 : gender == 'n' ? 2 : 0;
    int row = static_cast<int>(c);
    if (German()) {
        static const char* const kPossessives[] = {"mein", "dein", "sein", "ihr", "unser", "euer", "kein"};
        // Rows: nominative, accusative, dative, genitive; columns: masculine, feminine, neuter, plural.
        static const char* const kPossessive[4][4] = {
            {"", "e", "", "e"}, {"en", "e", "", "e"}, {"em", "er", "em", "en"}, {"es", "er", "es", "er"}};
        static const char* const kDemonstrative[4][4] = {
            {"er", "e", "es", "e"}, {"en", "e", "es", "e"}, {"em", "er", "em", "en"}, {"es", "er", "es", "er"}};
        std::string stem;
        const char* const(*table)[4] = kPossessive;
        for (const char* possessive : kPossessives) {
            if (lower.compare(0, std::strlen(possessive), possessive) == 0 &&
                lower.size() <= std::strlen(possessive) + 2)
                stem = possessive;
        }
        if (stem.empty() && lower.compare(0, 4, "dies") == 0 && lower.size() <= 6) {
            stem = "dies";
            table = kDemonstrative;
        }
        if (stem.empty())
            return determiner;
        return LikeCase(stem + table[row][column], determiner);
    }
    struct French {
        const char* masculine;
        const char* feminine;
        const char* plural;
    };
    static const French kFrench[] = {{"mon", "ma", "mes"},      {"ton", "ta", "tes"},      {"son", "sa", "ses"},
                                     {"notre", "notre", "nos"}, {"votre", "votre", "vos"}, {"leur", "leur", "leurs"},
                                     {"ce", "cette", "ces"}};
    for (const French& f : kFrench) {
        if (lower != f.masculine && lower != f.feminine && lower != f.plural)
            continue;
        std::string form = plural ? f.plural : gender == 'f' ? f.feminine : f.masculine;
        if (!plural && StartsWithVowel(next))
            form = lower == "ce" || lower == "cette" || lower == "ces" ? (gender == 'f' ? "cette" : "cet")
                                                                       : std::string(f.masculine);
        return LikeCase(form, determiner);
    }
    return determiner;
}

bool WesternGrammar::BeforeNoun(const std::string& adjective) const {
    static const char* const kBefore[] = {"petit",   "grand",   "bon",     "beau",     "nouveau", "vieux",
                                          "jeune",   "joli",    "mauvais", "gros",     "long",    "haut",
                                          "premier", "dernier", "autre",   "meilleur", "vrai",    "seul"};
    if (German())
        return true;
    for (const char* word : kBefore) {
        if (adjective == word)
            return true;
    }
    return false;
}

std::string WesternGrammar::Adjective(const std::string& adjective, char gender, bool plural, WesternCase c,
                                      Determination determination, bool attributive, const std::string& next) const {
    if (adjective.empty() || adjective.find(' ') != std::string::npos)
        return adjective;
    if (German()) {
        if (!attributive)
            return adjective;
        int column = plural ? 3 : gender == 'f' ? 1 : gender == 'n' ? 2 : 0;
        int row = static_cast<int>(c);
        // Rows: nominative, accusative, dative, genitive; columns: masculine, feminine, neuter, plural.
        static const char* const kWeak[4][4] = {
            {"e", "e", "e", "en"}, {"en", "e", "e", "en"}, {"en", "en", "en", "en"}, {"en", "en", "en", "en"}};
        static const char* const kMixed[4][4] = {
            {"er", "e", "es", "en"}, {"en", "e", "es", "en"}, {"en", "en", "en", "en"}, {"en", "en", "en", "en"}};
        static const char* const kStrong[4][4] = {
            {"er", "e", "es", "e"}, {"en", "e", "es", "e"}, {"em", "er", "em", "en"}, {"en", "er", "en", "er"}};
        const char* ending = (determination == Determination::Definite     ? kWeak
                              : determination == Determination::Indefinite ? kMixed
                                                                           : kStrong)[row][column];
        std::string stem = adjective;
        if (stem.back() == 'e')
            stem.pop_back(); // "leise" -> "leisen"
        return stem + ending;
    }
    bool feminine = gender == 'f';
    const WesternForms* forms = WesternForms::Of(m_language);
    std::string key = Lowercase(Plane::Western, adjective);
    std::string form;
    if (const WesternLemma* entry = forms != nullptr ? forms->Find(key, 'a') : nullptr)
        form = forms->Form(key, *entry,
                           plural ? (feminine ? western::kFemininePlural : western::kMasculinePlural)
                                  : (feminine ? western::kFeminine : western::kMasculine));
    // Adjectives whose French generator lemma is another form ("vieil" for "vieux"); typed by hand.
    static const char* const kIrregular[][4] = {{"vieux", "vieille", "vieux", "vieilles"},
                                                {"fou", "folle", "fous", "folles"},
                                                {"mou", "molle", "mous", "molles"}};
    for (const auto& forms4 : kIrregular) {
        if (form.empty() && key == forms4[0])
            form = forms4[plural ? (feminine ? 3 : 2) : (feminine ? 1 : 0)];
    }
    if (form.empty()) {
        form = adjective;
        if (feminine && !EndsWith(form, "e"))
            form += "e";
        if (plural && !EndsWith(form, "s") && !EndsWith(form, "x"))
            form += "s";
    }
    // "nouvel appartement", "vieil homme", "bel oiseau".
    if (attributive && !feminine && !plural && StartsWithVowel(next)) {
        if (form == "nouveau")
            return "nouvel";
        if (form == "vieux")
            return "vieil";
        if (form == "beau")
            return "bel";
    }
    return form;
}

bool WesternGrammar::MassNoun(const std::string& noun) const {
    static const char* const kMass[] = {"pain",  "lait",   "eau",      "café",    "thé",      "vin",   "bière",
                                        "jus",   "viande", "poisson",  "fromage", "beurre",   "sucre", "sel",
                                        "riz",   "soupe",  "chocolat", "farine",  "huile",    "miel",  "confiture",
                                        "crème", "argent", "musique",  "courage", "patience", "neige", "pluie"};
    static const char* const kGermanMass[] = {"brot",  "milch",   "kaffee",     "tee",  "wasser", "wein",   "bier",
                                              "saft",  "fleisch", "fisch",      "käse", "butter", "zucker", "salz",
                                              "reis",  "suppe",   "schokolade", "mehl", "öl",     "honig",  "marmelade",
                                              "sahne", "geld",    "musik",      "mut",  "geduld", "schnee", "regen"};
    std::string lower = Lowercase(Plane::Western, noun);
    for (const char* word :
         German() ? std::span<const char* const>(kGermanMass) : std::span<const char* const>(kMass)) {
        if (lower == We(word))
            return true;
    }
    return false;
}

bool WesternGrammar::LikingVerb(const std::string& verb) const {
    static const char* const kLiking[] = {"aimer", "adorer", "préférer", "détester", "haïr"};
    for (const char* word : kLiking) {
        if (verb == We(word))
            return true;
    }
    return false;
}

std::string WesternGrammar::Partitive(char gender, bool negated, const std::string& word) const {
    if (negated)
        return StartsWithVowel(word) ? "d'" : "de";
    if (StartsWithVowel(word))
        return "de l'";
    return gender == 'f' ? "de la" : "du";
}

std::string WesternGrammar::Be(int person, bool plural) const {
    static const char* const kGerman[] = {"bin", "bist", "ist", "sind", "seid", "sind"};
    static const char* const kFrench[] = {"suis", "es", "est", "sommes", "\xEAtes", "sont"};
    return (German() ? kGerman : kFrench)[Index(person, plural)];
}

std::string WesternGrammar::Have(int person, bool plural) const {
    static const char* const kGerman[] = {"habe", "hast", "hat", "haben", "habt", "haben"};
    static const char* const kFrench[] = {"ai", "as", "a", "avons", "avez", "ont"};
    return (German() ? kGerman : kFrench)[Index(person, plural)];
}

std::string WesternGrammar::Present(const std::string& verb, int person, bool plural) const {
    int index = Index(person, plural);
    const WesternForms* forms = WesternForms::Of(m_language);
    const WesternLemma* entry = forms != nullptr ? forms->Find(verb, 'v') : nullptr;
    if (German()) {
        if (verb == "sein")
            return Be(person, plural);
        if (verb == "haben")
            return Have(person, plural);
        std::string third = entry != nullptr ? forms->Form(verb, *entry, western::kGermanThirdPerson) : std::string();
        bool modal = !third.empty() && !EndsWith(third, "t"); // "kann", "muss", "weiß"
        if (!third.empty() && !plural && (person == 3 || (person == 1 && modal)))
            return third;
        if (!third.empty() && !plural && person == 2) {
            std::string base = modal ? third : third.substr(0, third.size() - 1);
            char last = base.back();
            bool sibilant = last == 's' || last == 'z' || last == 'x' || last == '\xDF';
            return base + (sibilant ? "t" : "st");
        }
        std::string stem = EndsWith(verb, "en")  ? verb.substr(0, verb.size() - 2)
                           : EndsWith(verb, "n") ? verb.substr(0, verb.size() - 1)
                                                 : verb;
        bool dental = !stem.empty() && (stem.back() == 't' || stem.back() == 'd');
        static const char* const kEndings[] = {"e", "st", "t", "en", "t", "en"};
        static const char* const kDental[] = {"e", "est", "et", "en", "et", "en"};
        return index == 3 || index == 5 ? verb : stem + (dental ? kDental[index] : kEndings[index]);
    }
    if (entry != nullptr) {
        std::string form = forms->Form(verb, *entry, western::FrenchPresent(person, plural));
        if (!form.empty())
            return form;
    }
    if (verb == We("être"))
        return Be(person, plural);
    if (verb == "avoir")
        return Have(person, plural);
    std::string stem = verb.substr(0, verb.size() >= 2 ? verb.size() - 2 : 0);
    if (EndsWith(verb, "er")) {
        static const char* const kEndings[] = {"e", "es", "e", "ons", "ez", "ent"};
        std::string ending = kEndings[index];
        if (index == 3 && !stem.empty() && stem.back() == 'g')
            ending = "eons"; // "mangeons"
        return stem + ending;
    }
    if (EndsWith(verb, "ir")) {
        static const char* const kEndings[] = {"is", "is", "it", "issons", "issez", "issent"};
        return stem + kEndings[index];
    }
    if (EndsWith(verb, "re")) {
        static const char* const kEndings[] = {"s", "s", "", "ons", "ez", "ent"};
        return stem + kEndings[index];
    }
    return verb;
}

std::string WesternGrammar::SimplePast(const std::string& verb, int person, bool plural) const {
    int index = Index(person, plural);
    if (German()) {
        static const char* const kSein[] = {"war", "warst", "war", "waren", "wart", "waren"};
        static const char* const kHaben[] = {"hatte", "hattest", "hatte", "hatten", "hattet", "hatten"};
        return verb == "sein" ? kSein[index] : verb == "haben" ? kHaben[index] : verb;
    }
    const WesternForms* forms = WesternForms::Of(m_language);
    if (const WesternLemma* entry = forms != nullptr ? forms->Find(verb, 'v') : nullptr) {
        std::string form = forms->Form(verb, *entry, western::FrenchImperfect(person, plural));
        if (!form.empty())
            return form;
    }
    return verb;
}

std::string WesternGrammar::PerfectAuxiliary(const std::string& verb, int person, bool plural) const {
    const WesternForms* forms = WesternForms::Of(m_language);
    const WesternLemma* entry = forms != nullptr ? forms->Find(verb, 'v') : nullptr;
    return entry != nullptr && entry->auxiliaryBe ? Be(person, plural) : Have(person, plural);
}

std::string WesternGrammar::Participle(const std::string& verb, bool feminine, bool plural) const {
    const WesternForms* forms = WesternForms::Of(m_language);
    const WesternLemma* entry = forms != nullptr ? forms->Find(verb, 'v') : nullptr;
    if (entry != nullptr) {
        bool agrees = !German() && entry->auxiliaryBe;
        std::string form = forms->Form(verb, *entry,
                                       German() ? western::kGermanParticiple
                                                : western::FrenchParticiple(agrees && feminine, agrees && plural));
        if (!form.empty())
            return form;
    }
    if (German()) {
        // A prefixed verb the table lacks takes the participle of the verb after its prefix:
        // "durchlesen" -> "durchgelesen", "verkaufen" -> "verkauft".
        static const char* const kInseparable[] = {"be", "ge", "er", "ver", "zer", "ent", "emp", "miss"};
        for (std::size_t cut = 2; forms != nullptr && cut + 4 <= verb.size(); ++cut) {
            std::string rest = verb.substr(cut);
            const WesternLemma* inner = forms->Find(rest, 'v');
            std::string participle = inner != nullptr ? forms->Form(rest, *inner, western::kGermanParticiple) : "";
            if (participle.empty())
                continue;
            std::string prefix = verb.substr(0, cut);
            for (const char* p : kInseparable) {
                if (prefix == p && participle.compare(0, 2, "ge") == 0)
                    return prefix + participle.substr(2);
            }
            return prefix + participle;
        }
        std::string stem = EndsWith(verb, "en") ? verb.substr(0, verb.size() - 2) : verb;
        return "ge" + stem + (!stem.empty() && (stem.back() == 't' || stem.back() == 'd') ? "et" : "t");
    }
    if (EndsWith(verb, "er"))
        return verb.substr(0, verb.size() - 2) + "\xE9";
    if (EndsWith(verb, "ir"))
        return verb.substr(0, verb.size() - 1);
    return verb;
}

std::string WesternGrammar::Elided(const std::string& word, const std::string& next) const {
    static const char* const kElided[] = {"je", "ne", "le", "la", "de", "me", "te", "se", "que"};
    if (German() || !StartsWithVowel(next))
        return {};
    std::string lower = Lowercase(Plane::Western, word);
    for (const char* elided : kElided) {
        if (lower == elided)
            return word.substr(0, word.size() - 1) + "'";
    }
    return {};
}

} // namespace mtengine
