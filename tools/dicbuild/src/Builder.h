// Building a dictionary file from a dict-server dictionary: parsing every entry, turning it into an
// article, sorting under the source language and writing the file; or the reverse dictionary, whose
// headwords are the translations of the forward one. Articles: parts (0x80; one part alone stands at
// the article's top level) with their part of speech
// (0x02), transcription (0x08) and notes (0x0A); translations (0x90) with text (0x01), label (0x03)
// and note (0x08). Texts too long for a leaf are split over translations or cut; an article too long
// for a block is left out.
#pragma once

#include "Model.h"
#include "Source.h"

#include <functional>
#include <string>

namespace dicbuild {

struct BuildOptions {
    EntryStyle style = EntryStyle::Mueller;
    std::string name;            // up to 12 bytes
    std::uint16_t direction = 0; // of the forward dictionary (source << 8 | target)
    bool reverse = false;        // build the dictionary of the opposite direction
};

struct BuildSummary {
    unsigned headwords = 0;
    unsigned blocks = 0;
    unsigned long long bytes = 0;
    unsigned droppedCharacters = 0;
    Problems problems; // entries skipped or cut, by reason
};

// progress(done, total) is called now and then; it may be empty.
bool BuildFromSource(const std::vector<SourceEntry>& source, const BuildOptions& options, const std::wstring& output,
                     BuildSummary* summary, std::string* error,
                     const std::function<void(std::size_t, std::size_t)>& progress = {});

} // namespace dicbuild
