// What the browser makes of its command line and of a page file: the "file:" URL split into the
// file's path and its anchor, and the file's bytes as wide text.
#pragma once

#include <string>

namespace browser {

struct FileUrl {
    std::wstring path;   // a path of this machine, as the URL gives it ("file:" and "//" taken off)
    std::wstring anchor; // the text after the last "#", empty when there is none
};

// Splits a "file:" URL (also "file://", "file:///", in any letter case); false for any other URL.
// Escapes such as "%20" are decoded only when the path holds no space (a path given as it is, with
// spaces, is taken literally).
bool ParseFileUrl(const std::wstring& url, FileUrl& result);

// The URL the program was given: the command line after the program's name, white space at both
// ends and one pair of enclosing quotes removed. A URL holding spaces may arrive unquoted.
std::wstring UrlFromCommandLine(const wchar_t* commandLine);

// Page bytes as text: UTF-16 with its byte-order mark, UTF-8 (with a mark, or when the bytes are
// valid UTF-8), otherwise the ANSI code page.
std::wstring DecodePage(const std::string& bytes);

// The text of the page's first <title> element, white space collapsed; empty when there is none.
std::wstring PageTitle(const std::wstring& page);

} // namespace browser
