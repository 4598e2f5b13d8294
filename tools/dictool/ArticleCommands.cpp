// dictool article and user: an article as a reader sees it (parts of speech by name, numbered
// translations with their labels and examples) or as its tag tree, and the making and changing of
// user dictionaries (create, add, set, delete).
#include "Dictionary.h"
#include "dictool/Commands.h"

#include "dictengine/DictFormat.h"

#include <cstdio>
#include <cstdlib>

namespace dictool {

namespace {

using namespace dengine;

constexpr int kMaxDepth = 32;

std::string TagName(unsigned char tag) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", tag);
    return text;
}

// Prints the tags from tags to end, one a line, nested containers indented below their tag. Texts of
// translations (tag 0x01) are in the target language, all others in the source language. A tag that
// runs past its container, or nesting deeper than any article has, ends the walk with a note.
void PrintTags(__DictHandle* handle, const std::uint8_t* tags, const std::uint8_t* end, unsigned short direction,
               int depth, std::ostream& out) {
    std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (depth > kMaxDepth) {
        out << indent << "(nested too deeply)\n";
        return;
    }
    TagWalker walker(tags, end);
    TagView tag;
    while (walker.Next(tag)) {
        if (tag.IsContainer()) {
            out << indent << TagName(tag.tag) << "\n";
            PrintTags(handle, tag.data, tag.End(), direction, depth + 1, out);
            continue;
        }
        const unsigned char* shown = DEngine::Unabbreviate(handle, tag.Begin());
        bool expanded = shown != tag.Begin();
        // An expansion is a length byte, then the text, inside the engine's header.
        std::string text = expanded ? std::string(reinterpret_cast<const char*>(shown + 1), shown[0])
                                    : std::string(reinterpret_cast<const char*>(tag.data), tag.length);
        unsigned char language = tag.tag == kTagTranslationText ? TargetLanguage(direction) : SourceLanguage(direction);
        out << indent << TagName(tag.tag) << (expanded ? " (abbreviation) " : " ") << DictionaryText(text, language)
            << "\n";
    }
    if (walker.Damaged())
        out << indent << "(damaged: a tag runs past its container)\n";
}

// The names the dictionary program shows for the part-of-speech codes of 0x02 tags.
const char* PartOfSpeechName(unsigned code) {
    switch (code) {
    case 1:
        return "Существительное";
    case 2:
        return "Прилагательное";
    case 3:
        return "Глагол";
    case 4:
        return "Числительное";
    case 5:
        return "Причастие";
    case 100:
        return "Наречие";
    case 101:
        return "Местоимение";
    case 102:
        return "Союз";
    case 103:
        return "Предлог";
    case 104:
        return "Частица";
    case 105:
        return "Предикатив";
    case 106:
        return "Пунктуация";
    case 107:
        return "Детерминатив";
    case 108:
        return "Артикль";
    case 109:
        return "Количественное";
    case 110:
        return "Сравнительная степень";
    case 111:
        return "Сочинительный союз";
    case 112:
        return "Подчинительный союз";
    case 113:
        return "Отрицательная частица";
    case 114:
        return "Неопределённый артикль";
    case 115:
        return "Определённый артикль";
    default:
        return "Неизвестная часть речи";
    }
}

// The texts of every leaf with the tag on the container's top level, joined: a text longer than a
// leaf is stored over several leaves of its tag.
std::string LeafTexts(__DictHandle* handle, const unsigned char* container, unsigned char tag, unsigned char language) {
    std::string text;
    for (const unsigned char* leaf = DEngine::FindTag(container, tag); leaf != nullptr;
         leaf = DEngine::FindNextTag(container, leaf)) {
        const unsigned char* shown = DEngine::Unabbreviate(handle, leaf);
        const unsigned char* data = shown == leaf ? leaf + 1 : shown; // a length byte, then the text
        std::string piece =
            DictionaryText(std::string(reinterpret_cast<const char*>(data + 1), data[0]), language, false);
        if (!piece.empty())
            text += (text.empty() ? "" : " ") + piece;
    }
    return text;
}

// An article as the dictionary program lays it out: per part its part of speech, transcription and
// notes, then the translations numbered from 1 with their labels and the texts shown after them.
void PrintReadable(__DictHandle* handle, const unsigned char* article, unsigned short direction, std::ostream& out) {
    unsigned char source = SourceLanguage(direction);
    unsigned char target = TargetLanguage(direction);
    for (unsigned short i = 0; i < DEngine::GetSrcPartCount(article); ++i) {
        const unsigned char* part = DEngine::GetSrcPart(article, i);
        if (part == nullptr)
            break;
        const unsigned char* code = DEngine::FindTag(part, kTagPartOfSpeech);
        std::string head = code != nullptr && code[1] > 0 ? PartOfSpeechName(code[2]) : "";
        std::string transcription = LeafTexts(handle, part, kTagNote, source);
        if (!transcription.empty())
            head += (head.empty() ? "" : "  ") + transcription;
        if (!head.empty())
            out << head << "\n";
        for (unsigned char tag : {kTagPartNote, kTagLaterNote}) {
            std::string note = LeafTexts(handle, part, tag, source);
            if (!note.empty())
                out << "  " << note << "\n";
        }
        for (unsigned short j = 0; j < DEngine::GetTranslationCount(part); ++j) {
            const unsigned char* translation = DEngine::GetTranslation(part, j);
            std::string line = "  " + std::to_string(j + 1) + ".";
            const unsigned char* own = DEngine::FindTag(translation, kTagPartOfSpeech);
            if (own != nullptr && own[1] > 0)
                line += std::string(" ") + PartOfSpeechName(own[2]) + ":";
            std::string label = LeafTexts(handle, translation, kTagLabel, source);
            if (!label.empty())
                line += " (" + label + ")";
            std::string text = LeafTexts(handle, translation, kTagTranslationText, target);
            if (!text.empty())
                line += " " + text;
            out << line << "\n";
            for (unsigned char tag : {kTagNote, kTagClosingNote}) {
                std::string more = LeafTexts(handle, translation, tag, source);
                if (!more.empty())
                    out << "     " << more << "\n";
            }
        }
    }
}

bool DirectionFromLetters(const std::wstring& letters, unsigned short* direction) {
    if (letters.size() != 2)
        return false;
    unsigned char source = DEngine::CharToLang(static_cast<char>(letters[0]));
    unsigned char target = DEngine::CharToLang(static_cast<char>(letters[1]));
    *direction = MakeDirection(source, target);
    return source != 0 && target != 0;
}

// An article of one translation: one part holding a 0x90 container with the text.
std::string TranslationArticle(const std::string& text) {
    DEngine::sArticle* article = DEngine::sArticle::New();
    DEngine::sTagStructure* part = article->AddPart(0);
    part->items[0].Free(); // no part of speech
    part->DeleteEntry(&part->items[0]);
    DEngine::sTagEntry* translation = part->AddEntry(kTagTranslation);
    std::string bytes;
    if (text.size() <= kMaxLeafData) {
        translation->children.AddEntry(kTagTranslationText)
            ->SetData(reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
                      static_cast<unsigned short>(text.size()));
        unsigned char* packed = article->Pack();
        if (packed != nullptr)
            bytes.assign(reinterpret_cast<char*>(packed), 2 + ReadBigEndian16(packed));
        DEngine::FreePtr(packed);
    }
    article->Free();
    return bytes;
}

} // namespace

