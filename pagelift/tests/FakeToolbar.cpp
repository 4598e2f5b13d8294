// A stand-in for the toolbar's panel in the browser helper's tests: a hidden window of the panel's
// class that handles the page exchange with CPageRequests, translating by upper-casing. Every message
// of the exchange it receives is appended to the log file named on its command line, before it is
// handled ("0x405", "copydata PATH", "0x406").
//   OvrinToolbar.exe LOG [empty|hold|hang-analysis|hang-copydata]
//     empty: answers every WM_COPYDATA with an emptied file;
//     hold: before translating, waits until the file LOG.release exists;
//     hang-analysis, hang-copydata: never answers 0x405, or WM_COPYDATA, and stops handling messages
#include "base/CodePage.h"
#include "common/Protocol.h"
#include "pagetrans/PageRequests.h"
#include "platform/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <cwctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::wstring g_log;
bool g_answerEmpty = false;
bool g_hold = false;
UINT g_hangAt = 0; // the message that is never answered, 0 for none

void Log(const std::string& line) {
    std::ofstream out(std::filesystem::path(g_log), std::ios::app | std::ios::binary);
    out << line << "\n";
}

class UpperCaseHost : public ovrin::CPageRequestHost {
public:
    void OpenWaitWindow(unsigned) override {}
    void CloseWaitWindow() override {}
    bool TranslateText(const std::wstring& text, std::wstring& result) override {
        result = text;
        for (wchar_t& c : result)
            c = static_cast<wchar_t>(std::towupper(c));
        return true;
    }
};

UpperCaseHost g_host;
ovrin::CPageRequests g_requests(g_host);

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ovrin::CPageRequests::kAnalysisBegins)
        Log("0x405");
    else if (message == ovrin::CPageRequests::kTranslationOver)
        Log("0x406");
    if (message == g_hangAt && g_hangAt != WM_COPYDATA) {
        for (;;)
            Sleep(INFINITE);
    }
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::string path(static_cast<const char*>(copy->lpData), copy->cbData > 0 ? copy->cbData - 1 : 0);
        Log("copydata " + path);
        while (g_hangAt == WM_COPYDATA)
            Sleep(INFINITE);
        const std::wstring release = g_log + L".release";
        while (g_hold && GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES)
            Sleep(10);
        if (g_answerEmpty) {
            CFileHandle emptied(CreateFileW(ovrin::MultiByteToWide(ovrin::kCodePageAnsi, path).c_str(), GENERIC_WRITE,
                                            0, nullptr, TRUNCATE_EXISTING, 0, nullptr));
            return 1;
        }
    }
    LRESULT answer = 0;
    if (g_requests.HandleMessage(message, wParam, lParam, answer))
        return answer;
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2)
        return 2;
    g_log = arguments[1];
    g_answerEmpty = count > 2 && std::wstring(arguments[2]) == L"empty";
    g_hold = count > 2 && std::wstring(arguments[2]) == L"hold";
    if (count > 2 && std::wstring(arguments[2]) == L"hang-analysis")
        g_hangAt = ovrin::CPageRequests::kAnalysisBegins;
    if (count > 2 && std::wstring(arguments[2]) == L"hang-copydata")
        g_hangAt = WM_COPYDATA;
    LocalFree(arguments);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ovrin::protocol::kToolbarWindowClass;
    if (!RegisterClassW(&windowClass))
        return 3;
    if (CreateWindowExW(0, ovrin::protocol::kToolbarWindowClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                        instance, nullptr) == nullptr)
        return 4;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
