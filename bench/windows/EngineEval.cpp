// How well the engine stand-in translates: every direction's sentences of the evaluation set
// (outside/mtengine/eval) translated by a translator DLL over the sample dictionaries and scored with
// chrF2 against the set's references, beside the outputs recorded from the word-by-word engine, for
// the tuning lines and the held-out lines (every third) apart.
//
//   engine_eval XLMAIN_DLL SAMPLES_FOLDER DATA_FOLDER EVAL_FOLDER [--record] [--show N]
//
// SAMPLES_FOLDER holds the sample dictionaries (build/samples), DATA_FOLDER the engine's data
// (outside/mtengine/data: each direction's general glossary). Each direction is laid out in a folder
// of its own under the temporary folder. --record writes the outputs as EVAL_FOLDER/recorded/PREFIX.txt
// (how the word-by-word figures were made); --show N prints the tuning sentences among the first N of
// each direction.
#include "ChrF.h"

#include "base/Unicode.h"
#include "common/EngineInterfaces.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Direction {
    const wchar_t* prefix;
    const wchar_t* dictionary; // in SAMPLES_FOLDER
    const wchar_t* set;        // in EVAL_FOLDER
    bool reverse;              // the set's second column is the source
};

const Direction kDirections[] = {
    {L"ER", L"mueller-er.dic", L"en-ru.tsv", false},  {L"RE", L"mueller-re.dic", L"en-ru.tsv", true},
    {L"GR", L"freedict-gr.dic", L"de-ru.tsv", false}, {L"RG", L"freedict-rg.dic", L"de-ru.tsv", true},
    {L"FR", L"freedict-fr.dic", L"fr-ru.tsv", false}, {L"RF", L"freedict-rf.dic", L"fr-ru.tsv", true},
};

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::wstring> Lines(const std::string& bytes) {
    std::vector<std::wstring> lines;
    std::istringstream stream(bytes);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(ovrin::Utf8ToUtf16(line));
    }
    return lines;
}

// The set's pairs: comment lines start with "#".
std::vector<std::pair<std::wstring, std::wstring>> ReadSet(const std::wstring& path) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const std::wstring& line : Lines(ReadBytes(path))) {
        std::size_t tab = line.find(L'\t');
        if (line.empty() || line[0] == L'#' || tab == std::wstring::npos)
            continue;
        pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return pairs;
}

class CollectingCallBack : public IOvrinTranslateCallBack {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PutText(int, const char*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddSourceTerm(const char*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PutTextW(int length, const wchar_t* text) override {
        output.assign(text, static_cast<std::size_t>(length));
        return S_OK;
    }
    std::wstring output;
};

// The report in UTF-8 whatever the console's code page.
void Print(const std::wstring& text) {
    std::string bytes = ovrin::Utf16ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

bool CopyInto(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fwprintf(stderr, L"usage: engine_eval XLMAIN_DLL SAMPLES_FOLDER DATA_FOLDER EVAL_FOLDER [--record] "
                              L"[--show N]\n");
        return 2;
    }
    auto folder = [](std::wstring path) {
        if (path.back() != L'\\' && path.back() != L'/')
            path.push_back(L'\\');
        return path;
    };
    std::wstring dll = argv[1], samples = folder(argv[2]), data = folder(argv[3]), eval = folder(argv[4]);
    bool record = false;
    int show = 0;
    for (int i = 5; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--record")
            record = true;
        else if (std::wstring(argv[i]) == L"--show" && i + 1 < argc)
            show = _wtoi(argv[++i]);
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring work = std::wstring(temp) + L"ovrin-engine-eval\\";
    CreateDirectoryW(work.c_str(), nullptr);
    if (record)
        CreateDirectoryW((eval + L"recorded").c_str(), nullptr);
    int status = 0;
    _setmode(_fileno(stdout), _O_BINARY);
    Print(L"chrF2 (character 1-6-grams, beta 2): recorded word-by-word output -> this engine\n");
    Print(L"     tuning            held-out\n");
    for (const Direction& direction : kDirections) {
        std::wstring prefix = direction.prefix, place = work + prefix + L"\\";
        CreateDirectoryW(place.c_str(), nullptr);
        if (!CopyInto(samples + direction.dictionary, place + direction.dictionary) ||
            !CopyInto(data + prefix + L"\\general.gls", place + L"general.gls")) {
            std::fwprintf(stderr, L"engine_eval: %ls: no %ls or no general glossary\n", prefix.c_str(),
                          direction.dictionary);
            status = 1;
            continue;
        }
        IOvrinTranslatorWide* translator = nullptr;
        CreateInstanceFromPath(dll, *ovrin::engine::TranslatorClsid(prefix), IID_IClassFactory,
                               ovrin::engine::kIidTranslatorWide, reinterpret_cast<void**>(&translator));
        std::string path = ovrin::Utf16ToUtf8(place), narrowPrefix = ovrin::Utf16ToUtf8(prefix);
        if (translator == nullptr || FAILED(translator->Init(path.c_str(), narrowPrefix.c_str(), nullptr))) {
            std::fwprintf(stderr, L"engine_eval: %ls does not open\n", prefix.c_str());
            if (translator != nullptr)
                translator->Release();
            status = 1;
            continue;
        }
        auto pairs = ReadSet(eval + direction.set);
        std::vector<std::wstring> recorded = Lines(ReadBytes(eval + L"recorded\\" + prefix + L".txt"));
        bool haveRecorded = recorded.size() >= pairs.size();
        chrf::Statistics before[2], after[2];
        std::wstring outputs;
        CollectingCallBack callback;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const std::wstring& source = direction.reverse ? pairs[i].second : pairs[i].first;
            const std::wstring& reference = direction.reverse ? pairs[i].first : pairs[i].second;
            callback.output.clear();
            translator->TranslateW(source.c_str(), &callback);
            int third = i % 3 == 2 ? 1 : 0;
            after[third].Add(callback.output, reference);
            if (haveRecorded)
                before[third].Add(recorded[i], reference);
            outputs += callback.output + L"\n";
            // Only tuning lines are shown: the held-out ones are for the figures alone.
            if (static_cast<int>(i) < show && third == 0)
                Print(L"  " + source + L"\n    was: " + (haveRecorded ? recorded[i] : L"-") + L"\n    now: " +
                      callback.output + L"\n    ref: " + reference + L"\n");
        }
        translator->Release();
        auto figure = [&](int third) {
            wchar_t text[64];
            if (haveRecorded)
                swprintf(text, 64, L"%5.1f -> %5.1f", before[third].Score(), after[third].Score());
            else
                swprintf(text, 64, L"    - -> %5.1f", after[third].Score());
            return std::wstring(text);
        };
        Print(prefix + L"   " + figure(0) + L"    " + figure(1) + L"    (" + std::to_wstring(pairs.size()) +
              L" sentences, every third held out)\n");
        if (record) {
            std::ofstream file((eval + L"recorded\\" + prefix + L".txt").c_str(), std::ios::binary);
            file << ovrin::Utf16ToUtf8(outputs);
        }
    }
    std::fflush(stdout);
    return status;
}
