// Writing a whole element tree as a new compound file: directory with balanced red-black sibling
// trees, mini stream and mini FAT for small streams, regular sectors for large ones, FAT and, for
// large files, DIFAT sectors.
#pragma once

#include "FileIo.h"
#include "Tree.h"

#include <memory>
#include <vector>

namespace cfb::detail {

// Where a stream's bytes were put, so that its Content can be pointed there once the file is in place.
struct Placement {
    std::shared_ptr<Content> content;
    std::uint32_t start;
    bool mini;
};

// Writes root and everything under it to the empty file. Stream contents are copied piece by piece,
// from memory or from the file they are in.
Status WriteCompoundFile(const Node& root, std::uint32_t sectorSize, FileIo& file, std::vector<Placement>* placements);

} // namespace cfb::detail
