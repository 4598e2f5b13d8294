// Access to the translation engine: the installed directions read from the registry and ordered,
// each direction's engine components opened on first use, subjects switched through the engine's
// templates, and texts translated run by run on a worker thread the user can stop. CEngineClient is
// what a program holds; CTranslator is the one engine of the process. Windows build only.
#pragma once

#ifdef _WIN32

#include "common/EngineInterfaces.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An owned, zero-terminated 8-bit buffer.
class CAsciiString {
public:
    // n characters through the conversion library's plain coding, one byte each.
    explicit CAsciiString(const std::wstring& text);
    // A copy of n bytes.
    CAsciiString(const char* bytes, std::size_t n);
    char* Data() { return m_buffer.get(); }
    const char* Data() const { return m_buffer.get(); }
    std::size_t Length() const { return m_length; }

private:
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_length = 0;
};

// The callback one run of a translation hands to the engine: collects the output as wide text,
// decoding registered source terms in the source language and the rest in the target language.
// Output that arrives after the caller stopped waiting is dropped.
class OvrinTrdCallBack : public IOvrinTranslateCallBack {
public:
    explicit OvrinTrdCallBack(DWORD dirId) : m_dirId(dirId) {}
    // For an 8-bit run: the run as the caller wrote it and as it went to the engine, one byte per
    // character. A source term found in the run is given back as the run's own characters.
    OvrinTrdCallBack(DWORD dirId, std::wstring_view sourceText, std::string_view sourceBytes)
        : m_dirId(dirId), m_sourceText(sourceText), m_sourceBytes(sourceBytes) {}
    virtual ~OvrinTrdCallBack() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_FAIL; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PutText(int length, const char* text) override;
    HRESULT STDMETHODCALLTYPE AddSourceTerm(const char* term) override;
    HRESULT STDMETHODCALLTYPE PutTextW(int length, const wchar_t* text) override;

    // The output so far; empty once abandoned.
    std::wstring TakeResult();
    // From now on output is dropped.
    void Abandon();

    // Occurrences (position, length) of the terms in text, ignoring case, left to right, an occurrence
    // inside another dropped, sorted by position.
    static std::vector<std::pair<std::size_t, std::size_t>> FindTerms(const std::string& text,
                                                                      const std::vector<std::string>& terms);

private:
    std::mutex m_mutex;
    bool m_abandoned = false;
    std::wstring m_result;
    DWORD m_dirId;
    std::wstring_view m_sourceText;
    std::string_view m_sourceBytes;
    std::vector<std::string> m_terms;
    std::vector<std::pair<std::size_t, std::size_t>> m_occurrences;
};

// A subject: the engine templates it switches on, and its display name.
class CSubjectInfo {
public:
    std::vector<std::wstring> m_templateNames;
    std::wstring m_displayName;
};

// A direction's registry key while the engine start sorts the directions.
struct DirRegInfo {
    std::wstring keyName;
    HKEY directionsKey = nullptr;
    DWORD dirId = 0;
};

struct RunRequest;
struct WorkerTracker;

// One installed direction.
class CDirection {
public:
    CDirection();
    ~CDirection();
    CDirection(const CDirection&) = delete;
    CDirection& operator=(const CDirection&) = delete;

    // Reads the direction key keyName of the Directions key; false when its data is incomplete.
    // engineKey is the key holding the engine folder "Path".
    bool LoadFromRegistry(HKEY directionsKey, const std::wstring& keyName, const std::wstring& fallbackPath,
                          const std::wstring& engineKey);
    bool OpenEngine();
    void CloseEngine();
    bool IsOpened() const { return m_opened; }
    // The HRESULT of the last failed step of OpenEngine (S_OK when it opened).
    HRESULT GetOpenResult() const { return m_openResult; }

    int GetSubjectCount() const { return static_cast<int>(m_subjects.size()); }
    std::wstring GetSubjectName(int j) const;
    const CSubjectInfo* GetSubject(int j) const;
    int GetCurrentSubject() const { return m_currentSubject; }
    bool SelectSubject(int j);

    // The stop flag of the translations to come (null for none).
    void SetStopFlag(int* flag) { m_stopFlag = flag; }
    // Translates text run by run (runs end at control characters other than the tab, which are copied,
    // and are cut at a space to at most kMaxRunLength); code receives the last run's HRESULT (untouched
    // for an empty text, E_ABORT when the user stopped the text: nothing after the runs done is
    // translated). translated, when given, receives how much of text the answer covers: all of it, or
    // the text up to the first run left untranslated.
    std::wstring Translate(const std::wstring& text, HRESULT& code, std::size_t* translated = nullptr);
    // A piece of a run to translate: the breaks before it, its text, and where it begins in the text.
    struct Piece {
        std::wstring before;
        std::wstring text;
        std::size_t start = 0;
    };

