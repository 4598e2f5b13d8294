// XLATCP.dll: conversion between wide (UTF-16) text and the 8-bit codings of the translation engine.
// The library exports its six functions by ordinal only; the import library made from XLATCP.def
// binds the names below to those ordinals, so callers link ovrin_xlatcp_import and call them by name.
//
// Codings
//
// Plain coding (what XlatWideToPlain produces and what dictionaries hold): one byte per character.
//   - U+0400..U+04FF: the character's Windows-1251 byte, or "?" when 1251 lacks it;
//   - any other character: its Windows-1252 byte, except "№" (U+2116), which 1252 lacks and which goes
//     to XLAT_NUMERO_SIGN_BYTE (0x81, a byte 1252 leaves undefined);
//   - a character neither holds (including each half of a surrogate pair) goes to "?".
//   U+0000 goes to byte 0.
//
// Language planes (how XlatPlainToWide and XlatPlainStringToWide read bytes): language code 2
// (Russian) reads bytes as Windows-1251; every other code reads them as the "1252 plane": Windows-1252
// with "№" at 0x81. A byte the plane leaves undefined (0x98 in 1251; 0x8D, 0x8F, 0x90, 0x9D in the 1252
// plane) reads as "?".
//
// Engine coding (what XlatPlainToEngine makes, what XlatEngineToPlain and XlatEngineStringToPlain
// take back): the plain coding, except that the letter of the language's plane on each of the
// translator's sign bytes (XLAT_ENGINE_ELLIPSIS_BYTE, XLAT_ENGINE_NUMERO_BYTE) is moved to a control
// byte (below), so that "Б. Н. Ельцин" and "да…нет" reach the engine with the letters and the signs
// apart. The engine reads the bytes in the plane of the language code it is given (1251 for Russian,
// the 1252 plane otherwise).
//
// Round trip callers rely on: for every character of code pages 1251 and 1252, XlatWideToPlain, then
// XlatPlainToEngine with the character's language code (2 for U+0400..U+04FF, any other code for the
// rest), then XlatEngineToPlain and XlatPlainToWide (or XlatEngineStringToPlain and
// XlatPlainStringToWide) with the same code give the character back at the same position. A
// non-Cyrillic character passed with code 2 comes back only when 1251 holds it at its 1252 byte (the
// ASCII characters and the shared punctuation); otherwise it comes back as the 1251 reading of that
// byte. A character neither code page holds comes back as "?".
//
// Every call succeeds; the results are the number of bytes or characters written. Source and
// destination of the byte-to-byte calls may be the same buffer. No call writes a terminator.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Language codes: one bit each.
enum {
    XLAT_LANGUAGE_ENGLISH = 1,
    XLAT_LANGUAGE_RUSSIAN = 2,
    XLAT_LANGUAGE_GERMAN = 4,
    XLAT_LANGUAGE_FRENCH = 8,
    XLAT_LANGUAGE_ITALIAN = 16,
    XLAT_LANGUAGE_SPANISH = 32,
    XLAT_LANGUAGE_PORTUGUESE = 64
};

// The plain byte of "№" (U+2116) outside the Russian plane.
#define XLAT_NUMERO_SIGN_BYTE 0x81

// The bytes the translator writes into the engine's text for "…", "№" and, after English, "£". The
// engine coding leaves them to these signs: no character is re-encoded onto them.
#define XLAT_ENGINE_ELLIPSIS_BYTE 0xC1
#define XLAT_ENGINE_NUMERO_BYTE 0xFC
#define XLAT_ENGINE_POUND_BYTE 0x18

// Where the engine coding puts the letters whose plain byte is a sign byte: the letter on the
// ellipsis byte at the first, the letter on the numero byte at the next (control bytes, which the
// translator never puts into a text). Russian: "Б" at 0x1C, "ь" at 0x1D; every other code: "Á" at 0x1E,
// "ü" at 0x1F. Those control bytes take the sign bytes' places, so the coding stays one to one.
#define XLAT_ENGINE_RUSSIAN_ELLIPSIS_LETTER 0x1C
#define XLAT_ENGINE_WESTERN_ELLIPSIS_LETTER 0x1E

// Ordinal 52: count characters of source to count plain bytes, byte i for character i.
int WINAPI XlatWideToPlain(const wchar_t* source, char* destination, unsigned short count);

// Ordinal 16: count plain bytes to the engine's coding for the language.
int WINAPI XlatPlainToEngine(unsigned short language, const char* source, char* destination, unsigned short count);

// Ordinal 17: count bytes of engine output back to the plain coding.
int WINAPI XlatEngineToPlain(unsigned short language, const char* source, char* destination, unsigned short count);

// Ordinal 15: as XlatEngineToPlain, for the zero-terminated source; the bytes before the terminator
// are written.
int WINAPI XlatEngineStringToPlain(unsigned short language, const char* source, char* destination);

// Ordinal 50: count bytes read in the language's plane to count wide characters, character i from
// byte i.
int WINAPI XlatPlainToWide(unsigned short language, const char* source, wchar_t* destination, unsigned short count);

// Ordinal 49: as XlatPlainToWide, for the zero-terminated source; one character per byte before the
// terminator.
int WINAPI XlatPlainStringToWide(unsigned short language, const char* source, wchar_t* destination);

#ifdef __cplusplus
}
#endif
