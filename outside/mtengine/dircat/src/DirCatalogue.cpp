// dircat.dll: the direction catalogue. DllGetClassObject hands out the catalogue entry, whose Open
// reads "dircat.dat" (UTF-8: a first line naming the format, then a "[DirID]" line per direction
// followed by its information text) into a catalogue of directions, each with its information text.
#include "EnginePrivate.h"

#include "common/EngineInterfaces.h"
#include "platform/ComObject.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

using namespace mtengine;

namespace {

constexpr char kSignature[] = "OVRIN direction catalogue 1";
// More than this is not a catalogue.
constexpr std::streamoff kMaxCatalogueBytes = 1 << 20;

using InfoTable = std::map<DWORD, std::string>; // DirID -> information text, Windows-1251 bytes

// Reads the catalogue file; false when it cannot be read or is not a catalogue.
bool ReadCatalogue(const std::wstring& path, InfoTable* table) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxCatalogueBytes)
        return false;
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size))
        return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    std::istringstream lines(bytes);
    std::string line;
    if (!std::getline(lines, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line != kSignature)
        return false;
    std::string* current = nullptr;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            char* end = nullptr;
            unsigned long id = std::strtoul(line.c_str() + 1, &end, 10);
            if (end != line.c_str() + line.size() - 1 || id == 0 || id > 0xFFFFFFFFul)
                return false;
            current = &(*table)[static_cast<DWORD>(id)];
            current->clear();
            continue;
        }
        if (current == nullptr) {
            if (line.empty())
                continue;
            return false; // text outside any direction: damaged
        }
        if (!current->empty())
            current->push_back('\n');
        current->append(FromUtf8(Plane::Cyrillic, line));
    }
    // Trailing empty lines of a section are not part of its text.
    for (auto& [id, text] : *table) {
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
    }
    return true;
}

class CatalogueItem : public CComObject<IOvrinCatalogueItem> {
public:
    explicit CatalogueItem(std::string info) : m_info(std::move(info)) {}
    HRESULT STDMETHODCALLTYPE GetInfo(BSTR* info) override {
        if (info == nullptr)
            return E_POINTER;
        // One character per byte of the Windows-1251 text: the caller narrows it back to bytes.
        *info = SysAllocStringLen(nullptr, static_cast<UINT>(m_info.size()));
        if (*info == nullptr)
            return E_OUTOFMEMORY;
        for (std::size_t i = 0; i < m_info.size(); ++i)
            (*info)[i] = static_cast<unsigned char>(m_info[i]);
        return S_OK;
    }

private:
    std::string m_info;
};

class Collection : public CComObject<IOvrinCollection> {
public:
    explicit Collection(std::shared_ptr<const InfoTable> table) : m_table(std::move(table)) {}
    HRESULT STDMETHODCALLTYPE GetItem(DWORD dirId, IOvrinCatalogueItem** item) override {
        if (item == nullptr)
            return E_POINTER;
        *item = nullptr;
        auto found = m_table->find(dirId);
        if (found == m_table->end())
            return E_INVALIDARG;
        *item = new (std::nothrow) CatalogueItem(found->second);
        return *item != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const InfoTable> m_table;
};

class Catalogue : public CComObject<IOvrinCatalogue> {
public:
    explicit Catalogue(std::shared_ptr<const InfoTable> table) : m_table(std::move(table)) {}
    HRESULT STDMETHODCALLTYPE GetCollection(IOvrinCollection** collection) override {
        if (collection == nullptr)
            return E_POINTER;
        *collection = new (std::nothrow) Collection(m_table);
        return *collection != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const InfoTable> m_table;
};

class CatalogueEntry : public CComObject<IOvrinCatalogueEntry> {
public:
    HRESULT STDMETHODCALLTYPE Open(BSTR path, void*, IOvrinCatalogue** catalogue) override {
        if (catalogue == nullptr)
            return E_POINTER;
        *catalogue = nullptr;
        if (path == nullptr)
            return E_INVALIDARG;
        auto table = std::make_shared<InfoTable>();
        std::wstring file(path, SysStringLen(path));
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        if (!ReadCatalogue(file, table.get()))
            return HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);
        *catalogue = new (std::nothrow) Catalogue(std::move(table));
        return *catalogue != nullptr ? S_OK : E_OUTOFMEMORY;
    }

protected:
    void* FindInterface(REFIID iid) override {
        return IsOneOf(iid, {IID_IUnknown, ovrin::engine::kIidCatalogueEntry})
                   ? static_cast<IOvrinCatalogueEntry*>(this)
                   : nullptr;
    }
};

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, ovrin::engine::kClsidDirectionCatalogue))
        return CLASS_E_CLASSNOTAVAILABLE;
    return HandOut(static_cast<IUnknown*>(new (std::nothrow) CatalogueEntry()), iid, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CModuleCount::CanUnloadNow();
}
