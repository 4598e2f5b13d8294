// The toolbar program's flows as a user meets them, timed under Wine over the engine stand-in (not part
// of the test run):
//   1. the call key held over Wine's notepad with 1,000 characters selected in selection mode, from
//      the key going down (as the system sees it) to the result window showing the translation;
//   2. another direction picked in the direction dialog, until the toolbar, restarted through the
//      launcher, shows the direction dialog again.
// Each prints its median, minimum and maximum and the budget it is held to.
//
//   ninja -C build/win toolbar_flow_bench &&
//   scripts/wine-run build/win/toolbar/dialog_tests/toolbar_flow_bench.exe [REPEATS]
#include "ToolbarPrograms.h"
#include "common/Protocol.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace toolbarprograms;

namespace {

constexpr double kHeldKeyBudgetMs = 1500; // the 500 ms long press, the translation and the window
constexpr double kRestartBudgetMs = 5000; // the old toolbar's end, the launcher's polls, the new start

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times, double budget) {
    if (times.empty()) {
        std::printf("%s: no run completed\n", what);
        return;
    }
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    std::printf("%s: median %.0f ms, min %.0f ms, max %.0f ms over %zu runs (budget %.0f ms: %s)\n", what, median,
                times.front(), times.back(), times.size(), budget, median <= budget ? "met" : "missed");
}

// Ten lines of 98 characters and their breaks: 1,000 characters, and an empty line after them.
std::wstring Thousand() {
    const std::wstring words = L"the big cat and the dog run to the house ";
    std::wstring text;
    for (int line = 0; line < 10; ++line) {
        std::wstring row;
        while (row.size() < 98)
            row += words;
        text += row.substr(0, 98) + L"\r\n";
    }
    return text;
}

HWND ResultWindowOf(DWORD processId) {
    return testsupport::FindProgramWindow(L"#32770", L"OVRIN", processId);
}

