// The element tree held in memory for an open file: storages with their children in directory
// order, and streams whose bytes are either still in the file (read on demand through the image
// they came from) or in memory once written. Stream contents are shared between copies of a tree
// (transacted storages work on copies) and copied only when one side writes.
#pragma once

#include "Format.h"
#include "cfb/Storage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cfb::detail {

class Image;

// Nesting of storages deeper than this is refused, in files read and in storages created, which
// bounds the recursion of the code that walks trees.
constexpr int kMaxStorageDepth = 256;

// The bytes of one stream. A Content is never changed in its bytes while it is shared: a writer
// copies it first (see Node::WritableContent). Commit points it at its new place in the new file.
struct Content {
    std::uint64_t size = 0;
    bool inMemory = true;
    std::vector<std::uint8_t> bytes; // inMemory
    // Where the bytes are when they are in a file: the stream's first sector, in the mini stream or
    // in regular sectors, and (found on the first read) the sectors of its chain.
    std::shared_ptr<Image> image;
    std::uint32_t start = kEndOfChain;
    bool mini = false;
    std::vector<std::uint32_t> chain;
    bool chainKnown = false;

    // Reads size bytes at offset; offset + size must not pass the end of the stream.
    Status Read(std::uint64_t offset, void* buffer, std::size_t size);
    void PointAt(std::shared_ptr<Image> newImage, std::uint32_t newStart, bool inMiniStream);
};

struct Node {
    std::wstring name;
    std::wstring key; // upper-cased name, the sort and lookup key
    bool isStorage = false;
    std::array<std::uint8_t, 16> classId{};
    std::uint32_t stateBits = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t modifiedTime = 0;
    std::shared_ptr<Content> content;            // streams
    std::vector<std::shared_ptr<Node>> children; // storages, in directory order
    bool open = false;                           // an open object stands on this element
    bool reverted = false;                       // dropped by a revert or a release

    static std::shared_ptr<Node> MakeStorage(std::wstring_view name);
    static std::shared_ptr<Node> MakeStream(std::wstring_view name);

    std::shared_ptr<Node> Find(std::wstring_view childKey) const;
    void Insert(std::shared_ptr<Node> child); // replaces a child with the same key
    void Remove(std::wstring_view childKey);
    // The content, made private to this node and held in memory, ready to be changed.
    Status WritableContent(Content** content);
};

// A copy of the tree under node: new nodes, the same contents, nothing marked open.
std::shared_ptr<Node> CloneTree(const Node& node);
// Marks node and everything under it reverted.
void MarkReverted(Node& node);

} // namespace cfb::detail
