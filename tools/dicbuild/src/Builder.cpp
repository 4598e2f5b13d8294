// Parsed entries to articles, the reverse direction, and the dictionary file.
#include "Builder.h"

#include "Encoder.h"
#include "Leaves.h"

#include "base/CodePage.h"
#include "base/Unicode.h"

#include "dictengine/DEngine.h"
#include "dictengine/DictFile.h"
#include "dictengine/DictFormat.h"
#include "dictengine/DictWriter.h"

#include <algorithm>
#include <map>

namespace dicbuild {

namespace {

using namespace dengine;

constexpr std::size_t kMaxHeadword = 250;
constexpr unsigned char kRussian = DEngine::kLangRussian;
constexpr unsigned char kFrench = DEngine::kLangFrench;

struct Languages {
    unsigned char source;
    unsigned char target;
};

// Makes the article bytes of one headword and notes whether a text had to be split or cut.
class ArticleWriter {
public:
    ArticleWriter(Languages languages, TextEncoder& encoder) : m_languages(languages), m_encoder(encoder) {}

    // The article bytes; empty when they do not fit 65,535 bytes.
    std::string Build(const Headword& headword) {
        // An article of one part holds the part's tags at its top level; more parts are 0x80
        // containers. This is the form the engine's article model packs, so parsing and packing give
        // the bytes back.
        std::string parts;
        bool wrapParts = headword.parts.size() != 1;
        for (std::size_t p = 0; p < headword.parts.size(); ++p) {
            const Part& part = headword.parts[p];
            std::string body;
            if (part.partOfSpeech > 0 && part.partOfSpeech < 256)
                AppendTag(body, kTagPartOfSpeech, std::string(1, static_cast<char>(part.partOfSpeech)));
            const std::string& transcription = !part.transcription.empty() ? part.transcription
                                               : p == 0                    ? headword.transcription
                                                                           : std::string();
            // Only translations (0x01) are in the target language; every other text of an article is
            // in the source language, the other language's words in language runs.
            Leaves(body, kTagNote, transcription, m_languages.source, TextKind::Note);
            Leaves(body, kTagPartNote, part.note, m_languages.source, TextKind::Note);
            for (const Sense& sense : part.senses) {
                std::string item;
                if (sense.partOfSpeech > 0 && sense.partOfSpeech < 256)
                    AppendTag(item, kTagPartOfSpeech, std::string(1, static_cast<char>(sense.partOfSpeech)));
                Leaves(item, kTagTranslationText, sense.translation, m_languages.target, TextKind::Translation);
                Leaves(item, kTagLabel, sense.label, m_languages.source, TextKind::Note);
                Leaves(item, kTagNote, sense.note, m_languages.source, TextKind::Note);
                if (!item.empty() && !AppendTag(body, kTagTranslation, item))
                    return {};
            }
            if (!wrapParts)
                parts = body;
            else if (!AppendTag(parts, kTagSourcePart, body))
                return {};
        }
        // The article must also fit the block it is stored in, its length field included.
        std::string article;
        if (parts.size() + 2 > kMaxContainerData || !MakeContainer(parts, &article))
            return {};
        return article;
    }

    bool Split() const { return m_split; }
    bool Cut() const { return m_cut; }
    void Reset() { m_split = m_cut = false; }

private:
    void Leaves(std::string& out, unsigned char tag, const std::string& text, unsigned char language, TextKind kind) {
        if (text.empty())
            return;
        std::string encoded = m_encoder.Encode(text, language);
        if (encoded.empty())
            return;
        LeafSplit split = SplitIntoLeaves(encoded, kind);
        m_split = m_split || split.leaves.size() > 1;
        m_cut = m_cut || split.cutInsideWord;
        for (const std::string& leaf : split.leaves)
            AppendTag(out, tag, leaf); // SplitIntoLeaves keeps each within a leaf
    }

