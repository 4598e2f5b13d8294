// The pattern compiler. CRegCompilerBase parses the pattern and drives five emitting operations;
// CRegValidator runs the first pass (it only counts units) and CRegCompiler the second (it writes
// the program into a buffer sized by the first).
#pragma once

#include "pagetrans/RegPattern.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ovrin {

class CRegCompilerBase {
public:
    // The pattern holds no zero unit; reading past its end gives 0, which ends every construct.
    CRegCompilerBase(const std::u16string& pattern, CRegErrorHandler& errors);
    virtual ~CRegCompilerBase() = default;

    // Parses the whole pattern; false after an error (the handler holds it). flags gets the
    // properties of the top level (kFlagStartsWithRepeat is the one the search hints use).
    bool Parse(int& flags);
    int GetGroupCount() const { return m_groupCount; }

    static constexpr int kFlagWorst = 0;
    static constexpr int kFlagHasWidth = 1;         // never matches the empty string
    static constexpr int kFlagSimple = 2;           // one character: STAR and PLUS can repeat it
    static constexpr int kFlagStartsWithRepeat = 4; // begins with a * or + repetition

protected:
    virtual void EmitChar(char16_t c) = 0;
    virtual int EmitNode(int opcode) = 0;
    virtual void InsertNode(int opcode, int operand) = 0;
    virtual void LinkTail(int node, int target) = 0;
    virtual void LinkOperandTail(int node, int target) = 0;

private:
    int ParseAlternatives(bool inGroup, int& flags);
    int ParseBranch(int& flags);
    int ParsePiece(int& flags);
    int ParseAtom(int& flags);
    int ParseBracket(int& flags);
    int ParseLiteralRun(int& flags);
    bool Fail(int code);

    char16_t Peek(std::size_t ahead = 0) const;

    const std::u16string& m_pattern;
    std::size_t m_position = 0;
    int m_groupCount = 0;
    std::size_t m_rangeUnits = 0; // characters added by ranges so far
    bool m_failed = false;
    CRegErrorHandler& m_errors;
};

// Pass one: counts the units the program will need, starting from 1 for the magic value.
class CRegValidator : public CRegCompilerBase {
public:
    using CRegCompilerBase::CRegCompilerBase;
    std::size_t GetSize() const { return m_size; }

protected:
    void EmitChar(char16_t) override { ++m_size; }
    int EmitNode(int) override;
    void InsertNode(int, int) override { m_size += 3; }
    void LinkTail(int, int) override {}
    void LinkOperandTail(int, int) override {}

private:
    std::size_t m_size = 1;
};

// Pass two: writes the magic value and the nodes.
class CRegCompiler : public CRegCompilerBase {
public:
    CRegCompiler(const std::u16string& pattern, CRegErrorHandler& errors, std::vector<char16_t>& program,
                 std::size_t size);

protected:
    void EmitChar(char16_t c) override { m_program.push_back(c); }
    int EmitNode(int opcode) override;
    void InsertNode(int opcode, int operand) override;
    void LinkTail(int node, int target) override;
    void LinkOperandTail(int node, int target) override;

private:
    std::vector<char16_t>& m_program;
};

// Ignore-case rewriting: outside brackets every letter becomes "[Xx]", capital first.
std::u16string RewriteIgnoringCase(const std::u16string& pattern);

// Runs both passes and works out the search hints. False (with the error set) when the pattern is
// wrong or its program would be too big.
bool CompileRegProgram(const std::u16string& pattern, CRegErrorHandler& errors, sRegProgram& program);

} // namespace ovrin
