// The translation itself: the source text (8-bit, source plane) is cut into words, spaces and other
// characters; the longest run of up to four words that a template, the direction's general glossary
// or the dictionary knows is replaced by its translation, an inflected word by the translation of its
// base form; capitalisation follows the source; everything else is kept where it was. The result is a
// list of pieces so that the 8-bit and the wide calls build their output from the same decisions.
#pragma once

#include "DictionaryTable.h"
#include "EnginePrivate.h"
#include "Glossary.h"

#include <string>
#include <vector>

namespace mtengine {

struct Piece {
    enum Kind {
        Copied,       // source characters kept as they are (begin, end)
        Translated,   // text in the target plane
        Untranslated, // a word kept as it is (begin, end): the caller decodes it in the source language
    } kind;
    std::size_t begin = 0, end = 0;
    std::string text;
};

class TranslationCore {
public:
    // Binds to a direction: its general glossary "general.gls" (optional) and its dictionary, both in
    // folder. False when the prefix is not one of the six or the folder has no dictionary of it.
    bool Bind(const std::wstring& folder, const std::string& prefix);
    bool IsBound() const { return m_bound; }
    unsigned SourceLanguage() const { return m_source; }
    unsigned TargetLanguage() const { return m_target; }

    // Cuts source (8-bit, source plane) into pieces. The templates switched on come first.
    std::vector<Piece> Translate(std::string_view source, ITemplateGlossary* templates) const;

private:
    // The translation of a key from the templates (copied into scratch), the general glossary or the
    // dictionary; fromGlossary (when given) tells whether the general glossary gave it.
    const std::string* Find(const std::string& key, ITemplateGlossary* templates, std::string* scratch,
                            bool* fromGlossary = nullptr) const;
    const std::string* FindWord(const std::string& lowercase, ITemplateGlossary* templates, std::string* scratch,
                                bool* fromGlossary = nullptr) const;
    std::string ApplyCase(std::string_view source, const std::string& translation, bool sentenceStart) const;

    bool m_bound = false;
    unsigned m_source = 0, m_target = 0;
    Glossary m_general;
    DictionaryTable m_dictionary;
};

} // namespace mtengine
