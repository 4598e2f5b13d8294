// The history and bookmark lists: per direction key, a list of headword indices, most recent first,
// kept as key="i,j,..." in section "data" of a list file ("_history.dat", "_bookmark.dat").
// Every operation reads the file afresh and writes it back whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lexory {

constexpr wchar_t kHistoryFileName[] = L"_history.dat";
constexpr wchar_t kBookmarkFileName[] = L"_bookmark.dat";
constexpr wchar_t kListSection[] = L"data";
constexpr std::size_t kHistoryLimit = 15;
constexpr std::size_t kNoLimit = 0;
// What a stored piece that is no index (negative, or beyond 32 bits) reads as: no headword has it.
constexpr unsigned long kNoHeadword = 0xFFFFFFFFul;

// The pieces of a stored list split at ",": not trimmed, a trailing empty piece dropped.
std::vector<std::wstring> SplitList(const std::wstring& value);
// The index a piece stands for: decimal after leading white space and an optional sign; 0 when it has
// no digits, kNoHeadword when it is negative or too large.
unsigned long PieceToIndex(const std::wstring& piece);

// The list of key in the file; false when the file or the key is absent (list empty then).
bool ReadIndexList(const std::wstring& path, std::uint32_t key, std::vector<unsigned long>& list);
// Moves or inserts index at the front, keeping at most limit entries (kNoLimit: no limit); creates
// the file when absent. False when the file could not be read or written.
bool AddIndexToList(const std::wstring& path, std::uint32_t key, unsigned long index, std::size_t limit);
// Removes the first entry that stands for index; false when the file does not exist or could not be
// read or written (the file is then as it was).
bool RemoveIndexFromList(const std::wstring& path, std::uint32_t key, unsigned long index);

} // namespace lexory
