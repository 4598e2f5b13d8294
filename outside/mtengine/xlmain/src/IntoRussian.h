// English, German and French into Russian beyond word by word, one sentence at a time (English's
// closed classes in full, German's and French's articles, pronouns, "to be", "to have",
// determiners and prepositions): each word's role (a verb after a
// pronoun, "to" or a modal, or for an "-ed"/"-ing" form; a noun after an article or adjective), the
// sense of that part of speech, and Russian forms: nouns in the case their preposition or verb
// governs and in the number of the source, adjectives and determiners agreeing with their noun,
// verbs in the person and number of their subject and in the tense of the source; "to be" dropped
// in the present, "there is", "I have" -> "у меня есть", "to" before a verb and the auxiliaries
// dropped, "not" before the verb. Words whose dictionary article names no part of speech keep the
// translation the word-by-word pass gave them.
#pragma once

#include "DictionaryTable.h"
#include "EnglishForms.h"

#include <functional>
#include <string>
#include <vector>

namespace mtengine {

constexpr unsigned kLangEnglishSource = 1; // the engine's code of English

struct SentenceWord {
    std::string key;         // lowercase source, Western plane (a phrase: its words joined by spaces)
    std::string translation; // what the word-by-word pass found (Cyrillic plane); set by Shape
    bool found = false;
    bool phrase = false;
    bool fixed = false;       // from a template: kept as it is
    bool glossary = false;    // from the direction's general glossary
    bool clauseStart = false; // a comma, colon or the like before it
    bool dropped = false;     // set by Shape: the word has no Russian counterpart
};

class IntoRussian {
public:
    // The dictionary article of a lowercase English word; null when there is none.
    using Lookup = std::function<const DictionaryEntry*(const std::string&)>;

    // sourceLanguage: English, or German or French with their own closed classes (articles,
    // pronouns, "to be", prepositions and the cases they govern) and the same Russian generation.
    explicit IntoRussian(Lookup lookup, unsigned sourceLanguage = kLangEnglishSource)
        : m_lookup(std::move(lookup)), m_language(sourceLanguage) {}

    // Gives each word of one sentence its Russian form, or drops it.
    void Shape(std::vector<SentenceWord>& words) const;

private:
    Lookup m_lookup;
    unsigned m_language;
};

} // namespace mtengine
