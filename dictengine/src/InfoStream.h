// Reading the header of a dictionary's information stream (its layout is in dictengine/DictFormat.h):
// where its block keys and its trailer container lie. Every offset found here has been checked to lie
// inside the header.
#pragma once

#include "dictengine/DictFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dengine {

struct HeaderLayout {
    std::uint16_t blockCount = 0;
    std::vector<std::uint32_t> keyOffsets; // header offset of each block key (NUL-terminated)
    std::uint32_t trailerOffset = 0;       // header offset of the trailer container's length field
    std::uint32_t trailerTagsBegin = 0;    // header offsets of the trailer's tags
    std::uint32_t trailerTagsEnd = 0;
};

// False when the header is shorter than its fixed part, a block key is not terminated inside it, or
// the trailer container (its length field included) does not fit.
bool ParseHeader(const std::uint8_t* header, std::size_t size, HeaderLayout* layout);

// The entry counts of the table under tag 0xCD of the trailer; false when there is no such table or
// it holds fewer than blockCount entries.
bool ReadBlockCountTable(const std::uint8_t* header, const HeaderLayout& layout, std::vector<std::uint16_t>* counts);

} // namespace dengine
