// German and French forms written out of Russian: a noun's gender and number, the article its case
// and gender ask for (with German's and French's contractions and elision), adjectives agreeing with
// their noun, verbs in a person and the perfect's participle and auxiliary. The forms tables give
// the irregular forms; regular endings stand in for words they lack. Text in the Western plane.
#pragma once

#include <string>

namespace mtengine {

// The German case a Russian case and its preposition come to (French only tells the definite
// article's contractions apart by it).
enum class WesternCase { Nominative, Accusative, Dative, Genitive };

// What stands before an adjective: its ending depends on it in German.
enum class Determination { None, Definite, Indefinite };

class WesternGrammar {
public:
    explicit WesternGrammar(unsigned language) : m_language(language) {}

    bool German() const;

    // 'm', 'f' or 'n' (German) of a noun as the dictionary writes it; 'm' when the table lacks it.
    char Gender(const std::string& noun) const;
    // The noun in the plural; the noun itself in the singular. A German noun keeps its capital.
    std::string Number(const std::string& noun, bool plural) const;
    // The article before word (the first word of the noun phrase, for French elision): "der",
    // "einem", "l'", "une"; empty for an indefinite plural in German. French elided articles end
    // with the apostrophe and take no space after them.
    std::string Article(bool definite, char gender, bool plural, WesternCase c, const std::string& word) const;
    // A preposition and the article after it made one ("in dem" -> "im", "à le" -> "au"); empty
    // when they stay apart.
    std::string Contraction(const std::string& preposition, const std::string& article) const;
    // An adjective before its noun (German endings by case and determination; French gender and
    // number, "nouvel" before a vowel) or as a predicate (German: no ending).
    std::string Adjective(const std::string& adjective, char gender, bool plural, WesternCase c,
                          Determination determination, bool attributive, const std::string& next) const;
    // A possessive or demonstrative the dictionary gives in its base form ("mein", "dieser", "mon",
    // "ce") agreeing with its noun; other words as they are.
    std::string Determiner(const std::string& determiner, char gender, bool plural, WesternCase c,
                           const std::string& next) const;
    // French: whether an adjective goes before its noun ("petit", "grand", "nouveau").
    bool BeforeNoun(const std::string& adjective) const;
    // A noun of a substance or food, which stands for some of it as an object: French gives it the
    // partitive ("du pain", "de l'eau"), German no article ("kauft Brot"). French: a verb of
    // liking, after which it stays definite ("aime le poisson").
    bool MassNoun(const std::string& noun) const;
    bool LikingVerb(const std::string& verb) const;
    // French partitive article before word: "du", "de la", "de l'"; after a negation "de", "d'".
    // Elided ones end with the apostrophe.
    std::string Partitive(char gender, bool negated, const std::string& word) const;

    // A verb's present in a person (1 to 3); "to be" and "to have" included.
    std::string Present(const std::string& verb, int person, bool plural) const;
    // The past of "to be" and "to have" (German "war", "hatte"; French "était", "avait").
    std::string SimplePast(const std::string& verb, int person, bool plural) const;
    // The perfect: its auxiliary in the person, and the participle (French participles of verbs
    // with "être" agree with the subject).
    std::string PerfectAuxiliary(const std::string& verb, int person, bool plural) const;
    std::string Participle(const std::string& verb, bool feminine, bool plural) const;

    std::string Be(int person, bool plural) const;
    std::string Have(int person, bool plural) const;

    // French elision: "je" + "aime" -> "j'aime", "ne" + "a" -> "n'a"; empty when the word keeps its
    // vowel.
    std::string Elided(const std::string& word, const std::string& next) const;

private:
    unsigned m_language;
};

} // namespace mtengine
