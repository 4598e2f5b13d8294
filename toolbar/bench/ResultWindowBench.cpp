// Time from a taken selection to the result window showing its translation: the wait window opened on
// its thread, the engine's translation, the wait window gone, and the result window made on its own
// thread until it is shown with the translation in its edit. Over the engine stand-in, with a
// selection of about 1,000 characters of English.
//
//   ninja -C build/win toolbar_result_bench && scripts/wine-run build/win/toolbar/toolbar_result_bench.exe [REPEATS]
#include "ChildDialogs.h"
#include "ChildWindow.h"
#include "WaitWindow.h"
#include "enginetest/EngineLayout.h"
#include "resource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
    enginetest::EngineLayout layout;
    layout.WriteStandardCatalogue();
    layout.AddDirection(L"ER", enginetest::EnglishRussian());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    int stopFlag = 0;
    client.RegisterStopFlag(&stopFlag);
    int savedDirection = CEngineClient::GetDirectionSetting(), savedSubject = CEngineClient::GetSubjectSetting();
    CEngineClient::SetDirectionSetting(0);
    CEngineClient::SetSubjectSetting(0);

    std::wstring selection;
    while (selection.size() < 1000)
        selection += L"The big cat and the dog run to the house. ";
    selection.resize(1000);

    std::vector<double> times;
    std::wstring shown;
    for (int i = 0; i <= repeats; ++i) {
        auto start = std::chrono::steady_clock::now();
        std::wstring result = translationrun::TranslateWithWaitWindow(client, &stopFlag, selection);
        CChildWindow child;
        child.Open(childdialogs::MakeResultWindow({&client, &stopFlag, nullptr}, selection, result));
        HWND window = child.WaitForWindow(30000);
        HWND edit = window != nullptr ? GetDlgItem(window, IDC_TRANSLATION_EDIT) : nullptr;
        while (edit != nullptr && GetWindowTextLengthW(edit) == 0 && !result.empty())
            Sleep(0);
        auto end = std::chrono::steady_clock::now();
        if (i == 0) { // the first run opens the engine
            std::printf("first run (engine opening): %.1f ms\n",
                        std::chrono::duration<double, std::milli>(end - start).count());
            shown = result;
        } else {
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        child.End();
    }
    CEngineClient::SetDirectionSetting(savedDirection);
    CEngineClient::SetSubjectSetting(savedSubject);
    // The parts: the engine's translation alone, and a wait window opened and closed.
    auto start = std::chrono::steady_clock::now();
    std::wstring alone;
    client.TranslateText(selection, alone);
    auto translated = std::chrono::steady_clock::now();
    CWaitWindow wait;
    wait.Open(L"...", &stopFlag);
    auto opened = std::chrono::steady_clock::now();
    wait.Close();
    auto waited = std::chrono::steady_clock::now();
    std::printf("wait window opened in %.1f ms\n",
                std::chrono::duration<double, std::milli>(opened - translated).count());
    std::printf("translation alone %.1f ms, wait window shown and gone %.1f ms\n",
                std::chrono::duration<double, std::milli>(translated - start).count(),
                std::chrono::duration<double, std::milli>(waited - translated).count());
    std::sort(times.begin(), times.end());
    std::printf("1000 characters to %zu translated, %d repeats: median %.1f ms, min %.1f ms, max %.1f ms\n",
                shown.size(), repeats, times[times.size() / 2], times.front(), times.back());
    return shown.empty() ? 1 : 0;
}
