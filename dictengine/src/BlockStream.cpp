// Compressing and decompressing block streams with zlib's single-call functions.
#include "dictengine/BlockStream.h"

#include "dictengine/DictFormat.h"

#include <cstring>

#include <zlib.h>

namespace dengine {

namespace {

bool Decompress(const std::uint8_t* compressed, std::size_t compressedSize, std::uint16_t size,
                std::vector<std::uint8_t>* data) {
    data->assign(size, 0);
    if (size == 0)
        return true;
    uLongf produced = size;
    if (uncompress(data->data(), &produced, compressed, static_cast<uLong>(compressedSize)) != Z_OK) {
        data->clear();
        return false;
    }
    data->resize(produced);
    return true;
}

bool Compress(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream) {
    if (data.size() > kMaxBlockSize)
        return false;
    if (data.empty())
        return true; // an empty block is its header alone
    std::size_t headerSize = stream->size();
    uLongf compressedSize = compressBound(static_cast<uLong>(data.size()));
    stream->resize(headerSize + compressedSize);
    if (compress2(stream->data() + headerSize, &compressedSize, data.data(), static_cast<uLong>(data.size()), 9) !=
        Z_OK)
        return false;
    stream->resize(headerSize + compressedSize);
    return true;
}

} // namespace

bool DecodeIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t* count, std::vector<std::uint8_t>* data) {
    if (stream.size() < 4)
        return false;
    *count = ReadBigEndian16(stream.data());
    if (*count == 0) {
        data->clear();
        return true;
    }
    return Decompress(stream.data() + 4, stream.size() - 4, ReadBigEndian16(stream.data() + 2), data);
}

bool HoldsEntries(const std::uint8_t* data, std::size_t size, std::uint16_t count,
                  std::vector<std::uint16_t>* offsets) {
    if (offsets != nullptr) {
        offsets->clear();
        offsets->reserve(count);
    }
    std::size_t at = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (at >= size)
            return false; // fewer entries than the count
        const void* nul = std::memchr(data + at, 0, size - at);
        if (nul == nullptr)
            return false; // an entry without its NUL
        if (offsets != nullptr)
            offsets->push_back(static_cast<std::uint16_t>(at));
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data) + 1;
    }
    return at == size; // more entries than the count otherwise
}

std::uint32_t MostEntriesOfIndexBlockStream(std::uint64_t streamSize) {
    constexpr std::uint64_t kFraming = 4 + 2 + 4; // block header, zlib header, Adler-32 checksum
    constexpr std::uint64_t kMostBytesPerDeflateByte = 1032;
    if (streamSize <= kFraming)
        return 0;
    std::uint64_t deflateBytes = streamSize - kFraming;
    if (deflateBytes >= kMaxBlockSize / kMostBytesPerDeflateByte + 1)
        return kMaxBlockSize;
    return static_cast<std::uint32_t>(deflateBytes * kMostBytesPerDeflateByte);
}

bool DecodeCountedIndexBlock(const std::vector<std::uint8_t>& stream, std::uint16_t count,
                             std::unique_ptr<std::uint8_t[]>* data, std::uint16_t* size,
                             std::vector<std::uint16_t>* offsets) {
    *size = 0;
    data->reset();
    offsets->clear();
    if (stream.size() < 4)
        return false;
    std::uint16_t own = ReadBigEndian16(stream.data());
    if (own != count && own != 0)
        return false;
    if (count == 0)
        return true;
    uLongf produced = ReadBigEndian16(stream.data() + 2);
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(produced == 0 ? 1 : produced);
    if (produced == 0 ||
        uncompress(buffer.get(), &produced, stream.data() + 4, static_cast<uLong>(stream.size() - 4)) != Z_OK ||
        !HoldsEntries(buffer.get(), produced, count, offsets))
        return false;
    *size = static_cast<std::uint16_t>(produced);
    *data = std::move(buffer);
    return true;
}

bool DecodeArticleBlock(const std::vector<std::uint8_t>& stream, std::vector<std::uint8_t>* data) {
    if (stream.size() < 2)
        return false;
    return Decompress(stream.data() + 2, stream.size() - 2, ReadBigEndian16(stream.data()), data);
}

bool EncodeIndexBlock(std::uint16_t count, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream) {
    stream->assign(4, 0);
    WriteBigEndian16(stream->data(), count);
    WriteBigEndian16(stream->data() + 2, data.size());
    return Compress(data, stream);
}

bool EncodeArticleBlock(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* stream) {
    stream->assign(2, 0);
    WriteBigEndian16(stream->data(), data.size());
    return Compress(data, stream);
}

} // namespace dengine
