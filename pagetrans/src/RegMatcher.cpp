// The matcher: nodes are taken in order; BRANCH and STAR/PLUS leave choice points on a heap stack
// and a failure resumes the latest one, so alternatives and repetition counts are tried in the same
// order as a recursive walk would try them. Group positions are overwritten at every OPEN and CLOSE
// and restored on backtracking, which leaves each group at its last iteration on the matching path.
#include "RegMatcher.h"

#include "RegCharacters.h"

#include <algorithm>
#include <atomic>

namespace ovrin {

namespace {

constexpr CRegMatcher::Clock::duration kDefaultTimeLimit = std::chrono::seconds(3);
std::atomic<CRegMatcher::Clock::rep> g_timeLimit{kDefaultTimeLimit.count()};

} // namespace

CRegMatcher::CRegMatcher(const sRegProgram& program, CRegErrorHandler& errors, const wchar_t* text, std::size_t length,
                         Clock::time_point deadline)
    : m_access(program.units.data(), program.units.size()), m_errors(errors), m_text(text), m_length(length),
      m_deadline(deadline), m_stepsLeft(kClockInterval) {}

CRegMatcher::Clock::duration CRegMatcher::TimeLimit() {
    return Clock::duration(g_timeLimit.load());
}

void CRegMatcher::SetTimeLimit(Clock::duration limit) {
    g_timeLimit = (limit.count() > 0 ? limit : kDefaultTimeLimit).count();
}

bool CRegMatcher::Spend(std::uint64_t cost) {
    while (cost >= m_stepsLeft) {
        cost -= m_stepsLeft;
        m_stepsLeft = kClockInterval;
        if (m_outOfTime || Clock::now() > m_deadline) {
            m_outOfTime = true;
            m_stepsLeft = 0;
            return false;
        }
    }
    m_stepsLeft -= cost;
    return true;
}

namespace {

// Looks c up in a zero-terminated operand list; returns the number of list entries examined in cost.
bool InList(const char16_t* list, char16_t c, std::uint64_t& cost) {
    const char16_t* entry = list;
    for (; *entry != 0; ++entry) {
        if (*entry == c) {
            cost += (entry - list) / 32;
            return true;
        }
    }
    cost += (entry - list) / 32;
    return false;
}

} // namespace

// How many characters from position the single-character operand can take.
std::size_t CRegMatcher::Repeat(int node, std::size_t position) {
    std::size_t end = position;
    std::uint64_t cost = 0;
    switch (m_access.Opcode(node)) {
    case kOpAny:
        end = m_length;
        break;
    case kOpExactly: {
        char16_t c = m_access.OperandText(node)[0];
        while (end < m_length && At(end) == c)
            ++end;
        break;
    }
    case kOpAnyOf:
        while (end < m_length && InList(m_access.OperandText(node), At(end), cost))
            ++end;
        break;
    case kOpAnyBut:
        while (end < m_length && !InList(m_access.OperandText(node), At(end), cost))
            ++end;
        break;
    default:
        m_errors.SetError(kRegBadRepeat);
        return 0;
    }
    cost += end - position;
    Spend(cost);
    return end - position;
}

// Moves count down to the next count worth trying: at least the minimum (0 for STAR, 1 for PLUS)
// and, when an EXACTLY follows, one after which the text continues with its first character.
bool CRegMatcher::NextRepeatCount(int node, std::size_t position, std::size_t& count) {
    int next = m_access.Next(node);
    char16_t nextChar = m_access.Opcode(next) == kOpExactly ? m_access.OperandText(next)[0] : 0;
    std::size_t minimum = m_access.Opcode(node) == kOpStar ? 0 : 1;
    std::uint64_t cost = 0;
    bool found = false;
    while (count > minimum) {
        --count;
        ++cost;
        if (nextChar == 0 || (position + count < m_length && At(position + count) == nextChar)) {
            found = true;
            break;
        }
    }
    Spend(cost);
    return found;
}

void CRegMatcher::Record(int slot, std::size_t position) {
    int& value = slot < kRegGroupSlots ? m_starts[slot] : m_ends[slot - kRegGroupSlots];
    if (!m_choices.empty())
        m_undo.push_back({slot, value});
    value = static_cast<int>(position);
}

bool CRegMatcher::Step(int node, int& next, std::size_t& position) {
    int opcode = m_access.Opcode(node);
    switch (opcode) {
    case kOpBol:
        return position == 0;
    case kOpEol:
        return position == m_length;
    case kOpWordStart:
        return !(position >= m_length || !IsRegWordCharacter(At(position)) ||
                 (position > 0 && IsRegWordCharacter(At(position - 1))));
    case kOpWordEnd:
        return !(position < m_length && IsRegWordCharacter(At(position)));
    case kOpAny:
        return position++ < m_length;
    case kOpExactly: {
        const char16_t* operand = m_access.OperandText(node);
        std::size_t length = m_access.OperandLength(node);
        bool failed = length > m_length - position;
        for (std::size_t i = 0; i < length && !failed; ++i)
            failed = At(position + i) != operand[i];
        Spend(length);
        position += length;
        return !failed;
    }
    case kOpAnyOf:
    case kOpAnyBut: {
        std::uint64_t cost = 0;
        bool failed =
            position >= m_length || InList(m_access.OperandText(node), At(position), cost) != (opcode == kOpAnyOf);
        Spend(cost);
        ++position;
        return !failed;
    }
    case kOpNothing:
    case kOpBack:
        return true;
    case kOpBranch:
        // The last alternative (no BRANCH after it) needs no choice point.
        if (m_access.Opcode(next) == kOpBranch)
            m_choices.push_back({next, 0, position, m_undo.size()});
        next = m_access.Operand(node);
        return true;
    case kOpStar:
    case kOpPlus: {
        std::size_t count = Repeat(m_access.Operand(node), position) + 1;
        if (!NextRepeatCount(node, position, count))
            return false;
        m_choices.push_back({node, count, position, m_undo.size()});
        position += count;
        return true;
    }
    default:
        if (opcode > kOpOpen && opcode < kOpOpen + kRegGroupSlots) {
            Record(opcode - kOpOpen, position);
            return true;
        }
        if (opcode > kOpClose && opcode < kOpClose + kRegGroupSlots) {
            Record(kRegGroupSlots + opcode - kOpClose, position);
            return true;
        }
        m_errors.SetError(opcode < 0 ? kRegCorruptedPointers : kRegCorruption);
        return false;
    }
}

CRegMatcher::Resume CRegMatcher::Backtrack(int& node, std::size_t& position) {
    for (;;) {
        if (m_choices.empty())
            return Resume::Exhausted;
        if (!Spend(1))
            return Resume::GaveUp;
        Choice& choice = m_choices.back();
        while (m_undo.size() > choice.undoSize) {
            const Undo& undo = m_undo.back();
            (undo.slot < kRegGroupSlots ? m_starts[undo.slot] : m_ends[undo.slot - kRegGroupSlots]) = undo.oldValue;
            m_undo.pop_back();
        }
        position = choice.position;
        if (m_access.Opcode(choice.node) == kOpBranch) {
            int alternative = choice.node;
            m_choices.pop_back();
            int following = m_access.Next(alternative);
            if (m_access.Opcode(following) == kOpBranch)
                m_choices.push_back({following, 0, position, m_undo.size()});
            node = m_access.Operand(alternative);
            return Resume::Resumed;
        }
        std::size_t count = choice.count;
        if (NextRepeatCount(choice.node, choice.position, count)) {
            choice.count = count;
            position = choice.position + count;
            node = m_access.Next(choice.node);
            return Resume::Resumed;
        }
        m_choices.pop_back();
    }
}

CRegMatcher::Result CRegMatcher::TryAt(std::size_t start, int* groupStarts, int* groupEnds) {
    m_starts = groupStarts;
    m_ends = groupEnds;
    for (int i = 0; i < kRegGroupSlots; ++i)
        m_starts[i] = m_ends[i] = -1;
    m_choices.clear();
    m_undo.clear();

    int node = 1;
    std::size_t position = start;
    for (;;) {
        if (!Spend(1) || m_choices.size() > kMaxChoices || m_undo.size() > 2 * kMaxChoices)
            return Result::GaveUp;
        if (m_access.Opcode(node) == kOpEnd) {
            m_starts[0] = static_cast<int>(start);
            m_ends[0] = static_cast<int>(position);
            return Result::Matched;
        }
        int next = m_access.Next(node);
        bool passed = Step(node, next, position);
        if (passed && next == 0) {
            m_errors.SetError(kRegCorruptedPointers);
            passed = false;
        }
        if (passed) {
            node = next;
            continue;
        }
        Resume resume = Backtrack(node, position);
        if (resume == Resume::Exhausted)
            return Result::Failed;
        if (resume == Resume::GaveUp)
            return Result::GaveUp;
    }
}

} // namespace ovrin
