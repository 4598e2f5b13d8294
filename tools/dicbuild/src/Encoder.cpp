// Encoding texts with language runs.
#include "Encoder.h"

#include "common/CodePage.h"
#include "common/Unicode.h"

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
    const unsigned char* own = language == kRussian ? m_cyrillic : m_western;
    const unsigned char* other = language == kRussian ? m_western : m_cyrillic;
    unsigned char otherLanguage = language == kRussian ? m_westernLanguage : kRussian;
    std::string out;
    std::string run;
    std::size_t runCore = 0; // the run up to its last character of the other code page
    // ASCII after the run's last character of the other code page goes back outside the run.
    auto endRun = [&] {
        if (!run.empty()) {
            out += "%" + std::to_string(otherLanguage) + " " + run.substr(0, runCore) + "%" + run.substr(runCore);
            run.clear();
            runCore = 0;
        }
    };
    for (wchar_t unit : wide) {
        unsigned c = static_cast<unsigned>(unit) & 0xFFFF;
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
        } else {
            ++m_dropped; // characters above U+FFFF arrive as two surrogates and are dropped as two
        }
    }
    endRun();
    return out;
}

} // namespace dicbuild
