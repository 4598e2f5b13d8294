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
    int partOfSpeech = 0;    // the sense's own part of speech when the entry names one there; 0 otherwise
};

struct Part {
    int partOfSpeech = 0;      // the engine's code; 0 when unknown
    std::string transcription; // of this part, when the entry gives one here (a homonym, a verb's own)
    std::string note;          // grammar notes of the part (gender, forms, labels)
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

// Whether the source text of an entry names a part of speech the engine has a code for, wherever it
// does ("_v." in a Mueller entry, "<n>" in a FreeDict header).
bool SourceNamesPartOfSpeech(EntryStyle style, const std::string& body);

} // namespace dicbuild
