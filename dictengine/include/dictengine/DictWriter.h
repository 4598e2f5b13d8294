// Writing dictionary files: headword entries with their articles, in the order given, cut into
// index and article blocks of at most 65535 bytes each, with the block keys, the block-count table
// and the abbreviation tables of the trailer. Used by the dictionary builder and by tests.
#pragma once

#include "dictengine/DictFormat.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace dengine {

struct WriterEntry {
    std::string display; // 8-bit text shown in the headword list
    std::string key;     // the text searched; empty when it is the display text. Otherwise the
                         // display text must end with it and be 1 to 31 bytes longer.
    std::string article; // the article as a container: 2-byte big-endian length, then its tags
};

struct DictionaryDescription {
    std::string name;            // up to 12 bytes
    std::uint8_t type = 1;       // 4 is a user dictionary
    std::uint16_t direction = 0; // source language code << 8 | target language code
    bool writeCountTable = true; // the 0xCD table that lets the engine open without the block streams
    // Expanded texts of abbreviations, by article tag and abbreviation number.
    std::map<std::uint8_t, std::map<std::uint8_t, std::string>> abbreviations;
    std::size_t targetIndexBlockBytes = 8192; // a new block starts once this much index data is in one
    bool checkOrder = false;                  // refuse entries whose keys are not sorted under the source language
};

// The streams of a dictionary file by name, in the order they are written.
using StreamList = std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>>;

// Builds the streams; false with a message in *error when an entry or the description cannot be
// written (a NUL inside a text, a key the display text does not end with, an article or block too
// large, too many blocks).
bool BuildDictionaryStreams(const DictionaryDescription& description, const std::vector<WriterEntry>& entries,
                            StreamList* streams, std::string* error);

// Writes streams into a new compound file at path, replacing any file there only once the new one
// is complete: when writing fails or the process ends part-way, a file that was there stays whole,
// and a file that was not is not left half-written.
bool WriteStreamFile(const std::wstring& path, const StreamList& streams, std::string* error);

// BuildDictionaryStreams, then WriteStreamFile.
bool WriteDictionary(const std::wstring& path, const DictionaryDescription& description,
                     const std::vector<WriterEntry>& entries, std::string* error);

// Orders entries by key (stable) as the engine compares keys of the source language: its order
// table, with the fold table unless it is Russian. The engine's lookups assume exactly this order.
// The engine's current compare table is left as it was.
void SortEntries(std::vector<WriterEntry>& entries, std::uint8_t sourceLanguage);
// The same order as positions into entries, which stay where they are.
std::vector<std::size_t> SortedOrder(const std::vector<WriterEntry>& entries, std::uint8_t sourceLanguage);

} // namespace dengine
