// The dictionary engine: the catalogue of ".dic" dictionary files of a folder, grouped by translation
// direction and ordered, opened and closed by position or by handle, moved, deleted and re-labelled.
// All state is process-wide; calls must not overlap. Failures are return values, never exceptions.
#pragma once

#include <cstdint>

// An opaque pointer-sized serial number naming one dictionary of the catalogue; null is never valid.
struct __DictHandle;

// The record exchanged by GetDictionaryInfo and SetDictionaryInfo.
struct tagDictInfo {
    unsigned short direction; // source language code << 8 | target language code
    char name[13];            // up to 12 bytes and a NUL
};

namespace DEngine {

// Language codes, one bit each.
constexpr unsigned char kLangEnglish = 1;
constexpr unsigned char kLangRussian = 2;
constexpr unsigned char kLangGerman = 4;
constexpr unsigned char kLangFrench = 8;
constexpr unsigned char kLangItalian = 16;
constexpr unsigned char kLangSpanish = 32;
constexpr unsigned char kLangPortuguese = 64;

constexpr unsigned char kUserDictionaryType = 4;

unsigned short InitDictEngine(const wchar_t* folder);
void DoneDictEngine();
int ReloadDictEngine(const wchar_t* folder);
int EnumDictionaries(const wchar_t* folder);
int AttachDictionary(const wchar_t* path);
int RemoveDictionaries(const wchar_t* folder);

unsigned short GetDirectionCount();
unsigned short GetDirection(unsigned short dirIndex);
unsigned short GetDirectionIndex(unsigned short code);
unsigned short GetDictionaryCount(unsigned short dirIndex);
const char* GetDictionaryName(unsigned short dirIndex, unsigned short dictIndex);
const wchar_t* GetDictionaryPath(unsigned short dirIndex, unsigned short dictIndex);
unsigned char GetDictionaryType(unsigned short dirIndex, unsigned short dictIndex);
unsigned short FindDictionary(unsigned short dirIndex, const char* name, unsigned char type);
__DictHandle* GetDictionaryHandle(unsigned short dirIndex, unsigned short dictIndex);

__DictHandle* OpenDictionary(unsigned short dirIndex, unsigned short dictIndex);
__DictHandle* OpenDictionary(__DictHandle* handle);
int CloseDictionary(__DictHandle* handle);
int ForceCloseDictionary(__DictHandle* handle);
int DeleteDictionary(unsigned short dirIndex, unsigned short dictIndex);
int MoveDictionary(__DictHandle* handle, const wchar_t* folder);

unsigned short GetDirection(__DictHandle* handle);
unsigned short GetDirectionIndex(__DictHandle* handle);
unsigned short GetIndexInDirection(__DictHandle* handle);
const char* GetDictionaryName(__DictHandle* handle);
const wchar_t* GetDictionaryPath(__DictHandle* handle);
unsigned char GetDictionaryType(__DictHandle* handle);
unsigned short GetVersion(__DictHandle* handle);
unsigned long GetTotalWordCount(__DictHandle* handle);

int GetDictionaryInfo(const wchar_t* path, tagDictInfo* info);
int SetDictionaryInfo(const wchar_t* path, tagDictInfo info);
int GetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* buffer, unsigned short* size);
int SetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* data, unsigned short size);

char LangToChar(unsigned char code);
unsigned char CharToLang(char letter);

// Comparing 8-bit texts under a language's weights (the current order table; the fold table takes
// part unless lang is Russian).
void LoadCompareTable(unsigned short lang);
int TableStrCompare(unsigned short lang, const char* a, const char* b);
int TableStrNCompare(unsigned short lang, const char* a, const char* b, unsigned short n);

// The headword list of an open dictionary. Index data points to an index entry inside a loaded
// block; it stays valid until the next call on the handle that loads other blocks, or until the
// dictionary closes.
int FindWord(__DictHandle* handle, const char* text, unsigned long* index, int* exact);
int GetIndex(__DictHandle* handle, unsigned long first, unsigned short count, const unsigned char** entries);
const unsigned char* GetSingleIndex(__DictHandle* handle, unsigned long index);
int IndexDataToDisplayData(unsigned short count, const unsigned char** entries);
const char* IndexDataToDisplayData(const unsigned char* entry);
int IndexDataToKeyData(unsigned short count, const unsigned char** entries);
const char* IndexDataToKeyData(const unsigned char* entry);

// Every headword matching pattern ("?" one character, "*" any run; without them, the display text
// begins with the pattern). The caller frees *indexes and *entries with FreePtr. 1 when the search is
// complete (or cancelled by progress returning 0), 0 when cut at the result limit or failed.
int PerformSearch(__DictHandle* handle, const char* pattern, unsigned long* count, unsigned long** indexes,
                  unsigned char** entries,
                  int (*progress)(unsigned long total, unsigned long current, unsigned short found));
void FreePtr(void* p);

} // namespace DEngine

// The dictionary program's object over the engine: each method hands its arguments to the engine
// function of the same name and returns its result, except InitDictEngine (nonzero on success) and
// GetDirection of a handle (the direction key: target code << 16 | source code).
class CDictEngine {
public:
    int InitDictEngine(const wchar_t* folder) { return DEngine::InitDictEngine(folder) == 0; }
    unsigned short GetDirectionCount() { return DEngine::GetDirectionCount(); }
    __DictHandle* GetDictionaryHandle(unsigned short dirIndex, unsigned short dictIndex) {
        return DEngine::GetDictionaryHandle(dirIndex, dictIndex);
    }
    __DictHandle* OpenDictionary(__DictHandle* handle) { return DEngine::OpenDictionary(handle); }
    int ForceCloseDictionary(__DictHandle* handle) { return DEngine::ForceCloseDictionary(handle); }
    unsigned long GetTotalWordCount(__DictHandle* handle) { return DEngine::GetTotalWordCount(handle); }
    int GetIndex(__DictHandle* handle, unsigned long first, unsigned short count, const unsigned char** entries) {
        return DEngine::GetIndex(handle, first, count, entries);
    }
    int IndexDataToDisplayData(unsigned short count, const unsigned char** entries) {
        return DEngine::IndexDataToDisplayData(count, entries);
    }
    int FindWord(__DictHandle* handle, const char* text, unsigned long* index, int* exact) {
        return DEngine::FindWord(handle, text, index, exact);
    }
    std::uint32_t GetDirection(__DictHandle* handle) {
        unsigned short code = DEngine::GetDirection(handle);
        return static_cast<std::uint32_t>(code & 0xFF) << 16 | static_cast<std::uint32_t>(code >> 8);
    }
};