int Article(const std::wstring& path, const std::wstring& numberText, bool tags, std::ostream& out, std::ostream& err) {
    unsigned long number = 0;
    if (!ParseNumber(numberText, 0xFFFFFFFFul, &number)) {
        err << "dictool: NUMBER must be a headword number\n";
        return 2;
    }
    SingleDictionary dictionary(path, err);
    if (dictionary.Handle() == nullptr)
        return 1;
    const unsigned char* entry = DEngine::GetSingleIndex(dictionary.Handle(), number);
    const unsigned char* article = DEngine::GetArticle(dictionary.Handle(), number);
    if (entry == nullptr || article == nullptr) {
        err << "dictool: headword " << number << " has no article that can be read ("
            << DEngine::GetTotalWordCount(dictionary.Handle()) << " headwords)\n";
        return 1;
    }
    out << number << " " << DictionaryText(DEngine::IndexDataToDisplayData(entry), dictionary.Language()) << "\n";
    const unsigned short direction = DEngine::GetDirection(dictionary.Handle());
    if (tags)
        PrintTags(dictionary.Handle(), article + 2, article + 2 + ReadBigEndian16(article), direction, 1, out);
    else
        PrintReadable(dictionary.Handle(), article, direction, out);
    return 0;
}

// Text typed for a dictionary in the code page of its language; false with a message naming the
// characters that code page cannot hold, or saying that the text is empty or longer than a leaf.
bool EncodeForDictionary(const std::wstring& text, unsigned char language, const char* what, std::string* bytes,
                         std::ostream& err) {
    unsigned codePage = CodePageOf(language);
    *bytes = ovrin::WideToMultiByte(codePage, text);
    std::wstring missing;
    for (wchar_t c : text) {
        if (ovrin::WideToMultiByte(codePage, std::wstring(1, c)) == "?" && c != L'?' &&
            missing.find(c) == std::wstring::npos)
            missing.push_back(c);
    }
    if (!missing.empty()) {
        err << "dictool: the " << what << " has characters code page " << codePage << " cannot hold: \""
            << ovrin::Utf16ToUtf8(missing) << "\"\n";
        return false;
    }
    if (bytes->find_first_not_of(' ') == std::string::npos) {
        err << "dictool: the " << what << " is empty\n";
        return false;
    }
    if (bytes->size() > 255) {
        err << "dictool: the " << what << " takes " << bytes->size() << " bytes; at most 255 fit\n";
        return false;
    }
    return true;
}

