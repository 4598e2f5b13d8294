// Reading the generated German and French forms tables, and generating and analysing with them.
#include "WesternForms.h"

#include "EnginePrivate.h"
#include "FrequencyTable.h"

#include <algorithm>
#include <unordered_map>

namespace mtengine {

namespace {

// The tables as make_western_forms.py writes them (UTF-8).
const char kGermanTable[] =
#include "GermanForms.inc"
    ;
const char kFrenchTable[] =
#include "FrenchForms.inc"
    ;
// Lines "word count" as make_german_frequencies.py writes them (UTF-8).
const char kGermanFrequencies[] =
#include "GermanFrequencies.inc"
    ;

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

// The class field: "n" with the gender ('m', 'f', 'n'), "a", or "v" with 's' when the perfect takes
// "sein"/"être".
WesternForms::WesternForms(std::string_view table)
    : m_table(table, Plane::Western, [](std::string_view kind, WesternLemma& entry) {
          entry.gender = entry.kind == 'n' && kind.size() > 1 ? kind[1] : 0;
          entry.auxiliaryBe = entry.kind == 'v' && kind.size() > 1 && kind[1] == 's';
          return true;
      }) {}

const WesternLemma* WesternForms::Find(std::string_view lemma, char kind) const {
    return m_table.Find(lemma, kind);
}

std::string WesternForms::Form(std::string_view lemma, const WesternLemma& entry, int slot) const {
    return m_table.Form(lemma, entry, slot);
}

unsigned GermanFrequency(const std::string& word) {
    static const std::unordered_map<std::string, unsigned> table =
        ReadFrequencies(std::string_view(kGermanFrequencies, sizeof kGermanFrequencies - 1),
                        [](std::string_view word) { return FromUtf8(Plane::Western, std::string(word)); });
    auto found = table.find(word);
    return found != table.end() ? found->second : 0;
}

} // namespace mtengine
