// What dicbuild makes of a dictionary entry before it becomes article bytes: the headword with its
// transcription, its parts (one per part of speech) and their senses. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace dicbuild {

struct Sense {
    std::string translation; // target-language text
    std::string label;       // shown in parentheses ("refl.", "книж.")
    std::string note;        // examples or a definition, shown after the translation
};

struct Part {
    int partOfSpeech = 0; // the engine's code; 0 when unknown
    std::string note;     // grammar notes of the part (gender, forms)
    std::vector<Sense> senses;
};

struct Headword {
    std::string headword;
    std::string transcription;
    std::vector<Part> parts;
};

// The two entry styles dicbuild understands.
enum class EntryStyle { Mueller, FreeDict };

// Parses one entry's text; false when nothing usable is in it.
bool ParseMuellerEntry(const std::string& headword, const std::string& body, Headword* result);
bool ParseFreeDictEntry(const std::string& headword, const std::string& body, Headword* result);

// The engine's part-of-speech code of an abbreviation ("_n.", "_v.") or a tag ("n", "adj"); 0 when
// it has none.
int PartOfSpeechOfMueller(const std::string& abbreviation);
int PartOfSpeechOfFreeDict(const std::string& tag);

} // namespace dicbuild
