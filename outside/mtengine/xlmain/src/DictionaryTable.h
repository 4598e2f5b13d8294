// The words of a direction's dictionary, read once with the dictionary engine when the translator is
// bound to its folder: every headword (lowercase, source plane) with the first usable translation of
// its article (target plane), cleaned of labels, notes and alternatives.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace mtengine {

class DictionaryTable {
public:
    // Reads the first dictionary of direction code (source << 8 | target) in folder. False when there
    // is none or it cannot be read.
    bool Load(const std::wstring& folder, unsigned short direction, unsigned sourceLanguage);

    // Null when the key is not a headword.
    const std::string* Find(const std::string& key) const {
        auto found = m_entries.find(key);
        return found != m_entries.end() ? &found->second : nullptr;
    }
    std::size_t Size() const { return m_entries.size(); }

    // The translation an article text gives: the text without language runs, parenthesised remarks
    // and markers, cut at its first alternative; empty when nothing usable remains.
    static std::string CleanTranslation(std::string_view text);

private:
    std::unordered_map<std::string, std::string> m_entries;
};

} // namespace mtengine
