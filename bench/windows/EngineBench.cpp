// Throughput of the translation engine on a real text, through CEngineClient on the 8-bit path (the
// runs of a text handed to the worker thread at once) and the wide path (Trans3), and the engine called directly with
// the same runs already in its coding: the ratio is what the engine access costs on top of the engine.
//
//   engine_bench ENGINE_FOLDER TEXT_FILE [REPEATS]
//
// ENGINE_FOLDER is an installed engine (scripts/run lays one out in the prefix of build/win): its
// catalogue, linguistic base and the ER folder. The benchmark writes its own installation data (ER
// twice, once with Trans3) under "Software\Ovrinsoft\Pocket OVRIN Bench" and removes it afterwards.
#include "base/TextFile.h"
#include "common/EngineClient.h"
#include "platform/RegistryKey.h"

#include "xlatcp/Xlatcp.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kBenchKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN Bench";

void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring* text, DWORD number) {
    CRegistryKey handle;
    handle.Open(HKEY_CURRENT_USER, key, true);
    if (text != nullptr)
        handle.WriteString(name, *text);
    else
        handle.WriteDword(name, number);
}

void WriteInstallation(const std::wstring& engine) {
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kBenchKey);
    SetValue(kBenchKey, L"Path", &engine, 0);
    std::wstring folder = engine + L"ER\\", prefix = L"ER";
    for (int wide = 0; wide < 2; ++wide) {
        std::wstring key = std::wstring(kBenchKey) + L"\\Directions\\ER" + (wide ? L" wide" : L"");
        SetValue(key, L"DirID", nullptr, 2 << 16 | 1);
        SetValue(key, L"Prefix", &prefix, 0);
        SetValue(key, L"Path", &folder, 0);
        SetValue(key, L"Trans3", nullptr, static_cast<DWORD>(wide));
    }
}