    const std::wstring& GetKeyName() const { return m_keyName; }
    const std::wstring& GetPath() const { return m_path; }
    const std::wstring& GetPrefix() const { return m_prefix; }
    const std::wstring& GetName() const { return m_name; }
    int GetTrans3() const { return m_trans3; }
    DWORD GetDirID() const { return m_dirId; }
    const std::wstring& GetEngineFolder() const { return m_engineFolder; }

    // The longest piece a run may have; a longer run is cut at its last space within this length.
    static constexpr std::size_t kMaxRunLength = 65535;

private:
    HRESULT TranslateWide(const std::vector<Piece>& pieces, const std::wstring& tail, std::size_t textLength,
                          IOvrinTranslatorWide* wide, std::size_t& reached);
    HRESULT RunOnWorker(const std::shared_ptr<RunRequest>& request, std::wstring& output, std::size_t& reached);

    int* m_stopFlag = nullptr;
    IOvrinLinguisticBase* m_base = nullptr;
    IOvrinTranslator* m_translator = nullptr;
    std::wstring m_keyName, m_path, m_prefix, m_name;
    int m_trans3 = 0;
    DWORD m_dirId = 0;
    std::wstring m_engineFolder;
    bool m_opened = false;
    bool m_translatorLoaded = false; // OpenEngine loaded the translator's module
    HRESULT m_openResult = S_OK;
    short m_currentSubject = -1;
    std::vector<std::unique_ptr<CSubjectInfo>> m_subjects;
    std::wstring m_accumulator;
    std::shared_ptr<WorkerTracker> m_workers;
};

// The process's translation engine: the catalogue and the ordered directions.
class CTranslator {
public:
    // The engine of the program's own folder and the suite's registry key.
    CTranslator();
    // An engine whose catalogue lies in folder (with its final separator) and whose installation data
    // lies under registryKey of HKEY_CURRENT_USER (tests use their own).
    CTranslator(std::wstring folder, std::wstring registryKey);
    ~CTranslator();
    CTranslator(const CTranslator&) = delete;
    CTranslator& operator=(const CTranslator&) = delete;

    // The one engine of the process.
    static CTranslator& Instance();

    bool Init();
    int GetDirectionCount() const { return static_cast<int>(m_directions.size()); }
    std::wstring GetDirectionName(int i) const;
    CDirection* GetDirection(int i);
    int GetCurrentDirection() const { return m_currentDirection; }
    bool SetCurrentDirection(int i);
    // The catalogue's information text of direction i; empty when there is none.
    std::wstring GetDirectionInfo(int i);

    // The lock every engine client call holds.
    std::recursive_mutex& Lock() { return m_lock; }

    // Inserts info into list as the engine start orders directions.
    static void InsertSorted(std::vector<DirRegInfo>& list, const DirRegInfo& info);

    static constexpr wchar_t kRegistryKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN";

private:
    std::wstring m_enginePath;
    std::wstring m_registryKey;
    std::vector<std::unique_ptr<CDirection>> m_directions;
    short m_currentDirection = -1;
    IOvrinCatalogue* m_catalogue = nullptr;
    std::recursive_mutex m_lock;
};

// How a translation ended when the user stopped it: its result is the translation of the text's first
// translatedLength characters (up to the first run left untranslated; 0 for a stop before it began).
struct CTranslationStop {
    bool stopped = false;
    std::size_t translatedLength = 0;
};

// What a program holds to translate: starts the engine when made, and serialises every call.
class CEngineClient {
public:
    CEngineClient();
    explicit CEngineClient(CTranslator& translator);

    bool IsUsable() const { return m_usable; }
    // The caller keeps the flag alive; it is set to 0 here.
    void RegisterStopFlag(int* flag);
    bool GetDirectionNames(std::vector<std::wstring>& names);
    // Opens direction d.
    bool GetSubjectNames(int d, std::vector<std::wstring>& names);
    // Translates with the direction and subject of the settings. A translation the user stopped answers
    // false (its code is E_ABORT) but is no failure: stop, when given, then says so and how far the text
    // was translated, and result holds the translation of that much (a failure's result is worth
    // nothing).
    bool TranslateText(const std::wstring& text, std::wstring& result, CTranslationStop* stop = nullptr);
    std::wstring GetDirectionInfo(int i);

    // Settings: "direction" and "thematic" of section "povrin", values of section "OvrinToolbar", and
    // "enabled" of a given section.
    static int GetDirectionSetting();
    static void SetDirectionSetting(int direction);
    static int GetSubjectSetting();
    static void SetSubjectSetting(int subject);
    static int ReadToolbarInt(const std::wstring& name);
    static void WriteToolbarInt(const std::wstring& name, int value);
    static std::wstring ReadToolbarString(const std::wstring& name);
    static void WriteToolbarString(const std::wstring& name, const std::wstring& value);
    static bool IsEnabled(const std::wstring& section);
    static void SetEnabled(const std::wstring& section, bool enabled);

private:
    CTranslator& m_translator;
    bool m_usable = false;
    int* m_stopFlag = nullptr;
};

#endif // _WIN32
