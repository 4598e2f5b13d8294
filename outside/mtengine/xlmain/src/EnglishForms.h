// English analysis: the base forms an inflected word may come from, with what the ending said
// (plural, third person, past, "-ing", comparison), the irregular forms first (WordNet's exception
// lists, turned into a table at build time), then the regular endings in the order that tries "note"
// before "not" for "noted" and "hop" before "hope" for "hopped". Text lowercase, Western plane.
#pragma once

#include <string>
#include <vector>

namespace mtengine {

enum class EnglishForm { Base, Plural, ThirdPerson, Past, Ing, Comparative, Superlative, Possessive, Adverb };

struct EnglishReading {
    std::string base;
    EnglishForm form;
    char kind; // 'n' noun, 'v' verb, 'a' adjective: what the ending or the exception list says; 0 any
};

// The word itself (as a base form) first, then every reading of it as an inflected form.
std::vector<EnglishReading> ReadEnglish(const std::string& word);

// How common a lowercase word or phrase is (WordNet's sense counts, summed over a lemma's senses):
// the count of its commonest reading; 0 for one never counted.
unsigned EnglishFrequency(const std::string& text);

// The English forms of a base: the plural of a noun, the third person, past and "-ing" of a verb,
// irregular ones from the exception table.
std::string EnglishPlural(const std::string& noun);
std::string EnglishThirdPerson(const std::string& verb);
std::string EnglishPast(const std::string& verb);

} // namespace mtengine