    Languages m_languages;
    TextEncoder& m_encoder;
    bool m_split = false;
    bool m_cut = false;
};

// The Cyrillic words of a text, each occurrence, without accents (a stress mark inside a word).
void CountCyrillicWords(const std::wstring& text, std::map<std::wstring, unsigned>& words) {
    std::wstring word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        wchar_t c = i < text.size() ? text[i] : L' ';
        if (c >= 0x0300 && c < 0x0370)
            continue;
        if (c >= 0x0400 && c < 0x0500) {
            word.push_back(c);
        } else if (!word.empty()) {
            ++words[word];
            word.clear();
        }
    }
}

// The texts of every leaf of the tags [begin, end), decoded, with whether they hold a part of speech.
void ArticleTexts(const std::uint8_t* begin, const std::uint8_t* end, Languages languages, std::wstring& texts,
                  bool& partOfSpeech) {
    TagWalker walker(begin, end);
    TagView tag;
    while (walker.Next(tag)) {
        if (tag.IsContainer()) {
            ArticleTexts(tag.data, tag.End(), languages, texts, partOfSpeech);
        } else if (tag.tag == kTagPartOfSpeech) {
            partOfSpeech = true;
        } else {
            std::string data(reinterpret_cast<const char*>(tag.data), tag.length);
            texts += DecodeDictionaryText(data, tag.tag == kTagTranslationText ? languages.target : languages.source);
            texts += L' ';
        }
    }
}

// How much of its source entries an article holds (the summary's measure).
void MeasureArticle(const std::string& article, const std::vector<const SourceEntry*>& sources, EntryStyle style,
                    Languages languages, BuildSummary* summary) {
    std::map<std::wstring, unsigned> sourceWords, articleWords;
    bool namesPartOfSpeech = false;
    for (const SourceEntry* source : sources) {
        CountCyrillicWords(ovrin::Utf8ToUtf16(source->body), sourceWords);
        namesPartOfSpeech = namesPartOfSpeech || SourceNamesPartOfSpeech(style, source->body);
    }
    // The headword is shown with the article.
    std::wstring texts = ovrin::Utf8ToUtf16(sources.front()->headword) + L' ';
    bool hasPartOfSpeech = false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(article.data());
    const std::uint8_t *tagsBegin = nullptr, *tagsEnd = nullptr;
    if (ReadContainer(bytes, bytes + article.size(), &tagsBegin, &tagsEnd))
        ArticleTexts(tagsBegin, tagsEnd, languages, texts, hasPartOfSpeech);
    CountCyrillicWords(texts, articleWords);
    unsigned long long total = 0, kept = 0;
    for (const auto& [word, count] : sourceWords) {
        total += count;
        auto found = articleWords.find(word);
        kept += found == articleWords.end() ? 0 : std::min(count, found->second);
    }
    summary->sourceWords += total;
    summary->keptWords += kept;
    if (kept < total)
        summary->missingWords.Add(sources.front()->headword);
    if (namesPartOfSpeech) {
        ++summary->namingPartOfSpeech;
        if (hasPartOfSpeech)
            ++summary->taggedPartOfSpeech;
        else
            summary->untaggedPartOfSpeech.Add(sources.front()->headword);
    }
}

// The key of a French reflexive headword is the verb, as the engine looks it up; a headword that is
// the prefix alone keeps itself as key.
std::string KeyOf(const std::string& display, unsigned char language) {
    if (language != kFrench)
        return display;
    const char* key = WithoutFrenchReflexive(display.c_str());
    return *key != 0 ? std::string(key) : display;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = text.find_first_not_of(' ');
    while (start != std::string::npos) {
        std::size_t end = text.find(' ', start);
        words.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? end : text.find_first_not_of(' ', end);
    }
    return words;
}

std::string JoinWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// A Russian adjective by its ending ("большой", "старинный", "новая").
bool LooksLikeAdjective(const std::string& word) {
    static const char* const endings[] = {"ый", "ий", "ой", "ая", "яя", "ое", "ее", "ые", "ие"};
    for (const char* ending : endings) {
        if (word.size() > 4 && EndsWith(word, ending))
            return true;
    }
    return false;
}

// The text without bracketed remarks ("(о монете)", "{см. тж. go after}").
std::string WithoutRemarks(const std::string& text) {
    std::string out;
    int depth = 0;
    for (char c : text) {
        if (c == '(' || c == '[' || c == '{')
            ++depth;
        else if ((c == ')' || c == ']' || c == '}') && depth > 0)
            --depth;
        else if (depth == 0)
            out.push_back(c);
        if (depth > 0 || c == ')' || c == ']' || c == '}')
            out.push_back(' ');
    }
    return out;
}

// One alternative as a headword: sense markers ("а)"), quotation marks and a trailing "и т.п." out,
// spaces single; empty when it is no headword (a cross-reference, an abbreviation, words of the other
// language, a whole sentence).
std::string CleanAlternative(const std::string& text, bool russian) {
    std::vector<std::string> words;
    for (std::string word : Words(text)) {
        // Sense markers: a letter or a number with ")".
        if (word.back() == ')' && word.size() <= 3)
            continue;
        std::string plain;
        for (std::size_t i = 0; i < word.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(word[i]);
            if (c == '"')
                continue;
            // «, », „, “, ” in UTF-8.
            if (c == 0xC2 && i + 1 < word.size() && (word[i + 1] == '\xAB' || word[i + 1] == '\xBB')) {
                ++i;
                continue;
            }
            if (c == 0xE2 && i + 2 < word.size() && word[i + 1] == '\x80' &&
                (word[i + 2] == '\x9E' || word[i + 2] == '\x9C' || word[i + 2] == '\x9D')) {
                i += 2;
                continue;
            }
            plain.push_back(word[i]);
        }
        if (!plain.empty())
            words.push_back(plain);
    }
    while (!words.empty() && (words.back() == "т.п." || words.back() == "т.д." || words.back() == "пр."))
        words.pop_back();
    if (!words.empty() && (words.back() == "и" || words.back() == "или"))
        words.pop_back();
    while (!words.empty() && (words.front() == "-" || words.front() == "\xE2\x80\x94"))
        words.erase(words.begin());
    std::string headword = JoinWords(words);
    std::size_t last = headword.find_last_not_of(" .,:!?-");
    headword.erase(last == std::string::npos ? 0 : last + 1);
    if (headword.empty() || words.size() > 4 || headword.size() > 60)
        return {};
    // Cross-references: "от go 1" (a form of another headword), "см. X", "= X".
    if (headword[0] == '=' || headword.rfind("см.", 0) == 0)
        return {};
    if (words.size() >= 2 && words[0] == "\xD0\xBE\xD1\x82" && std::isalpha(static_cast<unsigned char>(words[1][0])))
        return {};
    // A headword starts with a letter: not with a suffix ("-ся") or a number left from a reference.
    unsigned char lead = static_cast<unsigned char>(headword[0]);
    if (russian ? (lead != 0xD0 && lead != 0xD1) : (lead < 0x80 && !std::isalpha(lead)))
        return {};
    for (char c : headword) {
        unsigned char byte = static_cast<unsigned char>(c);
        // Abbreviations ("разг.", "т.п.") and the notation of the source are not headwords; in a
        // Russian dictionary neither are Latin words.
        if (c == '.' || c == '_' || c == '%' || c == '=' || (russian && byte < 0x80 && std::isalpha(byte)))
            return {};
    }
    return headword;
}

} // namespace