// Held key to the result window: the panel called by the held key, selection mode started, the text
// selected by Down keys, then the timed press.
std::vector<double> HeldKeyToResult(int repeats, DWORD toolbarId, HWND panel) {
    std::vector<double> times;
    desktop::FrontProgram notepad;
    if (!notepad.Start(L"notepad.exe"))
        return times;
    std::wstring text = Thousand();
    SendMessageW(notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    for (int run = 0; run <= repeats; ++run) {
        SendMessageW(notepad.Edit(), EM_SETSEL, 0, 0);
        SetForegroundWindow(notepad.Window());
        testsupport::WaitUntil([&] { return GetForegroundWindow() == notepad.Window(); });
        testsupport::FocusWindowForKeys(notepad.Window());
        desktop::Xdotool("keydown Return sleep 0.9 keyup Return");
        if (!testsupport::WaitUntil([&] { return IsWindowVisible(panel) && GetForegroundWindow() == panel; })) {
            std::printf("run %d: the panel did not show\n", run);
            continue;
        }
        // Selection mode, as button 0 starts it (its command posted: the timed part is the held key).
        PostMessageW(panel, WM_COMMAND, ID_SELECT_TRANSLATE, 0);
        HWND edit = notepad.Edit();
        if (!testsupport::WaitUntil([&] { return (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0; })) {
            std::printf("run %d: selection mode did not start\n", run);
            continue;
        }
        testsupport::WaitUntil([&] { return GetForegroundWindow() == notepad.Window(); });
        testsupport::FocusWindowForKeys(notepad.Window());
        desktop::Xdotool("key Down Down Down Down Down Down Down Down Down Down");
        if (!testsupport::WaitUntil([&] { return desktop::SelectionOf(edit) == std::make_pair(0L, 1000L); })) {
            auto [from, to] = desktop::SelectionOf(edit);
            std::printf("run %d: the selection did not reach 1,000 characters (%ld-%ld)\n", run, from, to);
            continue;
        }
        testsupport::FocusWindowForKeys(notepad.Window());
        testsupport::CUnixCommand hold("xdotool keydown Return sleep 0.9 keyup Return");
        if (!testsupport::WaitUntil([] { return (GetAsyncKeyState(VK_RETURN) & 0x8000) != 0; }))
            continue;
        auto down = std::chrono::steady_clock::now();
        HWND result = nullptr;
        bool shown = testsupport::WaitUntil(
            [&] {
                result = ResultWindowOf(toolbarId);
                return result != nullptr && !desktop::TextOf(GetDlgItem(result, IDC_TRANSLATION_EDIT)).empty();
            },
            30000);
        double elapsed = Since(down);
        hold.Wait();
        if (!shown) {
            std::printf("run %d: no result window with a translation\n", run);
            testsupport::ScreenshotIntoOut("toolbar_flow_bench_failed.png");
            continue;
        }
        if (run == 0) {
            std::printf("held key to result, first run (the engine opening): %.0f ms\n", elapsed);
            testsupport::ScreenshotIntoOut("toolbar_result_1000_characters.png");
        } else {
            times.push_back(elapsed);
        }
        PostMessageW(result, WM_COMMAND, IDOK, 0);
        testsupport::WaitUntil([&] { return !IsWindow(result); }, 10000);
    }
    return times;
}

// A toolbar with its direction dialog open, picks the other direction and waits for the restarted
// toolbar's dialog; the new toolbar is the next round's.
std::vector<double> RestartToDialog(int repeats, DWORD toolbarId, HWND panel) {
    std::vector<double> times;
    HWND dialog = OpenDirectionDialog(panel, toolbarId);
    for (int run = 0; run < repeats && dialog != nullptr; ++run) {
        int current = static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_TRANS_DIRECTION_LIST), CB_GETCURSEL, 0, 0));
        auto start = std::chrono::steady_clock::now();
        PickDirection(dialog, current == 0 ? 1 : 0);
        // The parts: the old toolbar gone, the new one's panel, its dialog.
        CHandle old(OpenProcess(SYNCHRONIZE, FALSE, toolbarId));
        HWND oldPanel = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
        double hidden = -1, dialogGone = -1;
        while (WaitForSingleObject(old.Get(), 1) == WAIT_TIMEOUT && Since(start) < 20000) {
            if (hidden < 0 && !IsWindowVisible(oldPanel))
                hidden = Since(start);
            if (dialogGone < 0 && !IsWindowVisible(dialog))
                dialogGone = Since(start);
        }
        old.Reset();
        double ended = Since(start);
        testsupport::WaitUntil([] { return FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr) != nullptr; },
                               20000);
        double panelMade = Since(start);
        DWORD restarted = 0;
        dialog = WaitForRestartedDialog(toolbarId, restarted);
        double shown = Since(start);
        std::printf("restart %d: old panel hidden %.0f ms, old dialog hidden %.0f ms, old toolbar ended %.0f ms, "
                    "new panel %.0f ms, new dialog %.0f ms\n",
                    run, hidden, dialogGone, ended, panelMade, shown);
        if (dialog == nullptr) {
            std::printf("run %d: no direction dialog after the restart\n", run);
            break;
        }
        times.push_back(shown);
        toolbarId = restarted;
    }
    return times;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    enginetest::EngineLayout layout;
    layout.WriteStandardCatalogue();
    layout.AddDirection(L"ER", enginetest::EnglishRussian());
    layout.AddDirection(L"RE", enginetest::RussianEnglish());
    EngineForPrograms installed(layout);
    InstalledLauncher launcherFile;
    if (!installed.Copied() || !launcherFile.Copied()) {
        std::printf("the engine or the launcher could not be put in place\n");
        return 1;
    }
    int savedDirection = CEngineClient::GetDirectionSetting(), savedSubject = CEngineClient::GetSubjectSetting();
    CEngineClient::SetDirectionSetting(0);
    CEngineClient::SetSubjectSetting(0);
    EndRunningToolbars();

    testsupport::CProgramProcess toolbar;
    toolbar.Start(ovrin::GetProgramFolder() + L"OvrinToolbar.exe");
    HWND panel = nullptr;
    testsupport::WaitUntil(
        [&] {
            panel = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
            return panel != nullptr && !desktop::TextOf(GetDlgItem(panel, IDC_CAPTION_LABEL)).empty();
        },
        15000);
    if (panel == nullptr) {
        std::printf("the toolbar did not start\n");
        return 1;
    }
    DWORD toolbarId = testsupport::WindowProcess(panel);
    if (toolbarId != toolbar.Id())
        std::printf("note: the panel belongs to process %lu, not to the toolbar started (%lu)\n", toolbarId,
                    toolbar.Id());
    Report("held key to the result window (1,000 characters)", HeldKeyToResult(repeats, toolbarId, panel),
           kHeldKeyBudgetMs);
    Report("direction picked to the dialog of the restarted toolbar", RestartToDialog(repeats, toolbarId, panel),
           kRestartBudgetMs);
    EndRunningToolbars();
    CEngineClient::SetDirectionSetting(savedDirection);
    CEngineClient::SetSubjectSetting(savedSubject);
    return 0;
}
