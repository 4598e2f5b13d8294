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

} // namespace mtengine
