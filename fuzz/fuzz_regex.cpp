// Fuzzes pattern compilation and search: the first byte chooses ignore case, the pattern runs to the
// first zero byte and the text follows. Bytes from 0x80 join the next byte into one wide unit.
// Checks that results are consistent and that a plain literal is found where the text has it.
#include "RegMatcher.h"
#include "pagetrans/RegPattern.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::wstring ToUnits(const std::uint8_t* data, std::size_t size) {
    std::wstring units;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0x80 || i + 1 == size)
            units += static_cast<wchar_t>(data[i]);
        else {
            units += static_cast<wchar_t>(((data[i] & 0x7F) << 9) | data[i + 1]);
            ++i;
        }
    }
    return units;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool IsPlainLiteral(const std::wstring& pattern) {
    for (wchar_t c : pattern) {
        if (c == 0 || std::wstring(L".[]()|$^*+?\\").find(c) != std::wstring::npos)
            return false;
    }
    return !pattern.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Runaway searches give up sooner than in the product, so that they do not slow the run down.
    static const bool shortened = (ovrin::CRegMatcher::SetTimeLimit(std::chrono::milliseconds(200)), true);
    (void)shortened;
    if (size == 0)
        return 0;
    bool ignoreCase = (data[0] & 1) != 0;
    std::size_t split = 1;
    while (split < size && data[split] != 0)
        ++split;
    std::wstring pattern = ToUnits(data + 1, split - 1);
    std::wstring text = split < size ? ToUnits(data + split + 1, size - split - 1) : std::wstring();

    ovrin::CRegPattern regex(pattern, ignoreCase);
    const ovrin::sRegProgram& program = regex.GetProgram();
    if (!regex.IsCompiled()) {
        Check(!regex.GetErrorText().empty() && program.units.empty());
        Check(!regex.Search(text));
        return 0;
    }
    Check(!program.units.empty() && program.units[0] == 0xFF9C && program.units.size() < ovrin::kRegMaxUnits);

    bool found = regex.Search(text);
    if (found) {
        int count = regex.GetGroupCount();
        Check(count >= 0 && count <= 9);
        for (int n = 0; n < ovrin::kRegGroupSlots; ++n) {
            int start = regex.GetMatchStart(n);
            int length = regex.GetMatchLength(n);
            if (n <= count)
                Check(start >= 0);
            if (start < 0)
                continue;
            Check(length >= 0 && static_cast<std::size_t>(start) + length <= text.size());
        }
    } else {
        Check(regex.GetMatchStart(0) == -1);
    }
    if (!ignoreCase && IsPlainLiteral(pattern)) {
        std::wstring masked = text;
        for (wchar_t& c : masked)
            c = static_cast<wchar_t>(c & 0xFFFF);
        std::size_t at = masked.find(pattern);
        Check(found == (at != std::wstring::npos));
        if (found)
            Check(regex.GetMatchStart(0) == static_cast<int>(at) &&
                  regex.GetMatchLength(0) == static_cast<int>(pattern.size()));
    }
    // A second search of the same text gives the same answer, unless one of them ran out of time.
    int start = regex.GetMatchStart(0);
    bool gaveUp = !found && regex.GetErrorText() == ovrin::RegErrorText(ovrin::kRegMatchTooComplex);
    bool again = regex.Search(text);
    gaveUp = gaveUp || (!again && regex.GetErrorText() == ovrin::RegErrorText(ovrin::kRegMatchTooComplex));
    Check(gaveUp || (again == found && regex.GetMatchStart(0) == start));
    return 0;
}
