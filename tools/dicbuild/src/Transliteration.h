// Characters that neither dictionary code page (1251, 1252) holds, written in a readable ASCII
// notation: the phonetic letters and marks of transcriptions, subscript and superscript digits, and
// a few letters with diacritics the code pages lack.
#pragma once

#include <string>

namespace dicbuild {

// What a character becomes, in UTF-8: a short text (ASCII, or a Cyrillic letter), empty when
// the character is left out on purpose (an invisible mark or an accent on a letter), or null when
// the table has nothing for it.
const char* TransliterationOf(unsigned codePoint);

// For a combining accent after a Latin vowel: the composed letter (U+00E1 for "a" and U+0301), or 0.
unsigned ComposedLetter(unsigned base, unsigned combining);

} // namespace dicbuild
