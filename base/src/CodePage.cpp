// Code page conversions: the platform's under Windows, our tables in the native build.
#include "base/CodePage.h"

#include "CodePageTables.h"
#include "base/Unicode.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ovrin {

#ifdef _WIN32

unsigned AnsiCodePage() {
    return GetACP();
}

bool IsCodePageSupported(unsigned codePage) {
    return codePage == kCodePageAnsi || IsValidCodePage(codePage);
}

std::wstring MultiByteToWide(unsigned codePage, std::string_view text) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), length);
    return out;
}

std::string WideToMultiByte(unsigned codePage, std::wstring_view text) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

#else

namespace {

const char16_t* UpperHalf(unsigned codePage) {
    switch (codePage == kCodePageAnsi ? AnsiCodePage() : codePage) {
    case kCodePageCyrillic:
        return detail::kCodePage1251;
    case kCodePageWestern:
        return detail::kCodePage1252;
    default:
        return nullptr;
    }
}

} // namespace

unsigned AnsiCodePage() {
    return kCodePageCyrillic;
}

bool IsCodePageSupported(unsigned codePage) {
    return codePage == kCodePageUtf8 || UpperHalf(codePage) != nullptr;
}

std::wstring MultiByteToWide(unsigned codePage, std::string_view text) {
    if (codePage == kCodePageUtf8)
        return Utf8ToUtf16(text);
    const char16_t* upper = UpperHalf(codePage);
    if (upper == nullptr)
        return {};
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        out.push_back(byte < 0x80 ? byte : static_cast<wchar_t>(upper[byte - 0x80]));
    }
    return out;
}

std::string WideToMultiByte(unsigned codePage, std::wstring_view text) {
    if (codePage == kCodePageUtf8)
        return Utf16ToUtf8(text);
    const char16_t* upper = UpperHalf(codePage);
    if (upper == nullptr)
        return {};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned unit = static_cast<unsigned>(text[i]) & 0xFFFF;
        char byte = '?';
        if (unit < 0x80) {
            byte = static_cast<char>(unit);
        } else {
            for (unsigned k = 0; k < 128; ++k) {
                if (upper[k] == unit) {
                    byte = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        // A character above U+FFFF is one default character, as the platform writes it.
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1] & 0xFFFF))
            ++i;
        out.push_back(byte);
    }
    return out;
}

#endif

} // namespace ovrin
