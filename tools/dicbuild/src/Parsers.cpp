// Parsing the two entry styles. Mueller: transcription in brackets, numbered parts "1. _v." and
// numbered senses "1)", with examples after the translations they illustrate. FreeDict: a header line
// "headword /pronunciation/ <pos, gender>", then senses with the translation line first and a
// definition in the source language after it.
#include "Model.h"

#include "base/Text.h"
#include "base/Unicode.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>

namespace dicbuild {

namespace {

std::vector<std::string> Lines(const std::string& body) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        lines.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A byte that starts or continues a letter: ASCII letters and the bytes of UTF-8 sequences.
bool IsLetterByte(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalpha(byte);
}

// Whether the text starts with a lower-case letter, Latin or Cyrillic.
bool StartsLowercase(const std::string& text) {
    if (text.empty())
        return false;
    unsigned char c = static_cast<unsigned char>(text[0]);
    if (c < 0x80)
        return std::islower(c) != 0;
    if (text.size() < 2)
        return false;
    unsigned char next = static_cast<unsigned char>(text[1]);
    return (c == 0xD0 && next >= 0xB0) || (c == 0xD1 && next <= 0x9F); // U+0430..U+045F
}

// A line of an entry joined to the text before it: with a space, or without one after a word broken
// at a hyphen ("северо-" and "восток").
void AppendLine(std::string& to, const std::string& line) {
    if (line.empty())
        return;
    bool brokenWord = to.size() >= 2 && to.back() == '-' && IsLetterByte(to[to.size() - 2]) && StartsLowercase(line);
    if (!to.empty() && !brokenWord)
        to += ' ';
    to += line;
}

void AppendText(std::string& to, const std::string& more, const char* separator = " ") {
    if (more.empty())
        return;
    if (!to.empty())
        to += separator;
    to += more;
}

// Mueller writes its abbreviations with a leading underscore ("_n.", "_разг."); the texts of an
// article show them without it.
std::string WithoutMarkUnderscores(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool markStart = text[i] == '_' && i + 1 < text.size() && IsLetterByte(text[i + 1]) &&
                         (i == 0 || text[i - 1] == ' ' || text[i - 1] == '(' || text[i - 1] == ')');
        if (!markStart)
            out.push_back(text[i]);
    }
    return out;
}

// The end of a bracketed group that opens at text[start] ("(...)", "[...]", "{...}"), nested groups
// included; npos when it does not close.
std::size_t GroupEnd(const std::string& text, std::size_t start) {
    char open = text[start];
    char close = open == '(' ? ')' : open == '[' ? ']' : '}';
    int depth = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == open)
            ++depth;
        else if (text[i] == close && --depth == 0)
            return i;
    }
    return std::string::npos;
}

// 1 for a Latin letter, 2 for a Cyrillic one (the UTF-8 lead bytes of U+0400..U+047F), else 0.
int LetterKind(unsigned char c) {
    return (c == 0xD0 || c == 0xD1) ? 2 : std::isalpha(c) ? 1 : 0;
}

// Whether the first letter of a segment, outside brackets and abbreviations, is Cyrillic: a Russian
// translation rather than an English example. A segment whose letters are all in brackets goes by
// its first letter.
bool FirstLetterIsCyrillic(const std::string& text) {
    int firstAnywhere = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int kind = LetterKind(c);
        if (kind != 0 && firstAnywhere == 0)
            firstAnywhere = kind;
        if (c == '(' || c == '[' || c == '{') {
            std::size_t end = GroupEnd(text, i);
            if (end != std::string::npos) {
                for (std::size_t k = i; k < end && firstAnywhere == 0; ++k)
                    firstAnywhere = LetterKind(static_cast<unsigned char>(text[k]));
                i = end;
                continue;
            }
        }
        if (c == '_') {
            std::size_t end = text.find(' ', i);
            if (end == std::string::npos)
                break;
            i = end;
            continue;
        }
        if (kind != 0)
            return kind == 2;
    }
    return firstAnywhere == 2;
}

// The head of an entry, a homonym or a part: transcriptions in brackets, abbreviations (the first one
// that names a part of speech is the part's), and forms in parentheses ("(wrote, written)"), in any
// order. What follows them is the translation text.
struct MuellerHeader {
    std::string transcription;
    int partOfSpeech = 0;
    std::string note;
    std::string rest;
};

