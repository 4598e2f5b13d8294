// CPageRequests: the toolbar's handling of the browser helper's page exchange messages.
#include "pagetrans/PageRequests.h"

#include "base/CodePage.h"
#include "base/Path.h"
#include "base/TextFile.h"
#include "pagetrans/PageTranslator.h"

#include <cstring>

namespace ovrin {

void CPageRequests::OnAnalysisBegins() {
    m_host.OpenWaitWindow(kStringAnalysingHtml);
}

void CPageRequests::OnTranslationOver() {
    m_host.CloseWaitWindow();
}

int CPageRequests::OnCopyData(const void* data, std::size_t byteCount) {
    m_host.OpenWaitWindow(kStringTranslating);
    bool written = false;
    const char* bytes = static_cast<const char*>(data);
    const void* terminator = bytes != nullptr ? std::memchr(bytes, 0, byteCount) : nullptr;
    if (terminator != nullptr) {
        std::string path(bytes, static_cast<const char*>(terminator));
        if (!path.empty())
            written = TranslateFile(MultiByteToWide(kCodePageAnsi, path));
    }
    m_host.CloseWaitWindow();
    return written ? 1 : 0;
}

bool CPageRequests::IsPageFile(const std::wstring& path) {
    std::wstring name = PathFileName(path);
    std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    std::wstring extension = name.substr(dot + 1);
    for (wchar_t& c : extension) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return extension == L"html";
}

bool CPageRequests::TranslateFile(const std::wstring& path) {
    std::wstring text;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen() || !file.ReadAll(text, L"\r\n"))
            return false;
        file.Close();
    } catch (const CTextFileException&) {
        return false;
    }

    std::wstring result;
    if (IsPageFile(path)) {
        result = TranslatePage(text, [this](const std::wstring& batch, std::wstring& answer) {
            return m_host.TranslateText(batch, answer);
        });
    } else if (!m_host.TranslateText(text, result)) {
        result.clear();
    }

    try {
        CTextFileWrite file(path, EncodingUtf16LE);
        if (!file.IsOpen())
            return false;
        file.WriteText(result);
        file.Close();
    } catch (const CTextFileException&) {
        return false;
    }
    return true;
}

#ifdef _WIN32
bool CPageRequests::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
    switch (message) {
    case kAnalysisBegins:
        OnAnalysisBegins();
        answer = 0;
        return true;
    case WM_COPYDATA: {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        answer = copy != nullptr ? OnCopyData(copy->lpData, copy->cbData) : 0;
        return true;
    }
    case kTranslationOver:
        OnTranslationOver();
        answer = 0;
        return true;
    default:
        return false;
    }
}
#endif

} // namespace ovrin
