// Reading the generated German and French forms tables, and generating and analysing with them.
#include "WesternForms.h"

#include "EnginePrivate.h"

#include <algorithm>

namespace mtengine {

namespace {

// The tables as make_western_forms.py writes them (UTF-8).
const char kGermanTable[] =
#include "GermanForms.inc"
    ;
const char kFrenchTable[] =
#include "FrenchForms.inc"
    ;

constexpr char kNoForm[] = "-";

std::string_view NextField(std::string_view line, std::size_t* at) {
    std::size_t end = line.find('\t', *at);
    std::string_view text = line.substr(*at, end == std::string_view::npos ? std::string_view::npos : end - *at);
    *at = end == std::string_view::npos ? line.size() : end + 1;
    return text;
}

} // namespace

const WesternForms* WesternForms::Of(unsigned language) {
    if (language == kLangGerman) {
        static const WesternForms german(std::string_view(kGermanTable, sizeof kGermanTable - 1));
        return &german;
    }
    if (language == kLangFrench) {
        static const WesternForms french(std::string_view(kFrenchTable, sizeof kFrenchTable - 1));
        return &french;
    }
    return nullptr;
}

WesternForms::WesternForms(std::string_view table) {
    for (std::size_t begin = 0; begin < table.size();) {
        std::size_t end = table.find('\n', begin);
        end = end == std::string_view::npos ? table.size() : end;
        std::string_view line = table.substr(begin, end - begin);
        begin = end + 1;
        std::size_t at = 0;
        std::string_view first = NextField(line, &at);
        if (first == "P") {
            std::string_view rest = line.substr(at);
            std::size_t bar = rest.find('|');
            Paradigm paradigm;
            paradigm.lemmaEnding = FromUtf8(Plane::Western, rest.substr(0, bar));
            for (std::size_t from = bar + 1; from <= rest.size();) {
                std::size_t semicolon = std::min(rest.find(';', from), rest.size());
                paradigm.endings.push_back(FromUtf8(Plane::Western, rest.substr(from, semicolon - from)));
                from = semicolon + 1;
            }
            m_paradigms.push_back(std::move(paradigm));
            continue;
        }
        std::string_view kind = NextField(line, &at);
        std::string_view number = NextField(line, &at);
        if (kind.empty() || number.empty())
            continue;
        WesternLemma entry;
        entry.kind = kind[0];
        entry.gender = entry.kind == 'n' && kind.size() > 1 ? kind[1] : 0;
        entry.auxiliaryBe = entry.kind == 'v' && kind.size() > 1 && kind[1] == 's';
        unsigned paradigm = 0;
        for (char c : number)
            paradigm = paradigm * 10 + static_cast<unsigned>(c - '0');
        if (paradigm >= m_paradigms.size())
            continue;
        entry.paradigm = static_cast<std::uint16_t>(paradigm);
        m_lemmas[FromUtf8(Plane::Western, first)].push_back(entry);
    }
    // Analysis: each form's ending leads to the lemma endings that can stand in its place.
    for (std::size_t p = 0; p < m_paradigms.size(); ++p) {
        const Paradigm& paradigm = m_paradigms[p];
        for (std::size_t s = 0; s < paradigm.endings.size(); ++s) {
            const std::string& ending = paradigm.endings[s];
            if (ending == kNoForm)
                continue;
            m_longestEnding = std::max(m_longestEnding, ending.size());
            std::vector<Reading>& readings = m_byEnding[ending];
            auto reading = std::find_if(readings.begin(), readings.end(),
                                        [&](const Reading& r) { return r.lemmaEnding == paradigm.lemmaEnding; });
            if (reading == readings.end())
                reading = readings.insert(readings.end(), Reading{paradigm.lemmaEnding, {}});
            reading->slots.emplace_back(static_cast<std::uint16_t>(p), static_cast<std::uint8_t>(s));
        }
    }
}

const WesternLemma* WesternForms::Find(std::string_view lemma, char kind) const {
    auto found = m_lemmas.find(std::string(lemma));
    if (found == m_lemmas.end())
        return nullptr;
    for (const WesternLemma& entry : found->second) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

std::string WesternForms::Form(std::string_view lemma, const WesternLemma& entry, int slot) const {
    const Paradigm& paradigm = m_paradigms[entry.paradigm];
    if (slot < 0 || static_cast<std::size_t>(slot) >= paradigm.endings.size() || paradigm.endings[slot] == kNoForm ||
        lemma.size() < paradigm.lemmaEnding.size())
        return {};
    return std::string(lemma.substr(0, lemma.size() - paradigm.lemmaEnding.size())) + paradigm.endings[slot];
}

std::vector<WesternForms::Analysis> WesternForms::Analyse(std::string_view word) const {
    std::vector<Analysis> result;
    for (std::size_t length = 0; length <= std::min(word.size(), m_longestEnding); ++length) {
        auto readings = m_byEnding.find(std::string(word.substr(word.size() - length)));
        if (readings == m_byEnding.end())
            continue;
        std::string_view stem = word.substr(0, word.size() - length);
        for (const Reading& reading : readings->second) {
            std::string lemma = std::string(stem) + reading.lemmaEnding;
            auto entries = m_lemmas.find(lemma);
            if (entries == m_lemmas.end())
                continue;
            for (const WesternLemma& entry : entries->second) {
                for (const auto& [paradigm, slot] : reading.slots) {
                    if (paradigm == entry.paradigm)
                        result.push_back({lemma, entry, slot});
                }
            }
        }
    }
    return result;
}

} // namespace mtengine
