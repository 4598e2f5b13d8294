// CRegPattern: compiles its pattern once and searches texts with the program's hints (required
// string, fixed first character, anchoring); also the table of error texts.
#include "pagetrans/RegPattern.h"

#include "RegCompiler.h"
#include "RegMatcher.h"

#include <climits>
#include <vector>

namespace ovrin {

const wchar_t* RegErrorText(int code) {
    switch (code) {
    case kRegNoError:
        return L"";
    case kRegNullText:
        return L"NULL argument to regexec";
    case kRegCorruptedProgram:
        return L"corrupted regexp";
    case kRegCorruption:
        return L"regexp corruption";
    case kRegCorruptedPointers:
        return L"corrupted pointers";
    case kRegBadRepeat:
        return L"internal error: bad call of regrepeat";
    case kRegCorruptedOpcode:
        return L"corrupted opcode";
    case kRegNullSubstitute:
        return L"NULL parm to regsub";
    case kRegDamagedSubstitute:
        return L"damaged regexp fed to regsub";
    case kRegDamagedMatch:
        return L"damaged match string";
    case kRegNullPattern:
        return L"NULL argument to regcomp";
    case kRegTooBig:
        return L"regexp too big";
    case kRegTooManyGroups:
        return L"too many ()";
    case kRegUnterminatedGroup:
        return L"unterminated ()";
    case kRegUnmatchedGroup:
        return L"unmatched ()";
    case kRegJunkOnEnd:
        return L"internal error: junk on end";
    case kRegEmptyOperand:
        return L"*+ operand could be empty";
    case kRegNestedRepeat:
        return L"nested *?+";
    case kRegInvalidRange:
        return L"invalid [] range";
    case kRegUnmatchedBracket:
        return L"unmatched []";
    case kRegUnexpectedEnd:
        return L"internal error: \\0|) unexpected";
    case kRegRepeatFollowsNothing:
        return L"?+* follows nothing";
    case kRegTrailingBackslash:
        return L"trailing \\";
    case kRegEmptyRun:
        return L"internal error: strcspn 0";
    case kRegNoProgram:
        return L"NULL regexp";
    case kRegMatchTooComplex:
        return L"regexp match too complex";
    default:
        return L"Unknown error";
    }
}

namespace {

// Whether the text contains the string, in one pass (prefix-function search).
bool ContainsUnits(const wchar_t* text, std::size_t length, const std::u16string& needle) {
    std::vector<std::size_t> border(needle.size(), 0);
    for (std::size_t i = 1, k = 0; i < needle.size(); ++i) {
        while (k > 0 && needle[i] != needle[k])
            k = border[k - 1];
        if (needle[i] == needle[k])
            ++k;
        border[i] = k;
    }
    for (std::size_t i = 0, k = 0; i < length; ++i) {
        char16_t c = static_cast<char16_t>(text[i] & 0xFFFF);
        while (k > 0 && c != needle[k])
            k = border[k - 1];
        if (c == needle[k] && ++k == needle.size())
            return true;
    }
    return false;
}

} // namespace

CRegPattern::CRegPattern(const wchar_t* pattern, bool ignoreCase) {
    if (pattern == nullptr) {
        m_errors.SetError(kRegNullPattern);
        return;
    }
    std::u16string units;
    for (const wchar_t* p = pattern; (*p & 0xFFFF) != 0; ++p)
        units += static_cast<char16_t>(*p & 0xFFFF);
    if (ignoreCase)
        units = RewriteIgnoringCase(units);
    CompileRegProgram(units, m_errors, m_program);
}

bool CRegPattern::Search(const wchar_t* text) {
    std::size_t length = 0;
    if (text != nullptr)
        while (text[length] != 0)
            ++length;
    return Search(text, length);
}

bool CRegPattern::Search(const wchar_t* text, std::size_t length) {
    m_program.ClearPositions();
    if (text == nullptr) {
        m_errors.SetError(kRegNullText);
        return false;
    }
    // A pattern that did not compile keeps its compilation error and finds nothing.
    if (!m_program.compiled)
        return false;
    m_errors.Clear();
    if (m_program.units.empty() || m_program.units[0] != kRegMagic) {
        m_errors.SetError(kRegCorruptedProgram);
        return false;
    }
    if (length >= static_cast<std::size_t>(INT_MAX)) {
        m_errors.SetError(kRegMatchTooComplex);
        return false;
    }
    m_text.assign(text, length);
    if (!m_program.mustContain.empty() && !ContainsUnits(text, length, m_program.mustContain))
        return false;

    CRegMatcher matcher(m_program, m_errors, text, length, CRegMatcher::Clock::now() + CRegMatcher::TimeLimit());
    CRegMatcher::Result result = CRegMatcher::Result::Failed;
    if (m_program.anchored) {
        result = matcher.TryAt(0, m_program.starts, m_program.ends);
    } else if (m_program.firstChar != 0) {
        for (std::size_t start = 0; start < length && result == CRegMatcher::Result::Failed; ++start) {
            if (static_cast<char16_t>(text[start] & 0xFFFF) == m_program.firstChar)
                result = matcher.TryAt(start, m_program.starts, m_program.ends);
        }
    } else {
        for (std::size_t start = 0; start <= length && result == CRegMatcher::Result::Failed; ++start)
            result = matcher.TryAt(start, m_program.starts, m_program.ends);
    }

    if (result != CRegMatcher::Result::Matched) {
        m_program.ClearPositions();
        if (result == CRegMatcher::Result::GaveUp)
            m_errors.SetError(kRegMatchTooComplex);
        return false;
    }
    int recorded = 0;
    while (recorded < kRegGroupSlots && m_program.starts[recorded] >= 0)
        ++recorded;
    m_program.groupCount = recorded - 1;
    return true;
}

int CRegPattern::GetMatchStart(int n) {
    if (!m_program.compiled) {
        m_errors.SetError(kRegNoProgram);
        return -1;
    }
    if (n < 0 || n >= kRegGroupSlots)
        return -1;
    return m_program.starts[n];
}

int CRegPattern::GetMatchLength(int n) {
    if (!m_program.compiled) {
        m_errors.SetError(kRegNoProgram);
        return -1;
    }
    if (n < 0 || n >= kRegGroupSlots || m_program.starts[n] < 0 || m_program.ends[n] < 0)
        return -1;
    return m_program.ends[n] - m_program.starts[n];
}

} // namespace ovrin
