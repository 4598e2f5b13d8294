// The stand-in document, its element collection and its root element.
#include "FakeDocument.h"

#include <atomic>

namespace {

// IUnknown and an IDispatch without type information for a stand-in of Interface.
template <typename Interface, const IID* InterfaceId>
class FakeDispatch : public Interface {
public:
    virtual ~FakeDispatch() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) || IsEqualIID(id, *InterfaceId)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

private:
    std::atomic<ULONG> m_references{1};
};

class FakeElement : public FakeDispatch<IPIEHTMLElement, &IID_IPIEHTMLElement> {
public:
    explicit FakeElement(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {}
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR* html) override {
        std::lock_guard<std::mutex> lock(m_page->lock);
        ++m_page->reads;
        *html = SysAllocStringLen(m_page->html.data(), static_cast<UINT>(m_page->html.size()));
        return S_OK;
    }

private:
    std::shared_ptr<FakePage> m_page;
};

class FakeCollection : public FakeDispatch<IPIEHTMLElementCollection, &IID_IPIEHTMLElementCollection> {
public:
    explicit FakeCollection(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {}
    HRESULT STDMETHODCALLTYPE get_length(LONG* count) override {
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** element) override {
        *element = nullptr;
        if (name.vt != VT_I4 || name.lVal != 0 || index.vt != VT_I4 || index.lVal != 0)
            return E_INVALIDARG;
        *element = new FakeElement(m_page);
        return S_OK;
    }

private:
    std::shared_ptr<FakePage> m_page;
};

class FakeDocument : public FakeDispatch<IPIEHTMLDocument2, &IID_IPIEHTMLDocument2> {
public:
    explicit FakeDocument(std::shared_ptr<FakePage> page) : m_page(std::move(page)) {}
    HRESULT STDMETHODCALLTYPE get_all(IPIEHTMLElementCollection** collection) override {
        *collection = new FakeCollection(m_page);
        return S_OK;
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

private:
    std::shared_ptr<FakePage> m_page;
};

} // namespace

IPIEHTMLDocument2* CreateFakeDocument(std::shared_ptr<FakePage> page) {
    return new FakeDocument(std::move(page));
}
