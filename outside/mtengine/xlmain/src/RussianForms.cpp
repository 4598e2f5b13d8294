// Reading the generated table of Russian forms, and generating and analysing with it.
#include "RussianForms.h"

#include "EnginePrivate.h"

namespace mtengine {

namespace {

// The table as make_russian_forms.py writes it (UTF-8).
const char kTable[] =
#include "RussianForms.inc"
    ;

constexpr char kNoForm[] = "-";

} // namespace

int slot::Adjective(Agreement agreement, Case c, bool animate) {
    int index = static_cast<int>(c);
    switch (agreement) {
    case Agreement::Masculine:
        return index < 3 ? index : index == 3 ? (animate ? 4 : 3) : index + 1;
    case Agreement::Neuter:
        return 7 + index;
    case Agreement::Feminine:
        return 13 + index;
    case Agreement::Plural:
        return 19 + (index < 3 ? index : index == 3 ? (animate ? 4 : 3) : index + 1);
    }
    return 0;
}

const RussianForms& RussianForms::Shared() {
    static const RussianForms forms;
    return forms;
}

RussianForms::RussianForms() {
    std::string_view table(kTable, sizeof kTable - 1);
    auto field = [](std::string_view line, std::size_t* at) {
        std::size_t end = line.find('\t', *at);
        std::string_view text = line.substr(*at, end == std::string_view::npos ? std::string_view::npos : end - *at);
        *at = end == std::string_view::npos ? line.size() : end + 1;
        return text;
    };
    std::size_t begin = 0;
    while (begin < table.size()) {
        std::size_t end = table.find('\n', begin);
        end = end == std::string_view::npos ? table.size() : end;
        std::string_view line = table.substr(begin, end - begin);
        begin = end + 1;
        std::size_t at = 0;
        std::string_view first = field(line, &at);
        if (first == "P") {
            std::string_view rest = line.substr(at);
            std::size_t bar = rest.find('|');
            Paradigm paradigm;
            paradigm.lemmaEnding = FromUtf8(Plane::Cyrillic, rest.substr(0, bar));
            for (std::size_t from = bar + 1; from <= rest.size();) {
                std::size_t semicolon = rest.find(';', from);
                semicolon = semicolon == std::string_view::npos ? rest.size() : semicolon;
                paradigm.endings.push_back(FromUtf8(Plane::Cyrillic, rest.substr(from, semicolon - from)));
                from = semicolon + 1;
            }
            m_paradigms.push_back(std::move(paradigm));
            continue;
        }
        std::string_view kind = field(line, &at);
        std::string_view number = field(line, &at);
        if (kind.empty() || number.empty())
            continue;
        RussianLemma entry;
        entry.kind = kind[0];
        if (entry.kind == 'n' && kind.size() == 3) {
            entry.gender = kind[1] == 'f'   ? Agreement::Feminine
                           : kind[1] == 'n' ? Agreement::Neuter
                                            : Agreement::Masculine;
            entry.animate = kind[2] == 'a';
        }
        entry.perfective = entry.kind == 'v' && kind.size() > 1 && kind[1] == 'p';
        unsigned paradigm = 0;
        for (char c : number)
            paradigm = paradigm * 10 + static_cast<unsigned>(c - '0');
        if (paradigm >= m_paradigms.size())
            continue;
        entry.paradigm = static_cast<std::uint16_t>(paradigm);
        m_lemmas[FromUtf8(Plane::Cyrillic, first)].push_back(entry);
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
            Reading* reading = nullptr;
            for (Reading& r : readings)
                reading = r.lemmaEnding == paradigm.lemmaEnding ? &r : reading;
            if (reading == nullptr) {
                readings.push_back({paradigm.lemmaEnding, {}});
                reading = &readings.back();
            }
            reading->slots.emplace_back(static_cast<std::uint16_t>(p), static_cast<std::uint8_t>(s));
        }
    }
}

const RussianLemma* RussianForms::Find(std::string_view lemma, char kind) const {
    auto found = m_lemmas.find(std::string(lemma));
    if (found == m_lemmas.end())
        return nullptr;
    for (const RussianLemma& entry : found->second) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

std::string RussianForms::Form(std::string_view lemma, const RussianLemma& entry, int slot) const {
    const Paradigm& paradigm = m_paradigms[entry.paradigm];
    if (slot < 0 || static_cast<std::size_t>(slot) >= paradigm.endings.size() || paradigm.endings[slot] == kNoForm ||
        lemma.size() < paradigm.lemmaEnding.size())
        return std::string(lemma);
    return std::string(lemma.substr(0, lemma.size() - paradigm.lemmaEnding.size())) + paradigm.endings[slot];
}

std::string RussianForms::SecondLocative(std::string_view lemma, const RussianLemma& entry) const {
    const Paradigm& paradigm = m_paradigms[entry.paradigm];
    if (entry.kind != 'n' || paradigm.endings.size() <= slot::kSecondLocative ||
        paradigm.endings[slot::kSecondLocative] == kNoForm)
        return {};
    return Form(lemma, entry, slot::kSecondLocative);
}

std::vector<RussianForms::Analysis> RussianForms::Analyse(std::string_view word) const {
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
            for (const RussianLemma& entry : entries->second) {
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
