// Conversions between UTF-16 (the suite's wide text, held in std::wstring on every platform) and
// UTF-8. Well-formed surrogate pairs become four-byte sequences and back; anything that is not
// well-formed becomes U+FFFD, so the result is always valid in the target form.
#pragma once

#include <string>
#include <string_view>

namespace ovrin {

std::string Utf16ToUtf8(std::wstring_view text);
std::wstring Utf8ToUtf16(std::string_view text);

inline bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace ovrin