std::vector<std::string> ReverseHeadwords(const std::string& translation, bool russian) {
    std::vector<std::string> headwords;
    std::string plain = WithoutRemarks(translation);
    std::size_t start = 0;
    while (start <= plain.size()) {
        std::size_t end = plain.find(';', start);
        if (end == std::string::npos)
            end = plain.size();
        std::string segment = plain.substr(start, end - start);
        start = end + 1;
        // Commas part alternatives ("идти, ходить"), except between adjectives of one noun
        // ("большой, старинный город"): there the phrase is one, and its noun is a headword too.
        std::vector<std::string> pieces;
        std::size_t from = 0;
        while (from <= segment.size()) {
            std::size_t comma = segment.find(',', from);
            if (comma == std::string::npos)
                comma = segment.size();
            pieces.push_back(segment.substr(from, comma - from));
            from = comma + 1;
        }
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            std::vector<std::string> words = Words(pieces[i]);
            std::vector<std::string> phrase = words;
            std::size_t next = i;
            while (phrase.size() == 1 + (next - i) && LooksLikeAdjective(phrase.back()) && next + 1 < pieces.size()) {
                std::vector<std::string> following = Words(pieces[next + 1]);
                if (following.empty() || !LooksLikeAdjective(following[0]))
                    break;
                phrase.insert(phrase.end(), following.begin(), following.end());
                ++next;
            }
            if (next > i) {
                // Adjectives and a noun: the noun alone when every word before it is an adjective.
                bool adjectives = std::all_of(phrase.begin(), phrase.end() - 1, LooksLikeAdjective);
                if (adjectives && !LooksLikeAdjective(phrase.back())) {
                    std::string noun = CleanAlternative(phrase.back(), russian);
                    if (!noun.empty())
                        headwords.push_back(noun);
                }
                i = next;
                continue;
            }
            std::string headword = CleanAlternative(pieces[i], russian);
            if (!headword.empty())
                headwords.push_back(headword);
        }
    }
    return headwords;
}