// Collects the engine's bytes and nothing more.
class BareCallBack : public IOvrinTranslateCallBack {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_FAIL; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PutText(int length, const char* text) override {
        bytes += static_cast<std::size_t>(length);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddSourceTerm(const char*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PutTextW(int length, const wchar_t*) override { return S_OK; }
    std::size_t bytes = 0;
};

template <typename Work>
double BestSeconds(int repeats, Work work) {
    double best = 1e9;
    for (int i = 0; i < repeats; ++i) {
        auto begin = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    return best;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: engine_bench ENGINE_FOLDER TEXT_FILE [REPEATS]\n");
        return 2;
    }
    std::wstring engine = argv[1];
    if (engine.back() != L'\\')
        engine.push_back(L'\\');
    int repeats = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;
    std::wstring text;
    CTextFileRead reader(argv[2]);
    if (!reader.IsOpen() || !reader.ReadAll(text, L"\r\n") || text.size() < 100000) {
        std::fwprintf(stderr, L"engine_bench: %ls is missing or shorter than 100,000 characters\n", argv[2]);
        return 1;
    }
    WriteInstallation(engine);
    int status = 0;
    {
        CTranslator translator(engine, kBenchKey);
        CEngineClient client(translator);
        if (!client.IsUsable() || translator.GetDirectionCount() != 2) {
            std::fwprintf(stderr, L"engine_bench: no engine in %ls\n", engine.c_str());
            CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kBenchKey);
            return 1;
        }
        int narrow = translator.GetDirection(0)->GetTrans3() == 0 ? 0 : 1;
        std::wstring result;
        std::size_t outputLength = 0;
        auto throughClient = [&](int direction) {
            CEngineClient::SetDirectionSetting(direction);
            CEngineClient::SetSubjectSetting(0);
            if (!client.TranslateText(text, result))
                status = 1;
            outputLength = result.size();
        };
        throughClient(narrow); // opens the engine: the dictionary is read once
        throughClient(1 - narrow);
        // The same text as paragraphs of at most 65,535 characters: a handful of runs.
        std::wstring paragraphs = text;
        for (wchar_t& c : paragraphs)
            c = (c == L'\r' || c == L'\n') ? L' ' : c;
        std::string joined(paragraphs.size(), '\0');
        for (std::size_t done = 0; done < paragraphs.size();) {
            auto count = static_cast<unsigned short>(std::min<std::size_t>(paragraphs.size() - done, 0xFFFF));
            XlatWideToPlain(paragraphs.data() + done, joined.data() + done, count);
            done += count;
        }

        // The engine alone: the same runs (lines), already in its coding, on this thread.
        std::vector<std::string> runs;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t end = text.find_first_of(L"\r\n\f", i);
            end = end == std::wstring::npos ? text.size() : end;
            if (end > i) {
                std::wstring run = text.substr(i, end - i);
                std::string bytes(run.size(), '\0');
                XlatWideToPlain(run.c_str(), bytes.data(), static_cast<unsigned short>(run.size()));
                runs.push_back(bytes);
            }
            i = end + 1;
        }
        IUnknown* made = nullptr;
        IOvrinTranslator* engineTranslator = nullptr;
        CreateInstanceFromPath(engine + L"ovrinldb.dll", ovrin::engine::kClsidLinguisticBase, IID_IClassFactory,
                               ovrin::engine::kIidLinguisticBase, reinterpret_cast<void**>(&made));
        CreateInstanceFromPath(engine + L"ER\\ERXLMAIN.DLL", ovrin::engine::kClsidTranslatorER, IID_IClassFactory,
                               ovrin::engine::kIidTranslator, reinterpret_cast<void**>(&engineTranslator));
        std::string path(engine.begin(), engine.end());
        path += "ER\\";
        if (made == nullptr || engineTranslator == nullptr ||
            FAILED(engineTranslator->Init(path.c_str(), "ER", made))) {
            std::fwprintf(stderr, L"engine_bench: the engine does not open directly\n");
            status = 1;
        } else {
            // Each repeat measures every variant once, one after the other, so that the load of the
            // machine at a given moment weighs on all of them alike; the best of each counts.
            BareCallBack callback;
            std::wstring lines = text;
            std::size_t eightBitLength = 0;
            double eightBit = 1e9, wide = 1e9, direct = 1e9, decoding = 1e9, longRuns = 1e9, directLong = 1e9;
            for (int repeat = 0; repeat < repeats; ++repeat) {
                text = lines;
                eightBit = std::min(eightBit, BestSeconds(1, [&] { throughClient(narrow); }));
                eightBitLength = outputLength;
                wide = std::min(wide, BestSeconds(1, [&] { throughClient(1 - narrow); }));
                direct = std::min(direct, BestSeconds(1, [&] {
                                      for (const std::string& run : runs)
                                          engineTranslator->Translate(run.c_str(), &callback);
                                  }));
                decoding = std::min(decoding, BestSeconds(1, [&] {
                                        for (const std::string& run : runs) {
                                            OvrinTrdCallBack decoder(2 << 16 | 1);
                                            engineTranslator->Translate(run.c_str(), &decoder);
                                        }
                                    }));
                text = paragraphs;
                longRuns = std::min(longRuns, BestSeconds(1, [&] { throughClient(narrow); }));
                directLong = std::min(directLong, BestSeconds(1, [&] {
                                          for (std::size_t done = 0; done < joined.size(); done += 65535) {
                                              std::string piece = joined.substr(done, 65535);
                                              engineTranslator->Translate(piece.c_str(), &callback);
                                          }
                                      }));
            }
            text = lines;
            double characters = static_cast<double>(text.size());
            // Words: runs of letters; an apostrophe or a hyphen between letters joins them.
            double words = 0;
            auto joins = [&](std::size_t i) {
                return (text[i] == L'\'' || text[i] == L'-') && i > 0 && iswalpha(text[i - 1]);
            };
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (iswalpha(text[i]) && (i == 0 || (!iswalpha(text[i - 1]) && !joins(i - 1))))
                    ++words;
            }
            std::wprintf(L"text: %zu characters, %zu runs; translation: %zu characters\n", text.size(), runs.size(),
                         eightBitLength);
            std::wprintf(L"CEngineClient, 8-bit path: %.3f s, %.0f characters/s\n", eightBit, characters / eightBit);
            std::wprintf(L"CEngineClient, wide path:  %.3f s, %.0f characters/s\n", wide, characters / wide);
            std::wprintf(L"engine called directly:    %.3f s, %.0f characters/s\n", direct, characters / direct);
            std::wprintf(
                L"words: %.0f; engine directly %.0f words/s, CEngineClient 8-bit %.0f words/s, wide %.0f words/s\n",
                words, words / direct, words / eightBit, words / wide);
            std::wprintf(L"engine directly, output decoded by the client's callback: %.3f s\n", decoding);
            std::wprintf(L"CEngineClient 8-bit / direct: %.2fx; wide / direct: %.2fx\n", eightBit / direct,
                         wide / direct);
            std::wprintf(L"long runs: CEngineClient 8-bit %.3f s (%.0f characters/s), direct %.3f s: %.2fx\n", longRuns,
                         characters / longRuns, directLong, longRuns / directLong);
        }
        if (engineTranslator != nullptr)
            engineTranslator->Release();
        if (made != nullptr)
            made->Release();
    }
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kBenchKey);
    return status;
}
