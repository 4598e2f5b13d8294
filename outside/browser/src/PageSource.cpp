// The browser's command line, URLs and page files.
#include "PageSource.h"
#include "base/Text.h"
#include "base/Unicode.h"

#include <windows.h>

namespace browser {

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    size_t length = wcslen(prefix);
    return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// "%xx" escapes as UTF-8 bytes.
std::wstring DecodeEscapes(const std::wstring& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        char utf8[8];
        int length = WideCharToMultiByte(CP_UTF8, 0, &text[i], 1, utf8, sizeof utf8, nullptr, nullptr);
        bytes.append(utf8, static_cast<size_t>(length > 0 ? length : 0));
    }
    return DecodePage(bytes);
}

std::wstring Convert(UINT codePage, DWORD flags, const char* bytes, size_t size) {
    if (size == 0)
        return {};
    int length = MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(size), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(size), text.data(), length);
    return text;
}

} // namespace

bool ParseFileUrl(const std::wstring& url, FileUrl& result) {
    std::wstring rest = ovrin::Trimmed(url);
    if (!StartsWithNoCase(rest, L"file:"))
        return false;
    rest.erase(0, 5);
    size_t hash = rest.rfind(L'#');
    result.anchor = hash == std::wstring::npos ? std::wstring() : rest.substr(hash + 1);
    if (hash != std::wstring::npos)
        rest.erase(hash);
    // "file:///C:/x", "file://C:/x" and "file:C:\x" name the same file.
    size_t slashes = 0;
    while (slashes < rest.size() && slashes < 3 && rest[slashes] == L'/')
        ++slashes;
    if (slashes > 0 && rest.size() > slashes + 1 && rest[slashes + 1] == L':')
        rest.erase(0, slashes);
    if (rest.find(L' ') == std::wstring::npos)
        rest = DecodeEscapes(rest);
    result.path = rest;
    return !result.path.empty();
}

std::wstring UrlFromCommandLine(const wchar_t* commandLine) {
    std::wstring line = commandLine != nullptr ? commandLine : L"";
    size_t position = 0;
    while (position < line.size() && ovrin::IsSpace(line[position]))
        ++position;
    // The program's name, quoted or up to the first space.
    if (position < line.size() && line[position] == L'"') {
        size_t closing = line.find(L'"', position + 1);
        position = closing == std::wstring::npos ? line.size() : closing + 1;
    } else {
        while (position < line.size() && !ovrin::IsSpace(line[position]))
            ++position;
    }
    std::wstring url = ovrin::Trimmed(line.substr(position));
    if (url.size() >= 2 && url.front() == L'"' && url.back() == L'"')
        url = url.substr(1, url.size() - 2);
    return url;
}

std::wstring DecodePage(const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        bool bigEndian = data[0] == 0xFE;
        std::wstring text;
        for (size_t i = 2; i + 1 < size; i += 2)
            text += static_cast<wchar_t>(bigEndian ? (data[i] << 8 | data[i + 1]) : (data[i + 1] << 8 | data[i]));
        return text;
    }
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return Convert(CP_UTF8, 0, bytes.data() + 3, size - 3);
    if (size > 0 &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(size), nullptr, 0) > 0)
        return Convert(CP_UTF8, 0, bytes.data(), size);
    return Convert(CP_ACP, 0, bytes.data(), size);
}

std::wstring PageTitle(const std::wstring& page) {
    std::wstring lowered = ovrin::AsciiLowered(page);
    size_t open = lowered.find(L"<title");
    if (open == std::wstring::npos)
        return {};
    size_t start = lowered.find(L'>', open);
    if (start == std::wstring::npos)
        return {};
    size_t end = lowered.find(L"</title", start);
    std::wstring raw = page.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
    std::wstring title;
    for (wchar_t c : raw) {
        if (ovrin::IsSpace(c)) {
            if (!title.empty() && title.back() != L' ')
                title += L' ';
        } else {
            title += c;
        }
    }
    return ovrin::Trimmed(title);
}

} // namespace browser
