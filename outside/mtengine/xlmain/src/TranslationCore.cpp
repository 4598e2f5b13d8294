// Word-by-word translation through glossaries and the dictionary.
#include "TranslationCore.h"

#include "EnglishForms.h"
#include "FromRussian.h"
#include "Inflections.h"
#include "IntoRussian.h"
#include "WesternForms.h"

#include "xlatcp/Xlatcp.h"

namespace mtengine {

namespace {

// The three characters a caller puts into the text as single bytes of its own (an ellipsis, the
// numero sign, the pound sign after English), and their forms in the output.
constexpr unsigned char kEllipsisByte = XLAT_ENGINE_ELLIPSIS_BYTE;
constexpr unsigned char kNumeroByte = XLAT_ENGINE_NUMERO_BYTE;
constexpr unsigned char kPoundByte = XLAT_ENGINE_POUND_BYTE;
constexpr char kEllipsisOut = '\x85'; // the same in both planes
constexpr char kNumeroCyrillic = '\xB9';
constexpr char kPoundWestern = '\xA3';

struct Token {
    enum Kind { Word, Space, Other } kind;
    std::size_t begin, end;
};

bool IsJoiner(unsigned char c) {
    return c == '\'' || c == '-' || c == 0x92; // apostrophe, hyphen, right single quotation mark
}

bool IsApostrophe(unsigned char c) {
    return c == '\'' || c == 0x92;
}

// French elided words ("l'", "j'", "n'", "qu'"): a word of their own before the one they lean on,
// so that the sentence pass sees "j'ai acheté" as three words. Lowercase, without the apostrophe.
bool IsFrenchElision(std::string_view lowercase) {
    static const char* const kElided[] = {"l", "j", "n", "d", "c", "s", "m", "t", "qu", "jusqu", "lorsqu", "puisqu"};
    for (const char* elided : kElided) {
        if (lowercase == elided)
            return true;
    }
    return false;
}

// A word's key: lowercase, an elided word without its apostrophe.
std::string WordKey(Plane plane, std::string_view word) {
    std::string key = Lowercase(plane, word);
    if (key.size() > 1 && IsApostrophe(static_cast<unsigned char>(key.back())))
        key.pop_back();
    return key;
}

// The longest known run of words starting at a word: its last token and its translation.
struct WordMatch {
    std::size_t last = 0;
    bool found = false;
    bool fixed = false; // from a template, or a headword spelt with capitals: the sentence pass keeps it
    bool fromGlossary = false;
    std::string translation;
};

// A sentence pass over the matches, sentence by sentence: a sentence ends at ".", "!", "?" or an
// ellipsis, a clause at any other sign between words.
template <typename Grammar>
void ShapeSentences(std::string_view source, Plane plane, const std::vector<Token>& tokens, const Grammar& grammar,
                    std::vector<WordMatch>& matches) {
    std::vector<SentenceWord> words;
    std::vector<std::size_t> at;
    bool clauseStart = false;
    auto flush = [&] {
        if (!words.empty()) {
            grammar.Shape(words);
            for (std::size_t i = 0; i < words.size(); ++i) {
                WordMatch& match = matches[at[i]];
                if (words[i].dropped) {
                    match.found = true;
                    match.translation.clear();
                } else if (words[i].found) {
                    match.found = true;
                    match.translation = words[i].translation;
                }
            }
        }
        words.clear();
        at.clear();
    };
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        if (token.kind == Token::Other) {
            unsigned char c = static_cast<unsigned char>(source[token.begin]);
            if (c == '.' || c == '!' || c == '?' || c == XLAT_ENGINE_ELLIPSIS_BYTE)
                flush();
            else
                clauseStart = true;
            continue;
        }
        if (token.kind != Token::Word)
            continue;
        const WordMatch& match = matches[t];
        SentenceWord word;
        word.key = WordKey(plane, source.substr(token.begin, tokens[match.last].end - token.begin));
        word.translation = match.translation;
        word.found = match.found;
        word.phrase = match.last != t;
        word.fixed = match.fixed;
        word.glossary = match.fromGlossary;
        word.clauseStart = clauseStart;
        clauseStart = false;
        words.push_back(std::move(word));
        at.push_back(t);
        t = match.last;
    }
    flush();
}

} // namespace

