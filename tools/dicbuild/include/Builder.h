// Building a dictionary file from a dict-server dictionary: parsing every entry, turning it into an
// article, sorting under the source language and writing the file; or the reverse dictionary, whose
// headwords are the translations of the forward one. Articles: parts (0x80; one part alone stands at
// the article's top level) with their part of speech (0x02), transcription (0x08) and notes (0x0A);
// translations (0x90) with their own part of speech when the entry names one (0x02), text (0x01),
// label (0x03) and note (0x08). A text too long for a leaf is split over several leaves of its tag
// (Leaves.h); an article longer than 65,535 bytes is left out and named in the summary.
#pragma once

#include "Model.h"
#include "Source.h"

#include <functional>
#include <string>

namespace dicbuild {

struct BuildOptions {
    EntryStyle style = EntryStyle::Mueller;
    std::string name;            // UTF-8; up to 12 bytes in the code page of the dictionary's source language
    std::uint16_t direction = 0; // of the forward dictionary (source << 8 | target)
    bool reverse = false;        // build the dictionary of the opposite direction
};

// A count of headwords with the first ten of them (UTF-8), for the summary.
struct HeadwordList {
    unsigned count = 0;
    std::vector<std::string> first;
    void Add(const std::string& headword) {
        if (first.size() < 10)
            first.push_back(headword);
        ++count;
    }
};

struct BuildSummary {
    unsigned headwords = 0;
    unsigned blocks = 0;
    unsigned long long bytes = 0;
    unsigned entries = 0; // entries the index names (those that could be read, and the damaged ones)
    unsigned parsed = 0;  // entries that gave a headword with something to show
    unsigned droppedCharacters = 0;
    unsigned transliteratedCharacters = 0;
    Problems problems;    // entries skipped, by reason
    HeadwordList split;   // articles with a text split over several leaves
    HeadwordList cut;     // articles with a word longer than a leaf, cut inside
    HeadwordList leftOut; // articles that do not fit 65,535 bytes
    HeadwordList unread;  // entries with nothing to show, or not starting with their headword
    // What reached the articles, measured against the source entries (forward dictionaries): the
    // Cyrillic words of the entries (each occurrence) and how many of them the articles hold, the
    // articles missing some, and the entries that name a part of speech with those whose article has one.
    bool measured = false;
    unsigned long long sourceWords = 0;
    unsigned long long keptWords = 0;
    HeadwordList missingWords;
    unsigned namingPartOfSpeech = 0;
    unsigned taggedPartOfSpeech = 0;
    HeadwordList untaggedPartOfSpeech;
};

// The name of the dictionary in the code page of its source language (the forward target with
// reverse); false with a message when that code page cannot hold it or it is longer than 12 bytes.
bool EncodeDictionaryName(const BuildOptions& options, std::string* name, std::string* error);

// The headwords a translation gives the reverse dictionary: its alternatives (at ";" and at the
// commas between alternatives), without remarks in brackets, sense markers, quotation marks,
// cross-references and abbreviations. russian: Latin words are not headwords.
std::vector<std::string> ReverseHeadwords(const std::string& translation, bool russian);

// progress(done, total) is called now and then; it may be empty.
bool BuildFromSource(const std::vector<SourceEntry>& source, const BuildOptions& options, const std::wstring& output,
                     BuildSummary* summary, std::string* error,
                     const std::function<void(std::size_t, std::size_t)>& progress = {});

} // namespace dicbuild
