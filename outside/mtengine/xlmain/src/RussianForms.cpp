// Reading the generated table of Russian forms, and generating and analysing with it.
#include "RussianForms.h"

#include "EnginePrivate.h"

namespace mtengine {

namespace {

// The table as make_russian_forms.py writes it (UTF-8).
const char kTable[] =
#include "RussianForms.inc"
    ;

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

// The class field: "n" with gender ('m', 'f', 'n') and animacy ('a') for nouns, "a" for adjectives,
// "v" with 'p' for a perfective verb.
RussianForms::RussianForms()
    : m_table(std::string_view(kTable, sizeof kTable - 1), Plane::Cyrillic,
              [](std::string_view kind, RussianLemma& entry) {
                  if (entry.kind == 'n' && kind.size() == 3) {
                      entry.gender = kind[1] == 'f'   ? Agreement::Feminine
                                     : kind[1] == 'n' ? Agreement::Neuter
                                                      : Agreement::Masculine;
                      entry.animate = kind[2] == 'a';
                  }
                  entry.perfective = entry.kind == 'v' && kind.size() > 1 && kind[1] == 'p';
                  return true;
              }) {}

const RussianLemma* RussianForms::Find(std::string_view lemma, char kind) const {
    return m_table.Find(lemma, kind);
}

std::string RussianForms::Form(std::string_view lemma, const RussianLemma& entry, int slot) const {
    std::string form = m_table.Form(lemma, entry, slot);
    return form.empty() ? std::string(lemma) : form;
}

std::string RussianForms::SecondLocative(std::string_view lemma, const RussianLemma& entry) const {
    return entry.kind == 'n' ? m_table.Form(lemma, entry, slot::kSecondLocative) : std::string();
}

} // namespace mtengine
