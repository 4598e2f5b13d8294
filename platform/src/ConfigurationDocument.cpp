// The desktop's processing of configuration documents: the registry part of the document is applied
// (keys and values written, values and keys deleted); the rest of the document is walked over.
//
//   <wap-provisioningdoc>
//     <characteristic type="Registry">
//       <characteristic type="HKLM\Software\Example">
//         <parm name="Count" value="3" datatype="integer"/>
//         <noparm name="Old"/>
//       </characteristic>
//       <nocharacteristic type="HKCU\Software\Gone"/>
//     </characteristic>
//   </wap-provisioningdoc>
#include "platform/Device.h"

#include <cwchar>
#include <map>
#include <vector>

namespace platform {

namespace {

struct CElement {
    std::wstring name;
    std::map<std::wstring, std::wstring> attributes;
    bool closing = false;     // </name>
    bool selfClosing = false; // <name ... />
};

// Replaces the five predefined entities and numeric character references.
std::wstring DecodeText(const std::wstring& text) {
    static const struct {
        const wchar_t* name;
        wchar_t character;
    } kEntities[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t end = text[i] == L'&' ? text.find(L';', i) : std::wstring::npos;
        if (end == std::wstring::npos) {
            result += text[i];
            continue;
        }
        std::wstring name = text.substr(i + 1, end - i - 1);
        wchar_t decoded = 0;
        for (const auto& entity : kEntities)
            if (name == entity.name)
                decoded = entity.character;
        if (decoded == 0 && name.size() > 1 && name[0] == L'#') {
            bool hex = name[1] == L'x' || name[1] == L'X';
            unsigned long code = std::wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
            if (code > 0 && code < 0x10000)
                decoded = static_cast<wchar_t>(code);
        }
        if (decoded == 0) {
            result += text[i];
            continue;
        }
        result += decoded;
        i = end;
    }
    return result;
}

// The document's elements in order; false when a tag is not closed or an attribute is malformed.
bool ReadElements(const std::wstring& document, std::vector<CElement>& elements) {
    size_t position = 0;
    while ((position = document.find(L'<', position)) != std::wstring::npos) {
        if (document.compare(position, 4, L"<!--") == 0) {
            position = document.find(L"-->", position);
            if (position == std::wstring::npos)
                return false;
            continue;
        }
        size_t end = document.find(L'>', position);
        if (end == std::wstring::npos)
            return false;
        std::wstring tag = document.substr(position + 1, end - position - 1);
        position = end + 1;
        if (tag.empty() || tag[0] == L'?' || tag[0] == L'!')
            continue;
        CElement element;
        if (tag[0] == L'/') {
            element.closing = true;
            tag.erase(0, 1);
        }
        if (!tag.empty() && tag.back() == L'/') {
            element.selfClosing = true;
            tag.pop_back();
        }
        size_t nameEnd = tag.find_first_of(L" \t\r\n");
        element.name = tag.substr(0, nameEnd);
        size_t at = nameEnd;
        while (at != std::wstring::npos && (at = tag.find_first_not_of(L" \t\r\n", at)) != std::wstring::npos) {
            size_t equals = tag.find(L'=', at);
            if (equals == std::wstring::npos || equals + 1 >= tag.size())
                return false;
            wchar_t quote = tag[equals + 1];
            size_t valueEnd = (quote == L'"' || quote == L'\'') ? tag.find(quote, equals + 2) : std::wstring::npos;
            if (valueEnd == std::wstring::npos)
                return false;
            std::wstring name = tag.substr(at, equals - at);
            while (!name.empty() && (name.back() == L' ' || name.back() == L'\t'))
                name.pop_back();
            element.attributes[name] = DecodeText(tag.substr(equals + 2, valueEnd - equals - 2));
            at = valueEnd + 1;
        }
        elements.push_back(std::move(element));
    }
    return true;
}

// "HKLM\Software\X" split into its root and the rest; false for an unknown root.
bool SplitKeyPath(const std::wstring& path, HKEY& root, std::wstring& subKey) {
    static const struct {
        const wchar_t* name;
        HKEY root;
    } kRoots[] = {{L"HKLM", HKEY_LOCAL_MACHINE},
                  {L"HKCU", HKEY_CURRENT_USER},
                  {L"HKCR", HKEY_CLASSES_ROOT},
                  {L"HKU", HKEY_USERS}};
    size_t separator = path.find(L'\\');
    std::wstring rootName = path.substr(0, separator);
    subKey = separator == std::wstring::npos ? std::wstring() : path.substr(separator + 1);
    for (const auto& known : kRoots) {
        if (_wcsicmp(rootName.c_str(), known.name) == 0 && !subKey.empty()) {
            root = known.root;
            return true;
        }
    }
    return false;
}

void WriteParm(const std::wstring& keyPath, const CElement& parm) {
    HKEY root = nullptr;
    std::wstring subKey;
    auto name = parm.attributes.find(L"name");
    if (name == parm.attributes.end() || !SplitKeyPath(keyPath, root, subKey))
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    auto value = parm.attributes.find(L"value");
    std::wstring text = value == parm.attributes.end() ? std::wstring() : value->second;
    auto type = parm.attributes.find(L"datatype");
    if (type != parm.attributes.end() && _wcsicmp(type->second.c_str(), L"integer") == 0) {
        DWORD number = std::wcstoul(text.c_str(), nullptr, 10);
        RegSetValueExW(key, name->second.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    } else {
        RegSetValueExW(key, name->second.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

void DeleteParm(const std::wstring& keyPath, const CElement& noparm) {
    HKEY root = nullptr;
    std::wstring subKey;
    auto name = noparm.attributes.find(L"name");
    if (name != noparm.attributes.end() && SplitKeyPath(keyPath, root, subKey))
        RegDeleteKeyValueW(root, subKey.c_str(), name->second.c_str());
}

void DeleteKey(const CElement& nocharacteristic) {
    HKEY root = nullptr;
    std::wstring subKey;
    auto type = nocharacteristic.attributes.find(L"type");
    if (type != nocharacteristic.attributes.end() && SplitKeyPath(type->second, root, subKey))
        RegDeleteTreeW(root, subKey.c_str());
}

std::wstring TypeOf(const CElement& element) {
    auto type = element.attributes.find(L"type");
    return type == element.attributes.end() ? std::wstring() : type->second;
}

} // namespace

HRESULT CDeviceServices::ProcessConfiguration(const std::wstring& document, DWORD flags) {
    std::vector<CElement> elements;
    if (!ReadElements(document, elements))
        return E_INVALIDARG;
    if ((flags & 1) == 0)
        return S_OK;
    // The open characteristics from the outermost in.
    std::vector<std::wstring> open;
    for (const CElement& element : elements) {
        bool inRegistry = !open.empty() && _wcsicmp(open.front().c_str(), L"Registry") == 0;
        if (element.name == L"characteristic") {
            if (element.closing) {
                if (open.empty())
                    return E_INVALIDARG;
                open.pop_back();
            } else if (!element.selfClosing) {
                open.push_back(TypeOf(element));
            }
        } else if (inRegistry && open.size() == 2 && element.name == L"parm") {
            WriteParm(open.back(), element);
        } else if (inRegistry && open.size() == 2 && element.name == L"noparm") {
            DeleteParm(open.back(), element);
        } else if (inRegistry && open.size() == 1 && element.name == L"nocharacteristic") {
            DeleteKey(element);
        }
    }
    return open.empty() ? S_OK : E_INVALIDARG;
}

} // namespace platform
