// dictool info and list: what a dictionary file holds, and the catalogue of a folder as the engine
// orders it.
#include "dictool/Commands.h"

#include "Dictionary.h"
#include "base/CodePage.h"
#include "base/Unicode.h"
#include "dictengine/DEngine.h"
#include "dictengine/DictFile.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace dictool {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

bool g_showProgress = false;

int ShowProgress(unsigned long total, unsigned long current, unsigned short) {
    if (g_showProgress && total > 0) {
        int filled = static_cast<int>(40.0 * current / total);
        std::fprintf(stderr, "\r[%-40s] %3lu%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     current * 100 / total);
        std::fflush(stderr);
    }
    return 1;
}

} // namespace

// Language runs ("%", the language code, a space, the run, "%") are shown with their markers and
// decoded in the code page of their own language.
std::string DictionaryText(const std::string& bytes, unsigned char language, bool runMarkers) {
    unsigned codePage = CodePageOf(language);
    std::string shown;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '%') {
            std::size_t digits = bytes.find_first_not_of("0123456789", i + 1);
            std::size_t close = digits != std::string::npos ? bytes.find('%', digits) : std::string::npos;
            if (digits != std::string::npos && digits > i + 1 && digits - i <= 4 && bytes[digits] == ' ' &&
                close != std::string::npos) {
                unsigned runLanguage = static_cast<unsigned>(std::stoul(bytes.substr(i + 1, digits - i - 1)));
                if (runMarkers)
                    shown += bytes.substr(i, digits - i + 1);
                shown += DictionaryText(bytes.substr(digits + 1, close - digits - 1),
                                        static_cast<unsigned char>(runLanguage), runMarkers);
                if (runMarkers)
                    shown += '%';
                i = close;
                continue;
            }
        }
        if (c < 0x20)
            shown += "\\x" + Hex(c, 2).substr(2);
        else
            shown += ovrin::Utf16ToUtf8(ovrin::MultiByteToWide(codePage, std::string(1, static_cast<char>(c))));
    }
    return shown;
}

std::string DirectionText(unsigned short direction) {
    std::string letters;
    letters.push_back(DEngine::LangToChar(static_cast<unsigned char>(direction >> 8)));
    letters.push_back(DEngine::LangToChar(static_cast<unsigned char>(direction & 0xFF)));
    return letters + " (" + Hex(direction, 4) + ")";
}

int Info(const std::wstring& path, std::ostream& out, std::ostream& err) {
    if (!CheckFile(path, err))
        return 1;
    dengine::DictFileInfo info;
    std::string error;
    if (!dengine::ReadDictFileInfo(path, &info, &error)) {
        err << "dictool: " << ovrin::Utf16ToUtf8(path) << ": not a dictionary file (" << error << ")\n";
        return 1;
    }
    unsigned char source = static_cast<unsigned char>(info.direction >> 8);
    out << "name: " << DictionaryText(info.name, source) << "\n";
    out << "type: " << unsigned(info.type) << (info.type == DEngine::kUserDictionaryType ? " (user dictionary)" : "")
        << "\n";
    out << "version: " << unsigned(info.version) << "\n";
    out << "direction: " << DirectionText(info.direction) << "\n";
    out << "headwords: " << info.headwordCount << "\n";
    out << "blocks: " << info.blockCounts.size()
        << (info.hasCountTable ? " (counts from the block-count table)" : " (counts from the block streams)") << "\n";
    for (std::size_t i = 0; i < info.blockCounts.size(); ++i) {
        out << "  block " << i << ": " << info.blockCounts[i] << " entries, key \""
            << DictionaryText(info.blockKeys[i], source) << "\"\n";
    }
    out << "trailer tags:";
    if (info.trailerTags.empty())
        out << " none";
    for (const auto& [tag, length] : info.trailerTags)
        out << " " << Hex(tag, 2) << " (" << length << " bytes)";
    out << "\n";
    return 0;
}

