// The stand-in document, its element collection and its root element.
#include "FakeDocument.h"
#include "platform/ComObject.h"

namespace {

class FakeElement : public CDispatchObject<IPIEHTMLElement, &IID_IPIEHTMLElement> {
public:
    explicit FakeElement(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {}
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR* html) override {
        std::unique_lock<std::mutex> lock(m_page->lock);
        ++m_page->readsBegun;
        m_page->readsReleased.wait(lock, [&] { return !m_page->holdReads; });
        ++m_page->reads;
        *html = SysAllocStringLen(m_page->html.data(), static_cast<UINT>(m_page->html.size()));
        return S_OK;
    }

private:
    std::shared_ptr<FakePage> m_page;
};

class FakeCollection : public CDispatchObject<IPIEHTMLElementCollection, &IID_IPIEHTMLElementCollection> {
public:
    explicit FakeCollection(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {}
    HRESULT STDMETHODCALLTYPE get_length(LONG* count) override {
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** element) override {
        *element = nullptr;
        if (m_page->failure == FakePage::Failure::NoRootElement)
            return E_FAIL;
        if (name.vt != VT_I4 || name.lVal != 0 || index.vt != VT_I4 || index.lVal != 0)
            return E_INVALIDARG;
        *element = new FakeElement(m_page);
        return S_OK;
    }

private:
    std::shared_ptr<FakePage> m_page;
};

class FakeDocument : public CDispatchObject<IPIEHTMLDocument2, &IID_IPIEHTMLDocument2> {
public:
    explicit FakeDocument(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {
        std::lock_guard<std::mutex> lock(m_page->lock);
        ++m_page->documents;
    }
    ~FakeDocument() override {
        std::lock_guard<std::mutex> lock(m_page->lock);
        --m_page->documents;
    }
    HRESULT STDMETHODCALLTYPE get_all(IPIEHTMLElementCollection** collection) override {
        *collection = m_page->failure == FakePage::Failure::NoCollection ? nullptr : new FakeCollection(m_page);
        return *collection != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE write(SAFEARRAY* texts) override {
        std::wstring text;
        VARIANT* items = nullptr;
        if (texts == nullptr || SafeArrayAccessData(texts, reinterpret_cast<void**>(&items)) != S_OK)
            return E_INVALIDARG;
        for (ULONG i = 0; i < texts->rgsabound[0].cElements; ++i) {
            if (items[i].vt == VT_BSTR)
                text.append(items[i].bstrVal, SysStringLen(items[i].bstrVal));
        }
        SafeArrayUnaccessData(texts);
        std::lock_guard<std::mutex> lock(m_page->lock);
        m_page->writes.push_back(text);
        return S_OK;
    }

protected:
    void* FindInterface(REFIID interfaceId) override {
        if (m_page->failure == FakePage::Failure::NoDocumentInterface && IsEqualIID(interfaceId, IID_IPIEHTMLDocument2))
            return nullptr;
        return CDispatchObject::FindInterface(interfaceId);
    }

private:
    std::shared_ptr<FakePage> m_page;
};

} // namespace

IPIEHTMLDocument2* CreateFakeDocument(std::shared_ptr<FakePage> page) {
    return new FakeDocument(std::move(page));
}
