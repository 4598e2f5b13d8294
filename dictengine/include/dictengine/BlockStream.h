// Index and article block streams: a small header and the block's bytes compressed in the zlib
// format. Index block: entry count (2 bytes), uncompressed size S (2), compressed data. Article
// block: S (2), compressed data. Numbers are big-endian; S is at most 65535.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace dengine {

constexpr std::uint32_t kMaxBlockSize = 65535;

// The entry count and the decompressed entries of an index block stream. A block of 0 entries is
// never decompressed. False when the stream is too short or its data does not decompress.
bool DecodeIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t* count, std::vector<std::uint8_t>* data);
bool DecodeArticleBlock(const std::vector<std::uint8_t>& stream, std::vector<std::uint8_t>* data);

// The entries of an index block stream whose entry count the opening took as count (from the
// block-count table or from the stream), into a buffer of their own size: *size bytes at *data, and
// where each entry begins. The stream's own count must be count, or 0 (a block-count table then
// gives it); the data must hold exactly count NUL-terminated entries. False for anything else, so
// that a damaged block is refused rather than walked with wrong numbers.
bool DecodeCountedIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t count,
                             std::unique_ptr<std::uint8_t[]>* data, std::uint16_t* size,
                             std::vector<std::uint16_t>* offsets);

// True when size bytes at data are exactly count NUL-terminated entries; offsets (may be null)
// receives where each begins.
bool HoldsEntries(const std::uint8_t* data, std::size_t size, std::uint16_t count, std::vector<std::uint16_t>* offsets);

// The most entries an index block stream of streamSize bytes can hold, known from its size alone:
// every entry takes at least its NUL, a block's entries take at most 65535 bytes, and the zlib data
// after the 4-byte block header (2 bytes of its own header, 4 of checksum) cannot expand a byte of
// deflate data to more than 1032 (a 258-byte match coded in two bits is the densest deflate has).
std::uint32_t MostEntriesOfIndexBlockStream(std::uint64_t streamSize);

// Compressed at level 9. False when the data is larger than a block may be.
bool EncodeIndexBlock(std::uint16_t count, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream);
bool EncodeArticleBlock(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream);

} // namespace dengine
