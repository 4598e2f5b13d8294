// The program format of compiled patterns: the opcodes, and CRegProgramAccessor, which reads a
// node's opcode, next node and operand. A node is three units: opcode, offset to the next node
// (backwards for BACK, 0 for none) and a unit that is always 0.
#pragma once

#include <cstddef>

namespace ovrin {

constexpr char16_t kRegMagic = 0xFF9C;
constexpr int kRegNodeUnits = 3;

enum RegOpcode {
    kOpEnd = 0,     // end of the program: success
    kOpBol = 1,     // start of the searched text
    kOpEol = 2,     // end of the searched text
    kOpAny = 3,     // any one character
    kOpAnyOf = 4,   // one character of the operand list
    kOpAnyBut = 5,  // one character not in the operand list
    kOpBranch = 6,  // one alternative; the next BRANCH is the next alternative
    kOpBack = 7,    // jump back: the loop of a complex repetition
    kOpExactly = 8, // the operand string
    kOpNothing = 9, // the empty string
    kOpStar = 10,   // the single-character operand node, zero or more times
    kOpPlus = 11,   // the single-character operand node, one or more times
    kOpWordStart = 12,
    kOpWordEnd = 13,
    kOpOpen = 20,  // OPEN + n starts group n (1 to 9)
    kOpClose = 30, // CLOSE + n ends group n
};

// Node positions are unit indexes; 0 (the magic value) never holds a node and stands for "none".
// Every read is bounds-checked, so a damaged program yields "none" rather than a stray read.
class CRegProgramAccessor {
public:
    CRegProgramAccessor(const char16_t* units, std::size_t size) : m_units(units), m_size(size) {}

    bool HasMagic() const { return m_size > 0 && m_units[0] == kRegMagic; }
    bool IsNode(int node) const { return node > 0 && static_cast<std::size_t>(node) + kRegNodeUnits <= m_size; }
    int Opcode(int node) const { return IsNode(node) ? m_units[node] : -1; }
    int Next(int node) const {
        if (!IsNode(node))
            return 0;
        int offset = m_units[node + 1];
        if (offset == 0)
            return 0;
        int next = m_units[node] == kOpBack ? node - offset : node + offset;
        return IsNode(next) ? next : 0;
    }
    int Operand(int node) const { return node + kRegNodeUnits; }
    // The zero-terminated character list after an EXACTLY, ANYOF or ANYBUT node, and its length.
    const char16_t* OperandText(int node) const { return m_units + Operand(node); }
    std::size_t OperandLength(int node) const {
        std::size_t length = 0;
        for (std::size_t i = Operand(node); i < m_size && m_units[i] != 0; ++i)
            ++length;
        return length;
    }

private:
    const char16_t* m_units;
    std::size_t m_size;
};

} // namespace ovrin