namespace {

std::vector<Headword> Reverse(const std::vector<Headword>& forward, bool russian) {
    constexpr std::size_t kMaxSenses = 40;
    // For each word and part of speech, the headwords that translate to it, the likeliest first: where
    // the word is an early sense and an early alternative of its sense.
    struct Source {
        std::size_t rank;
        std::size_t order;
        const std::string* headword;
    };
    std::map<std::string, std::map<int, std::vector<Source>>> byWord;
    for (std::size_t h = 0; h < forward.size(); ++h) {
        const Headword& headword = forward[h];
        for (const Part& part : headword.parts) {
            for (std::size_t s = 0; s < part.senses.size(); ++s) {
                std::vector<std::string> words = ReverseHeadwords(part.senses[s].translation, russian);
                for (std::size_t w = 0; w < words.size(); ++w) {
                    auto& sources = byWord[words[w]][part.partOfSpeech];
                    auto same = std::find_if(sources.begin(), sources.end(), [&](const Source& source) {
                        return *source.headword == headword.headword;
                    });
                    std::size_t rank = std::min<std::size_t>(s, 9) * 10 + std::min<std::size_t>(w, 9);
                    if (same == sources.end())
                        sources.push_back({rank, h, &headword.headword});
                    else
                        same->rank = std::min(same->rank, rank);
                }
            }
        }
    }
    std::vector<Headword> reversed;
    for (auto& [word, parts] : byWord) {
        Headword headword{word, {}, {}};
        for (auto& [partOfSpeech, sources] : parts) {
            std::stable_sort(sources.begin(), sources.end(),
                             [](const Source& a, const Source& b) { return a.rank < b.rank; });
            if (sources.size() > kMaxSenses)
                sources.resize(kMaxSenses);
            std::sort(sources.begin(), sources.end(),
                      [](const Source& a, const Source& b) { return a.order < b.order; });
            Part part;
            part.partOfSpeech = partOfSpeech;
            for (const Source& source : sources)
                part.senses.push_back({*source.headword, {}, {}});
            headword.parts.push_back(std::move(part));
        }
        reversed.push_back(std::move(headword));
    }
    return reversed;
}

} // namespace