MuellerHeader ParseMuellerHeader(const std::string& text) {
    MuellerHeader header;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == ',' || c == ';') {
            if (c != ' ' && !header.note.empty())
                header.note.push_back(c);
            ++i;
            continue;
        }
        if (c == '[' || c == '(') {
            std::size_t end = GroupEnd(text, i);
            if (end == std::string::npos)
                break;
            std::string group = text.substr(i, end - i + 1);
            if (c == '[' && header.transcription.empty())
                header.transcription = group;
            else
                AppendText(header.note, group);
            i = end + 1;
            continue;
        }
        if (c == '=') {
            // Another spelling of the headword: "= abnormity [...]".
            std::size_t end = text.find_first_of("[(_;", i);
            if (end == std::string::npos)
                end = text.size();
            std::string spelling = text.substr(i, end - i);
            if (std::any_of(spelling.begin(), spelling.end(),
                            [](char b) { return LetterKind(static_cast<unsigned char>(b)) == 2; }))
                break;
            AppendText(header.note, ovrin::Trimmed(spelling));
            i = end;
            continue;
        }
        if (c == '_' && i + 1 < text.size() && IsLetterByte(text[i + 1])) {
            std::size_t end = text.find_first_of(" ,;", i);
            if (end == std::string::npos)
                end = text.size();
            std::string mark = text.substr(i, end - i);
            int code = PartOfSpeechOfMueller(mark);
            if (code != 0 && header.partOfSpeech == 0)
                header.partOfSpeech = code;
            else
                AppendText(header.note, mark);
            i = end;
            continue;
        }
        // Another spelling or a number between the head's items ("asymmetrical [...]", "b [bi:]",
        // "1 _n.", "ground-to-air guided missile [...]"), and "и" or a language ("фр.") before an
        // abbreviation ("_p. и _p-p.").
        std::size_t end = i;
        bool latin = true;
        for (int words = 0; words < 5 && end < text.size() && latin; ++words) {
            std::size_t wordEnd = std::min(text.find(' ', end), text.size());
            std::string word = text.substr(end, wordEnd - end);
            latin =
                std::none_of(word.begin(), word.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
            bool shortWord =
                word == "\xD0\xB8" || word == "\xD1\x84\xD1\x80" || (word.size() <= 8 && word.back() == '.');
            std::size_t following = text.find_first_not_of(' ', wordEnd);
            if (!latin && !shortWord)
                break;
            char next = following == std::string::npos ? 0 : text[following];
            if (next == '[' || next == '_' || (latin && (next == '(' || next == '='))) {
                AppendText(header.note, text.substr(i, wordEnd - i));
                i = following;
                end = std::string::npos;
                break;
            }
            if (!latin || following == std::string::npos)
                break;
            end = following;
        }
        if (end == std::string::npos)
            continue;
        break;
    }
    header.rest = ovrin::Trimmed(text.substr(std::min(i, text.size())));
    header.note = WithoutMarkUnderscores(header.note);
    return header;
}

// A Mueller sense: its leading abbreviations (a part of speech or labels), then Russian translations
// and English examples with their Russian, split at "; ". The translation is the leading Russian
// segments; everything from the first example on is the note, so nothing is left out.
Sense MuellerSense(const std::string& text, int* partOfSpeech) {
    Sense sense;
    std::string rest = ovrin::Trimmed(text);
    while (rest.size() > 1 && rest[0] == '_' && IsLetterByte(rest[1])) {
        std::size_t end = rest.find(' ');
        std::string mark = rest.substr(0, end);
        rest = end == std::string::npos ? std::string() : ovrin::Trimmed(rest.substr(end));
        int code = PartOfSpeechOfMueller(mark);
        if (code != 0 && *partOfSpeech == 0)
            *partOfSpeech = code;
        else if (code != 0 && code != *partOfSpeech && sense.partOfSpeech == 0)
            sense.partOfSpeech = code;
        else
            AppendText(sense.label, mark.substr(1));
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find("; ", start);
        if (end == std::string::npos)
            end = rest.size();
        std::string segment = ovrin::Trimmed(rest.substr(start, end - start));
        if (!segment.empty()) {
            bool translation = sense.note.empty() && FirstLetterIsCyrillic(segment);
            AppendText(translation ? sense.translation : sense.note, WithoutMarkUnderscores(segment), "; ");
        }
        start = end + 2;
    }
    return sense;
}

