// Character references: decimal, hexadecimal and the named references pages commonly use (Latin-1,
// typographic punctuation, a few symbols and Greek letters).
#include "HtmlTokenizer.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace htmlview {
namespace {

struct NamedReference {
    const wchar_t* name;
    char16_t character;
};

constexpr NamedReference kNamedReferences[] = {
    {L"amp", 0x26},      {L"lt", 0x3C},       {L"gt", 0x3E},       {L"quot", 0x22},     {L"apos", 0x27},
    {L"AElig", 0xC6},    {L"Aacute", 0xC1},   {L"Acirc", 0xC2},    {L"Agrave", 0xC0},   {L"Aring", 0xC5},
    {L"Atilde", 0xC3},   {L"Auml", 0xC4},     {L"Ccedil", 0xC7},   {L"ETH", 0xD0},      {L"Eacute", 0xC9},
    {L"Ecirc", 0xCA},    {L"Egrave", 0xC8},   {L"Euml", 0xCB},     {L"Iacute", 0xCD},   {L"Icirc", 0xCE},
    {L"Igrave", 0xCC},   {L"Iuml", 0xCF},     {L"Ntilde", 0xD1},   {L"Oacute", 0xD3},   {L"Ocirc", 0xD4},
    {L"Ograve", 0xD2},   {L"Oslash", 0xD8},   {L"Otilde", 0xD5},   {L"Ouml", 0xD6},     {L"THORN", 0xDE},
    {L"Uacute", 0xDA},   {L"Ucirc", 0xDB},    {L"Ugrave", 0xD9},   {L"Uuml", 0xDC},     {L"Yacute", 0xDD},
    {L"aacute", 0xE1},   {L"acirc", 0xE2},    {L"acute", 0xB4},    {L"aelig", 0xE6},    {L"agrave", 0xE0},
    {L"aring", 0xE5},    {L"atilde", 0xE3},   {L"auml", 0xE4},     {L"brvbar", 0xA6},   {L"ccedil", 0xE7},
    {L"cedil", 0xB8},    {L"cent", 0xA2},     {L"copy", 0xA9},     {L"curren", 0xA4},   {L"deg", 0xB0},
    {L"divide", 0xF7},   {L"eacute", 0xE9},   {L"ecirc", 0xEA},    {L"egrave", 0xE8},   {L"eth", 0xF0},
    {L"euml", 0xEB},     {L"frac12", 0xBD},   {L"frac14", 0xBC},   {L"frac34", 0xBE},   {L"iacute", 0xED},
    {L"icirc", 0xEE},    {L"iexcl", 0xA1},    {L"igrave", 0xEC},   {L"iquest", 0xBF},   {L"iuml", 0xEF},
    {L"laquo", 0xAB},    {L"macr", 0xAF},     {L"micro", 0xB5},    {L"middot", 0xB7},   {L"nbsp", 0xA0},
    {L"not", 0xAC},      {L"ntilde", 0xF1},   {L"oacute", 0xF3},   {L"ocirc", 0xF4},    {L"ograve", 0xF2},
    {L"ordf", 0xAA},     {L"ordm", 0xBA},     {L"oslash", 0xF8},   {L"otilde", 0xF5},   {L"ouml", 0xF6},
    {L"para", 0xB6},     {L"plusmn", 0xB1},   {L"pound", 0xA3},    {L"raquo", 0xBB},    {L"reg", 0xAE},
    {L"sect", 0xA7},     {L"shy", 0xAD},      {L"sup1", 0xB9},     {L"sup2", 0xB2},     {L"sup3", 0xB3},
    {L"szlig", 0xDF},    {L"thorn", 0xFE},    {L"times", 0xD7},    {L"uacute", 0xFA},   {L"ucirc", 0xFB},
    {L"ugrave", 0xF9},   {L"uml", 0xA8},      {L"uuml", 0xFC},     {L"yacute", 0xFD},   {L"yen", 0xA5},
    {L"yuml", 0xFF},     {L"OElig", 0x0152},  {L"oelig", 0x0153},  {L"Scaron", 0x0160}, {L"scaron", 0x0161},
    {L"Yuml", 0x0178},   {L"fnof", 0x0192},   {L"circ", 0x02C6},   {L"tilde", 0x02DC},  {L"ensp", 0x2002},
    {L"emsp", 0x2003},   {L"thinsp", 0x2009}, {L"zwnj", 0x200C},   {L"zwj", 0x200D},    {L"lrm", 0x200E},
    {L"rlm", 0x200F},    {L"ndash", 0x2013},  {L"mdash", 0x2014},  {L"lsquo", 0x2018},  {L"rsquo", 0x2019},
    {L"sbquo", 0x201A},  {L"ldquo", 0x201C},  {L"rdquo", 0x201D},  {L"bdquo", 0x201E},  {L"dagger", 0x2020},
    {L"Dagger", 0x2021}, {L"bull", 0x2022},   {L"hellip", 0x2026}, {L"permil", 0x2030}, {L"prime", 0x2032},
    {L"Prime", 0x2033},  {L"lsaquo", 0x2039}, {L"rsaquo", 0x203A}, {L"oline", 0x203E},  {L"euro", 0x20AC},
    {L"trade", 0x2122},  {L"larr", 0x2190},   {L"uarr", 0x2191},   {L"rarr", 0x2192},   {L"darr", 0x2193},
    {L"harr", 0x2194},   {L"minus", 0x2212},  {L"le", 0x2264},     {L"ge", 0x2265},     {L"ne", 0x2260},
    {L"infin", 0x221E},  {L"asymp", 0x2248},  {L"equiv", 0x2261},  {L"sum", 0x2211},    {L"radic", 0x221A},
    {L"loz", 0x25CA},    {L"spades", 0x2660}, {L"clubs", 0x2663},  {L"hearts", 0x2665}, {L"diams", 0x2666},
    {L"Alpha", 0x0391},  {L"alpha", 0x03B1},  {L"beta", 0x03B2},   {L"gamma", 0x03B3},  {L"delta", 0x03B4},
    {L"pi", 0x03C0},     {L"mu", 0x03BC},     {L"sigma", 0x03C3},  {L"omega", 0x03C9},  {L"Omega", 0x03A9},
    {L"lambda", 0x03BB}, {L"theta", 0x03B8},  {L"epsilon", 0x03B5}};

// References that old pages write without the closing semicolon.
constexpr std::wstring_view kLegacyWithoutSemicolon[] = {L"amp", L"lt", L"gt", L"quot", L"nbsp"};

constexpr std::size_t kLongestName = 8;

bool IsAsciiAlphanumeric(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

void AppendCodePoint(std::wstring& out, unsigned long codePoint) {
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = 0xFFFD;
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        out += static_cast<wchar_t>(codePoint);
    }
}

// A numeric reference after "&#": its length (up to and with the ";" when present), 0 when none.
std::size_t DecodeNumeric(std::wstring_view text, std::wstring& out) {
    std::size_t i = 0;
    bool hex = i < text.size() && (text[i] == L'x' || text[i] == L'X');
    if (hex)
        ++i;
    std::size_t firstDigit = i;
    unsigned long value = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        int digit = c >= L'0' && c <= L'9'          ? c - L'0'
                    : hex && c >= L'a' && c <= L'f' ? c - L'a' + 10
                    : hex && c >= L'A' && c <= L'F' ? c - L'A' + 10
                                                    : -1;
        if (digit < 0)
            break;
        value = std::min<unsigned long>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (i == firstDigit)
        return 0;
    AppendCodePoint(out, value);
    return i < text.size() && text[i] == L';' ? i + 1 : i;
}

// A named reference after "&": its length, 0 when the name is not one we know.
std::size_t DecodeNamed(std::wstring_view text, std::wstring& out) {
    std::size_t length = 0;
    while (length < text.size() && length <= kLongestName && IsAsciiAlphanumeric(text[length]))
        ++length;
    std::wstring_view name = text.substr(0, length);
    bool semicolon = length < text.size() && text[length] == L';';
    if (!semicolon) {
        // "&nbspx" in old pages: the longest legacy name the text starts with.
        for (std::wstring_view legacy : kLegacyWithoutSemicolon) {
            if (name.substr(0, legacy.size()) == legacy && name.size() > legacy.size()) {
                name = legacy;
                length = legacy.size();
                break;
            }
        }
    }
    for (const NamedReference& reference : kNamedReferences) {
        if (name != reference.name)
            continue;
        bool legacy = std::find(std::begin(kLegacyWithoutSemicolon), std::end(kLegacyWithoutSemicolon), name) !=
                      std::end(kLegacyWithoutSemicolon);
        if (!semicolon && !legacy)
            return 0;
        out += static_cast<wchar_t>(reference.character);
        return semicolon ? length + 1 : length;
    }
    return 0;
}

} // namespace

std::wstring DecodeCharacterReferences(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t ampersand = text.find(L'&', i);
        if (ampersand == std::wstring_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, ampersand - i));
        std::wstring_view rest = text.substr(ampersand + 1);
        std::size_t used =
            !rest.empty() && rest[0] == L'#' ? DecodeNumeric(rest.substr(1), out) : DecodeNamed(rest, out);
        if (used == 0) {
            out += L'&';
            i = ampersand + 1;
        } else {
            i = ampersand + 1 + used + (!rest.empty() && rest[0] == L'#' ? 1 : 0);
        }
    }
    return out;
}

} // namespace htmlview
