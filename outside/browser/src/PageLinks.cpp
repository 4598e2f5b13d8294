// Links and bases read from a page's mark-up, and relative addresses resolved.
#include "PageLinks.h"
#include "base/Text.h"
#include "base/Unicode.h"

#include <cwctype>

namespace browser {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

// One start tag: its lower-cased name and the value of one attribute (found is false when absent).
struct TagAttribute {
    std::wstring name;
    std::wstring value;
    bool found = false;
};

// Reads the start tag at page[open] ('<') up to its '>' and the attribute wanted; position moves past
// the tag.
TagAttribute ReadTag(const std::wstring& page, size_t& position, const std::wstring& wanted) {
    TagAttribute tag;
    size_t i = position + 1;
    while (i < page.size() && !ovrin::IsSpace(page[i]) && page[i] != L'>' && page[i] != L'/')
        tag.name += ovrin::AsciiLower(page[i++]);
    while (i < page.size() && page[i] != L'>') {
        if (ovrin::IsSpace(page[i]) || page[i] == L'/') {
            ++i;
            continue;
        }
        std::wstring attribute;
        while (i < page.size() && !ovrin::IsSpace(page[i]) && page[i] != L'=' && page[i] != L'>')
            attribute += ovrin::AsciiLower(page[i++]);
        while (i < page.size() && ovrin::IsSpace(page[i]))
            ++i;
        std::wstring value;
        if (i < page.size() && page[i] == L'=') {
            ++i;
            while (i < page.size() && ovrin::IsSpace(page[i]))
                ++i;
            if (i < page.size() && (page[i] == L'"' || page[i] == L'\'')) {
                wchar_t quote = page[i++];
                size_t end = page.find(quote, i);
                value = page.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
                i = end == std::wstring::npos ? page.size() : end + 1;
            } else {
                while (i < page.size() && !ovrin::IsSpace(page[i]) && page[i] != L'>')
                    value += page[i++];
            }
        }
        if (attribute == wanted && !tag.found) {
            tag.value = value;
            tag.found = true;
        }
    }
    position = i;
    return tag;
}

// Calls found(value) for each start tag named tagName carrying attribute, in page order.
template <typename Found>
void ForEachTag(const std::wstring& page, const wchar_t* tagName, const std::wstring& attribute, Found found) {
    size_t position = 0;
    while ((position = page.find(L'<', position)) != std::wstring::npos) {
        if (page.compare(position, 4, L"<!--") == 0) {
            size_t end = page.find(L"-->", position + 4);
            position = end == std::wstring::npos ? page.size() : end + 3;
            continue;
        }
        TagAttribute tag = ReadTag(page, position, attribute);
        if (tag.name == tagName && tag.found && !found(tag.value))
            return;
    }
}

// The character references an address may carry in mark-up ("&amp;", "&quot;").
std::wstring DecodeAttribute(const std::wstring& value) {
    std::wstring text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.compare(i, 5, L"&amp;") == 0) {
            text += L'&';
            i += 4;
        } else if (value.compare(i, 6, L"&quot;") == 0) {
            text += L'"';
            i += 5;
        } else {
            text += value[i];
        }
    }
    return ovrin::Trimmed(text);
}

// The length of the part of url that "/x" keeps: "file:///C:" (the drive) or "http://host".
size_t RootLength(const std::wstring& url) {
    size_t colon = url.find(L':');
    size_t start = colon == std::wstring::npos ? 0 : colon + 1;
    while (start < url.size() && IsSeparator(url[start]))
        ++start;
    if (start + 1 < url.size() && url[start + 1] == L':')
        return start + 2;
    size_t end = start;
    while (end < url.size() && !IsSeparator(url[end]))
        ++end;
    return end;
}

// "." steps dropped and ".." steps taken in the part of url after root characters.
std::wstring Normalised(const std::wstring& url, size_t root) {
    std::wstring result = url.substr(0, root);
    std::vector<std::wstring> steps;
    std::wstring step;
    wchar_t separator = L'/';
    for (size_t i = root; i <= url.size(); ++i) {
        if (i < url.size() && !IsSeparator(url[i])) {
            step += url[i];
            continue;
        }
        if (i < url.size())
            separator = url[i];
        if (step == L"..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (step != L"." && !(step.empty() && i < url.size())) {
            steps.push_back(step);
        }
        step.clear();
    }
    for (const std::wstring& kept : steps)
        result += separator + kept;
    return result;
}

} // namespace

std::vector<std::wstring> PageLinks(const std::wstring& page) {
    std::vector<std::wstring> links;
    ForEachTag(page, L"a", L"href", [&](const std::wstring& value) {
        links.push_back(DecodeAttribute(value));
        return true;
    });
    return links;
}

std::wstring PageBase(const std::wstring& page) {
    std::wstring base;
    ForEachTag(page, L"base", L"href", [&](const std::wstring& value) {
        base = DecodeAttribute(value);
        return false;
    });
    return base;
}

bool HasScheme(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (std::iswalnum(text[i]) || text[i] == L'+' || text[i] == L'-' || text[i] == L'.'))
        ++i;
    return i >= 2 && i < text.size() && text[i] == L':' && std::iswalpha(text[0]);
}

std::wstring FileUrlFromPath(const std::wstring& path) {
    return L"file:" + path;
}

std::wstring ResolveUrl(const std::wstring& base, const std::wstring& link) {
    if (HasScheme(link))
        return link;
    std::wstring page = base.substr(0, base.find(L'#'));
    if (link.empty())
        return page;
    if (link[0] == L'#')
        return page + link;
    if (IsSeparator(link[0])) {
        size_t root = RootLength(page);
        return Normalised(page.substr(0, root) + link, root);
    }
    size_t root = RootLength(page);
    size_t folderEnd = page.size();
    while (folderEnd > root && !IsSeparator(page[folderEnd - 1]))
        --folderEnd;
    std::wstring folder = page.substr(0, folderEnd);
    if (folderEnd == root)
        folder += L'/';
    return Normalised(folder + link, root);
}

} // namespace browser