// Whether the entry's first line starts with its headword (its letters, in lower case): an entry read
// from the data of another dictionary does not. Dict-server indexes keep headwords in lower case.
bool StartsWithHeadword(const std::string& headword, const std::string& body) {
    auto letters = [](const std::string& text, std::size_t limit) {
        std::wstring kept;
        for (wchar_t c : ovrin::Utf8ToUtf16(text.substr(0, text.find('\n')))) {
            if (kept.size() >= limit)
                break;
            if (c < 0x80 && !std::isalpha(static_cast<unsigned char>(c)))
                continue;
            if (c >= 0x2000 || (c >= 0x80 && c < 0xC0))
                continue; // punctuation ("’") and marks
            if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) ||
                (c >= 0x410 && c <= 0x42F))
                c = static_cast<wchar_t>(c + 0x20);
            else if (c >= 0x100 && c < 0x178 && c != 0x130 && c != 0x138 && c != 0x149 &&
                     c % 2 == (c >= 0x139 && c <= 0x148 ? 1 : 0))
                c = static_cast<wchar_t>(c + 1); // Latin Extended-A: capital and small letters in pairs ("Œ", "œ")
            else if (c == 0x401)
                c = 0x451;
            kept.push_back(c);
        }
        return kept;
    };
    std::wstring own = letters(headword, 6);
    std::size_t first = body.find_first_not_of(" \t\r\n");
    return first != std::string::npos && letters(body.substr(first), own.size()) == own;
}

// A homonym's line: "_I", "_II", ... before a space, a "[" or the end. rest: what follows.
bool MatchHomonym(const std::string& line, std::string* rest) {
    if (line.size() < 2 || line[0] != '_')
        return false;
    std::size_t end = line.find_first_not_of("IVX", 1);
    if (end == 1 || (end != std::string::npos && line[end] != ' ' && line[end] != '\t' && line[end] != '['))
        return false;
    *rest = end == std::string::npos ? std::string() : ovrin::Trimmed(line.substr(end));
    return true;
}

// A numbered line: one or two digits and the mark, "1. _v." (a part, with a space after the mark) or
// "1) дом" and "10)колледж" (a sense, the space left out from 10 on). rest: what follows.
bool MatchNumbered(const std::string& line, char mark, std::string* rest) {
    std::size_t digits = line.find_first_not_of("0123456789");
    if (digits == 0 || digits > 2 || digits == std::string::npos || line[digits] != mark)
        return false;
    bool spaced = digits + 1 < line.size() && (line[digits + 1] == ' ' || line[digits + 1] == '\t');
    if (mark == '.' && !spaced)
        return false;
    *rest = ovrin::Trimmed(line.substr(digits + 1));
    return true;
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ovrin::AsciiLower(x) == ovrin::AsciiLower(y);
           });
}

} // namespace

int PartOfSpeechOfMueller(const std::string& mark) {
    static const std::map<std::string, int> codes = {
        {"_n.", 1},      {"_a.", 2},      {"_v.", 3},        {"_num.", 4},    {"_n-card.", 4}, {"_n-ord.", 4},
        {"_p-p.", 5},    {"_pres-p.", 5}, {"_adv.", 100},    {"_pron.", 101}, {"_cj.", 102},   {"_conj.", 101},
        {"_prep.", 103}, {"_part.", 104}, {"_predic.", 105}, {"_art.", 108},
    };
    auto found = codes.find(mark);
    return found != codes.end() ? found->second : 0;
}

int PartOfSpeechOfFreeDict(const std::string& tag) {
    static const std::map<std::string, int> codes = {
        {"n", 1},      {"adj", 2},   {"v", 3},      {"vi", 3},      {"vt", 3},
        {"num", 4},    {"adv", 100}, {"pron", 101}, {"conj", 102},  {"prep", 103},
        {"part", 104}, {"art", 108}, {"ptcl", 104}, {"punct", 106}, {"det", 107},
    };
    auto found = codes.find(tag);
    return found != codes.end() ? found->second : 0;
}

