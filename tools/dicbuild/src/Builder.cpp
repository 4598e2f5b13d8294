// Parsed entries to articles, the reverse direction, and the dictionary file.
#include "Builder.h"

#include "Encoder.h"

#include "dictengine/DEngine.h"
#include "dictengine/DictFile.h"
#include "dictengine/DictWriter.h"

#include <algorithm>
#include <map>
#include <regex>
#include <set>

namespace dicbuild {

namespace {

constexpr std::size_t kMaxLeaf = 255;
constexpr std::size_t kMaxContainer = 65535;
constexpr std::size_t kMaxHeadword = 250;
constexpr unsigned char kRussian = 2;
constexpr unsigned char kFrench = 8;

void AppendLeaf(std::string& out, unsigned char tag, const std::string& data) {
    out.push_back(static_cast<char>(tag));
    out.push_back(static_cast<char>(data.size()));
    out += data;
}

bool AppendContainer(std::string& out, unsigned char tag, const std::string& body) {
    if (body.size() > kMaxContainer)
        return false;
    out.push_back(static_cast<char>(tag));
    out.push_back(static_cast<char>(body.size() >> 8));
    out.push_back(static_cast<char>(body.size() & 0xFF));
    out += body;
    return true;
}

// Text for one leaf: cut at the last space that leaves it, with "...", within 255 bytes. A language
// run is never cut in the middle: a cut inside one goes back to where it starts.
std::string CutToLeaf(const std::string& text, Problems& problems) {
    if (text.size() <= kMaxLeaf)
        return text;
    problems.Add("text cut to fit a leaf of 255 bytes");
    std::size_t limit = kMaxLeaf - 3;
    std::size_t cut = text.rfind(' ', limit);
    if (cut == std::string::npos || cut < limit / 2)
        cut = limit;
    if (std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), '%') % 2 != 0)
        cut = text.rfind('%', cut - 1);
    return text.substr(0, cut) + "...";
}

// Splits a long translation at "; " (then ", ") into pieces that each fit a leaf.
std::vector<std::string> SplitTranslation(const std::string& text, Problems& problems) {
    if (text.size() <= kMaxLeaf)
        return {text};
    for (const char* separator : {"; ", ", "}) {
        std::vector<std::string> pieces;
        std::string current;
        std::size_t start = 0;
        bool fits = true;
        while (start <= text.size()) {
            std::size_t end = text.find(separator, start);
            if (end == std::string::npos)
                end = text.size();
            std::string piece = text.substr(start, end - start);
            if (piece.size() > kMaxLeaf)
                fits = false;
            if (!current.empty() && current.size() + 2 + piece.size() > kMaxLeaf) {
                pieces.push_back(current);
                current.clear();
            }
            current += (current.empty() ? "" : separator) + piece;
            start = end + 2;
        }
        if (!current.empty())
            pieces.push_back(current);
        if (fits)
            return pieces;
    }
    return {CutToLeaf(text, problems)};
}

struct Languages {
    unsigned char source;
    unsigned char target;
};

