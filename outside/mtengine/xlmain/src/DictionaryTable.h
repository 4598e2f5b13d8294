// The words of a direction's dictionary, read once with the dictionary engine when the translator is
// bound to its folder: every headword (lowercase, source plane) with the first usable translation of
// its article (target plane), cleaned of labels, notes and alternatives, and the first usable
// translation of each part of speech the article names.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mtengine {

// The parts of speech the dictionaries name (the dictionary writer's codes).
enum PartOfSpeech : unsigned char {
    kPosNone = 0,
    kPosNoun = 1,
    kPosAdjective = 2,
    kPosVerb = 3,
    kPosNumeral = 4,
    kPosParticiple = 5,
    kPosAdverb = 100,
    kPosPronoun = 101,
    kPosConjunction = 102,
    kPosPreposition = 103,
};

struct DictionaryEntry {
    std::string translation;                                   // the article's first usable one
    std::vector<std::pair<unsigned char, std::string>> senses; // (part of speech, its first one)
};

// The translation of entry's sense of that part of speech; null without an entry or such a sense.
inline const std::string* SenseOf(const DictionaryEntry* entry, unsigned char pos) {
    if (entry == nullptr)
        return nullptr;
    for (const auto& sense : entry->senses) {
        if (sense.first == pos)
            return &sense.second;
    }
    return nullptr;
}

class DictionaryTable {
public:
    // How much a translation (the dictionary's plain coding) of a headword (lowercase, source plane)
    // is preferred; with one, the most preferred of an article's short translations is taken rather
    // than the first.
    using Preference = std::function<unsigned(const std::string& headword, const std::string& translation)>;

    // Reads the first dictionary of direction code (source << 8 | target) in folder. False when there
    // is none or it cannot be read.
    bool Load(const std::wstring& folder, unsigned short direction, unsigned sourceLanguage,
              const Preference& preference = {});

    // Null when the key is not a headword.
    const std::string* Find(const std::string& key) const {
        auto found = m_entries.find(key);
        return found != m_entries.end() ? &found->second.translation : nullptr;
    }
    // A headword with capitals that a lowercase headword of the same letters shares its key with
    // ("Polish" beside "polish"), by its spelling; null for any other.
    const DictionaryEntry* FindCased(const std::string& spelt) const {
        auto found = m_cased.find(spelt);
        return found != m_cased.end() ? &found->second : nullptr;
    }
    const DictionaryEntry* FindEntry(const std::string& key) const {
        auto found = m_entries.find(key);
        return found != m_entries.end() ? &found->second : nullptr;
    }
    std::size_t Size() const { return m_entries.size(); }
    // Whether any article names a part of speech: only then can a word's role choose its sense.
    bool NamesPartsOfSpeech() const { return m_namesPartsOfSpeech; }

    // The translation an article text gives: the text without language runs, parenthesised remarks
    // and markers, cut at its first alternative; empty when nothing usable remains.
    static std::string CleanTranslation(std::string_view text);

private:
    std::unordered_map<std::string, DictionaryEntry> m_entries;
    std::unordered_map<std::string, DictionaryEntry> m_cased;
    bool m_namesPartsOfSpeech = false;
};

} // namespace mtengine
