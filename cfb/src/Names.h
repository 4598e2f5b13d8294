// Element names: which names may be created, and the order the format keeps them in (shorter names
// first, then UTF-16 unit by unit after upper-casing). Lookups by name use the same rule, so names
// are case-insensitive as in the platform's implementation.
#pragma once

#include <string>
#include <string_view>

namespace cfb::detail {

// The upper-case form of one UTF-16 unit (simple case mapping of the Latin, Greek, Cyrillic and
// Armenian letters and the full-width Latin ones; other units are their own upper case).
wchar_t UpperCaseUnit(wchar_t unit);

// The key a name sorts and compares by: its units upper-cased.
std::wstring NameKey(std::wstring_view name);

// Below, equal to or above zero as a sorts before, with or after b in a directory.
int CompareNameKeys(std::wstring_view keyA, std::wstring_view keyB);

// 1 to 31 units; for names that are created also none of '/', '\', ':' and '!'.
bool IsUsableName(std::wstring_view name);
bool IsCreatableName(std::wstring_view name);

} // namespace cfb::detail
