// The dictionary program's benchmark under Wine (printed, not a test):
//   - start: program start to the lookup window showing the command-line word's headword selected;
//   - keystroke to list updated: a character posted to the edit, until the list's selection and scroll
//     position are those of the typed text's nearest headword, over 1,000 keystrokes that each move
//     the list (median, 99th percentile, worst);
//   - private memory of the running program with the dictionary open, beside a bare program of the
//     framework showing one empty dialog.
// Usage: lexory_bench DICTIONARY.dic   (a Unix path is taken as a path on drive Z:)
//        lexory_bench --bare           (the bare program itself)
#include "../resource.h"
#include "ColorEdit.h"
#include "DictManager.h"
#include "LexoryDlg.h"
#include "common/Registry.h"
#include "platform/Application.h"
#include "platform/Dialog.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <testsupport/GuiProgram.h>
#include <testsupport/TempFolder.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class CBareApp : public CApplication {
protected:
    bool InitInstance() override {
        CDialog dialog(100);
        dialog.DoModal(nullptr);
        return false;
    }
};

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        std::fprintf(stderr, "GetProcessMemoryInfo: error %lu\n", GetLastError());
    std::printf("  (private %zu, page file %zu, working set %zu bytes)\n", counters.PrivateUsage,
                counters.PagefileUsage, counters.WorkingSetSize);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos)
        return L"";
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

std::wstring Lowered(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

struct Window {
    HWND window = nullptr;
    HWND Edit() const { return GetDlgItem(window, IDC_WORD_EDIT); }
    HWND List() const { return GetDlgItem(window, IDC_WORD_LIST); }
    bool Neutral() const {
        return reinterpret_cast<ULONG_PTR>(GetPropW(Edit(), CColorEdit::kBackColorProperty)) ==
               CLexoryDlg::kNeutralColor + 1;
    }
    bool Shows(int row) const {
        if (SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED) != row)
            return false;
        int top = static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0));
        int page = static_cast<int>(SendMessageW(List(), LVM_GETCOUNTPERPAGE, 0, 0));
        return row >= top && row <= top + page && Neutral();
    }
};

// Waits for condition, asking every half millisecond (each question is a message the program's
// window thread answers, so asking without pause would slow down what is measured); false after
// timeout.
template <typename Condition>
bool Poll(Condition condition, std::chrono::milliseconds timeout = 10000ms) {
    auto end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        auto pause = Clock::now() + 500us;
        while (Clock::now() < pause)
            SwitchToThread();
    }
    return true;
}

