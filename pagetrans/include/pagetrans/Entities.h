// HTML character references in page text: the named entities of HTML 4.01 (without amp) and
// numeric references, turned into characters before translation and back into entities after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ovrin {

struct sEntityRow {
    std::uint32_t code;  // the character's code point
    const wchar_t* name; // the full reference, "&" and ";" included
};

// The rows in the order both operations walk them, ended by a row whose code and name are zero.
extern const sEntityRow EntityTable[];
constexpr std::size_t kEntityCount = 251;

// Finds a numeric reference: "#", a run of x, comma and X, one to four characters of the second
// class, ";". The ampersand before it is not part of the pattern.
extern const wchar_t kNumericReferencePattern[];

// Replaces numeric references ("&" optional), leftmost first and again from the start after each,
// then every named entity of the table. Never fails.
void DecodeEntities(std::wstring& text);

// Replaces every character that has a row in the table by the row's name. Never fails.
void EncodeEntities(std::wstring& text);

} // namespace ovrin
