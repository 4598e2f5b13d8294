// The toolbar window, the exchange file and the exchange itself.
#include "PageExchange.h"

#include "base/CodePage.h"
#include "base/Path.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "platform/Handles.h"
#include "platform/Processes.h"

namespace pagelift {

namespace {

constexpr wchar_t kNameAlphabet[] = L"abdYqzmxkcn123";
constexpr int kNameAlphabetSize = 14;
constexpr int kNameLength = 8;
constexpr int kReserveAttempts = 64;
constexpr int kExchangeAttempts = 2;

bool WriteExchangeFile(const std::wstring& path, const std::wstring& html) {
    try {
        CTextFileWrite file(path, EncodingUtf16LE);
        if (!file.IsOpen())
            return false;
        file.WriteText(html);
        file.Close();
        return true;
    } catch (const CTextFileException&) {
        return false;
    }
}

std::wstring ReadExchangeFile(const std::wstring& path) {
    std::wstring text;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen() || !file.ReadAll(text, L"\r\n"))
            text.clear();
    } catch (const CTextFileException&) {
        text.clear();
    }
    return text;
}

} // namespace

// Only windows of the toolbar's class are looked at after the first: the next window in Z-order of
// any class could be another window of the toolbar's own process (its wait or result window), which
// does not take the exchange messages.
HWND FindToolbarWindow() {
    for (HWND window = FindWindowW(kToolbarWindowClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kToolbarWindowClass, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (ovrin::EqualIgnoringCase(platform::ProcessFileNameById(processId), kToolbarProgram))
            return window;
    }
    return nullptr;
}

void SendToToolbar(UINT message) {
    DWORD_PTR answer = 0;
    if (HWND toolbar = FindToolbarWindow())
        SendMessageTimeoutW(toolbar, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kWaitWindowTimeoutMs, &answer);
}

std::wstring MakeExchangeFileName(const std::wstring& folder, std::minstd_rand& generator) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    for (int i = 0; i < kNameLength; ++i)
        path += kNameAlphabet[generator() % kNameAlphabetSize];
    return path + L".html";
}

std::wstring ReserveExchangeFile() {
    wchar_t folder[256] = {};
    DWORD length = GetTempPathW(255, folder);
    if (length == 0 || length > 255)
        return {};
    SYSTEMTIME now;
    GetSystemTime(&now);
    std::minstd_rand generator(now.wMilliseconds);
    for (int attempt = 0; attempt < kReserveAttempts; ++attempt) {
        std::wstring path = MakeExchangeFileName(folder, generator);
        CFileHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return path;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

bool ExchangeWithToolbar(const std::wstring& html, std::wstring& translation) {
    HWND toolbar = FindToolbarWindow();
    if (toolbar == nullptr)
        return false;
    const std::wstring path = ReserveExchangeFile();
    if (path.empty())
        return false;
    std::string ansiPath = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, path);
    COPYDATASTRUCT copy = {};
    copy.dwData = 0;
    copy.cbData = static_cast<DWORD>(ansiPath.size() + 1);
    copy.lpData = ansiPath.data();

    bool translated = false;
    for (int attempt = 0; attempt < kExchangeAttempts && !translated; ++attempt) {
        if (!WriteExchangeFile(path, html))
            break;
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(toolbar, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                 SMTO_NORMAL | SMTO_ABORTIFHUNG, kTranslationTimeoutMs, &answer))
            break;
        translation = ReadExchangeFile(path);
        translated = !translation.empty();
    }
    DeleteFileW(path.c_str());
    return translated;
}

std::wstring BaseElement(const std::wstring& address) {
    std::wstring element = L"<base href=\"";
    for (wchar_t c : address) {
        if (c == L'"')
            element += L"&quot;";
        else
            element += c;
    }
    return element + L"\">";
}

} // namespace pagelift
