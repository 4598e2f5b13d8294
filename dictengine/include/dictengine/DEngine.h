// The dictionary engine: the catalogue of ".dic" dictionary files of a folder, grouped by translation
// direction and ordered, opened and closed by position or by handle, moved, deleted and re-labelled.
// All state is process-wide; calls must not overlap. Failures are return values, never exceptions.
#pragma once

#include "dictengine/Article.h"
#include "dictengine/DictFormat.h"
#include "dictengine/Export.h"

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

DENGINE_API unsigned short InitDictEngine(const wchar_t* folder);
DENGINE_API void DoneDictEngine();
DENGINE_API int ReloadDictEngine(const wchar_t* folder);
DENGINE_API int EnumDictionaries(const wchar_t* folder);
DENGINE_API int AttachDictionary(const wchar_t* path);
DENGINE_API int RemoveDictionaries(const wchar_t* folder);

DENGINE_API unsigned short GetDirectionCount();
DENGINE_API unsigned short GetDirection(unsigned short dirIndex);
DENGINE_API unsigned short GetDirectionIndex(unsigned short code);
DENGINE_API unsigned short GetDictionaryCount(unsigned short dirIndex);
DENGINE_API const char* GetDictionaryName(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API const wchar_t* GetDictionaryPath(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API unsigned char GetDictionaryType(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API unsigned short FindDictionary(unsigned short dirIndex, const char* name, unsigned char type);
DENGINE_API __DictHandle* GetDictionaryHandle(unsigned short dirIndex, unsigned short dictIndex);

DENGINE_API __DictHandle* OpenDictionary(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API __DictHandle* OpenDictionary(__DictHandle* handle);
DENGINE_API int CloseDictionary(__DictHandle* handle);
DENGINE_API int ForceCloseDictionary(__DictHandle* handle);
DENGINE_API int DeleteDictionary(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API int MoveDictionary(__DictHandle* handle, const wchar_t* folder);

DENGINE_API unsigned short GetDirection(__DictHandle* handle);
DENGINE_API unsigned short GetDirectionIndex(__DictHandle* handle);
DENGINE_API unsigned short GetIndexInDirection(__DictHandle* handle);
DENGINE_API const char* GetDictionaryName(__DictHandle* handle);
DENGINE_API const wchar_t* GetDictionaryPath(__DictHandle* handle);
DENGINE_API unsigned char GetDictionaryType(__DictHandle* handle);
DENGINE_API unsigned short GetVersion(__DictHandle* handle);
DENGINE_API unsigned long GetTotalWordCount(__DictHandle* handle);

DENGINE_API int GetDictionaryInfo(const wchar_t* path, tagDictInfo* info);
DENGINE_API int SetDictionaryInfo(const wchar_t* path, tagDictInfo info);
DENGINE_API int GetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* buffer,
                                         unsigned short* size);
DENGINE_API int SetDictionaryDynamicInfo(__DictHandle* handle, const wchar_t* name, unsigned char* data,
                                         unsigned short size);

DENGINE_API char LangToChar(unsigned char code);
DENGINE_API unsigned char CharToLang(char letter);

// Comparing 8-bit texts under a language's weights (the current order table; the fold table takes
// part unless lang is Russian).
DENGINE_API void LoadCompareTable(unsigned short lang);
DENGINE_API int TableStrCompare(unsigned short lang, const char* a, const char* b);
DENGINE_API int TableStrNCompare(unsigned short lang, const char* a, const char* b, unsigned short n);

// The headword list of an open dictionary. Index data points to an index entry inside a loaded
// block; it stays valid until the next call on the handle that loads other blocks, or until the
// dictionary closes.
DENGINE_API int FindWord(__DictHandle* handle, const char* text, unsigned long* index, int* exact);
DENGINE_API int GetIndex(__DictHandle* handle, unsigned long first, unsigned short count,
                         const unsigned char** entries);
DENGINE_API const unsigned char* GetSingleIndex(__DictHandle* handle, unsigned long index);
DENGINE_API int IndexDataToDisplayData(unsigned short count, const unsigned char** entries);
DENGINE_API const char* IndexDataToDisplayData(const unsigned char* entry);
DENGINE_API int IndexDataToKeyData(unsigned short count, const unsigned char** entries);
DENGINE_API const char* IndexDataToKeyData(const unsigned char* entry);

// Every headword matching pattern ("?" one character, "*" any run; without them, the display text
// begins with the pattern). The caller frees *indexes and *entries with FreePtr. 1 when the search is
// complete (or cancelled by progress returning 0), 0 when cut at the result limit or failed.
DENGINE_API int PerformSearch(__DictHandle* handle, const char* pattern, unsigned long* count, unsigned long** indexes,
                              unsigned char** entries,
                              int (*progress)(unsigned long total, unsigned long current, unsigned short found));
DENGINE_API void FreePtr(void* p);

// Word forms. No dictionary here carries a word-form index: FindWordWithMorph sets *count to 0 and
// returns 0, GetTotalWordFormsCount returns 0, whatever the handle.
DENGINE_API int FindWordWithMorph(__DictHandle* handle, const char* form, unsigned long* indexes, unsigned char* count);
DENGINE_API unsigned long GetTotalWordFormsCount(__DictHandle* handle);

// Articles. GetArticle gives a container (2-byte big-endian length, then tags) inside the engine's
// cached article block, valid until the next GetArticle on the handle that needs another block or
// until the dictionary closes. The walkers read only inside the container they are given and, for
// engine memory, inside the block it came from: a tag whose length runs past either ends the walk.
DENGINE_API const unsigned char* GetArticle(__DictHandle* handle, unsigned long index);
DENGINE_API const unsigned char* FindTag(const unsigned char* container, unsigned char tag);
DENGINE_API const unsigned char* FindNextTag(const unsigned char* container, const unsigned char* current);
DENGINE_API unsigned short GetSrcPartCount(const unsigned char* article);
DENGINE_API const unsigned char* GetSrcPart(const unsigned char* article, unsigned short part);
DENGINE_API unsigned short GetTranslationCount(const unsigned char* part);
DENGINE_API const unsigned char* GetTranslation(const unsigned char* part, unsigned short translation);
// A leaf of two data bytes, the first 0, refers to abbreviation number leaf[3] of the table of its
// tag: the result points at the expansion's length byte. Any other leaf is returned as it is; an
// abbreviation that cannot be found gives the two constant bytes 0x01 0x00.
DENGINE_API const unsigned char* Unabbreviate(__DictHandle* handle, const unsigned char* leaf);
// A new model of the article; freed with sArticle::Free.
DENGINE_API sArticle* ParseArticle(const unsigned char* article);

// User dictionaries (type 4). Every change is committed to the file as a whole or not at all.
DENGINE_API unsigned short CreateUserDictionary(unsigned short dirIndex, const wchar_t* folder, const wchar_t* name);
DENGINE_API __DictHandle* OpenUserDictionary(unsigned short direction);
DENGINE_API unsigned long AddArticle(__DictHandle* handle, const unsigned char* entry, const unsigned char* article);
DENGINE_API int SetArticle(__DictHandle* handle, unsigned long index, const unsigned char* article);
DENGINE_API int DeleteArticle(__DictHandle* handle, unsigned long index);

// Second names, each the same function as the one it names: H the form taking a handle, I the form
// taking a direction index and a position, E a further name.
DENGINE_API int CloseDictionaryH(__DictHandle* handle);
DENGINE_API __DictHandle* OpenDictionaryH(__DictHandle* handle);
DENGINE_API __DictHandle* OpenDictionaryI(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API const char* GetDictionaryNameH(__DictHandle* handle);
DENGINE_API const char* GetDictionaryNameI(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API const wchar_t* GetDictionaryPathH(__DictHandle* handle);
DENGINE_API const wchar_t* GetDictionaryPathI(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API unsigned char GetDictionaryTypeH(__DictHandle* handle);
DENGINE_API unsigned char GetDictionaryTypeI(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API unsigned short GetDirectionI(unsigned short dirIndex);
DENGINE_API void DoneDictEngineE();
DENGINE_API unsigned short InitDictEngineE(const wchar_t* folder);
DENGINE_API int EnumDictionariesE(const wchar_t* folder);
DENGINE_API unsigned short GetDirectionCountE();
DENGINE_API unsigned short GetDictionaryCountE(unsigned short dirIndex);
DENGINE_API __DictHandle* GetDictionaryHandleE(unsigned short dirIndex, unsigned short dictIndex);
DENGINE_API int GetDictionaryDynamicInfoE(__DictHandle* handle, const wchar_t* name, unsigned char* buffer,
                                          unsigned short* size);
DENGINE_API unsigned long GetTotalWordCountE(__DictHandle* handle);
DENGINE_API int FindWordE(__DictHandle* handle, const char* text, unsigned long* index, int* exact);
DENGINE_API int FindWordWithMorphE(__DictHandle* handle, const char* form, unsigned long* indexes,
                                   unsigned char* count);
DENGINE_API int GetIndexE(__DictHandle* handle, unsigned long first, unsigned short count,
                          const unsigned char** entries);
DENGINE_API int IndexDataToDisplayDataE(unsigned short count, const unsigned char** entries);
DENGINE_API int PerformSearchE(__DictHandle* handle, const char* pattern, unsigned long* count, unsigned long** indexes,
                               unsigned char** entries,
                               int (*progress)(unsigned long total, unsigned long current, unsigned short found));
DENGINE_API const unsigned char* GetArticleE(__DictHandle* handle, unsigned long index);
DENGINE_API const unsigned char* FindTagE(const unsigned char* container, unsigned char tag);
DENGINE_API const unsigned char* FindNextTagE(const unsigned char* container, const unsigned char* current);
DENGINE_API unsigned short GetSrcPartCountE(const unsigned char* article);
DENGINE_API const unsigned char* GetSrcPartE(const unsigned char* article, unsigned short part);
DENGINE_API unsigned short GetTranslationCountE(const unsigned char* part);
DENGINE_API const unsigned char* GetTranslationE(const unsigned char* part, unsigned short translation);
DENGINE_API const unsigned char* UnabbreviateE(__DictHandle* handle, const unsigned char* leaf);

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
    __DictHandle* OpenDictionary(unsigned short dirIndex, unsigned short dictIndex) {
        return DEngine::OpenDictionary(dirIndex, dictIndex);
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
    const unsigned char* GetArticle(__DictHandle* handle, unsigned long index) {
        return DEngine::GetArticle(handle, index);
    }
    unsigned short GetSrcPartCount(const unsigned char* article) { return DEngine::GetSrcPartCount(article); }
    const unsigned char* GetSrcPart(const unsigned char* article, unsigned short part) {
        return DEngine::GetSrcPart(article, part);
    }
    unsigned short GetTranslationCount(const unsigned char* part) { return DEngine::GetTranslationCount(part); }
    const unsigned char* GetTranslation(const unsigned char* part, unsigned short translation) {
        return DEngine::GetTranslation(part, translation);
    }
    const unsigned char* FindTag(const unsigned char* container, unsigned char tag) {
        return DEngine::FindTag(container, tag);
    }
    const unsigned char* FindNextTag(const unsigned char* container, const unsigned char* current) {
        return DEngine::FindNextTag(container, current);
    }
    std::uint32_t GetDirection(__DictHandle* handle) { return dengine::DirectionKey(DEngine::GetDirection(handle)); }
};
