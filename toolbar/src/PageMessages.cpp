// The panel's wait window and engine for the page exchange.
#include "PageMessages.h"

#include "platform/Resources.h"

namespace pagelink {

void CPageLink::OpenWaitWindow(unsigned stringId) {
    m_wait.Open(platform::LoadResString(stringId), m_stopFlag);
}

bool CPageLink::TranslateText(const std::wstring& text, std::wstring& result) {
    bool translated = m_engine.TranslateText(text, result);
    translationrun::MarkEngineUsed();
    return translated;
}

} // namespace pagelink
