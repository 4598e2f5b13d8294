// The page translator's regular expressions: a pattern compiled into a program of 16-bit units and
// searched over wide (UTF-16) text by a backtracking matcher. Every wide character, of the pattern
// and of the text, is taken as its 16-bit code unit, so both builds behave alike.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ovrin {

// Error codes of the pattern object; RegErrorText gives the text of each.
enum RegErrorCode {
    kRegNoError = 0,
    kRegNullText = 1,
    kRegCorruptedProgram = 2,
    kRegCorruption = 3,
    kRegCorruptedPointers = 4,
    kRegBadRepeat = 5,
    kRegCorruptedOpcode = 6,
    kRegNullSubstitute = 7,
    kRegDamagedSubstitute = 8,
    kRegDamagedMatch = 9,
    kRegNullPattern = 10,
    kRegTooBig = 11,
    kRegTooManyGroups = 12,
    kRegUnterminatedGroup = 13,
    kRegUnmatchedGroup = 14,
    kRegJunkOnEnd = 15,
    kRegEmptyOperand = 16,
    kRegNestedRepeat = 17,
    kRegInvalidRange = 18,
    kRegUnmatchedBracket = 19,
    kRegUnexpectedEnd = 20,
    kRegRepeatFollowsNothing = 21,
    kRegTrailingBackslash = 22,
    kRegEmptyRun = 23,
    kRegNoProgram = 24,
    // A runaway search (still running seconds after it began, far beyond any search that ends
    // within about a second) or one that would need more backtracking memory than a search may use
    // gives up with this code instead of running for hours or exhausting memory.
    kRegMatchTooComplex = 25,
};

const wchar_t* RegErrorText(int code);

// Keeps the error text of a pattern object and sets it from an error code.
class CRegErrorHandler {
public:
    void SetError(int code) {
        m_code = code;
        m_text = RegErrorText(code);
    }
    void Clear() {
        m_code = kRegNoError;
        m_text.clear();
    }
    int GetErrorCode() const { return m_code; }
    const std::wstring& GetErrorText() const { return m_text; }

private:
    int m_code = kRegNoError;
    std::wstring m_text;
};

constexpr int kRegGroupSlots = 10;          // group 0 (the whole match) and groups 1 to 9
constexpr std::size_t kRegMaxUnits = 32767; // a program must stay below this many units

// The compiled pattern: the program, its search hints and the positions of the last search.
struct sRegProgram {
    std::vector<char16_t> units; // magic value, then the nodes; empty when compilation failed
    bool compiled = false;
    char16_t firstChar = 0;     // every match starts with this character (0: unknown)
    bool anchored = false;      // the pattern starts with ^
    std::u16string mustContain; // every matching text contains this string (empty: none known)
    int starts[kRegGroupSlots];
    int ends[kRegGroupSlots];
    int groupCount = 0;

    sRegProgram() { ClearPositions(); }
    void ClearPositions() {
        for (int i = 0; i < kRegGroupSlots; ++i) {
            starts[i] = -1;
            ends[i] = -1;
        }
        groupCount = 0;
    }
};

class CRegPattern {
public:
    // Compiles the pattern (read up to its first zero unit); a null pattern is an error. On failure
    // the object has no program and GetErrorText says why.
    CRegPattern(const wchar_t* pattern, bool ignoreCase);
    CRegPattern(const std::wstring& pattern, bool ignoreCase) : CRegPattern(pattern.c_str(), ignoreCase) {}

    // Searches the whole text for the leftmost match and records the positions of the match and of
    // its groups. A null text is an error; the counted form may hold zero characters anywhere.
    bool Search(const wchar_t* text);
    bool Search(const wchar_t* text, std::size_t length);
    bool Search(const std::wstring& text) { return Search(text.c_str(), text.size()); }

    // Start (in characters from the beginning of the searched text) and length of group n of the
    // last search, group 0 being the whole match; -1 for a group that took no part or n out of range.
    int GetMatchStart(int n);
    int GetMatchLength(int n);
    int GetGroupCount() const { return m_program.groupCount; }

    bool IsCompiled() const { return m_program.compiled; }
    const sRegProgram& GetProgram() const { return m_program; }
    const std::wstring& GetSearchedText() const { return m_text; }
    const std::wstring& GetErrorText() const { return m_errors.GetErrorText(); }
    int GetErrorCode() const { return m_errors.GetErrorCode(); }

private:
    sRegProgram m_program;
    std::wstring m_text;
    CRegErrorHandler m_errors;
};

} // namespace ovrin
