// English readings of a word: irregular forms from the generated exception table, then the rules.
#include "EnglishForms.h"
#include "FrequencyTable.h"

#include <string_view>
#include <tuple>
#include <unordered_map>

namespace mtengine {

namespace {

// Lines "n|v|a form base [base...]" (make_english_exceptions.py).
const char kExceptions[] =
#include "EnglishExceptions.inc"
    ;

// Lines "lemma count" (make_english_tables.py).
const char kFrequencies[] =
#include "EnglishFrequencies.inc"
    ;

using ExceptionTable = std::unordered_multimap<std::string, EnglishReading>;

// The irregular forms by base: what the exception lists give for a verb's past ("went", "gone":
// the shorter, the past rather than the participle) and a noun's plural.
struct Irregular {
    std::unordered_map<std::string, std::string> past, plural;
};

const ExceptionTable& Exceptions() {
    static const ExceptionTable table = [] {
        ExceptionTable made;
        std::string_view text(kExceptions, sizeof kExceptions - 1);
        for (std::size_t begin = 0; begin < text.size();) {
            std::size_t end = text.find('\n', begin);
            end = end == std::string_view::npos ? text.size() : end;
            std::string_view line = text.substr(begin, end - begin);
            begin = end + 1;
            if (line.size() < 5 || line[1] != ' ')
                continue;
            char kind = line[0];
            std::size_t formEnd = line.find(' ', 2);
            if (formEnd == std::string_view::npos)
                continue;
            std::string form(line.substr(2, formEnd - 2));
            EnglishForm said = kind == 'n'   ? EnglishForm::Plural
                               : kind == 'v' ? EnglishForm::Past
                                             : EnglishForm::Comparative;
            for (std::size_t at = formEnd + 1; at < line.size();) {
                std::size_t next = line.find(' ', at);
                next = next == std::string_view::npos ? line.size() : next;
                made.emplace(form, EnglishReading{std::string(line.substr(at, next - at)), said, kind});
                at = next + 1;
            }
        }
        return made;
    }();
    return table;
}

const Irregular& IrregularForms() {
    static const Irregular table = [] {
        Irregular made;
        for (const auto& [form, reading] : Exceptions()) {
            auto& forms = reading.kind == 'v' ? made.past : reading.kind == 'n' ? made.plural : made.past;
            if (reading.kind == 'a')
                continue;
            // Participles mostly end in "n" ("gone", "seen", "taken"): the other form is the past.
            auto rank = [](const std::string& f) { return std::make_tuple(f.back() == 'n', f.size(), f); };
            auto found = forms.find(reading.base);
            if (found == forms.end() || rank(form) < rank(found->second))
                forms[reading.base] = form;
        }
        return made;
    }();
    return table;
}

const std::unordered_map<std::string, unsigned>& Frequencies() {
    static const std::unordered_map<std::string, unsigned> table =
        ReadFrequencies(std::string_view(kFrequencies, sizeof kFrequencies - 1),
                        [](std::string_view word) { return std::string(word); });
    return table;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

// A stem ending in one vowel and one consonant ("not", "hop", "car", "liv") more often lost an "e"
// ("noted", "hoped", "cared", "lived") than not: the form with "e" is tried first.
bool LostAnE(const std::string& stem) {
    std::size_t n = stem.size();
    return n >= 2 && !IsVowel(stem[n - 1]) && stem[n - 1] != 'w' && stem[n - 1] != 'x' && stem[n - 1] != 'y' &&
           IsVowel(stem[n - 2]) && (n < 3 || !IsVowel(stem[n - 3]));
}

bool EndsWith(const std::string& word, std::string_view ending) {
    return word.size() >= ending.size() && word.compare(word.size() - ending.size(), ending.size(), ending) == 0;
}

constexpr std::size_t kMinStem = 2;

// The stems a suffix such as "ed", "ing", "er" leaves: a doubled consonant undone ("stopped"), the
// lost "e" given back, the stem itself, in the likeliest order.
void SuffixStems(const std::string& stem, EnglishForm form, char kind, std::vector<EnglishReading>* out) {
    if (stem.size() < kMinStem)
        return;
    std::size_t n = stem.size();
    if (n > kMinStem && stem[n - 1] == stem[n - 2] && !IsVowel(stem[n - 1]) && stem[n - 1] != 'l' &&
        stem[n - 1] != 's' && stem[n - 1] != 'z' && stem[n - 1] != 'f')
        out->push_back({stem.substr(0, n - 1), form, kind});
    if (LostAnE(stem)) {
        out->push_back({stem + "e", form, kind});
        out->push_back({stem, form, kind});
    } else {
        out->push_back({stem, form, kind});
        out->push_back({stem + "e", form, kind});
    }
}

} // namespace

unsigned EnglishFrequency(const std::string& text) {
    const auto& table = Frequencies();
    auto found = table.find(text);
    unsigned best = found != table.end() ? found->second : 0;
    if (text.find(' ') != std::string::npos)
        return best;
    for (const EnglishReading& reading : ReadEnglish(text)) {
        auto base = table.find(reading.base);
        if (base != table.end() && base->second > best)
            best = base->second;
    }
    return best;
}

std::string EnglishPlural(const std::string& noun) {
    auto irregular = IrregularForms().plural.find(noun);
    if (irregular != IrregularForms().plural.end())
        return irregular->second;
    std::size_t n = noun.size();
    if (n == 0)
        return noun;
    if (EndsWith(noun, "s") || EndsWith(noun, "x") || EndsWith(noun, "z") || EndsWith(noun, "ch") ||
        EndsWith(noun, "sh"))
        return noun + "es";
    if (n > 1 && noun[n - 1] == 'y' && !IsVowel(noun[n - 2]))
        return noun.substr(0, n - 1) + "ies";
    return noun + "s";
}

std::string EnglishThirdPerson(const std::string& verb) {
    if (verb == "be")
        return "is";
    if (verb == "have")
        return "has";
    if (verb == "do" || verb == "go")
        return verb + "es";
    std::size_t n = verb.size();
    if (n == 0)
        return verb;
    if (EndsWith(verb, "s") || EndsWith(verb, "x") || EndsWith(verb, "z") || EndsWith(verb, "ch") ||
        EndsWith(verb, "sh"))
        return verb + "es";
    if (n > 1 && verb[n - 1] == 'y' && !IsVowel(verb[n - 2]))
        return verb.substr(0, n - 1) + "ies";
    return verb + "s";
}

std::string EnglishPast(const std::string& verb) {
    if (verb == "be")
        return "was";
    auto irregular = IrregularForms().past.find(verb);
    if (irregular != IrregularForms().past.end())
        return irregular->second;
    std::size_t n = verb.size();
    if (n == 0)
        return verb;
    if (verb[n - 1] == 'e')
        return verb + "d";
    if (n > 1 && verb[n - 1] == 'y' && !IsVowel(verb[n - 2]))
        return verb.substr(0, n - 1) + "ied";
    return verb + "ed";
}

std::vector<EnglishReading> ReadEnglish(const std::string& word) {
    std::vector<EnglishReading> readings{{word, EnglishForm::Base, 0}};
    auto range = Exceptions().equal_range(word);
    for (auto it = range.first; it != range.second; ++it)
        readings.push_back(it->second);
    std::size_t n = word.size();
    auto stem = [&](std::size_t cut) { return word.substr(0, n - cut); };
    if (EndsWith(word, "'s") && n > 2 + kMinStem)
        readings.push_back({stem(2), EnglishForm::Possessive, 'n'});
    if (EndsWith(word, "s") && !EndsWith(word, "ss") && !EndsWith(word, "us") && !EndsWith(word, "'s") &&
        n > 1 + kMinStem) {
        if (EndsWith(word, "ies") && n > 3 + kMinStem) {
            readings.push_back({stem(3) + "y", EnglishForm::Plural, 0});
        } else if (EndsWith(word, "ves") && n > 3 + kMinStem) {
            readings.push_back({stem(3) + "f", EnglishForm::Plural, 'n'});
            readings.push_back({stem(3) + "fe", EnglishForm::Plural, 'n'});
        }
        if (EndsWith(word, "ses") || EndsWith(word, "xes") || EndsWith(word, "zes") || EndsWith(word, "ches") ||
            EndsWith(word, "shes") || EndsWith(word, "oes"))
            readings.push_back({stem(2), EnglishForm::Plural, 0});
        readings.push_back({stem(1), EnglishForm::Plural, 0});
    }
    if (EndsWith(word, "ied") && n > 3 + kMinStem)
        readings.push_back({stem(3) + "y", EnglishForm::Past, 'v'});
    else if (EndsWith(word, "ed"))
        SuffixStems(stem(2), EnglishForm::Past, 'v', &readings);
    if (EndsWith(word, "ing"))
        SuffixStems(stem(3), EnglishForm::Ing, 'v', &readings);
    if (EndsWith(word, "iest") && n > 4 + kMinStem)
        readings.push_back({stem(4) + "y", EnglishForm::Superlative, 'a'});
    else if (EndsWith(word, "est"))
        SuffixStems(stem(3), EnglishForm::Superlative, 'a', &readings);
    if (EndsWith(word, "ier") && n > 3 + kMinStem)
        readings.push_back({stem(3) + "y", EnglishForm::Comparative, 'a'});
    else if (EndsWith(word, "er"))
        SuffixStems(stem(2), EnglishForm::Comparative, 'a', &readings);
    if (EndsWith(word, "ily") && n > 3 + kMinStem)
        readings.push_back({stem(3) + "y", EnglishForm::Adverb, 'a'});
    else if (EndsWith(word, "ly") && n > 2 + kMinStem)
        readings.push_back({stem(2), EnglishForm::Adverb, 'a'});
    return readings;
}

} // namespace mtengine
