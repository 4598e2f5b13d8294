// dictool article and user: an article's tag tree with its texts decoded from their code pages, and
// the making and changing of user dictionaries (create, add, set, delete).
#include "Commands.h"
#include "Dictionary.h"

#include <cstdio>
#include <cstdlib>

namespace dictool {

namespace {

constexpr unsigned char kTranslationText = 0x01;
constexpr int kMaxDepth = 32;

std::string TagName(unsigned char tag) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", tag);
    return text;
}

// Prints the tags from tags to end, one a line, nested containers indented below their tag. Texts of
// translations (tag 0x01) are in the target language, all others in the source language. A tag that
// runs past its container, or nesting deeper than any article has, ends the walk with a note.
void PrintTags(__DictHandle* handle, const unsigned char* tags, const unsigned char* end, unsigned short direction,
               int depth, std::ostream& out) {
    std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (depth > kMaxDepth) {
        out << indent << "(nested too deeply)\n";
        return;
    }
    for (const unsigned char* tag = tags; tag < end;) {
        const std::size_t left = static_cast<std::size_t>(end - tag);
        const std::size_t header = *tag >= 0x80 ? 3 : 2;
        const std::size_t length = left < header ? 0 : *tag >= 0x80 ? (tag[1] << 8 | tag[2]) : tag[1];
        if (left < header || length > left - header) {
            out << indent << "(damaged: a tag runs past its container)\n";
            return;
        }
        if (*tag >= 0x80) {
            out << indent << TagName(*tag) << "\n";
            PrintTags(handle, tag + 3, tag + 3 + length, direction, depth + 1, out);
            tag += 3 + length;
            continue;
        }
        const unsigned char* shown = DEngine::Unabbreviate(handle, tag);
        const unsigned char* text = shown == tag ? tag + 1 : shown; // a length byte, then the text
        unsigned char language = static_cast<unsigned char>(*tag == kTranslationText ? direction : direction >> 8);
        out << indent << TagName(*tag) << (shown != tag ? " (abbreviation) " : " ")
            << DictionaryText(std::string(reinterpret_cast<const char*>(text + 1), text[0]), language) << "\n";
        tag += 2 + length;
    }
}

bool DirectionFromLetters(const std::wstring& letters, unsigned short* direction) {
    if (letters.size() != 2)
        return false;
    unsigned char source = DEngine::CharToLang(static_cast<char>(letters[0]));
    unsigned char target = DEngine::CharToLang(static_cast<char>(letters[1]));
    *direction = static_cast<unsigned short>(source << 8 | target);
    return source != 0 && target != 0;
}

// An article of one translation: one part holding a 0x90 container with the text.
std::string TranslationArticle(const std::string& text) {
    DEngine::sArticle* article = DEngine::sArticle::New();
    DEngine::sTagStructure* part = article->AddPart(0);
    part->items[0].Free(); // no part of speech
    part->DeleteEntry(&part->items[0]);
    DEngine::sTagEntry* translation = part->AddEntry(0x90);
    std::string bytes;
    if (text.size() <= 255) {
        translation->children.AddEntry(kTranslationText)
            ->SetData(reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
                      static_cast<unsigned short>(text.size()));
        unsigned char* packed = article->Pack();
        if (packed != nullptr)
            bytes.assign(reinterpret_cast<char*>(packed), 2 + (packed[0] << 8 | packed[1]));
        DEngine::FreePtr(packed);
    }
    article->Free();
    return bytes;
}

} // namespace

int Article(const std::wstring& path, const std::wstring& numberText, std::ostream& out, std::ostream& err) {
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
    PrintTags(dictionary.Handle(), article + 2, article + 2 + (article[0] << 8 | article[1]),
              DEngine::GetDirection(dictionary.Handle()), 1, out);
    return 0;
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
    if (command == L"add") {
        std::string entry = dictionary.Encode(args[2]);
        std::string article = TranslationArticle(ovrin::WideToMultiByte(CodePageOf(target), args[3]));
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
        std::string article = TranslationArticle(ovrin::WideToMultiByte(CodePageOf(target), args[3]));
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
