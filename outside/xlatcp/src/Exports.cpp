// The exported functions of XLATCP.dll (bound by ordinal through XLATCP.def). The engine coding is
// the plain coding with the two letters of each plane that sit on the translator's sign bytes moved
// to control bytes, which never reach the engine inside a text.
#include "CodePlanes.h"

#include <xlatcp/Xlatcp.h>

#include <cstring>

namespace {

// The engine coding exchanges the plain byte of a plane's letter on XLAT_ENGINE_ELLIPSIS_BYTE and on
// XLAT_ENGINE_NUMERO_BYTE ("Б" and "ь" in 1251, "Á" and "ü" in the 1252 plane) with a control byte of
// that plane; the exchange is its own inverse, so both directions use it.
unsigned char Exchanged(unsigned short language, unsigned char byte) {
    const unsigned char ellipsisLetter =
        language == XLAT_LANGUAGE_RUSSIAN ? XLAT_ENGINE_RUSSIAN_ELLIPSIS_LETTER : XLAT_ENGINE_WESTERN_ELLIPSIS_LETTER;
    const unsigned char numeroLetter = ellipsisLetter + 1;
    if (byte == XLAT_ENGINE_ELLIPSIS_BYTE)
        return ellipsisLetter;
    if (byte == ellipsisLetter)
        return XLAT_ENGINE_ELLIPSIS_BYTE;
    if (byte == XLAT_ENGINE_NUMERO_BYTE)
        return numeroLetter;
    if (byte == numeroLetter)
        return XLAT_ENGINE_NUMERO_BYTE;
    return byte;
}

// Exchanges count bytes; source and destination may be the same buffer.
int ExchangeBytes(unsigned short language, const char* source, char* destination, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        destination[i] = static_cast<char>(Exchanged(language, static_cast<unsigned char>(source[i])));
    return static_cast<int>(count);
}

int DecodeBytes(unsigned short language, const char* source, wchar_t* destination, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        destination[i] = xlatcp::PlaneCharacter(language, static_cast<unsigned char>(source[i]));
    return static_cast<int>(count);
}

} // namespace

extern "C" {

int WINAPI XlatWideToPlain(const wchar_t* source, char* destination, unsigned short count) {
    for (unsigned i = 0; i < count; ++i)
        destination[i] = static_cast<char>(xlatcp::PlainByte(static_cast<char16_t>(source[i])));
    return count;
}

int WINAPI XlatPlainToEngine(unsigned short language, const char* source, char* destination, unsigned short count) {
    return ExchangeBytes(language, source, destination, count);
}

int WINAPI XlatEngineToPlain(unsigned short language, const char* source, char* destination, unsigned short count) {
    return ExchangeBytes(language, source, destination, count);
}

int WINAPI XlatEngineStringToPlain(unsigned short language, const char* source, char* destination) {
    return ExchangeBytes(language, source, destination, std::strlen(source));
}

int WINAPI XlatPlainToWide(unsigned short language, const char* source, wchar_t* destination, unsigned short count) {
    return DecodeBytes(language, source, destination, count);
}

int WINAPI XlatPlainStringToWide(unsigned short language, const char* source, wchar_t* destination) {
    return DecodeBytes(language, source, destination, std::strlen(source));
}

} // extern "C"
