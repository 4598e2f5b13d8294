// The document, its collection of all elements and the root element, answered by the page area.
#include "PageObjects.h"
#include "PieDocument.h"
#include "platform/ComObject.h"

#include <string>

namespace browser {

namespace {

// A message the page area answers 1 to; false when the window is gone or refuses.
bool AskPage(HWND page, UINT message, const void* argument) {
    return SendMessageW(page, message, 0, reinterpret_cast<LPARAM>(argument)) == 1;
}

class CRootElement : public CDispatchObject<IPIEHTMLElement, &IID_IPIEHTMLElement> {
public:
    explicit CRootElement(HWND page) : m_page(page) {}
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR* html) override {
        if (html == nullptr)
            return E_POINTER;
        *html = nullptr;
        std::wstring markup;
        if (!AskPage(m_page, kReadMarkup, &markup))
            return E_FAIL;
        *html = SysAllocStringLen(markup.data(), static_cast<UINT>(markup.size()));
        return *html != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    HWND m_page;
};

// The collection of all elements as far as the page's objects go: item 0 is the root element, whose
// mark-up is the whole page.
class CElementCollection : public CDispatchObject<IPIEHTMLElementCollection, &IID_IPIEHTMLElementCollection> {
public:
    explicit CElementCollection(HWND page) : m_page(page) {}
    HRESULT STDMETHODCALLTYPE get_length(LONG* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** element) override {
        if (element == nullptr)
            return E_POINTER;
        *element = nullptr;
        VARIANT number;
        VariantInit(&number);
        // The element is asked for by its number, given as name or index.
        const VARIANT& asked = index.vt == VT_EMPTY || index.vt == VT_ERROR ? name : index;
        if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&asked), 0, VT_I4)) || number.lVal != 0)
            return E_INVALIDARG;
        *element = new CRootElement(m_page);
        return S_OK;
    }

private:
    HWND m_page;
};

class CPageDocument : public CDispatchObject<IPIEHTMLDocument2, &IID_IPIEHTMLDocument2> {
public:
    explicit CPageDocument(HWND page) : m_page(page) {}
    HRESULT STDMETHODCALLTYPE get_all(IPIEHTMLElementCollection** collection) override {
        if (collection == nullptr)
            return E_POINTER;
        *collection = IsWindow(m_page) ? new CElementCollection(m_page) : nullptr;
        return *collection != nullptr ? S_OK : E_FAIL;
    }
    // The texts of the array, one after the other, become the shown page.
    HRESULT STDMETHODCALLTYPE write(SAFEARRAY* texts) override {
        if (texts == nullptr || SafeArrayGetDim(texts) != 1)
            return E_INVALIDARG;
        VARTYPE type = VT_EMPTY;
        if (FAILED(SafeArrayGetVartype(texts, &type)) || type != VT_VARIANT)
            return E_INVALIDARG;
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(texts, 1, &lower);
        SafeArrayGetUBound(texts, 1, &upper);
        std::wstring markup;
        for (LONG i = lower; i <= upper; ++i) {
            VARIANT item, text;
            VariantInit(&item);
            VariantInit(&text);
            if (SUCCEEDED(SafeArrayGetElement(texts, &i, &item)) &&
                SUCCEEDED(VariantChangeType(&text, &item, 0, VT_BSTR)) && text.bstrVal != nullptr)
                markup.append(text.bstrVal, SysStringLen(text.bstrVal));
            VariantClear(&text);
            VariantClear(&item);
        }
        return AskPage(m_page, kWriteMarkup, &markup) ? S_OK : E_FAIL;
    }

private:
    HWND m_page;
};

// The page area as a site's content.
class CPageAreaContent : public CSiteContent {
public:
    explicit CPageAreaContent(HWND page) : m_page(page) {}
    IDispatch* NewDocument() override { return IsWindow(m_page) ? CreatePageDocument(m_page) : nullptr; }
    std::wstring LocationUrl() override {
        std::wstring location;
        if (!AskPage(m_page, kReadLocation, &location))
            location.clear();
        return location;
    }

private:
    HWND m_page;
};

} // namespace

IDispatch* CreatePageDocument(HWND page) {
    return new CPageDocument(page);
}

IUnknown* CreateWebBrowserSite(HWND page) {
    return CreateWebBrowserSite(std::make_unique<CPageAreaContent>(page));
}

} // namespace browser
