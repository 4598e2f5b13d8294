// Comparing 8-bit dictionary texts through the 256-byte weight tables: the current order table and,
// for every language but Russian, the fold table that maps accented letters to their base letters.
// A comparison runs the fold pass first and the plain pass only when the fold pass finds no
// difference; dictionaries are sorted under exactly this order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dengine {

// The weights one comparison uses: the current order table, with or without the fold table.
struct Weights {
    const std::uint8_t* order;
    const std::uint8_t* fold; // null when the fold table takes no part (Russian)
};

// The current order table (the one LoadCompareTable set), with the fold table unless language is
// Russian. The lookups make their dictionary's table current first: callers of TableStrCompare rely
// on that.
Weights CurrentWeights(unsigned language);

// A language's weights held apart from the current table, for the engine's own sorting and inserting,
// which must not change what TableStrCompare uses: the language's order table (a copy of the current
// one when the program has none) and the fold table unless it is Russian.
class LanguageWeights {
public:
    explicit LanguageWeights(unsigned language);
    Weights Get() const;

private:
    std::uint8_t m_order[256];
    bool m_fold;
};

// -1, 0 or 1 over the whole texts.
int FullCompare(const Weights& weights, const char* a, const char* b);
// -1, 0 or 1 over at most n characters (0 when the first n agree).
int CountedCompare(const Weights& weights, const char* a, const char* b, std::size_t n);
// The counted comparison with the first pass alone: fold pass when the fold table takes part.
int FirstPassCountedCompare(const Weights& weights, const char* a, const char* b, std::size_t n);
// "?" takes any one character, "*" any run; other characters match by order weight alone.
bool WildcardMatch(const std::uint8_t* order, const char* pattern, const char* text);

// Copies the fold table (the program's resources in the Windows build) into table; false, with table
// unchanged, when the program has none.
bool LoadFoldTable(std::uint8_t* table);
// Copies the order table of language into table; false, with table unchanged, when there is none.
bool LoadOrderTable(unsigned language, std::uint8_t* table);

} // namespace dengine
