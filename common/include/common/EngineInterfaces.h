// The translation engine's COM surface, declared once: the identifiers of its components and
// interfaces, every interface with each call at its slot number, and CreateInstanceFromPath, which
// makes an engine object out of a DLL loaded by path without registration. Windows build only.
//
// Slots 0-2 of every interface are IUnknown. Slots the suite never calls are declared as reserved
// entries so that the calls it makes land at their numbers; each answers E_NOTIMPL unless an
// implementation overrides it. Strings are 8-bit in the engine's coding unless the call is wide.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <oleauto.h>
#include <unknwn.h>

#include <string>

// A slot the suite does not call: keeps the following slots at their numbers.
#define OVRIN_RESERVED_SLOT(n)                                                                                         \
    virtual HRESULT STDMETHODCALLTYPE ReservedSlot##n() {                                                              \
        return E_NOTIMPL;                                                                                              \
    }

namespace ovrin::engine {

// Components.
inline constexpr GUID kClsidDirectionCatalogue = {
    0xD6D1F521, 0x6D3C, 0x426C, {0x96, 0xFC, 0x86, 0xDC, 0x2F, 0x76, 0xB5, 0xA0}};
inline constexpr GUID kClsidLinguisticBase = {
    0x822912BD, 0x53CE, 0x40EB, {0x9E, 0xCF, 0x4C, 0xFD, 0x5C, 0xA0, 0x04, 0xBB}};
inline constexpr GUID kClsidTranslatorER = {
    0xF336AF50, 0xA73A, 0x42E1, {0xA9, 0x2E, 0x94, 0xE7, 0x09, 0xB3, 0x8D, 0x15}};
inline constexpr GUID kClsidTranslatorGR = {
    0xBCBD341E, 0xEE02, 0x4DB7, {0x95, 0x10, 0x32, 0xE3, 0x6B, 0x6B, 0x8E, 0xA1}};
inline constexpr GUID kClsidTranslatorFR = {
    0x00470DCA, 0xE887, 0x47C7, {0x8C, 0x8E, 0x33, 0x3F, 0xC7, 0x56, 0xA9, 0x6C}};
inline constexpr GUID kClsidTranslatorRE = {
    0xF680BD90, 0x095C, 0x4F47, {0xB1, 0xAC, 0xB3, 0x26, 0x8B, 0xF1, 0x93, 0x76}};
inline constexpr GUID kClsidTranslatorRF = {
    0xD64C405E, 0xDDA5, 0x4FA1, {0x87, 0x76, 0xD2, 0x74, 0x83, 0xD3, 0x28, 0x04}};
inline constexpr GUID kClsidTranslatorRG = {
    0x2B444723, 0x5CDC, 0x4A79, {0xB9, 0x51, 0xA5, 0xA8, 0xEB, 0x51, 0x60, 0x57}};

// Interfaces.
inline constexpr GUID kIidCatalogueEntry = {
    0x5AE4F7AA, 0x2C4C, 0x11D6, {0xB3, 0x92, 0x00, 0xE0, 0x29, 0x42, 0x4B, 0x73}};
inline constexpr GUID kIidLinguisticBase = {
    0x3725415C, 0x3B44, 0x4B57, {0xBC, 0xF5, 0xF6, 0xC3, 0x12, 0x5C, 0x95, 0x1E}};
inline constexpr GUID kIidLinguisticBaseEx = {
    0x51E446FD, 0x4804, 0x4246, {0x85, 0x09, 0xD8, 0xEB, 0xFD, 0x26, 0xB6, 0xF6}};
inline constexpr GUID kIidTranslator = {0x47E6C40F, 0xC286, 0x40C7, {0xB8, 0xB9, 0xF4, 0x72, 0xE3, 0xDA, 0xF2, 0xCE}};
inline constexpr GUID kIidTranslatorWide = {
    0x4743224F, 0xA734, 0x4311, {0x8E, 0x4A, 0x35, 0x84, 0x1D, 0x1E, 0x3F, 0x16}};

// The load calls' value before the engine sets a template's outcome.
inline constexpr HRESULT kTemplateNotLoaded = E_FAIL;
// The first argument of the extended load.
inline constexpr int kExtendedLoadVersion = 49;

// The translator CLSID of a direction prefix ("ER", "GR", "FR", "RE", "RF", "RG"); null for any other.
const GUID* TranslatorClsid(const std::wstring& prefix);

} // namespace ovrin::engine

struct IOvrinCatalogueItem;
struct IOvrinCollection;
struct IOvrinCatalogue;

