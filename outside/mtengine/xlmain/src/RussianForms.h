// Russian word forms: the table made at build time from Debian's Russian data (make_russian_forms.py)
// of nouns with their gender and animacy, adjectives and verbs with their aspect, each with every
// form. It generates a form of a lemma and analyses a form into its lemmas. Text in the Cyrillic
// plane. One table for the process, read when first asked for.
#pragma once

#include "FormsTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mtengine {

enum class Case : int { Nominative, Genitive, Dative, Accusative, Instrumental, Prepositional };

// What agrees: the gender of a singular or the plural.
enum class Agreement : int { Masculine, Feminine, Neuter, Plural };

struct RussianLemma {
    char kind = 0; // 'n' noun, 'a' adjective, 'v' verb
    Agreement gender = Agreement::Masculine;
    bool animate = false;
    bool perfective = false;
    std::uint16_t paradigm = 0;
};

// The slots of a class's forms, in the table's order.
namespace slot {
inline int Noun(bool plural, Case c) {
    return (plural ? 6 : 0) + static_cast<int>(c);
}
// Masculine nouns: the second locative after "в" and "на" ("в саду"), after the twelve cases.
constexpr int kSecondLocative = 12;
inline Case NounCase(int slot) {
    return slot == kSecondLocative ? Case::Prepositional : static_cast<Case>(slot % 6);
}
inline bool NounPlural(int slot) {
    return slot >= 6 && slot < kSecondLocative;
}
int Adjective(Agreement agreement, Case c, bool animate);
constexpr int kInfinitive = 0;
inline int Present(int person, bool plural) {
    return (plural ? 3 : 0) + person;
} // person 1 to 3
inline int Past(Agreement agreement) {
    return 7 + static_cast<int>(agreement);
}
inline int Imperative(bool plural) {
    return plural ? 12 : 11;
}
} // namespace slot

class RussianForms {
public:
    static const RussianForms& Shared();

    // The lemma's entry of a kind; null when the table lacks it.
    const RussianLemma* Find(std::string_view lemma, char kind) const;
    // The form in slot; the lemma itself when the table has no such form.
    std::string Form(std::string_view lemma, const RussianLemma& entry, int slot) const;

    using Analysis = FormsTable<RussianLemma>::Analysis;
    // A masculine noun's second locative ("саду"); empty when it has none.
    std::string SecondLocative(std::string_view lemma, const RussianLemma& entry) const;
    // Every reading of a form as a form of a lemma the table holds.
    std::vector<Analysis> Analyse(std::string_view word) const { return m_table.Analyse(word); }

    std::size_t Size() const { return m_table.Size(); }

private:
    RussianForms();

    FormsTable<RussianLemma> m_table;
};

} // namespace mtengine
