// UTF-8 text into the 8-bit text of a dictionary: the code page of the language it is written in
// (1251 for Russian, 1252 for the others). A character that code page lacks goes into a language run
// ("%", the language code, a space, the run, "%") of a language whose code page has it; a character
// no supported code page holds is transliterated (Transliteration.cpp) or, when the table has
// nothing for it, dropped and counted.
#pragma once

#include <functional>
#include <string>

namespace dicbuild {

class TextEncoder {
public:
    // westernLanguage: the language code used for runs in code page 1252 (the dictionary's own
    // Western language, or English).
    explicit TextEncoder(unsigned char westernLanguage);

    std::string Encode(const std::string& utf8, unsigned char language);
    // Characters dropped because nothing stands for them ("%" among them: it would open a run).
    unsigned DroppedCharacters() const { return m_dropped; }
    // Characters written in the ASCII notation of the transliteration table.
    unsigned TransliteratedCharacters() const { return m_transliterated; }

private:
    void Append(unsigned c, std::string& out, std::string& run, std::size_t& runCore, bool russian,
                const std::function<void()>& endRun, int depth);

    unsigned char m_westernLanguage;
    unsigned m_dropped = 0;
    unsigned m_transliterated = 0;
    unsigned char m_cyrillic[0x10000];
    unsigned char m_western[0x10000];
};

} // namespace dicbuild
