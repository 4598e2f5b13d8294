// Reading a dictionary file's information and block counts for tools.
#include "dictengine/DictFile.h"
#include "dictengine/DictFormat.h"

#include "Engine.h"
#include "InfoStream.h"

namespace dengine {

bool ReadDictFileInfo(const std::wstring& path, DictFileInfo* info, std::string* error) {
    std::unique_ptr<cfb::Storage> storage;
    cfb::Status status = cfb::OpenRootStorage(path, cfb::Mode::Read | cfb::Mode::ShareExclusive, &storage);
    if (!cfb::Succeeded(status)) {
        *error = std::string("cannot open the file as a compound file: ") + cfb::StatusText(status);
        return false;
    }
    std::vector<std::uint8_t> stream;
    if (!ReadWholeStream(*storage, kInformationStreamName, &stream)) {
        *error = "the file has no readable information stream \"0\"";
        return false;
    }
    if (stream.size() < kMinimumInformationSize) {
        *error = "the information stream is shorter than 22 bytes";
        return false;
    }
    const std::uint8_t* header = stream.data() + kNameSize;
    std::size_t size = stream.size() - kNameSize;
    HeaderLayout layout;
    if (!ParseHeader(header, size, &layout)) {
        *error = "the block keys or the trailer run past the end of the information stream";
        return false;
    }
    info->name.assign(reinterpret_cast<const char*>(stream.data()), kNameSize);
    info->name.resize(info->name.find('\0') == std::string::npos ? kNameSize : info->name.find('\0'));
    info->version = header[kHeaderVersion];
    info->type = header[kHeaderType];
    info->headwordCount = ReadBigEndian32(header + kHeaderHeadwordCount);
    info->direction = ReadBigEndian16(header + kHeaderDirection);
    info->blockKeys.clear();
    for (std::uint32_t offset : layout.keyOffsets)
        info->blockKeys.emplace_back(reinterpret_cast<const char*>(header + offset));
    info->trailerTags.clear();
    TagWalker walker(header + layout.trailerTagsBegin, header + layout.trailerTagsEnd);
    TagView tag;
    while (walker.Next(tag))
        info->trailerTags.emplace_back(tag.tag, tag.length);
    info->hasCountTable = ReadBlockCountTable(header, layout, &info->blockCounts);
    if (!info->hasCountTable) {
        info->blockCounts.assign(layout.blockCount, 0);
        for (unsigned i = 0; i < layout.blockCount; ++i) {
            std::vector<std::uint8_t> block;
            if (!ReadWholeStream(*storage, BlockStreamName(i, 1), &block) || block.size() < 2) {
                *error = "index block stream " + std::to_string(2 * i + 1) + " is missing or too short";
                return false;
            }
            info->blockCounts[i] = ReadBigEndian16(block.data());
        }
    }
    std::uint64_t sum = 0;
    for (std::uint16_t count : info->blockCounts)
        sum += count;
    if (sum != info->headwordCount) {
        *error = "the block counts add up to " + std::to_string(sum) + " headwords, the header says " +
                 std::to_string(info->headwordCount);
        return false;
    }
    std::vector<std::uint64_t> streamSizes;
    if (!IndexBlockStreamSizes(*storage, layout.blockCount, &streamSizes)) {
        *error = "the file's directory cannot be listed";
        return false;
    }
    std::size_t overfull = FirstOverfullBlock(info->blockCounts, streamSizes);
    if (overfull != info->blockCounts.size()) {
        *error = "index block stream " + std::to_string(2 * overfull + 1) + " of " +
                 std::to_string(streamSizes[overfull]) + " bytes cannot hold the " +
                 std::to_string(info->blockCounts[overfull]) + " entries its count claims";
        return false;
    }
    return true;
}

} // namespace dengine
