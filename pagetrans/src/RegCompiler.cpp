// The pattern parser (recursive descent over alternatives, branches, pieces and atoms), its two
// passes, ignore-case rewriting and the search hints taken from the finished program.
#include "RegCompiler.h"

#include "RegCharacters.h"
#include "RegProgram.h"

#include <cstdint>

namespace ovrin {
namespace {

constexpr int kMaxGroups = 9;

bool IsRepeatOperator(char16_t c) {
    return c == u'*' || c == u'+' || c == u'?';
}

// Characters before which a literal run ends (the run's first character is never tested).
bool EndsLiteralRun(char16_t c) {
    switch (c) {
    case 0:
    case u'.':
    case u'[':
    case u'(':
    case u')':
    case u'|':
    case u'$':
    case u'^':
    case u'\n':
    case u'*':
    case u'+':
    case u'?':
        return true;
    default:
        return false;
    }
}

} // namespace

CRegCompilerBase::CRegCompilerBase(const std::u16string& pattern, CRegErrorHandler& errors)
    : m_pattern(pattern), m_errors(errors) {}

char16_t CRegCompilerBase::Peek(std::size_t ahead) const {
    std::size_t at = m_position + ahead;
    return at < m_pattern.size() ? m_pattern[at] : 0;
}

bool CRegCompilerBase::Fail(int code) {
    if (!m_failed)
        m_errors.SetError(code);
    m_failed = true;
    return false;
}

bool CRegCompilerBase::Parse(int& flags) {
    m_position = 0;
    m_groupCount = 0;
    m_rangeUnits = 0;
    m_failed = false;
    ParseAlternatives(false, flags);
    return !m_failed;
}

// The top level, or a group after its "(": alternatives separated by "|", each a BRANCH whose
// operand chain ends at the closing node (END, or CLOSE of the group).
int CRegCompilerBase::ParseAlternatives(bool inGroup, int& flags) {
    flags = kFlagHasWidth;
    int first = 0;
    int groupNumber = 0;
    if (inGroup) {
        if (m_groupCount >= kMaxGroups)
            return Fail(kRegTooManyGroups);
        groupNumber = ++m_groupCount;
        first = EmitNode(kOpOpen + groupNumber);
    }
    std::vector<int> branches;
    for (;;) {
        int branchFlags = 0;
        int branch = ParseBranch(branchFlags);
        if (m_failed)
            return 0;
        branches.push_back(branch);
        if (first != 0)
            LinkTail(first, branch);
        else
            first = branch;
        if (!(branchFlags & kFlagHasWidth))
            flags &= ~kFlagHasWidth;
        flags |= branchFlags & kFlagStartsWithRepeat;
        if (Peek() != u'|')
            break;
        ++m_position;
    }
    int closing = EmitNode(inGroup ? kOpClose + groupNumber : kOpEnd);
    LinkTail(first, closing);
    for (int branch : branches)
        LinkOperandTail(branch, closing);

    if (inGroup) {
        if (Peek() != u')')
            return Fail(kRegUnterminatedGroup);
        ++m_position;
    } else if (Peek() != 0) {
        return Fail(Peek() == u')' ? kRegUnmatchedGroup : kRegJunkOnEnd);
    }
    return first;
}

// One alternative: a BRANCH node followed by the chain of its pieces (NOTHING when it is empty).
int CRegCompilerBase::ParseBranch(int& flags) {
    flags = kFlagWorst;
    int branch = EmitNode(kOpBranch);
    int chain = 0;
    while (Peek() != 0 && Peek() != u'|' && Peek() != u')') {
        int pieceFlags = 0;
        int latest = ParsePiece(pieceFlags);
        if (m_failed)
            return 0;
        flags |= pieceFlags & kFlagHasWidth;
        if (chain == 0)
            flags |= pieceFlags & kFlagStartsWithRepeat;
        else
            LinkTail(chain, latest);
        chain = latest;
    }
    if (chain == 0)
        EmitNode(kOpNothing);
    return branch;
}

// An atom and its repetition. A single-character atom repeats through STAR or PLUS; anything else
// through BRANCH and BACK loops:
//   x*  BRANCH(x, BACK to that BRANCH) BRANCH(NOTHING)
//   x+  x BRANCH(BACK to x) BRANCH(NOTHING)
//   x?  BRANCH(x) BRANCH(NOTHING)
int CRegCompilerBase::ParsePiece(int& flags) {
    int atomFlags = 0;
    int atom = ParseAtom(atomFlags);
    if (m_failed)
        return 0;
    char16_t op = Peek();
    if (!IsRepeatOperator(op)) {
        flags = atomFlags;
        return atom;
    }
    if (!(atomFlags & kFlagHasWidth) && op != u'?')
        return Fail(kRegEmptyOperand);
    bool simple = (atomFlags & kFlagSimple) != 0;

    if (op == u'*') {
        flags = kFlagStartsWithRepeat;
        if (simple) {
            InsertNode(kOpStar, atom);
        } else {
            InsertNode(kOpBranch, atom);
            LinkOperandTail(atom, EmitNode(kOpBack));
            LinkOperandTail(atom, atom);
            LinkTail(atom, EmitNode(kOpBranch));
            LinkTail(atom, EmitNode(kOpNothing));
        }
    } else if (op == u'+') {
        flags = kFlagHasWidth | kFlagStartsWithRepeat;
        if (simple) {
            InsertNode(kOpPlus, atom);
        } else {
            int loop = EmitNode(kOpBranch);
            LinkTail(atom, loop);
            LinkTail(EmitNode(kOpBack), atom);
            LinkTail(loop, EmitNode(kOpBranch));
            LinkTail(atom, EmitNode(kOpNothing));
        }
    } else {
        flags = kFlagWorst;
        InsertNode(kOpBranch, atom);
        LinkTail(atom, EmitNode(kOpBranch));
        int nothing = EmitNode(kOpNothing);
        LinkTail(atom, nothing);
        LinkOperandTail(atom, nothing);
    }
    ++m_position;
    if (IsRepeatOperator(Peek()))
        return Fail(kRegNestedRepeat);
    return atom;
}

int CRegCompilerBase::ParseAtom(int& flags) {
    flags = kFlagWorst;
    switch (Peek()) {
    case u'^':
        ++m_position;
        return EmitNode(kOpBol);
    case u'$':
        ++m_position;
        return EmitNode(kOpEol);
    case u'.':
        ++m_position;
        flags = kFlagHasWidth | kFlagSimple;
        return EmitNode(kOpAny);
    case u'[':
        return ParseBracket(flags);
    case u'(': {
        ++m_position;
        int groupFlags = 0;
        int group = ParseAlternatives(true, groupFlags);
        if (m_failed)
            return 0;
        flags = groupFlags & (kFlagHasWidth | kFlagStartsWithRepeat);
        return group;
    }
    case 0:
    case u'|':
    case u')':
        // The branch loop stops before these; reaching them here means the parser is broken.
        return Fail(kRegUnexpectedEnd);
    case u'?':
    case u'+':
    case u'*':
        return Fail(kRegRepeatFollowsNothing);
    case u'\\':
        switch (Peek(1)) {
        case u'<':
            m_position += 2;
            return EmitNode(kOpWordStart);
        case u'>':
            m_position += 2;
            return EmitNode(kOpWordEnd);
        case 0:
            return Fail(kRegTrailingBackslash);
        default:
            return ParseLiteralRun(flags);
        }
    default:
        return ParseLiteralRun(flags);
    }
}

int CRegCompilerBase::ParseBracket(int& flags) {
    ++m_position; // "["
    int node;
    if (Peek() == u'^') {
        node = EmitNode(kOpAnyBut);
        ++m_position;
    } else {
        node = EmitNode(kOpAnyOf);
    }
    if (Peek() == u']' || Peek() == u'-') {
        EmitChar(Peek());
        ++m_position;
    }
    while (Peek() != 0 && Peek() != u']') {
        if (Peek() != u'-') {
            EmitChar(Peek());
            ++m_position;
            continue;
        }
        ++m_position;
        if (Peek() == u']' || Peek() == 0) {
            EmitChar(u'-');
            continue;
        }
        // The range's first character is the one before "-", already in the list.
        std::uint32_t first = m_pattern[m_position - 2];
        std::uint32_t last = Peek();
        if (first > last)
            return Fail(kRegInvalidRange);
        // Ranges that add up to a full program's worth of characters already make it too big;
        // expanding the rest would only cost time (a long pattern of wide ranges would take hours).
        for (std::uint32_t c = first + 1; c <= last && m_rangeUnits < kRegMaxUnits; ++c, ++m_rangeUnits)
            EmitChar(static_cast<char16_t>(c));
        ++m_position;
    }
    if (Peek() != u']')
        return Fail(kRegUnmatchedBracket);
    ++m_position;
    EmitChar(0);
    flags = kFlagHasWidth | kFlagSimple;
    return node;
}

// A run of literal characters (escaped ones included) becomes one EXACTLY node. When a repetition
// follows a run of several characters, the last one is left for the next atom so that the
// operator applies to it alone.
int CRegCompilerBase::ParseLiteralRun(int& flags) {
    std::u16string run;
    std::size_t lastStart = m_position;
    for (;;) {
        char16_t c = Peek();
        if (!run.empty() && EndsLiteralRun(c))
            break;
        std::size_t start = m_position;
        if (c == u'\\') {
            char16_t escaped = Peek(1);
            if (escaped == u'<' || escaped == u'>' || escaped == 0)
                break; // a word boundary or a trailing backslash: the next atom's business
            run += escaped;
            m_position += 2;
        } else {
            run += c;
            ++m_position;
        }
        lastStart = start;
    }
    if (run.size() > 1 && IsRepeatOperator(Peek())) {
        run.pop_back();
        m_position = lastStart;
    }
    int node = EmitNode(kOpExactly);
    for (char16_t c : run)
        EmitChar(c);
    EmitChar(0);
    flags = kFlagHasWidth | (run.size() == 1 ? kFlagSimple : 0);
    return node;
}

int CRegValidator::EmitNode(int) {
    m_size += 3;
    return 1; // a stand-in: this pass links nothing
}

CRegCompiler::CRegCompiler(const std::u16string& pattern, CRegErrorHandler& errors, std::vector<char16_t>& program,
                           std::size_t size)
    : CRegCompilerBase(pattern, errors), m_program(program) {
    m_program.clear();
    m_program.reserve(size);
    m_program.push_back(kRegMagic);
}

int CRegCompiler::EmitNode(int opcode) {
    int node = static_cast<int>(m_program.size());
    m_program.push_back(static_cast<char16_t>(opcode));
    m_program.push_back(0);
    m_program.push_back(0);
    return node;
}

void CRegCompiler::InsertNode(int opcode, int operand) {
    const char16_t node[kRegNodeUnits] = {static_cast<char16_t>(opcode), 0, 0};
    m_program.insert(m_program.begin() + operand, node, node + kRegNodeUnits);
}

void CRegCompiler::LinkTail(int node, int target) {
    if (node == 0)
        return;
    CRegProgramAccessor program(m_program.data(), m_program.size());
    int last = node;
    for (std::size_t steps = 0; steps < m_program.size(); ++steps) {
        int next = program.Next(last);
        if (next == 0)
            break;
        last = next;
    }
    int offset = program.Opcode(last) == kOpBack ? last - target : target - last;
    m_program[last + 1] = static_cast<char16_t>(offset);
}

void CRegCompiler::LinkOperandTail(int node, int target) {
    CRegProgramAccessor program(m_program.data(), m_program.size());
    if (node == 0 || program.Opcode(node) != kOpBranch)
        return;
    LinkTail(program.Operand(node), target);
}

std::u16string RewriteIgnoringCase(const std::u16string& pattern) {
    std::u16string rewritten;
    rewritten.reserve(pattern.size() * 2);
    bool inBracket = false;
    for (char16_t c : pattern) {
        if (inBracket) {
            rewritten += c;
            inBracket = c != u']';
        } else if (c == u'[') {
            rewritten += c;
            inBracket = true;
        } else if (IsRegLetter(c)) {
            rewritten += u'[';
            rewritten += RegToUpper(c);
            rewritten += RegToLower(c);
            rewritten += u']';
        } else {
            rewritten += c;
        }
    }
    return rewritten;
}

namespace {

// Hints for the search, from a program with a single top-level alternative: its first node may fix
// the first character or anchor the match, and when the pattern starts with a repetition the
// longest literal of the top-level sequence (the last of equally long ones) must be in the text.
void FindSearchHints(sRegProgram& program, int flags) {
    CRegProgramAccessor access(program.units.data(), program.units.size());
    program.firstChar = 0;
    program.anchored = false;
    program.mustContain.clear();
    int branch = 1;
    if (access.Opcode(access.Next(branch)) != kOpEnd)
        return;
    int scan = access.Operand(branch);
    if (access.Opcode(scan) == kOpExactly)
        program.firstChar = access.OperandText(scan)[0];
    else if (access.Opcode(scan) == kOpBol)
        program.anchored = true;
    if (!(flags & CRegCompilerBase::kFlagStartsWithRepeat))
        return;
    int longest = 0;
    std::size_t longestLength = 0;
    for (std::size_t steps = 0; scan != 0 && steps < program.units.size(); ++steps, scan = access.Next(scan)) {
        if (access.Opcode(scan) != kOpExactly)
            continue;
        std::size_t length = access.OperandLength(scan);
        if (length >= longestLength) {
            longest = scan;
            longestLength = length;
        }
    }
    if (longest != 0)
        program.mustContain.assign(access.OperandText(longest), longestLength);
}

} // namespace

bool CompileRegProgram(const std::u16string& pattern, CRegErrorHandler& errors, sRegProgram& program) {
    program.units.clear();
    program.compiled = false;
    int flags = 0;
    CRegValidator validator(pattern, errors);
    if (!validator.Parse(flags))
        return false;
    if (validator.GetSize() >= kRegMaxUnits) {
        errors.SetError(kRegTooBig);
        return false;
    }
    CRegCompiler compiler(pattern, errors, program.units, validator.GetSize());
    if (!compiler.Parse(flags) || program.units.size() != validator.GetSize()) {
        program.units.clear();
        if (errors.GetErrorCode() == kRegNoError)
            errors.SetError(kRegCorruption);
        return false;
    }
    FindSearchHints(program, flags);
    program.compiled = true;
    return true;
}

} // namespace ovrin
