// Index and article block streams: a small header and the block's bytes compressed in the zlib
// format. Index block: entry count (2 bytes), uncompressed size S (2), compressed data. Article
// block: S (2), compressed data. Numbers are big-endian; S is at most 65535.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace dengine {

constexpr std::uint32_t kMaxBlockSize = 65535;

// The entry count and the decompressed entries of an index block stream. A block of 0 entries is
// never decompressed. False when the stream is too short or its data does not decompress.
bool DecodeIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t* count, std::vector<std::uint8_t>* data);
bool DecodeArticleBlock(const std::vector<std::uint8_t>& stream, std::vector<std::uint8_t>* data);

// The same for an index block, into a buffer of its own size: *size bytes at *data.
bool DecodeIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t* count,
                      std::unique_ptr<std::uint8_t[]>* data, std::uint16_t* size);

// Compressed at level 9. False when the data is larger than a block may be.
bool EncodeIndexBlock(std::uint16_t count, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream);
bool EncodeArticleBlock(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream);

} // namespace dengine