bool SourceNamesPartOfSpeech(EntryStyle style, const std::string& body) {
    if (style == EntryStyle::Mueller) {
        // The first line is the headword (the abbreviation entries have "_n." there).
        for (std::size_t at = body.find('_', body.find('\n')); at != std::string::npos; at = body.find('_', at + 1)) {
            std::size_t end = body.find_first_of(" ,;\n)", at);
            if (PartOfSpeechOfMueller(body.substr(at, end == std::string::npos ? end : end - at)) != 0)
                return true;
        }
        return false;
    }
    std::size_t open = body.find(" <");
    std::size_t lineEnd = body.find('\n');
    if (open == std::string::npos || open > lineEnd)
        return false;
    std::size_t close = body.find('>', open);
    std::string tags = body.substr(open + 2, close == std::string::npos ? close : close - open - 2);
    for (std::size_t start = 0; start <= tags.size();) {
        std::size_t end = tags.find(',', start);
        if (end == std::string::npos)
            end = tags.size();
        if (PartOfSpeechOfFreeDict(ovrin::Trimmed(tags.substr(start, end - start))) != 0)
            return true;
        start = end + 1;
    }
    return false;
}

bool ParseMuellerEntry(const std::string& headword, const std::string& body, Headword* result) {
    *result = Headword{headword, {}, {}};
    if (!StartsWithHeadword(headword, body))
        return false;
    // Lines become items: heads (of the entry, of a homonym, of a part) with their senses, and
    // continuations of the item before. A head that holds no translation (the entry's transcription
    // alone, "_I [bæŋk]") opens the part that follows it.
    struct RawPart {
        std::string text;
        std::vector<std::string> senses;
    };
    std::vector<RawPart> parts;
    auto headOnly = [](const RawPart& raw) { return raw.senses.empty() && ParseMuellerHeader(raw.text).rest.empty(); };
    for (const std::string& rawLine : Lines(body)) {
        std::string line = ovrin::Trimmed(rawLine);
        if (line.empty())
            continue;
        // The entry repeats its headword first, sometimes also in another case ("A", then "a").
        if (parts.empty() && EqualsIgnoringAsciiCase(line, ovrin::Trimmed(headword)))
            continue;
        std::string rest;
        if (MatchHomonym(line, &rest)) {
            parts.push_back({rest, {}});
        } else if (MatchNumbered(line, '.', &rest)) {
            if (!parts.empty() && headOnly(parts.back()))
                parts.back().text += " " + rest;
            else
                parts.push_back({rest, {}});
        } else if (MatchNumbered(line, ')', &rest)) {
            if (parts.empty())
                parts.push_back({});
            parts.back().senses.push_back(rest);
        } else if (parts.empty()) {
            parts.push_back({line, {}});
        } else if (!parts.back().senses.empty()) {
            AppendLine(parts.back().senses.back(), line);
        } else {
            AppendLine(parts.back().text, line);
        }
    }
    for (const RawPart& raw : parts) {
        Part part;
        MuellerHeader header = ParseMuellerHeader(raw.text);
        part.partOfSpeech = header.partOfSpeech;
        // A part of speech after a cross-reference in the head ("_comp. от late 1) _a.") is still the
        // part's; the text keeps it where it stands.
        for (std::size_t at = raw.text.find('_'); part.partOfSpeech == 0 && at != std::string::npos;
             at = raw.text.find('_', at + 1)) {
            std::size_t end = raw.text.find_first_of(" ,;)", at);
            part.partOfSpeech = PartOfSpeechOfMueller(raw.text.substr(at, end == std::string::npos ? end : end - at));
        }
        part.transcription = header.transcription;
        part.note = header.note;
        if (raw.senses.empty()) {
            if (!header.rest.empty())
                part.senses.push_back(MuellerSense(header.rest, &part.partOfSpeech));
        } else {
            // Text between the head and the first numbered sense is about the whole part.
            AppendText(part.note, WithoutMarkUnderscores(header.rest));
            for (const std::string& text : raw.senses)
                part.senses.push_back(MuellerSense(text, &part.partOfSpeech));
        }
        if (!part.senses.empty() || part.partOfSpeech != 0 || !part.note.empty())
            result->parts.push_back(std::move(part));
        else if (!part.transcription.empty() && result->transcription.empty())
            result->transcription = part.transcription;
    }
    // The first transcription is the headword's.
    if (!result->parts.empty() && result->transcription.empty()) {
        result->transcription = result->parts[0].transcription;
        result->parts[0].transcription.clear();
    }
    return !result->parts.empty();
}