// The article bytes of a parsed headword; empty when it does not fit a block.
std::string BuildArticle(const Headword& headword, Languages languages, TextEncoder& encoder, Problems& problems) {
    // An article of one part holds the part's tags at its top level; more parts are 0x80 containers.
    // This is the form the engine's article model packs, so parsing and packing give the bytes back.
    std::string parts;
    bool first = true;
    bool wrapParts = headword.parts.size() != 1;
    for (const Part& part : headword.parts) {
        std::string body;
        if (part.partOfSpeech > 0 && part.partOfSpeech < 256)
            AppendLeaf(body, 0x02, std::string(1, static_cast<char>(part.partOfSpeech)));
        if (first && !headword.transcription.empty()) {
            std::string transcription = encoder.Encode(headword.transcription, languages.source);
            if (!transcription.empty())
                AppendLeaf(body, 0x08, CutToLeaf(transcription, problems));
        }
        first = false;
        // Only translations (0x01) are in the target language; every other text of an article is in the
        // source language, the other language's words in language runs.
        if (!part.note.empty())
            AppendLeaf(body, 0x0A, CutToLeaf(encoder.Encode(part.note, languages.source), problems));
        for (const Sense& sense : part.senses) {
            std::string translation = encoder.Encode(sense.translation, languages.target);
            std::vector<std::string> pieces = SplitTranslation(translation, problems);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                std::string item;
                if (!pieces[i].empty())
                    AppendLeaf(item, 0x01, pieces[i]);
                if (i == 0 && !sense.label.empty())
                    AppendLeaf(item, 0x03, CutToLeaf(encoder.Encode(sense.label, languages.source), problems));
                if (i + 1 == pieces.size() && !sense.note.empty())
                    AppendLeaf(item, 0x08, CutToLeaf(encoder.Encode(sense.note, languages.source), problems));
                if (!item.empty() && !AppendContainer(body, 0x90, item))
                    return {};
            }
        }
        if (!wrapParts)
            parts = body;
        else if (!AppendContainer(parts, 0x80, body))
            return {};
    }
    if (parts.size() + 2 > kMaxContainer)
        return {};
    std::string article;
    article.push_back(static_cast<char>(parts.size() >> 8));
    article.push_back(static_cast<char>(parts.size() & 0xFF));
    return article + parts;
}

// The key of a French reflexive headword is the verb: "se laver" under "laver", "s'asseoir" under
// "asseoir".
std::string KeyOf(const std::string& display, unsigned char language) {
    if (language != kFrench)
        return display;
    if (display.rfind("se ", 0) == 0 && display.size() > 3)
        return display.substr(3);
    if (display.rfind("s'", 0) == 0 && display.size() > 2)
        return display.substr(display[2] == ' ' ? 3 : 2);
    return display;
}

// Translations split into the words and phrases the reverse dictionary lists: at ";" and ",",
// without remarks in parentheses.
std::vector<std::string> ReverseHeadwords(const std::string& translation) {
    static const std::regex remarks(R"(\([^)]*\))");
    std::string plain = std::regex_replace(translation, remarks, "");
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= plain.size()) {
        std::size_t end = plain.find_first_of(";,", start);
        if (end == std::string::npos)
            end = plain.size();
        std::string word = plain.substr(start, end - start);
        std::size_t begin = word.find_first_not_of(" .");
        std::size_t last = word.find_last_not_of(" .");
        if (begin != std::string::npos) {
            word = word.substr(begin, last - begin + 1);
            // Phrases of a few words are headwords; whole sentences are not.
            if (word.size() <= 60 && std::count(word.begin(), word.end(), ' ') <= 3 &&
                word.find('_') == std::string::npos)
                words.push_back(word);
        }
        start = end + 1;
    }
    return words;
}

std::vector<Headword> Reverse(const std::vector<Headword>& forward) {
    constexpr std::size_t kMaxSenses = 40;
    std::map<std::string, std::map<int, std::vector<std::string>>> byWord; // word -> part of speech -> sources
    for (const Headword& headword : forward) {
        for (const Part& part : headword.parts) {
            for (const Sense& sense : part.senses) {
                for (const std::string& word : ReverseHeadwords(sense.translation)) {
                    auto& sources = byWord[word][part.partOfSpeech];
                    if (sources.size() < kMaxSenses &&
                        std::find(sources.begin(), sources.end(), headword.headword) == sources.end())
                        sources.push_back(headword.headword);
                }
            }
        }
    }
    std::vector<Headword> reversed;
    for (auto& [word, parts] : byWord) {
        Headword headword{word, {}, {}};
        for (auto& [partOfSpeech, sources] : parts) {
            Part part;
            part.partOfSpeech = partOfSpeech;
            for (const std::string& source : sources)
                part.senses.push_back({source, {}, {}});
            headword.parts.push_back(std::move(part));
        }
        reversed.push_back(std::move(headword));
    }
    return reversed;
}

} // namespace

