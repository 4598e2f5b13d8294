// The links of a page and where they lead: the addresses of its <a href> elements in page order, the
// address its <base href> element names, and a link's address made whole against the page's base.
#pragma once

#include <string>
#include <vector>

namespace browser {

// The href values of the page's <a> elements, in page order (comments are passed over).
std::vector<std::wstring> PageLinks(const std::wstring& page);

// The href of the page's first <base> element; empty when there is none.
std::wstring PageBase(const std::wstring& page);

// True when text starts with a scheme of two or more letters and a colon ("file:", "http:"); a
// drive letter ("C:") is no scheme.
bool HasScheme(const std::wstring& text);

// A path of this machine as a "file:" URL ("C:\a b\x.htm" gives "file:C:\a b\x.htm").
std::wstring FileUrlFromPath(const std::wstring& path);

// The address link leads to from a page whose base is base: a link with a scheme as it is; "#name"
// on the base's page; "/x" from the base's drive (or host); anything else from the base's folder, with
// "." and ".." steps taken.
std::wstring ResolveUrl(const std::wstring& base, const std::wstring& link);

} // namespace browser
