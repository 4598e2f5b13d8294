// Text functions the modules share: letter case (ASCII only, or the letters of the suite's languages),
// comparison without regard to case, white space, and text escaped for an HTML page. The same results on every
// platform: nothing here depends on the C library's locale.
#pragma once

#include <string>
#include <string_view>

namespace ovrin {

// 'A'-'Z' lowered, every other character as it is: for names made of ASCII (markup names, switches,
// protocol words), which must not change with the letters around them.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
std::string AsciiLowered(std::string_view text);
std::wstring AsciiLowered(std::wstring_view text);

// The lower-case form of the capital letters of the Latin (ASCII, Latin-1, Latin Extended-A), modern
// Greek and Cyrillic alphabets, as the system lowers them when it compares file names; every other
// character as it is.
wchar_t FoldedCase(wchar_t c);
std::wstring FoldedCase(std::wstring_view text);

// Comparisons with both sides folded.
bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right);
bool EndsWithIgnoringCase(std::wstring_view text, std::wstring_view ending);

// Unicode's white space: tab to carriage return, space, next line, no-break space and the other spaces
// and separators of the General Punctuation block, the ideographic space.
bool IsSpace(wchar_t c);
constexpr bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
// Empty, or nothing but white space.
bool IsBlank(std::wstring_view text);
// The text without the white space at either end.
std::wstring Trimmed(std::wstring_view text);
std::string Trimmed(std::string_view text);

// Text put into an HTML page as it is: the characters HTML reads as markup ("<", ">", "&") written as
// their character references, every other character as it is.
std::wstring EscapedForHtml(std::wstring_view text);

} // namespace ovrin
