// The exported functions of XLATCP.dll (bound by ordinal through XLATCP.def). The engine coding is
// the plain coding itself, read in the plane of the language code, so the byte-to-byte calls copy.
#include "CodePlanes.h"

#include <xlatcp/Xlatcp.h>

#include <cstring>

namespace {

// Copies count bytes; source and destination may be the same buffer or overlap.
int CopyBytes(const char* source, char* destination, std::size_t count) {
    if (count != 0 && source != destination)
        std::memmove(destination, source, count);
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
    return CopyBytes(source, destination, count);
}

int WINAPI XlatEngineToPlain(unsigned short language, const char* source, char* destination, unsigned short count) {
    return CopyBytes(source, destination, count);
}

int WINAPI XlatEngineStringToPlain(unsigned short language, const char* source, char* destination) {
    return CopyBytes(source, destination, std::strlen(source));
}

int WINAPI XlatPlainToWide(unsigned short language, const char* source, wchar_t* destination, unsigned short count) {
    return DecodeBytes(language, source, destination, count);
}

int WINAPI XlatPlainStringToWide(unsigned short language, const char* source, wchar_t* destination) {
    return DecodeBytes(language, source, destination, std::strlen(source));
}

} // extern "C"
