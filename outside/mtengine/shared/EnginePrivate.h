// What the engine stand-in's three DLLs share and nothing outside them sees: the two 8-bit planes the
// engine works in, language codes and prefixes, a small COM object base, and the private interface
// through which a translator asks its linguistic base for the words of the templates switched on.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <atomic>
#include <string>
#include <string_view>

namespace mtengine {

// The engine's 8-bit coding (the conversion library's engine coding): Russian text in the Cyrillic
// plane (Windows-1251 bytes), every other language in the Western plane (Windows-1252 bytes), except
// that the letters on the translator's sign bytes 0xC1 and 0xFC ("Б"/"ь", "Á"/"ü") sit on control
// bytes, leaving 0xC1 and 0xFC to "…" and "№". One byte per character, positions kept.
enum class Plane { Western, Cyrillic };

constexpr unsigned kLangEnglish = 1;
constexpr unsigned kLangRussian = 2;
constexpr unsigned kLangGerman = 4;
constexpr unsigned kLangFrench = 8;

inline Plane PlaneOf(unsigned language) {
    return language == kLangRussian ? Plane::Cyrillic : Plane::Western;
}

// The language code of a prefix letter (E, R, G, F); 0 for any other.
unsigned LanguageOfLetter(char letter);
// Source and target codes of one of the six prefixes; false for any other prefix.
bool ParsePrefix(std::string_view prefix, unsigned* source, unsigned* target);

bool IsLetter(Plane plane, unsigned char c);
unsigned char ToLower(Plane plane, unsigned char c);
unsigned char ToUpper(Plane plane, unsigned char c);
bool IsUpper(Plane plane, unsigned char c);
std::string Lowercase(Plane plane, std::string_view text);

// The numero sign's byte in the Western plane (the conversion library's coding).
constexpr unsigned char kNumeroWestern = 0x81;

// Wide text in and out of a plane. A character the plane lacks becomes kUnmapped.
constexpr unsigned char kUnmapped = 0x01;
std::string FromWide(Plane plane, std::wstring_view text);
std::wstring ToWide(Plane plane, std::string_view text);
std::string FromUtf8(Plane plane, std::string_view text);
// Text in a plane's plain coding (the code page's bytes, as dictionaries hold them) in the engine coding.
std::string FromPlain(Plane plane, std::string_view text);

// A path the engine access wrote through the conversion library's call 52 (Cyrillic as 1251, every
// other character in the 1252 plane). A byte of the upper half is one character in either page, so
// the path is read as 1251 and, when that names nothing, as the 1252 plane; when neither exists, the
// 1251 reading.
std::wstring PathFromPlain(std::string_view path);

// The folder of the module that holds this code (with its final backslash).
std::wstring ModuleFolder(HMODULE module);

// Words of the templates switched on, asked by the translator of the same direction.
// {3B0F8C61-7B52-4D0C-9E44-2F6A0E3D9A17}
inline constexpr GUID kIidTemplateGlossary = {
    0x3B0F8C61, 0x7B52, 0x4D0C, {0x9E, 0x44, 0x2F, 0x6A, 0x0E, 0x3D, 0x9A, 0x17}};

struct ITemplateGlossary : IUnknown {
    // The translation (target plane) of a lowercase key (source plane) in the templates switched on,
    // the last one switched on first: S_OK with *translation valid while the base lives, S_FALSE when
    // none of them has the key.
    virtual HRESULT STDMETHODCALLTYPE Lookup(const char* key, const char** translation) = 0;
};

} // namespace mtengine
