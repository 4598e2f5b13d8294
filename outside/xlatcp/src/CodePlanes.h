// The two 8-bit planes of the conversion library: Windows-1251 for Russian, and the 1252 plane
// (Windows-1252 with "№" at a byte 1252 leaves undefined) for every other language.
#pragma once

namespace xlatcp {

// The byte of a character in the plain coding: Cyrillic by 1251, the rest by the 1252 plane, "?" when
// the plane lacks it.
unsigned char PlainByte(char16_t character);

// The character a byte stands for in the plane of a language code; "?" for a byte the plane leaves
// undefined.
char16_t PlaneCharacter(unsigned short language, unsigned char byte);

} // namespace xlatcp