bool EncodeDictionaryName(const BuildOptions& options, std::string* name, std::string* error) {
    unsigned char language = options.reverse ? TargetLanguage(options.direction) : SourceLanguage(options.direction);
    unsigned codePage = language == kRussian ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern;
    std::wstring wide = ovrin::Utf8ToUtf16(options.name);
    *name = ovrin::WideToMultiByte(codePage, wide);
    if (ovrin::MultiByteToWide(codePage, *name) != wide) {
        *error = "the name \"" + options.name + "\" has characters code page " + std::to_string(codePage) +
                 " (the dictionary's source language) cannot hold";
        return false;
    }
    if (name->empty() || name->size() > 12) {
        *error = "the name takes 1 to 12 bytes in code page " + std::to_string(codePage) + "; \"" + options.name +
                 "\" takes " + std::to_string(name->size());
        return false;
    }
    return true;
}

namespace {

// The entries that read as the style's entries, each with its source entry; false with a message
// when too few read for the files to be a dictionary of that style.
bool ParseSource(const std::vector<SourceEntry>& source, const BuildOptions& options, BuildSummary* summary,
                 std::string* error, const std::function<void(std::size_t, std::size_t)>& progress,
                 std::vector<Headword>* parsed, std::vector<const SourceEntry*>* origins) {
    summary->entries = static_cast<unsigned>(source.size()) + summary->problems.Total();
    parsed->reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        Headword headword;
        bool ok = options.style == EntryStyle::Mueller
                      ? ParseMuellerEntry(source[i].headword, source[i].body, &headword)
                      : ParseFreeDictEntry(source[i].headword, source[i].body, &headword);
        if (ok) {
            parsed->push_back(std::move(headword));
            origins->push_back(&source[i]);
        } else {
            summary->unread.Add(source[i].headword);
        }
        if (progress && i % 1000 == 0)
            progress(i, source.size() * 2);
    }
    summary->parsed = static_cast<unsigned>(parsed->size());
    // An index paired with another dictionary's data, a file of another kind or another entry style:
    // most entries do not read, and a dictionary made of the rest would be rubbish.
    if (parsed->size() * 2 < summary->entries || parsed->empty()) {
        *error = "only " + std::to_string(parsed->size()) + " of " + std::to_string(summary->entries) +
                 " entries could be read as " + (options.style == EntryStyle::Mueller ? "Mueller" : "FreeDict") +
                 " entries: not a dictionary of that style, or the index and the data do not belong together";
        return false;
    }
    return true;
}

// The headword texts in the source language's code page, with the parsed headword each stands for.
struct IndexTexts {
    std::vector<dengine::WriterEntry> texts; // display and key; no article yet
    std::vector<std::size_t> parsedIndex;    // of each text
};

// The index texts of the headwords the index can hold; the others are counted as problems.
IndexTexts MakeIndexTexts(const std::vector<Headword>& parsed, Languages languages, TextEncoder& encoder,
                          BuildSummary* summary) {
    IndexTexts index;
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
        index.texts.push_back({display, key == display ? std::string() : key, std::string()});
        index.parsedIndex.push_back(i);
    }
    return index;
}

