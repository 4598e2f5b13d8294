// Reducing an inflected word to the forms a dictionary lists: per source language, endings to take
// off and what to put in their place, tried in order.
#pragma once

#include "EnglishForms.h"

#include <string>
#include <vector>

namespace mtengine {

// The candidate base forms of a lowercase word (source plane), most likely first; the word itself is
// not among them.
std::vector<std::string> BaseForms(unsigned sourceLanguage, const std::string& word);

// German and French: the readings the forms tables give a lowercase word (Western plane), other than
// the word as its own lemma: the lemma and what the form says (a plural, the third person, a past
// or a participle as Past) with the lemma's class.
std::vector<EnglishReading> ReadWestern(unsigned language, const std::string& word);

} // namespace mtengine