// A callback slot the suite gives no work: the engine may call it, and it answers 0 (success), so
// that an engine which checks the answer goes on with its translation.
#define OVRIN_CALLBACK_NO_OP_SLOT(n)                                                                                   \
    virtual HRESULT STDMETHODCALLTYPE NoOpSlot##n() {                                                                  \
        return S_OK;                                                                                                   \
    }

// The callback a translation delivers its output to (IOvrinTranslateCallBack and
// IOvrinTranslateCallBack2 in one table). QueryInterface answers E_FAIL and the reference counts answer
// 1: the caller owns the object and keeps it alive for the whole call. Slots 5-8 and 10 answer 0.
struct IOvrinTranslateCallBack {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0; // 0
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;                                    // 1
    virtual ULONG STDMETHODCALLTYPE Release() = 0;                                   // 2
    // 3: length bytes of 8-bit output in the engine's coding.
    virtual HRESULT STDMETHODCALLTYPE PutText(int length, const char* text) = 0;
    // 4: a zero-terminated word of the source the engine left untranslated: wherever it occurs in the
    // output it is decoded in the source language.
    virtual HRESULT STDMETHODCALLTYPE AddSourceTerm(const char* term) = 0;
    OVRIN_CALLBACK_NO_OP_SLOT(5)
    OVRIN_CALLBACK_NO_OP_SLOT(6)
    OVRIN_CALLBACK_NO_OP_SLOT(7)
    OVRIN_CALLBACK_NO_OP_SLOT(8)
    // 9: length characters of wide output, taken as they are.
    virtual HRESULT STDMETHODCALLTYPE PutTextW(int length, const wchar_t* text) = 0;
    OVRIN_CALLBACK_NO_OP_SLOT(10)
};

// The direction catalogue: dircat.dll gives this interface straight from DllGetClassObject.
struct IOvrinCatalogueEntry : IUnknown {
    // 3: opens the catalogue file at path.
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR path, void* reserved, IOvrinCatalogue** catalogue) = 0;
};

struct IOvrinCatalogue : IUnknown {
    OVRIN_RESERVED_SLOT(3)
    OVRIN_RESERVED_SLOT(4)
    OVRIN_RESERVED_SLOT(5)
    OVRIN_RESERVED_SLOT(6)
    OVRIN_RESERVED_SLOT(7)
    // 8: the directions of the catalogue.
    virtual HRESULT STDMETHODCALLTYPE GetCollection(IOvrinCollection** collection) = 0;
};

struct IOvrinCollection : IUnknown {
    OVRIN_RESERVED_SLOT(3)
    OVRIN_RESERVED_SLOT(4)
    OVRIN_RESERVED_SLOT(5)
    OVRIN_RESERVED_SLOT(6)
    OVRIN_RESERVED_SLOT(7)
    OVRIN_RESERVED_SLOT(8)
    OVRIN_RESERVED_SLOT(9)
    OVRIN_RESERVED_SLOT(10)
    OVRIN_RESERVED_SLOT(11)
    // 12: the entry of a direction, by its DirID.
    virtual HRESULT STDMETHODCALLTYPE GetItem(DWORD dirId, IOvrinCatalogueItem** item) = 0;
};

struct IOvrinCatalogueItem : IUnknown {
    OVRIN_RESERVED_SLOT(3)
    OVRIN_RESERVED_SLOT(4)
    OVRIN_RESERVED_SLOT(5)
    OVRIN_RESERVED_SLOT(6)
    OVRIN_RESERVED_SLOT(7)
    OVRIN_RESERVED_SLOT(8)
    OVRIN_RESERVED_SLOT(9)
    OVRIN_RESERVED_SLOT(10)
    OVRIN_RESERVED_SLOT(11)
    OVRIN_RESERVED_SLOT(12)
    OVRIN_RESERVED_SLOT(13)
    // 14: the direction's information text; each character holds one byte of Windows-1251 text.
    virtual HRESULT STDMETHODCALLTYPE GetInfo(BSTR* info) = 0;
};

