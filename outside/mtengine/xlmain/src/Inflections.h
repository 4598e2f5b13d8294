// Reducing an inflected word to the forms a dictionary lists: per source language, endings to take
// off and what to put in their place, tried in order.
#pragma once

#include <string>
#include <vector>

namespace mtengine {

// The candidate base forms of a lowercase word (source plane), most likely first; the word itself is
// not among them.
std::vector<std::string> BaseForms(unsigned sourceLanguage, const std::string& word);

} // namespace mtengine
