// Reading a dictionary into the translator's table. The dictionary engine keeps process-wide state
// and takes no locks: every call into it from this DLL goes through one lock.
#include "DictionaryTable.h"

#include "EnginePrivate.h"
#include "Glossary.h"

#include "dictengine/DEngine.h"

#include <mutex>
#include <vector>

namespace mtengine {

namespace {

std::mutex& DictionaryEngineLock() {
    static std::mutex lock;
    return lock;
}

constexpr unsigned short kNotFound = 0xFFFF;
constexpr unsigned char kTagTranslationText = 0x01;
constexpr unsigned char kTagNote = 0x08;
constexpr unsigned char kTagPartOfSpeech = 0x02;
constexpr int kMaxTranslationWords = 4;

int CountWords(const std::string& text) {
    int words = 0;
    bool inWord = false;
    for (char c : text) {
        bool space = c == ' ';
        if (!space && !inWord)
            ++words;
        inWord = !space;
    }
    return words;
}

// The text of the first 0x01 leaf of a translation container; empty when it has none or it is an
// abbreviation reference.
std::string TranslationText(const unsigned char* translation) {
    const unsigned char* leaf = DEngine::FindTag(translation, kTagTranslationText);
    if (leaf == nullptr)
        return {};
    unsigned length = leaf[1];
    if (length == 2 && leaf[2] == 0)
        return {};
    return std::string(reinterpret_cast<const char*>(leaf + 2), length);
}

// The first run in language of a note (0x08) of a translation container: "%", the decimal code, a
// space, the run, "%". Some articles keep their only translation there.
std::string NoteRun(const unsigned char* translation, unsigned language) {
    const unsigned char* leaf = DEngine::FindTag(translation, kTagNote);
    if (leaf == nullptr)
        return {};
    std::string text(reinterpret_cast<const char*>(leaf + 2), leaf[1]);
    std::string opening = "%" + std::to_string(language) + " ";
    std::size_t begin = text.find(opening);
    if (begin == std::string::npos)
        return {};
    begin += opening.size();
    std::size_t end = text.find('%', begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// The part of speech a container (a part or a translation) names; kPosNone when it names none.
unsigned char PartOfSpeechOf(const unsigned char* container) {
    const unsigned char* leaf = DEngine::FindTag(container, kTagPartOfSpeech);
    return leaf != nullptr && leaf[1] == 1 ? leaf[2] : static_cast<unsigned char>(kPosNone);
}

// The first short translation of each part of speech the article's parts or translations name (with
// commonness, the commonest).
void CollectSenses(const unsigned char* article, DictionaryEntry* entry, const DictionaryTable::Preference& preference,
                   const std::string& headword) {
    std::vector<unsigned> scores;
    unsigned short parts = DEngine::GetSrcPartCount(article);
    for (unsigned short p = 0; p < parts; ++p) {
        const unsigned char* part = DEngine::GetSrcPart(article, p);
        if (part == nullptr)
            break;
        unsigned char partPos = PartOfSpeechOf(part);
        unsigned short count = DEngine::GetTranslationCount(part);
        for (unsigned short t = 0; t < count; ++t) {
            const unsigned char* translation = DEngine::GetTranslation(part, t);
            if (translation == nullptr)
                break;
            unsigned char pos = PartOfSpeechOf(translation);
            pos = pos != kPosNone ? pos : partPos;
            if (pos == kPosNone)
                continue;
            std::size_t known = entry->senses.size();
            for (std::size_t s = 0; s < entry->senses.size(); ++s)
                known = entry->senses[s].first == pos ? s : known;
            if (known < entry->senses.size() && !preference)
                continue;
            std::string text = DictionaryTable::CleanTranslation(TranslationText(translation));
            if (text.empty() || CountWords(text) > kMaxTranslationWords)
                continue;
            unsigned score = preference ? preference(headword, text) : 0;
            if (known == entry->senses.size()) {
                entry->senses.emplace_back(pos, std::move(text));
                scores.push_back(score);
            } else if (score > scores[known]) {
                entry->senses[known].second = std::move(text);
                scores[known] = score;
            }
        }
    }
}

// The first translation of the article that cleans to a short text; failing that, the first that
// cleans to anything; failing that, the first run in the target language of a note.
std::string ChooseTranslation(const unsigned char* article, unsigned target,
                              const DictionaryTable::Preference& preference, const std::string& headword) {
    std::string fallback, common;
    unsigned best = 0;
    unsigned short parts = DEngine::GetSrcPartCount(article);
    for (unsigned short p = 0; p < parts; ++p) {
        const unsigned char* part = DEngine::GetSrcPart(article, p);
        if (part == nullptr)
            break;
        unsigned short count = DEngine::GetTranslationCount(part);
        for (unsigned short t = 0; t < count; ++t) {
            const unsigned char* translation = DEngine::GetTranslation(part, t);
            if (translation == nullptr)
                break;
            std::string text = DictionaryTable::CleanTranslation(TranslationText(translation));
            if (text.empty())
                continue;
            if (CountWords(text) <= kMaxTranslationWords) {
                if (!preference)
                    return text;
                unsigned score = preference(headword, text);
                if (common.empty() || score > best) {
                    common = text;
                    best = score;
                }
                continue;
            }
            if (fallback.empty())
                fallback = std::move(text);
        }
    }
    if (!common.empty())
        return common;
    for (unsigned short p = 0; p < parts && fallback.empty(); ++p) {
        const unsigned char* part = DEngine::GetSrcPart(article, p);
        unsigned short count = part != nullptr ? DEngine::GetTranslationCount(part) : 0;
        for (unsigned short t = 0; t < count && fallback.empty(); ++t) {
            if (const unsigned char* translation = DEngine::GetTranslation(part, t))
                fallback = DictionaryTable::CleanTranslation(NoteRun(translation, target));
        }
    }
    return fallback;
}

} // namespace

std::string DictionaryTable::CleanTranslation(std::string_view text) {
    std::string out;
    int depth = 0;
    bool inRun = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') { // a language run: "%", code, space, text, "%"
            inRun = !inRun;
            continue;
        }
        if (inRun)
            continue;
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
            continue;
        }
        if ((c == ')' || c == ']' || c == '}') && depth > 0) {
            --depth;
            continue;
        }
        if (depth > 0)
            continue;
        if (c == '_') { // a marker such as "_собир.": up to the next space
            while (i + 1 < text.size() && text[i + 1] != ' ')
                ++i;
            continue;
        }
        if (c == ';' || c == ',' || c == ':' || c == '\n' || c == '\r' || c == '\t')
            break;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out.push_back(c);
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    // A translation that kept an explanation ("употр. перед...") rather than words is of no use.
    if (out.find('.') != std::string::npos || out.find('=') != std::string::npos)
        return {};
    return out;
}

bool DictionaryTable::Load(const std::wstring& folder, unsigned short direction, unsigned sourceLanguage,
                           const Preference& preference) {
    std::lock_guard<std::mutex> lock(DictionaryEngineLock());
    m_entries.clear();
    m_cased.clear();
    m_namesPartsOfSpeech = false;
    DEngine::InitDictEngine(folder.c_str());
    bool loaded = false;
    unsigned short dirIndex = DEngine::GetDirectionIndex(direction);
    __DictHandle* handle = dirIndex != kNotFound ? DEngine::OpenDictionary(dirIndex, 0) : nullptr;
    if (handle != nullptr) {
        Plane source = PlaneOf(sourceLanguage);
        unsigned long total = DEngine::GetTotalWordCount(handle);
        constexpr unsigned short kPage = 256;
        std::vector<const unsigned char*> entries(kPage);
        std::vector<std::string> headwords;
        std::unordered_map<std::string, std::string> capitalised; // lowercase key -> the spelling it came from
        loaded = true;
        for (unsigned long first = 0; first < total; first += kPage) {
            unsigned short count = static_cast<unsigned short>(std::min<unsigned long>(kPage, total - first));
            if (!DEngine::GetIndex(handle, first, count, entries.data()))
                break;
            headwords.clear();
            for (unsigned short i = 0; i < count; ++i) {
                const char* display = entries[i] != nullptr ? DEngine::IndexDataToDisplayData(entries[i]) : nullptr;
                headwords.emplace_back(display != nullptr ? display : "");
            }
            for (unsigned short i = 0; i < count; ++i) {
                std::string spelt = FromPlain(source, headwords[i]);
                std::string key = Lowercase(source, spelt);
                bool lowercase = spelt == key;
                auto taken = m_entries.find(key);
                // Headwords that differ only in case ("Polish", "polish") both stay: under the
                // lowercase key the lowercase one, the other under its own spelling.
                bool takenByCapitals = taken != m_entries.end() && capitalised.count(key) != 0;
                bool skip = key.empty();
                if (!skip && taken != m_entries.end()) {
                    if (lowercase)
                        skip = !takenByCapitals; // the first lowercase headword stays
                    else
                        skip = m_cased.count(spelt) != 0 || (takenByCapitals && capitalised[key] == spelt);
                }
                if (skip)
                    continue;
                const unsigned char* article = DEngine::GetArticle(handle, first + i);
                if (article == nullptr)
                    continue;
                Plane target = PlaneOf(direction & 0xFF);
                DictionaryEntry entry;
                entry.translation = FromPlain(target, ChooseTranslation(article, direction & 0xFF, preference, key));
                if (entry.translation.empty())
                    continue;
                CollectSenses(article, &entry, preference, key);
                for (auto& sense : entry.senses)
                    sense.second = FromPlain(target, sense.second);
                m_namesPartsOfSpeech = m_namesPartsOfSpeech || !entry.senses.empty();
                if (taken == m_entries.end()) {
                    if (!lowercase)
                        capitalised.emplace(key, spelt);
                    m_entries.emplace(std::move(key), std::move(entry));
                } else if (!lowercase) {
                    m_cased.emplace(std::move(spelt), std::move(entry));
                } else {
                    m_cased.emplace(capitalised[key], std::move(taken->second));
                    capitalised.erase(key);
                    taken->second = std::move(entry);
                }
            }
        }
        DEngine::CloseDictionary(handle);
    }
    DEngine::DoneDictEngine();
    return loaded && !m_entries.empty();
}

} // namespace mtengine
