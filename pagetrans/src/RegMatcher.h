// The backtracking matcher that runs a compiled program against a text at one position. It keeps
// its choice points on a heap stack instead of the call stack, and it counts its steps, so that no
// text or pattern can overflow the stack or keep a search running without end.
#pragma once

#include "RegProgram.h"
#include "pagetrans/RegPattern.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ovrin {

class CRegMatcher {
public:
    enum class Result { Matched, Failed, GaveUp };

    CRegMatcher(const sRegProgram& program, CRegErrorHandler& errors, const wchar_t* text, std::size_t length,
                std::uint64_t stepLimit);

    // Tries a match beginning at start. On success the program's positions hold the match (group 0)
    // and every group that took part, each at its last iteration.
    Result TryAt(std::size_t start, sRegProgram& positions);

    // Limits of one search: steps grow with the text; choice points and group undo records are
    // bounded separately (each costs memory).
    static std::uint64_t StepLimitFor(std::size_t length) { return 16'000'000 + 24 * std::uint64_t(length); }
    static constexpr std::size_t kMaxChoices = 1u << 21;

private:
    struct Choice {
        int node;          // BRANCH: the next alternative; STAR/PLUS: the repetition node
        std::size_t count; // STAR/PLUS: the count being tried
        std::size_t position;
        std::size_t undoSize;
    };
    struct Undo {
        int slot; // 0-9 start of a group, 10-19 its end
        int oldValue;
    };

    char16_t At(std::size_t position) const { return static_cast<char16_t>(m_text[position] & 0xFFFF); }
    std::size_t Repeat(int node, std::size_t position);
    bool NextRepeatCount(int node, std::size_t position, std::size_t& count);
    void Record(int slot, std::size_t position, int* starts, int* ends);

    CRegProgramAccessor m_access;
    CRegErrorHandler& m_errors;
    const wchar_t* m_text;
    std::size_t m_length;
    std::uint64_t m_stepsLeft;
    std::vector<Choice> m_choices;
    std::vector<Undo> m_undo;
};

} // namespace ovrin