// The linguistic base (basic interface).
struct IOvrinLinguisticBase : IUnknown {
    OVRIN_RESERVED_SLOT(3)
    OVRIN_RESERVED_SLOT(4)
    OVRIN_RESERVED_SLOT(5)
    // 6: loads the base of a direction and its templates; results[i] receives the outcome of names[i]
    // (the caller presets E_FAIL).
    virtual HRESULT STDMETHODCALLTYPE Load(const char* prefix, const char* path, const char* dataPath, const char* user,
                                           int reserved, int count, const char** names, HRESULT* results) = 0;
    OVRIN_RESERVED_SLOT(7)
    OVRIN_RESERVED_SLOT(8)
    OVRIN_RESERVED_SLOT(9)
    OVRIN_RESERVED_SLOT(10)
    OVRIN_RESERVED_SLOT(11)
    OVRIN_RESERVED_SLOT(12)
    OVRIN_RESERVED_SLOT(13)
    OVRIN_RESERVED_SLOT(14)
    OVRIN_RESERVED_SLOT(15)
    OVRIN_RESERVED_SLOT(16)
    OVRIN_RESERVED_SLOT(17)
    // 18: switches template index on (1) or off (0).
    virtual HRESULT STDMETHODCALLTYPE SetTemplate(unsigned short index, int on) = 0;
};

// The extended linguistic base: the basic table, then the extended load at slot 43.
struct IOvrinLinguisticBaseEx : IOvrinLinguisticBase {
    OVRIN_RESERVED_SLOT(19)
    OVRIN_RESERVED_SLOT(20)
    OVRIN_RESERVED_SLOT(21)
    OVRIN_RESERVED_SLOT(22)
    OVRIN_RESERVED_SLOT(23)
    OVRIN_RESERVED_SLOT(24)
    OVRIN_RESERVED_SLOT(25)
    OVRIN_RESERVED_SLOT(26)
    OVRIN_RESERVED_SLOT(27)
    OVRIN_RESERVED_SLOT(28)
    OVRIN_RESERVED_SLOT(29)
    OVRIN_RESERVED_SLOT(30)
    OVRIN_RESERVED_SLOT(31)
    OVRIN_RESERVED_SLOT(32)
    OVRIN_RESERVED_SLOT(33)
    OVRIN_RESERVED_SLOT(34)
    OVRIN_RESERVED_SLOT(35)
    OVRIN_RESERVED_SLOT(36)
    OVRIN_RESERVED_SLOT(37)
    OVRIN_RESERVED_SLOT(38)
    OVRIN_RESERVED_SLOT(39)
    OVRIN_RESERVED_SLOT(40)
    OVRIN_RESERVED_SLOT(41)
    OVRIN_RESERVED_SLOT(42)
    // 43: Load with a version number in front (kExtendedLoadVersion).
    virtual HRESULT STDMETHODCALLTYPE LoadEx(int version, const char* prefix, const char* path, const char* dataPath,
                                             const char* user, int reserved, int count, const char** names,
                                             HRESULT* results) = 0;
};

// A direction's translator.
struct IOvrinTranslator : IUnknown {
    // 3: binds the translator to its direction folder, prefix and linguistic base.
    virtual HRESULT STDMETHODCALLTYPE Init(const char* path, const char* prefix, IUnknown* base) = 0;
    OVRIN_RESERVED_SLOT(4)
    OVRIN_RESERVED_SLOT(5)
    OVRIN_RESERVED_SLOT(6)
    OVRIN_RESERVED_SLOT(7)
    // 8: translates a zero-terminated 8-bit run; the output goes to the callback.
    virtual HRESULT STDMETHODCALLTYPE Translate(const char* text, IOvrinTranslateCallBack* callback) = 0;
};

// The optional wide interface of a translator: the translator's table, then the wide translate at 19.
struct IOvrinTranslatorWide : IOvrinTranslator {
    OVRIN_RESERVED_SLOT(9)
    OVRIN_RESERVED_SLOT(10)
    OVRIN_RESERVED_SLOT(11)
    OVRIN_RESERVED_SLOT(12)
    OVRIN_RESERVED_SLOT(13)
    OVRIN_RESERVED_SLOT(14)
    OVRIN_RESERVED_SLOT(15)
    OVRIN_RESERVED_SLOT(16)
    OVRIN_RESERVED_SLOT(17)
    OVRIN_RESERVED_SLOT(18)
    // 19: translates a zero-terminated wide run; the output comes back through the callback's slot 9.
    virtual HRESULT STDMETHODCALLTYPE TranslateW(const wchar_t* text, IOvrinTranslateCallBack* callback) = 0;
};

// Loads the DLL at path and asks its "DllGetClassObject" for (clsid, iid). When iid is IClassFactory
// the factory then makes the object with objectIid (no outer object) and is released. A DLL that does
// not load gives the last system error as an HRESULT, one without the export E_UNEXPECTED. The
// module stays loaded.
HRESULT CreateInstanceFromPath(const std::wstring& path, REFCLSID clsid, REFIID iid, REFIID objectIid, void** object);

#endif // _WIN32
