// The stand-in browser: the browser stand-in's own site object over a fixed document and address.
#include "FakeDocument.h"
#include "PageObjects.h"
#include "platform/Handles.h"

#include <memory>
#include <string>

namespace {

class FixedContent : public browser::CSiteContent {
public:
    FixedContent(IDispatch* document, const wchar_t* url) : m_url(url != nullptr ? url : L"") {
        if (document != nullptr)
            document->AddRef();
        m_document = CComPtr<IDispatch>::Adopt(document);
    }
    IDispatch* NewDocument() override {
        if (m_document)
            m_document->AddRef();
        return m_document.Get();
    }
    std::wstring LocationUrl() override { return m_url; }

private:
    CComPtr<IDispatch> m_document;
    std::wstring m_url;
};

} // namespace

IUnknown* CreateFakeBrowser(IDispatch* document, const wchar_t* url) {
    return browser::CreateWebBrowserSite(std::make_unique<FixedContent>(document, url));
}
