// Glossary files of the engine: UTF-8 text, an optional first line "[display name]", then lines
// "source = target" (a word or a run of words and its translation; an empty target drops the word),
// "#" comment lines and empty lines. Keys are kept lowercase in the source plane, translations in the
// target plane.
#pragma once

#include "EnginePrivate.h"

#include <unordered_map>

namespace mtengine {

struct Glossary {
    std::wstring displayName;
    std::unordered_map<std::string, std::string> entries;
};

// False when the file cannot be read, is larger than a glossary can be, or has a line without " = ".
bool ReadGlossary(const std::wstring& path, Plane source, Plane target, Glossary* glossary);

// The most words a key of a glossary or dictionary may have for the translator to find it.
constexpr int kMaxPhraseWords = 4;

} // namespace mtengine