bool TranslationCore::Bind(const std::wstring& folder, const std::string& prefix) {
    m_bound = false;
    if (!ParsePrefix(prefix, &m_source, &m_target))
        return false;
    m_general = Glossary();
    std::wstring general = folder + L"general.gls";
    if (GetFileAttributesW(general.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !ReadGlossary(general, PlaneOf(m_source), PlaneOf(m_target), &m_general))
        return false;
    auto direction = static_cast<unsigned short>(m_source << 8 | m_target);
    // Out of Russian, of an article's translations the one the opposite direction's dictionary
    // confirms (its article gives the headword back first: "live" for "жить", not "keep") is taken,
    // and into English and German the commonest of those. The opposite direction is the sibling folder of the
    // installation ("..\\ER\\" beside "RE"); without it only the counts decide.
    DictionaryTable reverse;
    if (m_source == kLangRussian) {
        std::wstring sibling =
            folder + L"..\\" + std::wstring{static_cast<wchar_t>(prefix[1]), static_cast<wchar_t>(prefix[0])} + L"\\";
        reverse.Load(sibling, static_cast<unsigned short>(m_target << 8 | m_source), m_target);
    }
    Plane target = PlaneOf(m_target), sourcePlane = PlaneOf(m_source);
    DictionaryTable::Preference preference;
    if (m_source == kLangRussian)
        preference = [&](const std::string& headword, const std::string& translation) {
            std::string word = Lowercase(target, FromPlain(target, translation));
            unsigned score = m_target == kLangEnglish  ? std::min(EnglishFrequency(word), 0xFFFFu)
                             : m_target == kLangGerman ? std::min(GermanFrequency(word), 0xFFFFu)
                                                       : 0;
            if (const DictionaryEntry* back = reverse.FindEntry(word)) {
                bool confirmed = Lowercase(sourcePlane, back->translation) == headword;
                for (const auto& sense : back->senses)
                    confirmed = confirmed || Lowercase(sourcePlane, sense.second) == headword;
                score += confirmed ? 0x10000u : 0;
            }
            return score;
        };
    m_bound = m_dictionary.Load(folder, direction, m_source, preference);
    return m_bound;
}

const std::string* TranslationCore::Find(const std::string& key, ITemplateGlossary* templates, std::string* scratch,
                                         bool* fromGlossary) const {
    const char* fromTemplate = nullptr;
    if (templates != nullptr && templates->Lookup(key.c_str(), &fromTemplate) == S_OK && fromTemplate != nullptr) {
        *scratch = fromTemplate;
        return scratch;
    }
    auto general = m_general.entries.find(key);
    if (fromGlossary != nullptr)
        *fromGlossary = general != m_general.entries.end();
    if (general != m_general.entries.end())
        return &general->second;
    return m_dictionary.Find(key);
}

const std::string* TranslationCore::FindWord(const std::string& lowercase, ITemplateGlossary* templates,
                                             std::string* scratch, bool* fromGlossary) const {
    if (const std::string* found = Find(lowercase, templates, scratch, fromGlossary))
        return found;
    for (const std::string& form : BaseForms(m_source, lowercase)) {
        if (const std::string* found = Find(form, templates, scratch, fromGlossary))
            return found;
    }
    return nullptr;
}

std::string TranslationCore::ApplyCase(std::string_view source, const std::string& translation,
                                       bool sentenceStart) const {
    Plane from = PlaneOf(m_source), to = PlaneOf(m_target);
    std::size_t letters = 0, upper = 0;
    for (char c : source) {
        if (IsLetter(from, static_cast<unsigned char>(c))) {
            ++letters;
            upper += IsUpper(from, static_cast<unsigned char>(c)) ? 1 : 0;
        }
    }
    std::string result = translation;
    if (upper == 0 || result.empty())
        return result;
    if (letters > 1 && upper == letters) {
        for (char& c : result)
            c = static_cast<char>(ToUpper(to, static_cast<unsigned char>(c)));
    } else if (IsUpper(from, static_cast<unsigned char>(source[0])) && (sentenceStart || m_source != kLangGerman)) {
        // German capitalises every noun: there only the first word of a sentence passes its capital on.
        result[0] = static_cast<char>(ToUpper(to, static_cast<unsigned char>(result[0])));
    }
    return result;
}

std::vector<Piece> TranslationCore::Translate(std::string_view source, ITemplateGlossary* templates) const {
    Plane from = PlaneOf(m_source);
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(source[i]); };
    auto letter = [&](std::size_t i) { return i < source.size() && IsLetter(from, at(i)); };

    // Tokens. The caller's single-byte signs are bytes no letter uses in the engine coding, so an
    // ellipsis or a numero sign is never part of a word.
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < source.size();) {
        unsigned char c = at(i);
        if (IsLetter(from, c)) {
            std::size_t end = i + 1;
            while (end < source.size() && (letter(end) || (IsJoiner(at(end)) && letter(end + 1)))) {
                if (m_source == kLangFrench && IsApostrophe(at(end)) &&
                    IsFrenchElision(Lowercase(from, source.substr(i, end - i)))) {
                    ++end; // "l'" ends at its apostrophe; the word after it is a token of its own
                    break;
                }
                ++end;
            }
            tokens.push_back({Token::Word, i, end});
            i = end;
        } else if (c == ' ' || c == '\t') {
            std::size_t end = i + 1;
            while (end < source.size() && (at(end) == ' ' || at(end) == '\t'))
                ++end;
            tokens.push_back({Token::Space, i, end});
            i = end;
        } else {
            tokens.push_back({Token::Other, i, i + 1});
            ++i;
        }
    }

    // The longest known run of words at each word, its translation, and where it came from.
    std::vector<WordMatch> matches(tokens.size());
    std::string scratch;
    bool atSentenceStart = true;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        if (token.kind == Token::Other) {
            unsigned char c = at(token.begin);
            atSentenceStart = c == '.' || c == '!' || c == '?' || c == kEllipsisByte;
        }
        if (token.kind != Token::Word)
            continue;
        bool startsSentence = atSentenceStart;
        atSentenceStart = false;
        std::size_t lastWord = t;
        std::string key = WordKey(from, source.substr(token.begin, token.end - token.begin));
        std::vector<std::pair<std::size_t, std::string>> runs{{t, key}};
        for (int words = 1; words < kMaxPhraseWords; ++words) {
            std::size_t space = lastWord + 1, next = lastWord + 2;
            if (next >= tokens.size() || tokens[space].kind != Token::Space || tokens[next].kind != Token::Word ||
                tokens[space].end - tokens[space].begin != 1 || at(tokens[space].begin) != ' ')
                break;
            key += ' ';
            key += WordKey(from, source.substr(tokens[next].begin, tokens[next].end - tokens[next].begin));
            lastWord = next;
            runs.emplace_back(next, key);
        }
        const std::string* found = nullptr;
        std::size_t matchedLast = t;
        bool fromGlossary = false;
        for (std::size_t r = runs.size(); r-- > 1 && found == nullptr;) {
            found = Find(runs[r].second, templates, &scratch, &fromGlossary);
            matchedLast = runs[r].first;
        }
        // Inside a sentence, a word written with capitals is first the headword spelt so ("Polish"
        // beside "polish"); it is kept as the dictionary gives it.
        const DictionaryEntry* cased = nullptr;
        if (found == nullptr && !startsSentence)
            cased = m_dictionary.FindCased(std::string(source.substr(token.begin, token.end - token.begin)));
        if (cased != nullptr) {
            scratch = cased->translation;
            found = &scratch;
            matchedLast = t;
        }
        if (found == nullptr) {
            found = FindWord(runs[0].second, templates, &scratch, &fromGlossary);
            matchedLast = t;
        }
        WordMatch& match = matches[t];
        match.fromGlossary = fromGlossary && found != &scratch;
        match.last = matchedLast;
        match.found = found != nullptr;
        match.fixed = found == &scratch;
        if (found != nullptr)
            match.translation = *found;
        t = matchedLast;
    }
    if (m_dictionary.NamesPartsOfSpeech()) {
        auto lookup = [&](const std::string& key) { return m_dictionary.FindEntry(key); };
        if (m_target == kLangRussian)
            ShapeSentences(source, from, tokens, IntoRussian(lookup, m_source), matches);
        else if (m_source == kLangRussian)
            ShapeSentences(source, from, tokens, FromRussian(lookup, m_target), matches);
    }

    std::vector<Piece> pieces;
    bool capitalNext = false;
    bool sentenceStart = true;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        if (token.kind == Token::Other) {
            capitalNext = false;
            unsigned char c = at(token.begin);
            sentenceStart = c == '.' || c == '!' || c == '?' || c == kEllipsisByte;
            Piece piece{Piece::Copied, token.begin, token.end, {}};
            if (c == kEllipsisByte) {
                piece = {Piece::Translated, token.begin, token.end, std::string(1, kEllipsisOut)};
            } else if (c == kNumeroByte) {
                piece = {
                    Piece::Translated, token.begin, token.end,
                    std::string(1, m_target == kLangRussian ? kNumeroCyrillic : static_cast<char>(kNumeroWestern))};
            } else if (c == kPoundByte && m_source == kLangEnglish) {
                // The pound sign has no place in the Cyrillic plane: it stays a source character.
                piece = {Piece::Untranslated, token.begin, token.end, std::string(1, kPoundWestern)};
            }
            pieces.push_back(std::move(piece));
            continue;
        }
        if (token.kind == Token::Space) {
            pieces.push_back({Piece::Copied, token.begin, token.end, {}});
            continue;
        }
        bool wordStartsSentence = sentenceStart;
        sentenceStart = false;
        const WordMatch& match = matches[t];
        std::size_t matchedLast = match.last;
        std::size_t begin = token.begin, end = tokens[matchedLast].end;
        if (match.found) {
            std::string_view original = source.substr(begin, end - begin);
            // English writes "I" in capitals wherever it stands: that capital is not passed on.
            bool capitalI = m_source == kLangEnglish && original == "I" && !wordStartsSentence;
            std::string translation =
                capitalI ? match.translation : ApplyCase(original, match.translation, wordStartsSentence);
            // A word right after an elided one ("j'" + "ai"): no space between them in the source.
            bool leaning = t > 0 && tokens[t - 1].kind == Token::Word && tokens[t - 1].end == token.begin;
            bool beforeWord = matchedLast + 1 < tokens.size() && tokens[matchedLast + 1].kind == Token::Word;
            if (translation.empty()) {
                // A dropped word takes the space after it along, and hands its capital on; at the end
                // of a sentence ("It is.") the space before it goes instead. After an elided word it
                // leaves the space after it to part that word from the next.
                if (leaning) {
                } else if (matchedLast + 1 < tokens.size() && tokens[matchedLast + 1].kind == Token::Space)
                    ++matchedLast;
                else if (!beforeWord && !pieces.empty() && pieces.back().kind == Piece::Copied && t > 0 &&
                         tokens[t - 1].kind == Token::Space && pieces.back().end > pieces.back().begin &&
                         (at(pieces.back().begin) == ' ' || at(pieces.back().begin) == '\t'))
                    pieces.pop_back(); // the space before a run of dropped words ("стол in the room.")
                capitalNext = capitalNext || (IsUpper(from, at(begin)) && wordStartsSentence);
                sentenceStart = wordStartsSentence;
                t = matchedLast;
                continue;
            }
            if (capitalNext)
                translation[0] =
                    static_cast<char>(ToUpper(PlaneOf(m_target), static_cast<unsigned char>(translation[0])));
            capitalNext = false;
            if (leaning && !pieces.empty() && pieces.back().kind != Piece::Copied)
                pieces.push_back({Piece::Translated, begin, begin, " "});
            pieces.push_back({Piece::Translated, begin, end, std::move(translation)});
            t = matchedLast;
            continue;
        }
        // A compound the dictionary lacks: its parts one by one, the joiners kept.
        std::string_view word = source.substr(begin, end - begin);
        bool joined = false;
        for (std::size_t i = 0; i < word.size(); ++i)
            joined = joined || IsJoiner(static_cast<unsigned char>(word[i]));
        capitalNext = false;
        if (joined) {
            // A joiner is placed once the parts on both sides are known: it goes with a dropped part
            // ("l'" of "l'homme", "est" of "c'est"), and an apostrophe between two translated parts
            // becomes a space ("c'est bon" is not "это'...").
            std::size_t part = 0;
            std::size_t joiner = std::string_view::npos; // the joiner waiting for the part after it
            bool previousTranslated = false, previousDropped = false;
            bool capitalPart = false; // a dropped first part ("L'" of "L'oiseau") hands its capital on
            for (std::size_t i = 0; i <= word.size(); ++i) {
                if (i < word.size() && !IsJoiner(static_cast<unsigned char>(word[i])))
                    continue;
                bool dropped = false, translated = false;
                Piece partPiece{Piece::Untranslated, begin + part, begin + i, {}};
                if (i > part) {
                    std::string_view piece = word.substr(part, i - part);
                    const std::string* partFound = FindWord(Lowercase(from, piece), templates, &scratch);
                    dropped = partFound != nullptr && partFound->empty();
                    translated = partFound != nullptr && !partFound->empty();
                    if (translated) {
                        partPiece = {Piece::Translated, begin + part, begin + i,
                                     ApplyCase(piece, *partFound, wordStartsSentence)};
                        if (capitalPart)
                            partPiece.text[0] = static_cast<char>(
                                ToUpper(PlaneOf(m_target), static_cast<unsigned char>(partPiece.text[0])));
                    }
                    capitalPart = dropped && part == 0 && wordStartsSentence && IsUpper(from, at(begin));
                }
                if (joiner != std::string_view::npos && !dropped && !previousDropped) {
                    bool apostrophe = word[joiner] == '\'' || static_cast<unsigned char>(word[joiner]) == 0x92;
                    if (apostrophe && previousTranslated && translated)
                        pieces.push_back({Piece::Translated, begin + joiner, begin + joiner + 1, " "});
                    else
                        pieces.push_back({Piece::Copied, begin + joiner, begin + joiner + 1, {}});
                }
                if (i > part && !dropped)
                    pieces.push_back(std::move(partPiece));
                joiner = i < word.size() ? i : std::string_view::npos;
                previousTranslated = translated;
                previousDropped = dropped;
                part = i + 1;
            }
            continue;
        }
        if (t > 0 && tokens[t - 1].kind == Token::Word && tokens[t - 1].end == token.begin && !pieces.empty() &&
            pieces.back().kind == Piece::Translated)
            pieces.push_back({Piece::Translated, begin, begin, " "});
        pieces.push_back({Piece::Untranslated, begin, end, {}});
    }
    return pieces;
}

} // namespace mtengine
