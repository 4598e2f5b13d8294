// The second names of the exported interface: each entry point is the function it names, with the
// same arguments and result (H the form taking a handle, I the form taking a direction index and a
// position, E a further name).
#include "dictengine/DEngine.h"

namespace DEngine {

int CloseDictionaryH(__DictHandle* handle) {
    return CloseDictionary(handle);
}
__DictHandle* OpenDictionaryH(__DictHandle* handle) {
    return OpenDictionary(handle);
}
__DictHandle* OpenDictionaryI(unsigned short dirIndex, unsigned short dictIndex) {
    return OpenDictionary(dirIndex, dictIndex);
}
const char* GetDictionaryNameH(__DictHandle* handle) {
    return GetDictionaryName(handle);
}
const char* GetDictionaryNameI(unsigned short dirIndex, unsigned short dictIndex) {
    return GetDictionaryName(dirIndex, dictIndex);
}
const wchar_t* GetDictionaryPathH(__DictHandle* handle) {
    return GetDictionaryPath(handle);
}
const wchar_t* GetDictionaryPathI(unsigned short dirIndex, unsigned short dictIndex) {
    return GetDictionaryPath(dirIndex, dictIndex);
}
unsigned char GetDictionaryTypeH(__DictHandle* handle) {
    return GetDictionaryType(handle);
}
unsigned char GetDictionaryTypeI(unsigned short dirIndex, unsigned short dictIndex) {
    return GetDictionaryType(dirIndex, dictIndex);
}
unsigned short GetDirectionI(unsigned short dirIndex) {
    return GetDirection(dirIndex);
}
void DoneDictEngineE() {
    DoneDictEngine();
}
unsigned short InitDictEngineE(const wchar_t* folder) {
    return InitDictEngine(folder);
}
int EnumDictionariesE(const wchar_t* folder) {
    return EnumDictionaries(folder);
}
unsigned short GetDirectionCountE() {
    return GetDirectionCount();
}
unsigned short GetDictionaryCountE(unsigned short dirIndex) {
    return GetDictionaryCount(dirIndex);
}
__DictHandle* GetDictionaryHandleE(unsigned short dirIndex, unsigned short dictIndex) {
    return GetDictionaryHandle(dirIndex, dictIndex);
}
int GetDictionaryDynamicInfoE(__DictHandle* handle, const wchar_t* name, unsigned char* buffer, unsigned short* size) {
    return GetDictionaryDynamicInfo(handle, name, buffer, size);
}
unsigned long GetTotalWordCountE(__DictHandle* handle) {
    return GetTotalWordCount(handle);
}
int FindWordE(__DictHandle* handle, const char* text, unsigned long* index, int* exact) {
    return FindWord(handle, text, index, exact);
}
int FindWordWithMorphE(__DictHandle* handle, const char* form, unsigned long* indexes, unsigned char* count) {
    return FindWordWithMorph(handle, form, indexes, count);
}
int GetIndexE(__DictHandle* handle, unsigned long first, unsigned short count, const unsigned char** entries) {
    return GetIndex(handle, first, count, entries);
}
int IndexDataToDisplayDataE(unsigned short count, const unsigned char** entries) {
    return IndexDataToDisplayData(count, entries);
}
int PerformSearchE(__DictHandle* handle, const char* pattern, unsigned long* count, unsigned long** indexes,
                   unsigned char** entries,
                   int (*progress)(unsigned long total, unsigned long current, unsigned short found)) {
    return PerformSearch(handle, pattern, count, indexes, entries, progress);
}
const unsigned char* GetArticleE(__DictHandle* handle, unsigned long index) {
    return GetArticle(handle, index);
}
const unsigned char* FindTagE(const unsigned char* container, unsigned char tag) {
    return FindTag(container, tag);
}
const unsigned char* FindNextTagE(const unsigned char* container, const unsigned char* current) {
    return FindNextTag(container, current);
}
unsigned short GetSrcPartCountE(const unsigned char* article) {
    return GetSrcPartCount(article);
}
const unsigned char* GetSrcPartE(const unsigned char* article, unsigned short part) {
    return GetSrcPart(article, part);
}
unsigned short GetTranslationCountE(const unsigned char* part) {
    return GetTranslationCount(part);
}
const unsigned char* GetTranslationE(const unsigned char* part, unsigned short translation) {
    return GetTranslation(part, translation);
}
const unsigned char* UnabbreviateE(__DictHandle* handle, const unsigned char* leaf) {
    return Unabbreviate(handle, leaf);
}

} // namespace DEngine
