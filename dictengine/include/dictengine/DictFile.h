// A look inside one dictionary file, for tools: what its information stream and block streams say,
// read without the catalogue.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dengine {

struct DictFileInfo {
    std::string name;
    std::uint8_t version = 0;
    std::uint8_t type = 0;
    std::uint32_t headwordCount = 0;
    std::uint16_t direction = 0;
    bool hasCountTable = false;
    std::vector<std::uint16_t> blockCounts;                        // from the table, else from the block streams
    std::vector<std::string> blockKeys;                            // the index entries that start the blocks
    std::vector<std::pair<std::uint8_t, std::size_t>> trailerTags; // tag and length of each trailer tag
};

// False with a message in *error when the file is not a dictionary or is damaged.
bool ReadDictFileInfo(const std::wstring& path, DictFileInfo* info, std::string* error);

} // namespace dengine
