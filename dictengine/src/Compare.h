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

// The weights for a source language: loads its order table into the current one (a language
// without a table keeps the current table) and leaves out the fold table for Russian.
Weights ChooseTables(unsigned language);
// The current order table, with the fold table unless language is Russian.
Weights CurrentWeights(unsigned language);

// -1, 0 or 1 over the whole texts.
int FullCompare(const Weights& weights, const char* a, const char* b);
// -1, 0 or 1 over at most n characters (0 when the first n agree).
int CountedCompare(const Weights& weights, const char* a, const char* b, std::size_t n);
// The counted comparison with the first pass alone: fold pass when the fold table takes part.
int FirstPassCountedCompare(const Weights& weights, const char* a, const char* b, std::size_t n);
// "?" takes any one character, "*" any run; other characters match by order weight alone.
bool WildcardMatch(const std::uint8_t* order, const char* pattern, const char* text);

// Loads the fold table (the program's resources in the Windows build); a missing one keeps the table.
void LoadFoldTable();
// Copies the order table of language into the current table; false when there is none.
bool LoadOrderTable(unsigned language);

} // namespace dengine
