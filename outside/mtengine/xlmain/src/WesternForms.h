// German and French word forms: the tables made at build time from Debian's data
// (make_western_forms.py) of nouns with their gender and plural, French adjectives in gender and
// number, and verbs with their auxiliary and the forms the translator needs (German: third person
// present, past, participle; French: present, participle, imperfect). Each generates a form of a
// lemma and analyses a form into its lemmas. Text lowercase, Western plane. One table per language
// for the process, read when first asked for.
#pragma once

#include "FormsTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mtengine {

struct WesternLemma {
    char kind = 0;            // 'n' noun, 'a' adjective, 'v' verb
    char gender = 0;          // nouns: 'm', 'f' or 'n'
    bool auxiliaryBe = false; // verbs: the perfect is made with "sein"/"être"
    std::uint16_t paradigm = 0;
};

// The slots of a class's forms, in the tables' order.
namespace western {
constexpr int kSingular = 0, kPlural = 1;                                               // nouns
constexpr int kMasculine = 0, kFeminine = 1, kMasculinePlural = 2, kFemininePlural = 3; // adjectives
constexpr int kInfinitive = 0;
constexpr int kGermanThirdPerson = 1, kGermanPast = 2, kGermanParticiple = 3;
inline int FrenchPresent(int person, bool plural) {
    return (plural ? 3 : 0) + person;
} // person 1 to 3
inline int FrenchParticiple(bool feminine, bool plural) {
    return 7 + (feminine ? 1 : 0) + (plural ? 2 : 0);
}
inline int FrenchImperfect(int person, bool plural) {
    return 10 + (plural ? 3 : 0) + person;
}
} // namespace western

class WesternForms {
public:
    // The table of German or French; null for any other language.
    static const WesternForms* Of(unsigned language);

    // The lemma's entry of a kind; null when the table lacks it.
    const WesternLemma* Find(std::string_view lemma, char kind) const;
    // The form in slot; empty when the table has no such form.
    std::string Form(std::string_view lemma, const WesternLemma& entry, int slot) const;

    using Analysis = FormsTable<WesternLemma>::Analysis;
    // Every reading of a form as a form of a lemma the table holds.
    std::vector<Analysis> Analyse(std::string_view word) const { return m_table.Analyse(word); }

    std::size_t Size() const { return m_table.Size(); }

private:
    explicit WesternForms(std::string_view table);

    FormsTable<WesternLemma> m_table;
};

// How common a German word is (lowercase, Western plane): how many lines of the German-English
// dictionary hold it (tables/make_german_frequencies.py); 0 for a word in fewer than two.
unsigned GermanFrequency(const std::string& word);

} // namespace mtengine