int UserCreate(const std::wstring& folder, const std::wstring& letters, std::ostream& out, std::ostream& err) {
    unsigned short direction = 0;
    if (!DirectionFromLetters(letters, &direction)) {
        err << "dictool: DIRECTION must be two language letters, such as ER\n";
        return 2;
    }
    DEngine::DoneDictEngine();
    DEngine::InitDictEngine(folder.c_str());
    __DictHandle* handle = DEngine::OpenUserDictionary(direction);
    int result = 0;
    if (handle == nullptr) {
        err << "dictool: the user dictionary of " << DirectionText(direction) << " cannot be made in "
            << ovrin::Utf16ToUtf8(folder) << "\n";
        result = 1;
    } else {
        out << ovrin::Utf16ToUtf8(DEngine::GetDictionaryPath(handle)) << "\n";
    }
    DEngine::DoneDictEngine();
    return result;
}

int UserChange(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err) {
    const std::wstring& command = args[0];
    SingleDictionary dictionary(args[1], err);
    if (dictionary.Handle() == nullptr)
        return 1;
    if (DEngine::GetDictionaryType(dictionary.Handle()) != DEngine::kUserDictionaryType) {
        err << "dictool: " << ovrin::Utf16ToUtf8(args[1]) << " is not a user dictionary\n";
        return 1;
    }
    unsigned char target = static_cast<unsigned char>(DEngine::GetDirection(dictionary.Handle()));
    std::string text;
    if (command != L"delete" && !EncodeForDictionary(args[3], target, "translation", &text, err))
        return 2;
    if (command == L"add") {
        std::string entry;
        if (!EncodeForDictionary(args[2], dictionary.Language(), "headword", &entry, err))
            return 2;
        std::string article = TranslationArticle(text);
        unsigned long number =
            article.empty()
                ? 0xFFFFFFFFul
                : DEngine::AddArticle(dictionary.Handle(), reinterpret_cast<const unsigned char*>(entry.c_str()),
                                      reinterpret_cast<const unsigned char*>(article.data()));
        if (number == 0xFFFFFFFFul) {
            err << "dictool: the article cannot be added (a full block?)\n";
            return 1;
        }
        out << number << "\n";
        return 0;
    }
    unsigned long number = 0;
    if (!ParseNumber(args[2], 0xFFFFFFFFul, &number)) {
        err << "dictool: NUMBER must be a headword number\n";
        return 2;
    }
    int done = 0;
    if (command == L"set") {
        std::string article = TranslationArticle(text);
        done = article.empty() ? 0
                               : DEngine::SetArticle(dictionary.Handle(), number,
                                                     reinterpret_cast<const unsigned char*>(article.data()));
    } else {
        done = DEngine::DeleteArticle(dictionary.Handle(), number);
    }
    if (done != 1) {
        err << "dictool: headword " << number << " cannot be changed ("
            << DEngine::GetTotalWordCount(dictionary.Handle()) << " headwords)\n";
        return 1;
    }
    return 0;
}

} // namespace dictool
