// Russian into English beyond word by word, one sentence at a time: each Russian form read into its
// lemma, case, number, person and tense (the forms table); the sense of the part of speech it is;
// English nouns in their number with an article where Russian has no determiner ("a" for what is
// new: a predicate, what "есть" introduces, a phrase with an adjective), "of" before a genitive that
// follows a noun, verbs in the person and tense of the source, "не" as "do not" before a verb,
// "is"/"are" put back where Russian leaves the present of "to be" out, "у меня есть" as "I have"; a
// short form ("открыто") as its adjective. Into German and French (WesternGrammar.h) the same
// analysis gives articles in the noun's gender and case, plurals, adjectives agreeing (French ones
// after the noun but for a few), the verb's person, the past as the perfect, "to be", "to have", the
// negation round the verb and German's verb second. Words whose dictionary article names no part of
// speech keep their word-by-word translation.
#pragma once

#include "DictionaryTable.h"
#include "IntoRussian.h"

#include <functional>
#include <string>
#include <vector>

namespace mtengine {

class FromRussian {
public:
    // The dictionary article of a lowercase Russian word (Cyrillic plane); null when there is none.
    using Lookup = std::function<const DictionaryEntry*(const std::string&)>;

    // targetLanguage: English, or German or French.
    explicit FromRussian(Lookup lookup, unsigned targetLanguage = kLangEnglishSource)
        : m_lookup(std::move(lookup)), m_language(targetLanguage) {}

    // Gives each word of one sentence its English form, or drops it.
    void Shape(std::vector<SentenceWord>& words) const;

private:
    Lookup m_lookup;
    unsigned m_language;
};

} // namespace mtengine
