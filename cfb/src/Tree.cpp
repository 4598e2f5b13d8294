// The in-memory element tree: lookups in directory order, copies for transactions, and the
// copy-on-write of stream contents.
#include "Tree.h"

#include "Image.h"
#include "Names.h"

#include <algorithm>

namespace cfb::detail {

Status Content::Read(std::uint64_t offset, void* buffer, std::size_t size) {
    if (size == 0)
        return Status::Ok;
    if (offset > this->size || size > this->size - offset)
        return Status::InvalidParameter;
    if (inMemory) {
        std::copy_n(bytes.data() + offset, size, static_cast<std::uint8_t*>(buffer));
        return Status::Ok;
    }
    if (!image)
        return Status::Reverted;
    return image->ReadContent(*this, offset, buffer, size);
}

void Content::PointAt(std::shared_ptr<Image> newImage, std::uint32_t newStart, bool inMiniStream) {
    image = std::move(newImage);
    start = newStart;
    mini = inMiniStream;
    inMemory = false;
    chain.clear();
    chain.shrink_to_fit();
    chainKnown = false;
    bytes.clear();
    bytes.shrink_to_fit();
}

std::shared_ptr<Node> Node::MakeStorage(std::wstring_view name) {
    auto node = std::make_shared<Node>();
    node->name = name;
    node->key = NameKey(name);
    node->isStorage = true;
    return node;
}

std::shared_ptr<Node> Node::MakeStream(std::wstring_view name) {
    auto node = std::make_shared<Node>();
    node->name = name;
    node->key = NameKey(name);
    node->content = std::make_shared<Content>();
    return node;
}

namespace {

template <typename Children>
auto LowerBound(Children& children, std::wstring_view key) {
    return std::lower_bound(children.begin(), children.end(), key,
                            [](const std::shared_ptr<Node>& child, std::wstring_view wanted) {
                                return CompareNameKeys(child->key, wanted) < 0;
                            });
}

} // namespace

std::shared_ptr<Node> Node::Find(std::wstring_view childKey) const {
    auto it = LowerBound(children, childKey);
    if (it != children.end() && CompareNameKeys((*it)->key, childKey) == 0)
        return *it;
    return nullptr;
}

void Node::Insert(std::shared_ptr<Node> child) {
    auto it = LowerBound(children, child->key);
    if (it != children.end() && CompareNameKeys((*it)->key, child->key) == 0)
        *it = std::move(child);
    else
        children.insert(it, std::move(child));
}

void Node::Remove(std::wstring_view childKey) {
    auto it = LowerBound(children, childKey);
    if (it != children.end() && CompareNameKeys((*it)->key, childKey) == 0)
        children.erase(it);
}

Status Node::WritableContent(Content** writable) {
    if (!content->inMemory || content.use_count() > 1) {
        auto copy = std::make_shared<Content>();
        copy->size = content->size;
        copy->bytes.resize(static_cast<std::size_t>(content->size));
        Status status = content->Read(0, copy->bytes.data(), copy->bytes.size());
        if (!Succeeded(status))
            return status;
        content = std::move(copy);
    }
    *writable = content.get();
    return Status::Ok;
}

std::shared_ptr<Node> CloneTree(const Node& node) {
    auto copy = std::make_shared<Node>();
    copy->name = node.name;
    copy->key = node.key;
    copy->isStorage = node.isStorage;
    copy->classId = node.classId;
    copy->stateBits = node.stateBits;
    copy->creationTime = node.creationTime;
    copy->modifiedTime = node.modifiedTime;
    copy->content = node.content;
    copy->children.reserve(node.children.size());
    for (const auto& child : node.children)
        copy->children.push_back(CloneTree(*child));
    return copy;
}

void MarkReverted(Node& node) {
    node.reverted = true;
    for (const auto& child : node.children)
        MarkReverted(*child);
}

} // namespace cfb::detail
