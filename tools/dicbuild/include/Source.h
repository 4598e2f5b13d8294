// Dictionaries in the dict-server format: an ".index" file of lines "headword TAB offset TAB length"
// (offset and length in the format's base64 digits) and a data file, plain (".dict") or gzip/dictzip
// compressed (".dict.dz"), holding the UTF-8 entries. Metadata entries ("00-database-...") are left out.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace dicbuild {

struct SourceEntry {
    std::string headword; // UTF-8
    std::string body;     // UTF-8, the entry's text as stored (it usually repeats the headword first)
};

// Why entries were left out or cut, with their counts, for the summary.
struct Problems {
    std::map<std::string, unsigned> counts;
    void Add(const std::string& reason, unsigned count = 1) { counts[reason] += count; }
    unsigned Total() const;
};

// False with a message when a file cannot be read; damaged lines are counted in problems and skipped.
bool ReadSource(const std::string& indexPath, const std::string& dataPath, std::vector<SourceEntry>* entries,
                Problems* problems, std::string* error);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

} // namespace dicbuild
