// The planes of the engine's 8-bit coding and the helpers the three DLLs share.
#include "EnginePrivate.h"

#include "base/Unicode.h"
#include "xlatcp/Xlatcp.h"

#include <array>
#include <unordered_map>
#include <utility>

namespace mtengine {

namespace {

struct PlaneTables {
    std::array<wchar_t, 256> wide{};
    std::unordered_map<wchar_t, unsigned char> bytes;
    std::array<unsigned char, 256> lower{};
    std::array<unsigned char, 256> upper{};
    std::array<bool, 256> letter{};
};

// The engine coding of a code page: its bytes as the conversion library's call 16 leaves them, with
// the plane's two letters on the translator's sign bytes moved to their control bytes; the sign bytes
// themselves read as nothing here (the translation core knows them).
PlaneTables MakeTables(UINT codePage) {
    PlaneTables tables;
    for (unsigned b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        wchar_t c = 0;
        if (b == 0 || MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &byte, 1, &c, 1) != 1)
            c = 0;
        tables.wide[b] = c;
    }
    // The Western plane keeps the numero sign, which 1252 lacks, at a byte 1252 leaves undefined.
    if (codePage == 1252)
        tables.wide[kNumeroWestern] = 0x2116;
    unsigned char moved = codePage == 1251 ? XLAT_ENGINE_RUSSIAN_ELLIPSIS_LETTER : XLAT_ENGINE_WESTERN_ELLIPSIS_LETTER;
    std::swap(tables.wide[XLAT_ENGINE_ELLIPSIS_BYTE], tables.wide[moved]);
    std::swap(tables.wide[XLAT_ENGINE_NUMERO_BYTE], tables.wide[moved + 1]);
    tables.wide[XLAT_ENGINE_ELLIPSIS_BYTE] = tables.wide[XLAT_ENGINE_NUMERO_BYTE] = 0;
    for (unsigned b = 0; b < 256; ++b) {
        wchar_t c = tables.wide[b];
        tables.lower[b] = tables.upper[b] = static_cast<unsigned char>(b);
        tables.letter[b] = c != 0 && IsCharAlphaW(c);
        if (c != 0)
            tables.bytes.emplace(c, static_cast<unsigned char>(b));
    }
    for (unsigned b = 0; b < 256; ++b) {
        wchar_t c = tables.wide[b];
        if (!tables.letter[b])
            continue;
        wchar_t lower = c, upper = c;
        CharLowerBuffW(&lower, 1);
        CharUpperBuffW(&upper, 1);
        auto l = tables.bytes.find(lower), u = tables.bytes.find(upper);
        if (l != tables.bytes.end())
            tables.lower[b] = l->second;
        if (u != tables.bytes.end())
            tables.upper[b] = u->second;
    }
    return tables;
}

const PlaneTables& Tables(Plane plane) {
    static const PlaneTables western = MakeTables(1252);
    static const PlaneTables cyrillic = MakeTables(1251);
    return plane == Plane::Cyrillic ? cyrillic : western;
}

} // namespace

unsigned LanguageOfLetter(char letter) {
    switch (letter) {
    case 'E':
        return kLangEnglish;
    case 'R':
        return kLangRussian;
    case 'G':
        return kLangGerman;
    case 'F':
        return kLangFrench;
    default:
        return 0;
    }
}

bool ParsePrefix(std::string_view prefix, unsigned* source, unsigned* target) {
    static const char* const kPrefixes[] = {"ER", "GR", "FR", "RE", "RG", "RF"};
    for (const char* known : kPrefixes) {
        if (prefix == known) {
            *source = LanguageOfLetter(prefix[0]);
            *target = LanguageOfLetter(prefix[1]);
            return true;
        }
    }
    return false;
}

bool IsLetter(Plane plane, unsigned char c) {
    return Tables(plane).letter[c];
}
unsigned char ToLower(Plane plane, unsigned char c) {
    return Tables(plane).lower[c];
}
unsigned char ToUpper(Plane plane, unsigned char c) {
    return Tables(plane).upper[c];
}
bool IsUpper(Plane plane, unsigned char c) {
    return IsLetter(plane, c) && ToLower(plane, c) != c;
}

std::string Lowercase(Plane plane, std::string_view text) {
    const PlaneTables& tables = Tables(plane);
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(tables.lower[static_cast<unsigned char>(c)]);
    return result;
}

std::string FromWide(Plane plane, std::wstring_view text) {
    const PlaneTables& tables = Tables(plane);
    std::string result(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c > 0 && c < 0x80) {
            result[i] = static_cast<char>(c);
            continue;
        }
        auto found = tables.bytes.find(c);
        result[i] = static_cast<char>(found != tables.bytes.end() ? found->second : kUnmapped);
    }
    return result;
}

std::wstring ToWide(Plane plane, std::string_view text) {
    const PlaneTables& tables = Tables(plane);
    std::wstring result(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        result[i] = tables.wide[b] != 0 ? tables.wide[b] : static_cast<wchar_t>(b);
    }
    return result;
}

std::string FromPlain(Plane plane, std::string_view text) {
    unsigned char moved =
        plane == Plane::Cyrillic ? XLAT_ENGINE_RUSSIAN_ELLIPSIS_LETTER : XLAT_ENGINE_WESTERN_ELLIPSIS_LETTER;
    std::string result(text);
    for (char& c : result) {
        auto b = static_cast<unsigned char>(c);
        if (b == XLAT_ENGINE_ELLIPSIS_BYTE || b == moved)
            c = static_cast<char>(b == moved ? XLAT_ENGINE_ELLIPSIS_BYTE : moved);
        else if (b == XLAT_ENGINE_NUMERO_BYTE || b == moved + 1)
            c = static_cast<char>(b == moved + 1 ? XLAT_ENGINE_NUMERO_BYTE : moved + 1);
    }
    return result;
}

std::string FromUtf8(Plane plane, std::string_view text) {
    return FromWide(plane, ovrin::Utf8ToUtf16(text));
}

namespace {

// The bytes read in one of the two code pages of the plain coding ("№" at 0x81 in the 1252 plane).
std::wstring ReadCodePage(UINT codePage, std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char byte = bytes[i];
        if (codePage == 1252 && static_cast<unsigned char>(byte) == kNumeroWestern)
            text[i] = 0x2116;
        else if (MultiByteToWideChar(codePage, 0, &byte, 1, &text[i], 1) != 1)
            text[i] = L'?';
    }
    return text;
}

} // namespace

std::wstring PathFromPlain(std::string_view path) {
    std::wstring cyrillic = ReadCodePage(1251, path);
    if (GetFileAttributesW(cyrillic.c_str()) != INVALID_FILE_ATTRIBUTES)
        return cyrillic;
    std::wstring western = ReadCodePage(1252, path);
    return GetFileAttributesW(western.c_str()) != INVALID_FILE_ATTRIBUTES ? western : cyrillic;
}

std::wstring ModuleFolder(HMODULE module) {
    wchar_t name[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring path(name, length);
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

} // namespace mtengine
