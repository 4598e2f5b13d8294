// CTranslator: the engine start (catalogue and ordered directions), the current direction and the
// catalogue's information texts.
#include "common/EngineClient.h"

#include "EngineRegistry.h"

#include "base/Path.h"
#include "xlatcp/Xlatcp.h"

using namespace ovrin::engine;

namespace {

constexpr wchar_t kCatalogueFile[] = L"dircat.dll";
constexpr wchar_t kCatalogueData[] = L"dircat.dat";
constexpr wchar_t kDirectionsSubkey[] = L"\\Directions";

unsigned Low(DWORD id) {
    return id & 0xFFFF;
}
unsigned High(DWORD id) {
    return id >> 16;
}
// Directions with Russian on either side first, then by the sum of their codes.
unsigned long SortKey(DWORD id) {
    return Low(id) + High(id) + (Low(id) == 2 || High(id) == 2 ? 0ul : 65536ul);
}

} // namespace

CTranslator::CTranslator() : CTranslator(ovrin::GetProgramFolder(), kRegistryKey) {}

CTranslator::CTranslator(std::wstring folder, std::wstring registryKey)
    : m_enginePath(WithTrailingBackslash(std::move(folder))), m_registryKey(std::move(registryKey)) {}

CTranslator::~CTranslator() {
    for (auto& direction : m_directions)
        direction->CloseEngine();
    m_directions.clear();
    if (m_catalogue != nullptr)
        m_catalogue->Release();
}

CTranslator& CTranslator::Instance() {
    static CTranslator translator;
    return translator;
}

void CTranslator::InsertSorted(std::vector<DirRegInfo>& list, const DirRegInfo& info) {
    unsigned long key = SortKey(info.dirId);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const DirRegInfo& entry = list[i];
        unsigned long entryKey = SortKey(entry.dirId);
        if (entryKey > key) {
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(i), info);
            return;
        }
        if (entryKey != key)
            continue;
        // Of a pair, the direction from Russian comes second.
        bool before = Low(info.dirId) != 2 && (Low(entry.dirId) == 2 || Low(info.dirId) < Low(entry.dirId));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(before ? i : i + 1), info);
        return;
    }
    list.push_back(info);
}

bool CTranslator::Init() {
    if (!m_directions.empty())
        return true;
    if (m_catalogue == nullptr) {
        IOvrinCatalogueEntry* entry = nullptr;
        if (FAILED(CreateInstanceFromPath(m_enginePath + kCatalogueFile, kClsidDirectionCatalogue, kIidCatalogueEntry,
                                          kIidCatalogueEntry, reinterpret_cast<void**>(&entry))))
            return false;
        BSTR path = SysAllocString((m_enginePath + kCatalogueData).c_str());
        HRESULT result = path != nullptr ? entry->Open(path, nullptr, &m_catalogue) : E_OUTOFMEMORY;
        SysFreeString(path);
        entry->Release();
        if (FAILED(result) || m_catalogue == nullptr) {
            m_catalogue = nullptr;
            return false;
        }
    }
    CRegistryKey directions;
    if (directions.Open(HKEY_CURRENT_USER, m_registryKey + kDirectionsSubkey, KEY_READ, false)) {
        std::vector<DirRegInfo> sorted;
        directions.ResetEnum();
        std::wstring name;
        while (directions.EnumSubkey(name)) {
            CRegistryKey key;
            if (!key.Open(directions.GetHandle(), name, KEY_READ, false))
                continue;
            DWORD id = ReadDwordValue(key, L"DirID", 0);
            if (id != 0)
                InsertSorted(sorted, DirRegInfo{name, directions.GetHandle(), id});
        }
        for (const DirRegInfo& info : sorted) {
            auto direction = std::make_unique<CDirection>();
            if (direction->LoadFromRegistry(info.directionsKey, info.keyName, L"", m_registryKey))
                m_directions.push_back(std::move(direction));
        }
    }
    return !m_directions.empty();
}

std::wstring CTranslator::GetDirectionName(int i) const {
    if (i < 0 || i >= GetDirectionCount())
        return {};
    return m_directions[static_cast<std::size_t>(i)]->GetName();
}

CDirection* CTranslator::GetDirection(int i) {
    if (i < 0 || i >= GetDirectionCount())
        return nullptr;
    return m_directions[static_cast<std::size_t>(i)].get();
}

bool CTranslator::SetCurrentDirection(int i) {
    CDirection* direction = GetDirection(i);
    if (direction == nullptr || !direction->OpenEngine())
        return false;
    m_currentDirection = static_cast<short>(i);
    return true;
}

std::wstring CTranslator::GetDirectionInfo(int i) {
    CDirection* direction = GetDirection(i);
    if (direction == nullptr || m_catalogue == nullptr)
        return {};
    IOvrinCollection* collection = nullptr;
    if (FAILED(m_catalogue->GetCollection(&collection)) || collection == nullptr)
        return {};
    IOvrinCatalogueItem* item = nullptr;
    HRESULT result = collection->GetItem(direction->GetDirID(), &item);
    collection->Release();
    if (FAILED(result) || item == nullptr)
        return {};
    BSTR info = nullptr;
    result = item->GetInfo(&info);
    item->Release();
    if (FAILED(result) || info == nullptr)
        return {};
    // The catalogue's text holds one Windows-1251 byte per character.
    std::string bytes(SysStringLen(info), '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<char>(info[k] & 0xFF);
    SysFreeString(info);
    std::wstring text;
    for (std::size_t done = 0; done < bytes.size();) {
        auto count = static_cast<unsigned short>(std::min<std::size_t>(bytes.size() - done, 0xFFFF));
        std::size_t at = text.size();
        text.resize(at + count);
        XlatPlainToWide(XLAT_LANGUAGE_RUSSIAN, bytes.data() + done, text.data() + at, count);
        done += count;
    }
    std::size_t lineFeed = text.find(L'\n');
    if (lineFeed != std::wstring::npos)
        text.insert(lineFeed, 1, L'\r');
    return text;
}
