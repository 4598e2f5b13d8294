// The toolbar's side of the page exchange with the browser helper: the panel's window procedure
// hands it three messages. 0x405 opens the wait window "analysing", WM_COPYDATA names a file that is
// translated in place (".html" as a page, anything else as plain text) and written back as UTF-16
// little-endian with its mark, 0x406 closes the wait window. The panel supplies the wait windows and
// the engine through CPageRequestHost.
#pragma once

#include "common/Protocol.h"

#include <cstddef>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ovrin {

// What the panel gives the page exchange.
class CPageRequestHost {
public:
    virtual ~CPageRequestHost() = default;
    // Closes any open wait window and opens one showing string stringId, with the panel's stop flag
    // cleared and handed to it.
    virtual void OpenWaitWindow(unsigned stringId) = 0;
    // Closes the wait window if one is open.
    virtual void CloseWaitWindow() = 0;
    // The engine client's translation with the chosen direction and subject.
    virtual bool TranslateText(const std::wstring& text, std::wstring& result) = 0;
};

class CPageRequests {
public:
    static constexpr unsigned kAnalysisBegins = protocol::kPageAnalysisBegins;
    static constexpr unsigned kTranslationOver = protocol::kPageTranslationOver;
    static constexpr unsigned kStringAnalysingHtml = 20; // "Анализ HTML"
    static constexpr unsigned kStringTranslating = 12;   // "Идёт перевод..."

    explicit CPageRequests(CPageRequestHost& host) : m_host(host) {}

    // 0x405: the wait window for the page analysis. Answer 0.
    void OnAnalysisBegins();
    // WM_COPYDATA: data holds byteCount bytes, the file's path in the ANSI code page ended by a zero.
    // A path without its zero within those bytes is refused. 1 when the translation was written back.
    int OnCopyData(const void* data, std::size_t byteCount);
    // 0x406: closes the wait window. Answer 0.
    void OnTranslationOver();

    // The translation of one exchange file in place, without the wait windows.
    bool TranslateFile(const std::wstring& path);

#ifdef _WIN32
    // The panel's window procedure calls this first: true for the three messages, with their answer.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer);
#endif

    // Whether the file is translated as a page: its extension, lower-cased, is "html".
    static bool IsPageFile(const std::wstring& path);

private:
    CPageRequestHost& m_host;
};

} // namespace ovrin