// The writer's entries in the order the engine keeps them, each with its article. Headwords the
// engine cannot tell apart (the same text under its comparison, "Bill" and "bill") become one
// article with all their parts, since a lookup could only ever reach the first of them.
std::vector<dengine::WriterEntry> MakeEntries(const IndexTexts& index, std::vector<Headword>& parsed,
                                              const std::vector<const SourceEntry*>& origins, Languages languages,
                                              TextEncoder& encoder, bool measure, EntryStyle style,
                                              BuildSummary* summary, std::size_t sourceCount,
                                              const std::function<void(std::size_t, std::size_t)>& progress) {
    std::vector<std::size_t> order = dengine::SortedOrder(index.texts, languages.source);
    DEngine::LoadCompareTable(languages.source); // for TableStrCompare below
    std::vector<dengine::WriterEntry> entries;
    entries.reserve(order.size());
    ArticleWriter writer(languages, encoder);
    for (std::size_t i = 0; i < order.size();) {
        const dengine::WriterEntry& text = index.texts[order[i]];
        Headword headword = std::move(parsed[index.parsedIndex[order[i]]]);
        std::vector<const SourceEntry*> sources = {origins[index.parsedIndex[order[i]]]};
        std::size_t next = i + 1;
        for (; next < order.size(); ++next) {
            const dengine::WriterEntry& other = index.texts[order[next]];
            if (other.key != text.key ||
                DEngine::TableStrCompare(languages.source, other.display.c_str(), text.display.c_str()) != 0)
                break;
            Headword& same = parsed[index.parsedIndex[order[next]]];
            sources.push_back(origins[index.parsedIndex[order[next]]]);
            // The transcription of the second headword stays with its first part.
            if (!same.parts.empty() && same.parts[0].transcription.empty() &&
                same.transcription != headword.transcription)
                same.parts[0].transcription = same.transcription;
            for (Part& part : same.parts)
                headword.parts.push_back(std::move(part));
        }
        writer.Reset();
        std::string article = writer.Build(headword);
        if (article.empty()) {
            summary->leftOut.Add(headword.headword);
        } else {
            if (writer.Split())
                summary->split.Add(headword.headword);
            if (writer.Cut())
                summary->cut.Add(headword.headword);
            if (measure)
                MeasureArticle(article, sources, style, languages, summary);
            entries.push_back({text.display, text.key, std::move(article)});
        }
        if (progress && i % 1000 == 0)
            progress(sourceCount + i * sourceCount / order.size(), sourceCount * 2);
        i = next;
    }
    return entries;
}

} // namespace

bool BuildFromSource(const std::vector<SourceEntry>& source, const BuildOptions& options, const std::wstring& output,
                     BuildSummary* summary, std::string* error,
                     const std::function<void(std::size_t, std::size_t)>& progress) {
    Languages languages{SourceLanguage(options.direction), TargetLanguage(options.direction)};
    std::string name;
    std::vector<Headword> parsed;
    std::vector<const SourceEntry*> origins; // the source entry of each parsed headword
    if (!EncodeDictionaryName(options, &name, error) ||
        !ParseSource(source, options, summary, error, progress, &parsed, &origins))
        return false;
    bool measure = !options.reverse;
    if (options.reverse) {
        parsed = Reverse(parsed, languages.target == kRussian);
        origins.assign(parsed.size(), nullptr);
        std::swap(languages.source, languages.target);
    }
    summary->measured = measure;
    unsigned char western = languages.source != kRussian   ? languages.source
                            : languages.target != kRussian ? languages.target
                                                           : 1;
    TextEncoder encoder(western);
    IndexTexts index = MakeIndexTexts(parsed, languages, encoder, summary);
    std::vector<dengine::WriterEntry> entries = MakeEntries(index, parsed, origins, languages, encoder, measure,
                                                            options.style, summary, source.size(), progress);

    dengine::DictionaryDescription description;
    description.name = name;
    description.direction = MakeDirection(languages.source, languages.target);
    description.checkOrder = true;
    dengine::DictFileInfo info;
    if (!dengine::WriteDictionary(output, description, entries, error) ||
        !dengine::ReadDictFileInfo(output, &info, error))
        return false;
    summary->headwords = info.headwordCount;
    summary->blocks = static_cast<unsigned>(info.blockCounts.size());
    summary->droppedCharacters = encoder.DroppedCharacters();
    summary->transliteratedCharacters = encoder.TransliteratedCharacters();
    if (progress)
        progress(source.size() * 2, source.size() * 2);
    return true;
}

} // namespace dicbuild