int RunBenchmark(std::wstring dictionary) {
    if (!dictionary.empty() && dictionary[0] == L'/')
        dictionary = L"Z:" + dictionary;
    testsupport::TempFolder programFolder, ownFolder;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring selfFolder = std::wstring(self).substr(0, std::wstring(self).find_last_of(L"\\/") + 1);
    for (const wchar_t* file : {L"Lexory.exe", L"XLATCP.dll"})
        if (!CopyFileW((selfFolder + file).c_str(), programFolder.File(file).c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy %ls\n", file);
            return 1;
        }
    if (!CopyFileW(dictionary.c_str(), programFolder.File(L"dictionary.dic").c_str(), FALSE) ||
        !CopyFileW(dictionary.c_str(), ownFolder.File(L"dictionary.dic").c_str(), FALSE)) {
        std::fprintf(stderr, "cannot read the dictionary %ls\n", dictionary.c_str());
        return 1;
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory").c_str());

    // The benchmark's own view of the dictionary, for the rows each text must lead to.
    CDictManager expected(testsupport::ToWide(ownFolder.Path()) + L"\\");
    if (!expected.OpenDirection(0)) {
        std::fprintf(stderr, "the dictionary does not open\n");
        return 1;
    }
    std::printf("dictionary: %lu headwords\n", expected.GetWordCount(0));
    long helloRow = expected.FindNearest(L"hello", false);

    // Start, five times.
    std::vector<double> starts;
    testsupport::CProgramProcess program;
    Window lookup;
    for (int run = 0; run < 5; ++run) {
        program.End();
        auto begin = Clock::now();
        program.Start(programFolder.File(L"Lexory.exe"), L"hello");
        bool up = Poll(
            [&] {
                lookup.window = testsupport::FindProgramWindow(L"LexoryWndClass", nullptr, program.Id());
                return lookup.window != nullptr && lookup.Shows(static_cast<int>(helloRow));
            },
            30000ms);
        if (!up) {
            std::fprintf(stderr, "the lookup window did not show \"hello\"\n");
            return 1;
        }
        starts.push_back(Milliseconds(Clock::now() - begin));
    }
    std::sort(starts.begin(), starts.end());
    std::printf("start to \"hello\" selected: median %.1f ms, best %.1f ms, worst %.1f ms (5 starts)\n", starts[2],
                starts[0], starts[4]);

    // Keystrokes: headword prefixes typed character by character; a new word replaces the text.
    std::vector<std::wstring> headwords;
    std::mt19937 random(12345);
    unsigned long count = expected.GetWordCount(0);
    std::vector<double> latencies;
    std::wstring text;
    long shown = helloRow;
    int keystrokes = 0;
    PostMessageW(lookup.Edit(), EM_SETSEL, 0, -1);
    while (latencies.size() < 1000 && keystrokes < 20000) {
        std::wstring word = expected.GetHeadword(random() % count);
        if (word.size() < 2 || word.size() > 30)
            continue;
        PostMessageW(lookup.Edit(), EM_SETSEL, 0, -1);
        text.clear();
        for (wchar_t c : word) {
            text += c;
            ++keystrokes;
            std::wstring key = Trimmed(text);
            long row = key.empty() ? -1 : expected.FindNearest(key, false);
            std::wstring head = row >= 0 ? expected.GetHeadword(static_cast<unsigned long>(row)) : L"";
            bool leads = row >= 0 && head.size() >= key.size() && Lowered(head.substr(0, key.size())) == Lowered(key);
            auto posted = Clock::now();
            PostMessageW(lookup.Edit(), WM_CHAR, c, 1);
            if (!leads) {
                // The list stays; wait for the edit to hold the text before the next key.
                Poll([&] { return testsupport::ControlText(lookup.Edit()) == text; });
                continue;
            }
            if (!Poll([&] { return lookup.Shows(static_cast<int>(row)); })) {
                std::fprintf(stderr, "the list did not reach row %ld for \"%ls\"\n", row, key.c_str());
                return 1;
            }
            if (row != shown)
                latencies.push_back(Milliseconds(Clock::now() - posted));
            shown = row;
        }
    }
    std::sort(latencies.begin(), latencies.end());
    size_t n = latencies.size();
    std::printf("keystroke to list updated (%zu keystrokes that move the list, %d typed): median %.2f ms, p99 %.2f "
                "ms, worst %.2f ms\n",
                n, keystrokes, latencies[n / 2], latencies[std::min(n - 1, n * 99 / 100)], latencies[n - 1]);

    SIZE_T lexoryBytes = PrivateBytes(program.Handle());
    PostMessageW(lookup.window, WM_COMMAND, ID_EXIT, 0);
    program.WaitForExit(10000);

    // The bare framework program: its private memory, and its start to a shown window for comparison.
    testsupport::CProgramProcess bare;
    std::vector<double> bareStarts;
    SIZE_T bareBytes = 0;
    for (int run = 0; run < 5; ++run) {
        auto begin = Clock::now();
        bare.Start(self, L"--bare");
        Poll([&] { return testsupport::FindProgramWindow(L"#32770", L"Bare", bare.Id()) != nullptr; }, 30000ms);
        bareStarts.push_back(Milliseconds(Clock::now() - begin));
        if (run == 0)
            bareBytes = PrivateBytes(bare.Handle());
        bare.End();
    }
    std::sort(bareStarts.begin(), bareStarts.end());
    std::printf("bare framework program, start to its window shown: median %.1f ms, best %.1f ms\n", bareStarts[2],
                bareStarts[0]);
    std::printf("private memory: Lexory with the dictionary open %.2f MB, bare framework program %.2f MB, "
                "difference %.2f MB\n",
                lexoryBytes / 1048576.0, bareBytes / 1048576.0, (double(lexoryBytes) - double(bareBytes)) / 1048576.0);
    RegDeleteKeyW(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory").c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--bare") {
        CBareApp application;
        return application.Run(GetModuleHandleW(nullptr));
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: lexory_bench DICTIONARY.dic\n");
        return 2;
    }
    return RunBenchmark(argv[1]);
}
