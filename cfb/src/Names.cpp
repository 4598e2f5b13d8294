// Name rules of compound files: upper-casing for comparison, ordering, and the names allowed.
#include "Names.h"

#include "Format.h"

namespace cfb::detail {

namespace {

// In the alternating blocks of Latin Extended-A and Cyrillic, one parity is the capital letter and
// the other its small letter right after it (or before it).
bool IsOdd(unsigned unit) {
    return (unit & 1u) != 0;
}

} // namespace

wchar_t UpperCaseUnit(wchar_t wide) {
    const unsigned unit = static_cast<unsigned>(wide) & 0xFFFFu;
    unsigned upper = unit;
    if (unit >= 'a' && unit <= 'z')
        upper = unit - 0x20;
    else if (unit < 0xE0)
        upper = unit;
    else if (unit <= 0xFE)
        upper = unit == 0xF7 ? unit : unit - 0x20;
    else if (unit == 0xFF)
        upper = 0x178;
    else if (unit <= 0x12F || (unit >= 0x132 && unit <= 0x137) || (unit >= 0x14A && unit <= 0x177))
        upper = IsOdd(unit) ? unit - 1 : unit;
    else if ((unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E))
        upper = IsOdd(unit) ? unit : unit - 1;
    else if (unit == 0x3AC)
        upper = 0x386;
    else if (unit >= 0x3AD && unit <= 0x3AF)
        upper = unit - 0x25;
    else if (unit == 0x3C2)
        upper = 0x3A3;
    else if (unit >= 0x3B1 && unit <= 0x3CB)
        upper = unit - 0x20;
    else if (unit == 0x3CC)
        upper = 0x38C;
    else if (unit == 0x3CD || unit == 0x3CE)
        upper = unit - 0x3F;
    else if (unit >= 0x430 && unit <= 0x44F)
        upper = unit - 0x20;
    else if (unit >= 0x450 && unit <= 0x45F)
        upper = unit - 0x50;
    else if ((unit >= 0x460 && unit <= 0x481) || (unit >= 0x48A && unit <= 0x4BF) || (unit >= 0x4D0 && unit <= 0x52F))
        upper = IsOdd(unit) ? unit - 1 : unit;
    else if (unit >= 0x4C1 && unit <= 0x4CE)
        upper = IsOdd(unit) ? unit : unit - 1;
    else if (unit == 0x4CF)
        upper = 0x4C0;
    else if (unit >= 0x561 && unit <= 0x586)
        upper = unit - 0x30;
    else if (unit >= 0xFF41 && unit <= 0xFF5A)
        upper = unit - 0x20;
    return static_cast<wchar_t>(upper);
}

std::wstring NameKey(std::wstring_view name) {
    std::wstring key(name);
    for (wchar_t& unit : key)
        unit = UpperCaseUnit(unit);
    return key;
}

int CompareNameKeys(std::wstring_view keyA, std::wstring_view keyB) {
    if (keyA.size() != keyB.size())
        return keyA.size() < keyB.size() ? -1 : 1;
    for (std::size_t i = 0; i < keyA.size(); ++i) {
        unsigned a = static_cast<unsigned>(keyA[i]) & 0xFFFFu;
        unsigned b = static_cast<unsigned>(keyB[i]) & 0xFFFFu;
        if (a != b)
            return a < b ? -1 : 1;
    }
    return 0;
}

bool IsUsableName(std::wstring_view name) {
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    for (wchar_t unit : name) {
        if (unit == 0)
            return false;
    }
    return true;
}

bool IsCreatableName(std::wstring_view name) {
    if (!IsUsableName(name))
        return false;
    for (wchar_t unit : name) {
        if (unit == L'/' || unit == L'\\' || unit == L':' || unit == L'!')
            return false;
    }
    return true;
}

} // namespace cfb::detail
