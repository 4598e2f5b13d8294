// Fuzzes the fast DecodeEntities and EncodeEntities against the plain algorithms. The first byte
// chooses how the rest becomes text: each byte picks a unit from the characters references are made
// of (so that numeric references, runs and names turn up often), or stands for itself, or bytes pair
// up into arbitrary 16-bit units.
#include "ReferenceEntities.h"
#include "pagetrans/Entities.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const wchar_t alphabet[] = L"&#xX,;0123456789aAbcdefFlgtquonbspm;;##&&xx,, \u00A0\u00E9<>\"";
    constexpr std::size_t alphabetSize = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::wstring text;
    if (data[0] % 3 == 1) {
        for (std::size_t i = 1; i < size; ++i)
            text += alphabet[data[i] % alphabetSize];
    } else if (data[0] % 3 == 2) {
        for (std::size_t i = 1; i < size; ++i)
            text += static_cast<wchar_t>(data[i]);
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }

    std::wstring fast = text, plain = text;
    ovrin::DecodeEntities(fast);
    reference::DecodeEntities(plain);
    if (fast != plain)
        std::abort();

    fast = text;
    plain = text;
    ovrin::EncodeEntities(fast);
    reference::EncodeEntities(plain);
    if (fast != plain)
        std::abort();
    return 0;
}