int List(const std::wstring& folder, std::ostream& out, std::ostream& err) {
    std::error_code failure;
    if (!std::filesystem::is_directory(FileSystemPath(folder), failure)) {
        err << "dictool: " << ovrin::Utf16ToUtf8(folder)
            << (std::filesystem::exists(FileSystemPath(folder), failure) ? " is not a folder\n" : ": no such folder\n");
        return 1;
    }
    DEngine::InitDictEngine(folder.c_str());
    unsigned short directions = DEngine::GetDirectionCount();
    out << "directions:";
    for (unsigned short d = 0; d < directions; ++d)
        out << " " << DirectionText(DEngine::GetDirection(d)).substr(0, 2);
    out << "\n";
    for (unsigned short d = 0; d < directions; ++d) {
        unsigned short code = DEngine::GetDirection(d);
        out << DirectionText(code) << "\n";
        for (unsigned short i = 0; i < DEngine::GetDictionaryCount(d); ++i) {
            out << "  " << i << "  "
                << DictionaryText(DEngine::GetDictionaryName(d, i), static_cast<unsigned char>(code >> 8)) << "  type "
                << unsigned(DEngine::GetDictionaryType(d, i)) << "  handle "
                << reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(d, i)) << "  "
                << ovrin::Utf16ToUtf8(DEngine::GetDictionaryPath(d, i)) << "\n";
        }
    }
    DEngine::DoneDictEngine();
    if (directions == 0)
        err << "dictool: no dictionaries in " << ovrin::Utf16ToUtf8(folder) << "\n";
    return 0;
}

int Find(const std::wstring& path, const std::wstring& text, std::ostream& out, std::ostream& err) {
    SingleDictionary dictionary(path, err);
    if (dictionary.Handle() == nullptr)
        return 1;
    unsigned long index = 0;
    int exact = 0;
    if (DEngine::FindWord(dictionary.Handle(), dictionary.Encode(text).c_str(), &index, &exact) != 1) {
        err << "dictool: the lookup failed (a damaged index block?)\n";
        return 1;
    }
    const unsigned char* entry = DEngine::GetSingleIndex(dictionary.Handle(), index);
    out << index << (exact ? " exact " : " nearest ")
        << (entry != nullptr ? DictionaryText(DEngine::IndexDataToDisplayData(entry), dictionary.Language()) : "")
        << "\n";
    return 0;
}

int Index(const std::wstring& path, const std::wstring& firstText, const std::wstring& countText, std::ostream& out,
          std::ostream& err) {
    unsigned long first = 0, count = 0;
    if (!ParseNumber(firstText, 0xFFFFFFFFul, &first) || !ParseNumber(countText, 0xFFFF, &count)) {
        err << "dictool: FIRST and COUNT must be numbers (COUNT at most 65535)\n";
        return 2;
    }
    SingleDictionary dictionary(path, err);
    if (dictionary.Handle() == nullptr)
        return 1;
    std::vector<const unsigned char*> rows(count);
    if (count > 0 &&
        DEngine::GetIndex(dictionary.Handle(), first, static_cast<unsigned short>(count), rows.data()) != 1) {
        err << "dictool: headwords " << first << " to " << first + count - 1 << " are not all there ("
            << DEngine::GetTotalWordCount(dictionary.Handle()) << " headwords)\n";
        return 1;
    }
    DEngine::IndexDataToDisplayData(static_cast<unsigned short>(count), rows.data());
    for (unsigned long i = 0; i < count; ++i)
        out << first + i << " " << DictionaryText(reinterpret_cast<const char*>(rows[i]), dictionary.Language())
            << "\n";
    return 0;
}

int Search(const std::wstring& path, const std::wstring& pattern, std::ostream& out, std::ostream& err) {
    SingleDictionary dictionary(path, err);
    if (dictionary.Handle() == nullptr)
        return 1;
    std::string encoded = dictionary.Encode(pattern);
    if (encoded.size() > 255) {
        err << "dictool: the pattern is longer than 255 bytes\n";
        return 2;
    }
    unsigned long count = 0;
    unsigned long* indexes = nullptr;
    unsigned char* entries = nullptr;
    g_showProgress = isatty(fileno(stderr)) != 0;
    int complete =
        DEngine::PerformSearch(dictionary.Handle(), encoded.c_str(), &count, &indexes, &entries, ShowProgress);
    if (g_showProgress)
        std::fprintf(stderr, "\r%50s\r", "");
    const unsigned char* entry = entries;
    for (unsigned long i = 0; i < count; ++i) {
        const char* text = reinterpret_cast<const char*>(entry);
        out << indexes[i] << " " << DictionaryText(DEngine::IndexDataToDisplayData(entry), dictionary.Language())
            << "\n";
        entry += std::char_traits<char>::length(text) + 1;
    }
    DEngine::FreePtr(indexes);
    DEngine::FreePtr(entries);
    if (complete != 1 && count == 0) {
        err << "dictool: the search failed (a damaged index block?)\n";
        return 1;
    }
    if (complete != 1)
        err << "dictool: the results were cut at the limit\n";
    return 0;
}

} // namespace dictool
