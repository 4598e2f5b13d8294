// Parsing the two entry styles. Mueller: transcription in brackets, numbered parts "1. _v." and
// numbered senses "1)", with examples after the translations they illustrate. FreeDict: a header line
// "headword /pronunciation/ <pos, gender>", then senses with the translation line first and a
// definition in the source language after it.
#include "Model.h"

#include <algorithm>
#include <map>
#include <regex>

namespace dicbuild {

namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    std::size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

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

void AppendText(std::string& to, const std::string& more) {
    if (more.empty())
        return;
    if (!to.empty())
        to += ' ';
    to += more;
}

// A Cyrillic letter starts the text (after opening brackets and spaces): a Russian translation, not
// an English example.
bool StartsCyrillic(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '(' || c == ' ' || c == '"' || c == '-' || c == '=' || c == '~')
            continue;
        return c == 0xD0 || c == 0xD1; // the UTF-8 lead bytes of U+0400..U+047F
    }
    return false;
}

// Leading "_abbr." tokens: a part of speech and labels.
std::string TakeMarks(std::string text, int* partOfSpeech, std::string* label) {
    for (;;) {
        text = Trim(text);
        if (text.size() < 2 || text[0] != '_')
            return text;
        std::size_t end = text.find(' ');
        std::string mark = text.substr(0, end);
        text = end == std::string::npos ? std::string() : text.substr(end);
        int code = PartOfSpeechOfMueller(mark);
        if (code != 0 && *partOfSpeech == 0) {
            *partOfSpeech = code;
        } else {
            if (!label->empty())
                *label += ' ';
            *label += mark.substr(1);
        }
    }
}

// A Mueller sense: Russian translations and English examples with their Russian, split at "; ".
Sense MuellerSense(const std::string& text, int* partOfSpeech) {
    Sense sense;
    std::string rest = TakeMarks(text, partOfSpeech, &sense.label);
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find("; ", start);
        if (end == std::string::npos)
            end = rest.size();
        std::string segment = Trim(rest.substr(start, end - start));
        if (!segment.empty()) {
            std::string& target = StartsCyrillic(segment) && sense.note.empty() ? sense.translation : sense.note;
            if (!target.empty())
                target += "; ";
            target += segment;
        }
        start = end + 2;
    }
    return sense;
}

} // namespace

int PartOfSpeechOfMueller(const std::string& mark) {
    static const std::map<std::string, int> codes = {
        {"_n.", 1},      {"_a.", 2},      {"_v.", 3},        {"_num.", 4},    {"_n-card.", 4}, {"_n-ord.", 4},
        {"_p-p.", 5},    {"_pres-p.", 5}, {"_adv.", 100},    {"_pron.", 101}, {"_cj.", 102},   {"_conj.", 102},
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

bool ParseMuellerEntry(const std::string& headword, const std::string& body, Headword* result) {
    *result = Headword{headword, {}, {}};
    static const std::regex partLine(R"(^(\d+)\.\s+(.*)$)");
    static const std::regex senseLine(R"(^(\d+)\)\s+(.*)$)");
    std::vector<std::string> lines = Lines(body);
    std::size_t first = 0;
    if (!lines.empty() && Trim(lines[0]) == Trim(headword))
        first = 1;
    // Lines become items: parts, senses, and continuations of the one before.
    struct RawPart {
        std::string text;
        std::vector<std::string> senses;
    };
    std::vector<RawPart> parts;
    for (std::size_t i = first; i < lines.size(); ++i) {
        std::string line = Trim(lines[i]);
        if (line.empty())
            continue;
        std::smatch match;
        if (parts.empty() && result->transcription.empty() && line.front() == '[' && line.back() == ']') {
            result->transcription = line;
        } else if (std::regex_match(line, match, partLine)) {
            parts.push_back({match[2].str(), {}});
        } else if (std::regex_match(line, match, senseLine)) {
            if (parts.empty())
                parts.push_back({});
            parts.back().senses.push_back(match[2].str());
        } else if (parts.empty()) {
            parts.push_back({line, {}});
        } else if (!parts.back().senses.empty()) {
            AppendText(parts.back().senses.back(), line);
        } else {
            AppendText(parts.back().text, line);
        }
    }
    for (const RawPart& raw : parts) {
        Part part;
        std::string label;
        std::string rest = TakeMarks(raw.text, &part.partOfSpeech, &label);
        part.note = label;
        if (raw.senses.empty()) {
            if (!rest.empty())
                part.senses.push_back(MuellerSense(rest, &part.partOfSpeech));
        } else {
            AppendText(part.note, rest);
            for (const std::string& text : raw.senses)
                part.senses.push_back(MuellerSense(text, &part.partOfSpeech));
        }
        if (!part.senses.empty() || part.partOfSpeech != 0)
            result->parts.push_back(std::move(part));
    }
    return !result->parts.empty();
}

bool ParseFreeDictEntry(const std::string& headword, const std::string& body, Headword* result) {
    *result = Headword{headword, {}, {}};
    std::vector<std::string> lines = Lines(body);
    if (lines.empty())
        return false;
    Part part;
    // The header: pronunciations between slashes and "<pos, gender, ...>".
    const std::string& header = lines[0];
    std::size_t slash = header.find(" /");
    std::size_t angle = header.find(" <");
    if (slash != std::string::npos) {
        std::size_t end = angle != std::string::npos ? angle : header.size();
        result->transcription = Trim(header.substr(slash + 1, end - slash - 1));
    }
    // The index keeps a simplified form of some headwords ("lavenir" for "l'avenir"); the header line
    // has the headword as written.
    std::string written = Trim(header.substr(0, std::min(slash, angle)));
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
            std::string tag = Trim(tags.substr(start, end - start));
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
    static const std::regex numbered(R"(^(\d+)\.\s*(.*)$)");
    static const std::regex trailingNumber(R"(\s+\d+\.$)");
    bool expectTranslation = true;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = Trim(lines[i]);
        if (line.empty())
            continue;
        std::smatch match;
        if (std::regex_match(line, match, numbered)) {
            std::string translation = std::regex_replace(match[2].str(), trailingNumber, "");
            if (translation.empty() && !part.senses.empty()) {
                expectTranslation = false; // a further sense of the same translation: its definition follows
                continue;
            }
            part.senses.push_back({Trim(translation), {}, {}});
            expectTranslation = false;
        } else if (expectTranslation || part.senses.empty()) {
            part.senses.push_back({std::regex_replace(line, trailingNumber, ""), {}, {}});
            expectTranslation = false;
        } else {
            Sense& sense = part.senses.back();
            if (!sense.note.empty())
                sense.note += "; ";
            sense.note += line;
        }
    }
    if (part.senses.empty())
        return false;
    result->parts.push_back(std::move(part));
    return true;
}

} // namespace dicbuild