bool BuildFromSource(const std::vector<SourceEntry>& source, const BuildOptions& options, const std::wstring& output,
                     BuildSummary* summary, std::string* error,
                     const std::function<void(std::size_t, std::size_t)>& progress) {
    Languages languages{static_cast<unsigned char>(options.direction >> 8),
                        static_cast<unsigned char>(options.direction & 0xFF)};
    std::vector<Headword> parsed;
    parsed.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        Headword headword;
        bool ok = options.style == EntryStyle::Mueller
                      ? ParseMuellerEntry(source[i].headword, source[i].body, &headword)
                      : ParseFreeDictEntry(source[i].headword, source[i].body, &headword);
        if (ok)
            parsed.push_back(std::move(headword));
        else
            summary->problems.Add("entry without a translation");
        if (progress && i % 1000 == 0)
            progress(i, source.size() * 2);
    }
    if (options.reverse) {
        parsed = Reverse(parsed);
        std::swap(languages.source, languages.target);
    }
    unsigned char western = languages.source != kRussian   ? languages.source
                            : languages.target != kRussian ? languages.target
                                                           : 1;
    TextEncoder encoder(western);

    // Headwords in the order the engine keeps them. Those the engine cannot tell apart (the same text
    // under its comparison, "Bill" and "bill") become one article with all their parts, since a
    // lookup could only ever reach the first of them. The index of each headword rides in the
    // article field until the articles are made.
    std::vector<dengine::WriterEntry> order;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        std::string display = encoder.Encode(parsed[i].headword, languages.source);
        std::size_t begin = display.find_first_not_of(' ');
        display = begin == std::string::npos ? std::string()
                                             : display.substr(begin, display.find_last_not_of(' ') - begin + 1);
        if (display.empty() || static_cast<unsigned char>(display[0]) < 0x20) {
            summary->problems.Add("headword empty in its code page");
            continue;
        }
        if (display.size() > kMaxHeadword) {
            summary->problems.Add("headword longer than 250 bytes");
            continue;
        }
        // A typographic apostrophe after a French reflexive "s" becomes the plain one, which the lookup
        // recognises when it takes the verb out of "s'abstenir".
        if (languages.source == kFrench && display.rfind("s\x92", 0) == 0)
            display[1] = '\'';
        std::string key = KeyOf(display, languages.source);
        order.push_back({display, key == display ? std::string() : key, std::to_string(i)});
    }
    dengine::SortEntries(order, languages.source); // also makes the source language's tables current

    std::vector<dengine::WriterEntry> entries;
    entries.reserve(order.size());
    for (std::size_t i = 0; i < order.size();) {
        Headword headword = std::move(parsed[std::stoul(order[i].article)]);
        std::size_t next = i + 1;
        for (; next < order.size() && order[next].key == order[i].key &&
               DEngine::TableStrCompare(languages.source, order[next].display.c_str(), order[i].display.c_str()) == 0;
             ++next) {
            Headword& same = parsed[std::stoul(order[next].article)];
            for (Part& part : same.parts)
                headword.parts.push_back(std::move(part));
            if (headword.transcription.empty())
                headword.transcription = same.transcription;
        }
        std::string article = BuildArticle(headword, languages, encoder, summary->problems);
        if (article.empty())
            summary->problems.Add("article longer than a block holds");
        else
            entries.push_back({order[i].display, order[i].key, std::move(article)});
        if (progress && i % 1000 == 0)
            progress(source.size() + i * source.size() / order.size(), source.size() * 2);
        i = next;
    }

    dengine::DictionaryDescription description;
    description.name = options.name.substr(0, 12);
    description.direction = static_cast<std::uint16_t>(languages.source << 8 | languages.target);
    description.checkOrder = true;
    if (!dengine::WriteDictionary(output, description, entries, error))
        return false;
    dengine::DictFileInfo info;
    if (!dengine::ReadDictFileInfo(output, &info, error))
        return false;
    summary->headwords = info.headwordCount;
    summary->blocks = static_cast<unsigned>(info.blockCounts.size());
    summary->droppedCharacters = encoder.DroppedCharacters();
    if (progress)
        progress(source.size() * 2, source.size() * 2);
    return true;
}

} // namespace dicbuild
