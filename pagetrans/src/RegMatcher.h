// The backtracking matcher that runs a compiled program against a text at one position. It keeps
// its choice points on a heap stack instead of the call stack, and it looks at the clock every few
// thousand steps, so that no text or pattern can overflow the stack or keep a search running without
// end, while every search that ends in reasonable time is allowed to end.
#pragma once

#include "RegProgram.h"
#include "pagetrans/RegPattern.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ovrin {

class CRegMatcher {
public:
    enum class Result { Matched, Failed, GaveUp };

    using Clock = std::chrono::steady_clock;

    // The search gives up once the clock passes deadline.
    CRegMatcher(const sRegProgram& program, CRegErrorHandler& errors, const wchar_t* text, std::size_t length,
                Clock::time_point deadline);

    // Tries a match beginning at start. The group positions (kRegGroupSlots each) are cleared first;
    // on success they hold the match (group 0) and every group that took part, each at its last
    // iteration.
    Result TryAt(std::size_t start, int* groupStarts, int* groupEnds);

    // Limits of one search. Its time: a search still running after it is a runaway (the backtracking
    // has grown exponential or worse than quadratic), far beyond any search that ends within about
    // a second. Choice points and group undo records are bounded by number, as each costs memory.
    static Clock::duration TimeLimit();
    // Tests shorten the limit to see runaways given up quickly; zero restores the default.
    static void SetTimeLimit(Clock::duration limit);
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
    // Counts cost steps; false once the deadline has passed (looked at every kClockInterval steps).
    bool Spend(std::uint64_t cost);
    std::size_t Repeat(int node, std::size_t position);
    bool NextRepeatCount(int node, std::size_t position, std::size_t& count);
    void Record(int slot, std::size_t position);
    // One node of the program at position: false when it fails there; next and position move on.
    bool Step(int node, int& next, std::size_t& position);
    enum class Resume { Resumed, Exhausted, GaveUp };
    // Goes back to the latest choice point that has an alternative left, undoing the group positions
    // recorded since it was made.
    Resume Backtrack(int& node, std::size_t& position);

    CRegProgramAccessor m_access;
    CRegErrorHandler& m_errors;
    const wchar_t* m_text;
    std::size_t m_length;
    Clock::time_point m_deadline;
    std::uint64_t m_stepsLeft; // until the next look at the clock
    bool m_outOfTime = false;
    static constexpr std::uint64_t kClockInterval = 1u << 14;
    std::vector<Choice> m_choices;
    std::vector<Undo> m_undo;
    int* m_starts = nullptr; // group positions of the current try
    int* m_ends = nullptr;
};

} // namespace ovrin
