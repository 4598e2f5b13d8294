// The word forms tables' common part, for every language's table as the table scripts write them
// (UTF-8, one line each):
//   P <tab> lemma ending|form ending;form ending;...     a paradigm ("-" where it has no form)
//   lemma <tab> class <tab> paradigm number              a lemma, its class as the language writes it
// A form is the lemma without its paradigm's lemma ending, with the slot's ending added; a form is
// analysed by its endings back to every lemma whose paradigm gives it. Lemma is the language's entry:
// its `kind` ('n', 'a', 'v') and `paradigm` are the table's, the rest the language's ReadClass fills.
#pragma once

#include "EnginePrivate.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mtengine {

template <typename Lemma>
class FormsTable {
public:
    struct Analysis {
        std::string lemma;
        Lemma entry;
        int slot;
    };

    // Reads table in plane; readClass(classField, entry) fills an entry from its class field (never
    // empty), false to leave the line out.
    template <typename ReadClass>
    FormsTable(std::string_view table, Plane plane, ReadClass readClass) {
        for (std::size_t begin = 0; begin < table.size();) {
            std::size_t end = std::min(table.find('\n', begin), table.size());
            std::string_view line = table.substr(begin, end - begin);
            begin = end + 1;
            std::size_t at = 0;
            std::string_view first = NextField(line, &at);
            if (first == "P") {
                ReadParadigm(line.substr(at), plane);
                continue;
            }
            std::string_view kind = NextField(line, &at);
            std::string_view number = NextField(line, &at);
            if (kind.empty() || number.empty())
                continue;
            Lemma entry;
            entry.kind = kind[0];
            unsigned paradigm = 0;
            for (char c : number)
                paradigm = paradigm * 10 + static_cast<unsigned>(c - '0');
            if (paradigm >= m_paradigms.size() || !readClass(kind, entry))
                continue;
            entry.paradigm = static_cast<std::uint16_t>(paradigm);
            m_lemmas[FromUtf8(plane, first)].push_back(entry);
        }
        IndexEndings();
    }

    // The lemma's entry of a kind; null when the table lacks it.
    const Lemma* Find(std::string_view lemma, char kind) const {
        auto found = m_lemmas.find(std::string(lemma));
        if (found == m_lemmas.end())
            return nullptr;
        for (const Lemma& entry : found->second) {
            if (entry.kind == kind)
                return &entry;
        }
        return nullptr;
    }

    // The form in slot; empty when the paradigm has no such form.
    std::string Form(std::string_view lemma, const Lemma& entry, int slot) const {
        const Paradigm& paradigm = m_paradigms[entry.paradigm];
        if (slot < 0 || static_cast<std::size_t>(slot) >= paradigm.endings.size() ||
            paradigm.endings[slot] == kNoForm || lemma.size() < paradigm.lemmaEnding.size())
            return {};
        return std::string(lemma.substr(0, lemma.size() - paradigm.lemmaEnding.size())) + paradigm.endings[slot];
    }

    // Every reading of a form as a form of a lemma the table holds.
    std::vector<Analysis> Analyse(std::string_view word) const {
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
                for (const Lemma& entry : entries->second) {
                    for (const auto& [paradigm, slot] : reading.slots) {
                        if (paradigm == entry.paradigm)
                            result.push_back({lemma, entry, slot});
                    }
                }
            }
        }
        return result;
    }

    std::size_t Size() const { return m_lemmas.size(); }

private:
    static constexpr std::string_view kNoForm = "-";

    struct Paradigm {
        std::string lemmaEnding;
        std::vector<std::string> endings; // kNoForm where there is no form
    };
    struct Reading {
        std::string lemmaEnding;
        std::vector<std::pair<std::uint16_t, std::uint8_t>> slots; // (paradigm, slot)
    };

    static std::string_view NextField(std::string_view line, std::size_t* at) {
        std::size_t end = line.find('\t', *at);
        std::string_view text = line.substr(*at, end == std::string_view::npos ? std::string_view::npos : end - *at);
        *at = end == std::string_view::npos ? line.size() : end + 1;
        return text;
    }

    void ReadParadigm(std::string_view rest, Plane plane) {
        std::size_t bar = rest.find('|');
        Paradigm paradigm;
        paradigm.lemmaEnding = FromUtf8(plane, rest.substr(0, bar));
        for (std::size_t from = bar + 1; from <= rest.size();) {
            std::size_t semicolon = std::min(rest.find(';', from), rest.size());
            paradigm.endings.push_back(FromUtf8(plane, rest.substr(from, semicolon - from)));
            from = semicolon + 1;
        }
        m_paradigms.push_back(std::move(paradigm));
    }

    // Analysis: each form's ending leads to the lemma endings that can stand in its place.
    void IndexEndings() {
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

    std::vector<Paradigm> m_paradigms;
    std::unordered_map<std::string, std::vector<Lemma>> m_lemmas;
    std::unordered_map<std::string, std::vector<Reading>> m_byEnding;
    std::size_t m_longestEnding = 0;
};

} // namespace mtengine