bool ParseFreeDictEntry(const std::string& headword, const std::string& body, Headword* result) {
    *result = Headword{headword, {}, {}};
    std::vector<std::string> lines = Lines(body);
    if (lines.empty() || !StartsWithHeadword(headword, body))
        return false;
    Part part;
    // The header: pronunciations between slashes and "<pos, gender, ...>".
    const std::string& header = lines[0];
    std::size_t slash = header.find(" /");
    std::size_t angle = header.find(" <");
    if (slash != std::string::npos) {
        std::size_t end = angle != std::string::npos ? angle : header.size();
        result->transcription = ovrin::Trimmed(header.substr(slash + 1, end - slash - 1));
    }
    // The index keeps a simplified form of some headwords ("lavenir" for "l'avenir"); the header line
    // has the headword as written.
    std::string written = ovrin::Trimmed(header.substr(0, std::min(slash, angle)));
    if (!written.empty())
        result->headword = written;
    if (angle != std::string::npos) {
        std::size_t close = header.find('>', angle);
        std::string tags = header.substr(angle + 2, close == std::string::npos ? std::string::npos : close - angle - 2);
        std::size_t start = 0;
        while (start <= tags.size()) {
            std::size_t end = tags.find(',', start);
            if (end == std::string::npos)
                end = tags.size();
            std::string tag = ovrin::Trimmed(tags.substr(start, end - start));
            int code = PartOfSpeechOfFreeDict(tag);
            if (code != 0 && part.partOfSpeech == 0) {
                part.partOfSpeech = code;
            } else if (!tag.empty()) {
                if (!part.note.empty())
                    part.note += ", ";
                part.note += tag;
            }
            start = end + 1;
        }
    }
    // Senses: a translation line, then its definitions. When an entry has several translations they
    // are numbered from "1. "; a translation with more than one definition ends in the number of its
    // second ("дом 2."), and each further one has its number on a line of its own (" 3."). Definitions
    // may begin with a number too ("2. Person Plural", "1.000, ...", "1. Grades: ..."): a numbered
    // line opens a translation only where one can stand and with the next translation number.
    static const std::regex numbered(R"(^(\d+)\.\s*(.*)$)");
    static const std::regex trailingNumber(R"(\s+\d+\.$)");
    bool numberedTranslations = false;
    int lastTranslationNumber = 0;
    bool definitionFollows = false; // the line before announced a definition
    auto addDefinition = [&part](const std::string& line) { AppendText(part.senses.back().note, line, "; "); };
    auto addTranslation = [&](const std::string& text) {
        definitionFollows = std::regex_search(text, trailingNumber);
        part.senses.push_back({ovrin::Trimmed(std::regex_replace(text, trailingNumber, "")), {}, {}});
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = ovrin::Trimmed(lines[i]);
        if (line.empty())
            continue;
        if (definitionFollows) {
            addDefinition(line);
            definitionFollows = false;
            continue;
        }
        std::smatch match;
        bool isNumbered = std::regex_match(line, match, numbered);
        // Sense numbers have a few digits; a longer run ("1994.") is read by its first six, so it
        // cannot overflow and is never the next number.
        int number = isNumbered ? std::stoi(match[1].str().substr(0, 6)) : 0;
        std::string rest = isNumbered ? match[2].str() : std::string();
        if (part.senses.empty()) {
            numberedTranslations = isNumbered;
            lastTranslationNumber = number;
            addTranslation(isNumbered ? rest : line);
        } else if (isNumbered && rest.empty()) {
            definitionFollows = true; // a further definition of the same translation
        } else if (isNumbered && numberedTranslations && number == lastTranslationNumber + 1) {
            lastTranslationNumber = number;
            addTranslation(rest);
        } else {
            addDefinition(line);
        }
    }
    if (part.senses.empty())
        return false;
    result->parts.push_back(std::move(part));
    return true;
}

} // namespace dicbuild
