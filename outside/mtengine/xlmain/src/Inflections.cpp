// The endings tables of the four languages and the reduction that applies them.
#include "Inflections.h"

#include "EnginePrivate.h"
#include "EnglishForms.h"
#include "RussianForms.h"
#include "WesternForms.h"

namespace mtengine {

namespace {

struct Ending {
    const char* ending;      // UTF-8
    const char* replacement; // UTF-8
};

// English: plurals, third person, past, participles, comparatives.
const Ending kEnglish[] = {
    {"ies", "y"}, {"ied", "y"},   {"ier", "y"},   {"iest", "y"}, {"ves", "f"}, {"ves", "fe"}, {"ses", "s"},
    {"xes", "x"}, {"ches", "ch"}, {"shes", "sh"}, {"oes", "o"},  {"s", ""},    {"es", ""},    {"ing", ""},
    {"ing", "e"}, {"ed", ""},     {"ed", "e"},    {"d", ""},     {"est", ""},  {"est", "e"},  {"er", ""},
    {"er", "e"},  {"'s", ""},     {"ly", ""},     {"ily", "y"},
};

// German: noun plurals and cases, adjective endings, verb endings to the infinitive.
const Ending kGerman[] = {
    {"en", ""},    {"n", ""},     {"e", ""},   {"er", ""},   {"es", ""},   {"s", ""},     {"em", ""},
    {"st", "en"},  {"t", "en"},   {"e", "en"}, {"et", "en"}, {"te", "en"}, {"ten", "en"}, {"test", "en"},
    {"tet", "en"}, {"end", "en"}, {"est", ""}, {"ern", ""},  {"nen", ""},
};

// French: plurals and feminines, present and past of the -er verbs, participles.
const Ending kFrench[] = {
    {"s", ""},       {"x", ""},     {"e", ""},       {"es", ""},       {"aux", "al"}, {"ent", "er"}, {"e", "er"},
    {"es", "er"},    {"ons", "er"}, {"ez", "er"},    {"é", "er"},      {"ée", "er"},  {"és", "er"},  {"ées", "er"},
    {"ait", "er"},   {"ais", "er"}, {"aient", "er"}, {"ant", "er"},    {"era", "er"}, {"eux", "eu"}, {"ive", "if"},
    {"euse", "eur"}, {"it", "ir"},  {"is", "ir"},    {"issent", "ir"}, {"u", "oir"},  {"ue", "re"},
};

// Russian: noun and adjective cases, verb persons and the past to the infinitive.
const Ending kRussian[] = {
    {"ы", "а"},     {"и", "а"},     {"у", "а"},    {"ой", "а"},    {"е", "а"},     {"ам", ""},    {"ами", ""},
    {"ах", ""},     {"ов", ""},     {"а", ""},     {"у", ""},      {"ом", ""},     {"е", ""},     {"ы", ""},
    {"и", "ь"},     {"ей", "ь"},    {"ю", "ь"},    {"ью", "ь"},    {"я", "ь"},     {"и", "я"},    {"ю", "я"},
    {"ей", "я"},    {"ого", "ый"},  {"ая", "ый"},  {"ое", "ый"},   {"ые", "ый"},   {"ой", "ый"},  {"ую", "ый"},
    {"ых", "ый"},   {"ым", "ый"},   {"ому", "ый"}, {"ий", "ый"},   {"его", "ий"},  {"ее", "ий"},  {"яя", "ий"},
    {"ие", "ий"},   {"ет", "ть"},   {"ит", "ить"}, {"ют", "ть"},   {"ят", "ить"},  {"ут", "ть"},  {"ем", "ть"},
    {"ешь", "ть"},  {"ишь", "ить"}, {"ю", "ть"},   {"л", "ть"},    {"ла", "ть"},   {"ли", "ть"},  {"ло", "ть"},
    {"ает", "ать"}, {"ают", "ать"}, {"ал", "ать"}, {"ала", "ать"}, {"али", "ать"}, {"ая", "ой"},  {"ое", "ой"},
    {"ие", "ой"},   {"ого", "ой"},  {"ом", "ой"},  {"ую", "ой"},   {"им", "ой"},   {"ит", "ать"}, {"ят", "ать"},
};

struct Table {
    std::vector<std::pair<std::string, std::string>> endings;
};

Table MakeTable(Plane plane, const Ending* begin, const Ending* end) {
    Table table;
    for (const Ending* e = begin; e != end; ++e)
        table.endings.emplace_back(FromUtf8(plane, e->ending), FromUtf8(plane, e->replacement));
    return table;
}

const Table& TableOf(unsigned language) {
    static const Table english = MakeTable(Plane::Western, std::begin(kEnglish), std::end(kEnglish));
    static const Table german = MakeTable(Plane::Western, std::begin(kGerman), std::end(kGerman));
    static const Table french = MakeTable(Plane::Western, std::begin(kFrench), std::end(kFrench));
    static const Table russian = MakeTable(Plane::Cyrillic, std::begin(kRussian), std::end(kRussian));
    static const Table none;
    switch (language) {
    case kLangEnglish:
        return english;
    case kLangGerman:
        return german;
    case kLangFrench:
        return french;
    case kLangRussian:
        return russian;
    default:
        return none;
    }
}

constexpr std::size_t kMinStem = 2;

} // namespace

std::vector<EnglishReading> ReadWestern(unsigned language, const std::string& word) {
    std::vector<EnglishReading> readings;
    const WesternForms* forms = WesternForms::Of(language);
    if (forms == nullptr)
        return readings;
    for (const WesternForms::Analysis& analysis : forms->Analyse(word)) {
        EnglishForm form = EnglishForm::Base;
        int s = analysis.slot;
        if (analysis.entry.kind == 'n') {
            form = s == western::kPlural ? EnglishForm::Plural : EnglishForm::Base;
        } else if (analysis.entry.kind == 'v' && language == kLangGerman) {
            form = s == western::kGermanThirdPerson                               ? EnglishForm::ThirdPerson
                   : s == western::kGermanPast || s == western::kGermanParticiple ? EnglishForm::Past
                                                                                  : EnglishForm::Base;
        } else if (analysis.entry.kind == 'v') {
            form = s == western::FrenchPresent(3, false)          ? EnglishForm::ThirdPerson
                   : s >= western::FrenchParticiple(false, false) ? EnglishForm::Past
                                                                  : EnglishForm::Base;
        }
        if (analysis.lemma == word && form == EnglishForm::Base)
            continue;
        bool known = false;
        for (const EnglishReading& reading : readings)
            known = known || (reading.base == analysis.lemma && reading.form == form);
        if (!known)
            readings.push_back({analysis.lemma, form, analysis.entry.kind});
    }
    // A German participle the table lacks, read by its regular shape: "gekauft" of "kaufen".
    std::string_view w(word);
    if (language == kLangGerman && w.size() > 5 && w.substr(0, 2) == "ge" && w.back() == 't') {
        std::string_view stem = w.substr(2, w.size() - 3);
        if (stem.size() > 2 && stem.back() == 'e' && (stem[stem.size() - 2] == 't' || stem[stem.size() - 2] == 'd'))
            stem.remove_suffix(1); // "gearbeitet"
        readings.push_back({std::string(stem) + "en", EnglishForm::Past, 'v'});
    }
    return readings;
}

std::vector<std::string> BaseForms(unsigned sourceLanguage, const std::string& word) {
    std::vector<std::string> forms;
    if (sourceLanguage == kLangEnglish) {
        for (const EnglishReading& reading : ReadEnglish(word)) {
            if (reading.base != word)
                forms.push_back(reading.base);
        }
        return forms;
    }
    // German and French: the tables' lemmas before the plain endings.
    for (const EnglishReading& reading : ReadWestern(sourceLanguage, word)) {
        if (reading.base != word)
            forms.push_back(reading.base);
    }
    if (sourceLanguage == kLangRussian) {
        // The lemmas the forms table reads the word as come before the plain endings.
        for (const RussianForms::Analysis& analysis : RussianForms::Shared().Analyse(word)) {
            if (analysis.lemma != word)
                forms.push_back(analysis.lemma);
        }
    }
    for (const auto& [ending, replacement] : TableOf(sourceLanguage).endings) {
        if (word.size() < ending.size() + kMinStem ||
            word.compare(word.size() - ending.size(), ending.size(), ending) != 0)
            continue;
        std::string stem = word.substr(0, word.size() - ending.size());
        forms.push_back(stem + replacement);
        // "running", "stopped", "bigger": the doubled consonant goes too.
        if (sourceLanguage == kLangEnglish && replacement.empty() && stem.size() > kMinStem &&
            stem[stem.size() - 1] == stem[stem.size() - 2] &&
            (ending == "ing" || ending == "ed" || ending == "er" || ending == "est"))
            forms.push_back(stem.substr(0, stem.size() - 1));
    }
    return forms;
}

} // namespace mtengine
