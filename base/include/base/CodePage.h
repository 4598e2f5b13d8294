// 8-bit text in a Windows code page to and from wide text. Code page 0 is the ANSI code page: the
// system's under Windows; 1251 in the native build, where the single-byte code pages of the suite's
// languages (1251, 1252) and UTF-8 (65001) are converted by our own tables.
#pragma once

#include <string>
#include <string_view>

namespace ovrin {

constexpr unsigned kCodePageAnsi = 0;
constexpr unsigned kCodePageCyrillic = 1251;
constexpr unsigned kCodePageWestern = 1252;
constexpr unsigned kCodePageUtf8 = 65001;

// The code page that code page 0 stands for.
unsigned AnsiCodePage();

// Whether text in this code page can be converted here.
bool IsCodePageSupported(unsigned codePage);

// Every byte becomes a character. An unsupported code page gives the empty text.
std::wstring MultiByteToWide(unsigned codePage, std::string_view text);

// Characters the code page cannot hold become its default character "?". An unsupported code page
// gives the empty text.
std::string WideToMultiByte(unsigned codePage, std::wstring_view text);

} // namespace ovrin
