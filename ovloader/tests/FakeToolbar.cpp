// A stand-in for the toolbar in the launcher's tests. It registers the toolbar's window class and
// keeps a hidden window of it, answers "TBShowOptions" with 0 as many times as the file
// "zeros.txt" beside it says (none when absent) and then the number in "answer.txt" (1 when absent),
// and ends on WM_CLOSE. What happens goes,
// line by line, into "toolbar.log" beside it (shared by every copy started from that folder):
//   start <parameters>      exit      TBShowOptions <wParam> <lParam> <answer>
#include "common/Protocol.h"
#include "platform/Handles.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::wstring g_folder;
UINT g_showOptions = 0;
int g_zerosLeft = 0;
LRESULT g_answer = 1;

void Log(const std::string& line) {
    CFileHandle file(CreateFileW((g_folder + L"toolbar.log").c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!file)
        return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the tests pass ASCII
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_showOptions && g_showOptions != 0) {
        LRESULT answer = g_zerosLeft > 0 ? 0 : g_answer;
        if (g_zerosLeft > 0)
            --g_zerosLeft;
        Log("TBShowOptions " + std::to_string(wParam) + " " + std::to_string(static_cast<long long>(lParam)) + " " +
            std::to_string(answer));
        return answer;
    }
    if (message == WM_DESTROY) {
        Log("exit");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR parameters, int) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    g_folder = path;
    g_folder.resize(g_folder.find_last_of(L'\\') + 1);
    std::ifstream zeros(std::filesystem::path(g_folder + L"zeros.txt"));
    zeros >> g_zerosLeft;
    std::ifstream answer(std::filesystem::path(g_folder + L"answer.txt"));
    long long answerNumber = 1;
    if (answer >> answerNumber)
        g_answer = static_cast<LRESULT>(answerNumber);
    g_showOptions = RegisterWindowMessageW(ovrin::protocol::kShowOptionsMessage);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ovrin::protocol::kToolbarWindowClass;
    RegisterClassW(&windowClass);
    if (CreateWindowW(ovrin::protocol::kToolbarWindowClass, L"OVRIN Mobile", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                      instance, nullptr) == nullptr)
        return 1;
    Log("start " + Narrow(parameters));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
