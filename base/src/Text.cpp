// Letter case and white space by table ranges of their own, so that every platform and locale agrees.
#include "base/Text.h"

#include <algorithm>

namespace ovrin {

namespace {

// The text with each character changed by change.
template <typename Char, typename Change>
std::basic_string<Char> Changed(std::basic_string_view<Char> text, Change change) {
    std::basic_string<Char> changed(text);
    for (Char& c : changed)
        c = change(c);
    return changed;
}

} // namespace

std::string AsciiLowered(std::string_view text) {
    return Changed(text, [](char c) { return AsciiLower(c); });
}

std::wstring AsciiLowered(std::wstring_view text) {
    return Changed(text, [](wchar_t c) { return AsciiLower(c); });
}

wchar_t FoldedCase(wchar_t c) {
    auto shifted = [c](int by) { return static_cast<wchar_t>(c + by); };
    // Pairs in which the capital has the even code and its small letter follows it.
    auto evenCapital = [c] { return (c & 1) == 0 ? static_cast<wchar_t>(c + 1) : c; };
    auto oddCapital = [c] { return (c & 1) == 1 ? static_cast<wchar_t>(c + 1) : c; };
    if (c < 0x80)
        return AsciiLower(c);
    if (c >= 0xC0 && c <= 0xDE)
        return c == 0xD7 ? c : shifted(0x20); // not the multiplication sign
    if (c >= 0x100 && c <= 0x137)
        return c == 0x130 ? c : evenCapital(); // capital I with dot above stays: its small form is two letters
    if (c >= 0x139 && c <= 0x148)
        return oddCapital();
    if (c >= 0x14A && c <= 0x177)
        return evenCapital();
    if (c == 0x178)
        return 0xFF; // Ÿ
    if (c >= 0x179 && c <= 0x17E)
        return oddCapital();
    // Greek: the accented capitals, then the alphabet (0x3A2 is unassigned).
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return shifted(37);
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return shifted(63);
    if (c >= 0x391 && c <= 0x3AB)
        return c == 0x3A2 ? c : shifted(0x20);
    // Cyrillic: Ѐ-Џ, А-Я, then the pairs of the historic and non-Russian letters.
    if (c >= 0x400 && c <= 0x40F)
        return shifted(0x50);
    if (c >= 0x410 && c <= 0x42F)
        return shifted(0x20);
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return evenCapital();
    if (c == 0x4C0)
        return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE)
        return oddCapital();
    return c;
}

std::wstring FoldedCase(std::wstring_view text) {
    return Changed(text, [](wchar_t c) { return FoldedCase(c); });
}

bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right) {
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), [](wchar_t a, wchar_t b) {
               return FoldedCase(a) == FoldedCase(b);
           });
}

bool EndsWithIgnoringCase(std::wstring_view text, std::wstring_view ending) {
    return text.size() >= ending.size() && EqualIgnoringCase(text.substr(text.size() - ending.size()), ending);
}

bool IsSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsBlank(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return IsSpace(c); });
}

namespace {

template <typename Char>
std::basic_string<Char> TrimmedText(std::basic_string_view<Char> text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsSpace(text[first]))
        ++first;
    while (last > first && IsSpace(text[last - 1]))
        --last;
    return std::basic_string<Char>(text.substr(first, last - first));
}

} // namespace

std::wstring Trimmed(std::wstring_view text) {
    return TrimmedText(text);
}

std::string Trimmed(std::string_view text) {
    return TrimmedText(text);
}

std::wstring EscapedForHtml(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'&':
            escaped += L"&amp;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace ovrin
