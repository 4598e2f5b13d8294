// The panel's wait window and engine for the page exchange.
#include "PageMessages.h"

#include "platform/Resources.h"

namespace pagelink {

void CPageLink::OpenWaitWindow(unsigned stringId) {
    m_wait.Open(platform::LoadResString(stringId), m_stopFlag);
}

// A stopped translation gives the lines done followed by the rest of the text as it was: a page must
// not lose what was not translated (a plain-text page was written back empty), and on an HTML page the
// runs not reached come back as they were sent, so the page still cuts into its runs.
bool CPageLink::TranslateText(const std::wstring& text, std::wstring& result) {
    std::wstring done;
    CTranslationStop stop;
    bool translated = m_engine.TranslateText(text, done, &stop);
    translationrun::MarkEngineUsed();
    if (stop.stopped) {
        done.append(text, stop.translatedLength, std::wstring::npos);
        translated = true;
    }
    result = std::move(done);
    return translated;
}

} // namespace pagelink
