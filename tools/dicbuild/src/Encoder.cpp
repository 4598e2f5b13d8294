// Encoding texts with language runs.
#include "Encoder.h"

#include "Transliteration.h"
#include "base/CodePage.h"
#include "base/Unicode.h"

#include <cstring>

namespace dicbuild {

namespace {

constexpr unsigned char kRussian = 2;

void FillReverseTable(unsigned codePage, unsigned char* table) {
    std::memset(table, 0, 0x10000);
    for (int byte = 1; byte < 256; ++byte) {
        std::wstring wide = ovrin::MultiByteToWide(codePage, std::string(1, static_cast<char>(byte)));
        // C1 controls stand for bytes the code page leaves undefined; they are not text.
        if (wide.size() == 1 && !(wide[0] >= 0x80 && wide[0] < 0xA0))
            table[static_cast<unsigned>(wide[0]) & 0xFFFF] = static_cast<unsigned char>(byte);
    }
}

} // namespace

TextEncoder::TextEncoder(unsigned char westernLanguage) : m_westernLanguage(westernLanguage) {
    FillReverseTable(ovrin::kCodePageCyrillic, m_cyrillic);
    FillReverseTable(ovrin::kCodePageWestern, m_western);
}

std::string TextEncoder::Encode(const std::string& utf8, unsigned char language) {
    std::wstring wide = ovrin::Utf8ToUtf16(utf8);
    bool russian = language == kRussian;
    unsigned char otherLanguage = russian ? m_westernLanguage : kRussian;
    std::string out;
    std::string run;
    std::size_t runCore = 0; // the run up to its last character of the other code page
    // ASCII after the run's last character of the other code page goes back outside the run.
    std::function<void()> endRun = [&] {
        if (!run.empty()) {
            out += "%" + std::to_string(otherLanguage) + " " + run.substr(0, runCore) + "%" + run.substr(runCore);
            run.clear();
            runCore = 0;
        }
    };
    for (std::size_t i = 0; i < wide.size(); ++i) {
        unsigned c = static_cast<unsigned>(wide[i]) & 0xFFFF;
        // A vowel with a combining accent is one letter of code page 1252 when it has one.
        unsigned composed = i + 1 < wide.size() ? ComposedLetter(c, static_cast<unsigned>(wide[i + 1]) & 0xFFFF) : 0;
        if (composed != 0) {
            c = composed;
            ++i;
        }
        Append(c, out, run, runCore, russian, endRun, 0);
    }
    endRun();
    return out;
}

void TextEncoder::Append(unsigned c, std::string& out, std::string& run, std::size_t& runCore, bool russian,
                         const std::function<void()>& endRun, int depth) {
    const unsigned char* own = russian ? m_cyrillic : m_western;
    const unsigned char* other = russian ? m_western : m_cyrillic;
    if (c == '\t' || c == '\r' || c == '\n')
        c = ' ';
    if (c == '%') {
        ++m_dropped; // it would read as the start of a language run
    } else if (c >= 0x20 && c < 0x80) {
        // Plain ASCII belongs to both code pages: inside a run it stays in the run.
        (run.empty() ? out : run).push_back(static_cast<char>(c));
    } else if (own[c] != 0) {
        endRun();
        out.push_back(static_cast<char>(own[c]));
    } else if (other[c] != 0) {
        run.push_back(static_cast<char>(other[c]));
        runCore = run.size();
    } else if (const char* text = depth == 0 ? TransliterationOf(c) : nullptr) {
        // An empty text is a mark the notation has no letter for: dropped, and counted as such.
        ++(*text != 0 ? m_transliterated : m_dropped);
        for (wchar_t unit : ovrin::Utf8ToUtf16(text))
            Append(static_cast<unsigned>(unit) & 0xFFFF, out, run, runCore, russian, endRun, depth + 1);
    } else {
        ++m_dropped; // characters above U+FFFF arrive as two surrogates and are dropped as two
    }
}

} // namespace dicbuild
