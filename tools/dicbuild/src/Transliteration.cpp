// The one transliteration table of dicbuild. The notation follows the ASCII phonetic alphabets in
// common use ("@" for the neutral vowel, "S" for "sh", "T" and "D" for the two "th", "N" for "ng",
// ":" for length, "'" and "," for the main and the secondary stress), so that "[h@'l@U]" still reads
// as a transcription.
#include "Transliteration.h"

#include <algorithm>
#include <iterator>

namespace dicbuild {

namespace {

struct Transliteration {
    unsigned codePoint;
    const char* text;
};

// Sorted by code point. Empty texts are marks with no sound of their own in the notation.
constexpr Transliteration kTable[] = {
    {0x0101, "a"},        // a with macron
    {0x0103, "a"},        // a with breve
    {0x0107, "c"},        // c with acute
    {0x010D, "c"},        // c with caron
    {0x0113, "e"},        // e with macron
    {0x0117, "e"},        // e with dot above
    {0x0119, "e"},        // e with ogonek
    {0x012B, "i"},        // i with macron
    {0x0130, "I"},        // I with dot above
    {0x0142, "l"},        // l with stroke
    {0x014B, "N"},        // eng: the "ng" of "sing"
    {0x014D, "o"},        // o with macron
    {0x0151, "o"},        // o with double acute
    {0x016B, "u"},        // u with macron
    {0x01C0, "|"},        // dental click
    {0x01C3, "!"},        // retroflex click
    {0x01E7, "g"},        // g with caron
    {0x0219, "s"},        // s with comma below
    {0x0250, "6"},        // turned a: the German "-er"
    {0x0251, "A"},        // alpha: the open back "a" of "father"
    {0x0252, "Q"},        // turned alpha: the "o" of British "hot"
    {0x0254, "O"},        // open o
    {0x0255, "s"},        // c with curl
    {0x0258, "O"},        // reversed e: the Mueller transcriptions write the open "o" of "cock" with it
    {0x0259, "@"},        // schwa
    {0x025A, "@r"},       // schwa with hook
    {0x025B, "E"},        // open e
    {0x025C, "@"},        // reversed open e: the Mueller transcriptions write the neutral vowel with it
    {0x025D, "@r"},       // reversed open e with hook
    {0x0261, "g"},        // script g
    {0x0263, "G"},        // gamma
    {0x0264, "7"},        // rams horn
    {0x0265, "H"},        // turned h: the French "ui"
    {0x0266, "h"},        // h with hook
    {0x0268, "1"},        // i with stroke
    {0x026A, "I"},        // small capital i: the short "i" of "sit"
    {0x026B, "l"},        // l with middle tilde
    {0x026F, "M"},        // turned m
    {0x0271, "F"},        // m with hook
    {0x0272, "J"},        // n with left hook: the French "gn"
    {0x0279, "r"},        // turned r: the English "r"
    {0x027D, "r"},        // r with tail
    {0x027E, "4"},        // r with fishhook: a tapped "r"
    {0x0280, "R"},        // small capital r
    {0x0281, "R"},        // small capital inverted r: the French and German "r"
    {0x0282, "s"},        // s with hook
    {0x0283, "S"},        // esh: "sh"
    {0x0288, "t"},        // t with retroflex hook
    {0x028A, "U"},        // upsilon: the short "u" of "put"
    {0x028B, "v"},        // v with hook
    {0x028C, "V"},        // turned v: the "u" of "cup"
    {0x028E, "L"},        // turned y
    {0x028F, "Y"},        // small capital y: the German short "ü"
    {0x0292, "Z"},        // ezh: the "s" of "measure"
    {0x0294, "?"},        // glottal stop
    {0x02B1, "h"},        // modifier small h with hook
    {0x02B2, "j"},        // modifier small j: palatalised
    {0x02B6, "R"},        // modifier small capital inverted r
    {0x02BF, "'"},        // modifier left half ring
    {0x02C8, "'"},        // main stress
    {0x02CC, ","},        // secondary stress
    {0x02D0, ":"},        // length
    {0x02E5, ""},         // tone bar
    {0x0300, ""},         // combining accents: the letter alone (a vowel with it is composed first)
    {0x0301, ""},         //   acute; on Russian words a stress mark, which code page 1251 cannot show
    {0x0303, "~"},        // combining tilde: nasal vowel
    {0x0306, ""},         // combining breve
    {0x030A, ""},         // combining ring above
    {0x030D, ""},         // combining vertical line above
    {0x0311, ""},         // combining inverted breve
    {0x031D, ""},         // combining up tack below
    {0x0325, ""},         // combining ring below: voiceless
    {0x0329, "="},        // combining vertical line below: syllabic
    {0x032A, ""},         // combining bridge below: dental
    {0x032F, ""},         // combining inverted breve below: non-syllabic
    {0x0361, ""},         // combining double inverted breve: the tie of an affricate
    {0x0393, "G"},        // Greek capital gamma
    {0x0394, "D"},        // Greek capital delta
    {0x03B1, "a"},        // Greek alpha
    {0x03B2, "b"},        // Greek beta
    {0x03B3, "g"},        // Greek gamma
    {0x03B4, "d"},        // Greek delta
    {0x03B8, "T"},        // theta: the "th" of "thin"
    {0x03C5, "u"},        // Greek upsilon
    {0x03DA, "St"},       // Greek stigma
    {0x03DB, "st"},       // Greek small stigma
    {0x0473, "\xD1\x84"}, // Cyrillic fita: "ф"
    {0x048B, "\xD0\xB9"}, // Cyrillic short i with tail: "й"
    {0x0660, "0"},        // Arabic-Indic digits
    {0x0661, "1"},        {0x0662, "2"}, {0x0663, "3"}, {0x0664, "4"}, {0x0665, "5"},
    {0x0666, "6"},        {0x0667, "7"}, {0x0668, "8"}, {0x0669, "9"}, {0x1E0E, "D"}, // D with line below
    {0x1E24, "H"},                                                                    // H with dot below
    {0x1E25, "h"},                                                                    // h with dot below
    {0x1E43, "m"},                                                                    // m with dot below
    {0x200E, ""},                                                                     // left-to-right mark
    {0x200F, ""},                                                                     // right-to-left mark
    {0x2011, "-"},                                                                    // non-breaking hyphen
    {0x2032, "'"},                                                                    // prime
    {0x203F, "_"},                                                                    // undertie: the French liaison
    {0x2060, ""},                                                                     // word joiner
    {0x2070, "0"},                                                                    // superscript digits
    {0x2074, "4"},        {0x2075, "5"}, {0x2076, "6"}, {0x2077, "7"}, {0x2078, "8"},
    {0x2079, "9"},        {0x2080, "0"}, // subscript digits
    {0x2081, "1"},        {0x2082, "2"}, {0x2083, "3"}, {0x2084, "4"}, {0x2085, "5"},
    {0x2086, "6"},        {0x2087, "7"}, {0x2088, "8"}, {0x2089, "9"}, {0x2164, "V"}, // Roman numeral five
    {0x2192, "->"},                                                                   // rightwards arrow
    {0x2197, "'"},  // north east arrow: the Mueller transcriptions' main stress
    {0x2198, ","},  // south east arrow: their secondary stress
    {0x2265, ">="}, // greater than or equal to
    {0x266D, "b"},  // flat sign
    {0x266F, "#"},  // sharp sign
    {0xA71C, "!"},  // raised down arrow: downstep
};

// Vowels with an accent that code page 1252 holds, for a vowel followed by a combining accent.
struct Composition {
    unsigned base;
    unsigned combining;
    unsigned letter;
};

constexpr Composition kCompositions[] = {
    {'a', 0x0301, 0xE1}, {'e', 0x0301, 0xE9}, {'i', 0x0301, 0xED}, {'o', 0x0301, 0xF3}, {'u', 0x0301, 0xFA},
    {'y', 0x0301, 0xFD}, {'A', 0x0301, 0xC1}, {'E', 0x0301, 0xC9}, {'I', 0x0301, 0xCD}, {'O', 0x0301, 0xD3},
    {'U', 0x0301, 0xDA}, {'a', 0x0300, 0xE0}, {'e', 0x0300, 0xE8}, {'i', 0x0300, 0xEC}, {'o', 0x0300, 0xF2},
    {'u', 0x0300, 0xF9}, {'a', 0x030A, 0xE5}, {'A', 0x030A, 0xC5}, {'n', 0x0303, 0xF1}, {'N', 0x0303, 0xD1},
};

} // namespace

const char* TransliterationOf(unsigned codePoint) {
    const Transliteration* end = std::end(kTable);
    const Transliteration* found =
        std::lower_bound(std::begin(kTable), end, codePoint,
                         [](const Transliteration& entry, unsigned c) { return entry.codePoint < c; });
    return found != end && found->codePoint == codePoint ? found->text : nullptr;
}

unsigned ComposedLetter(unsigned base, unsigned combining) {
    for (const Composition& composition : kCompositions) {
        if (composition.base == base && composition.combining == combining)
            return composition.letter;
    }
    return 0;
}

} // namespace dicbuild
