// What an open storage or stream object holds: the document it belongs to, its element in the tree
// and what it may do. Shared by Storage.cpp and Stream.cpp.
#pragma once

#include "Document.h"
#include "cfb/Storage.h"

#include <exception>
#include <memory>
#include <new>

namespace cfb::detail {

struct StreamState {
    std::shared_ptr<Document> document;
    std::shared_ptr<Node> node;
    bool writable = false;
    std::uint64_t position = 0;

    Status CheckUsable() const { return document->closed || node->reverted ? Status::Reverted : Status::Ok; }
};

struct StorageState {
    std::shared_ptr<Document> document;
    bool isRoot = false;
    // A sub-storage's element: the node in the parent's tree (direct), or the private copy it works
    // on (transacted), whose original is base.
    std::shared_ptr<Node> node;
    std::shared_ptr<Node> base;
    bool writable = false;
    bool transacted = false;
    // Some enclosing storage keeps a transaction, so changes here do not go to the file directly;
    // for a transacted sub-storage, whether its parent is inside one.
    bool insideTransaction = false;
    bool parentInsideTransaction = false;
    int depth = 0;

    Node& Working() const { return isRoot ? *document->root : *node; }
    // A transacted sub-storage is also invalid once the element it copied has been dropped (its
    // parent reverted or released).
    Status CheckUsable() const {
        return document->closed || Working().reverted || (base && base->reverted) ? Status::Reverted : Status::Ok;
    }

    Status OpenStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream);
    Status CreateStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream);
    Status OpenStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage);
    Status CreateStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage);
    Status DestroyElement(std::wstring_view name);
    Status EnumElements(std::vector<ElementInfo>* elements) const;
    Status Stat(ElementInfo* info) const;
    Status Commit();
    Status Revert();
    void Release();

    static std::unique_ptr<Storage> MakeStorage(std::unique_ptr<StorageState> state);

private:
    Status CheckElementMode(Mode mode, bool creating) const;
    // The checks every open and create of an element starts with, in this order: the out-parameter,
    // this storage still usable, the mode, transacted where the element kind allows it, the name.
    Status CheckRequest(const void* out, Mode mode, bool creating, bool transactedAllowed,
                        std::wstring_view name) const;
    // A create may replace an existing element of that name only with Mode::Create, and never an open one.
    static Status CheckReplaceable(Node& parent, std::wstring_view name, Mode mode);
    std::unique_ptr<Storage> OpenedStorage(const std::shared_ptr<Node>& element, Mode mode) const;
};

// Runs body and turns an exception (an allocation failure) into a status, so that none leaves the
// library.
template <typename Body>
Status Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Status::InsufficientMemory;
    } catch (...) {
        return Status::InsufficientMemory;
    }
}

inline std::uint32_t Bits(Mode mode) {
    return static_cast<std::uint32_t>(mode);
}
constexpr std::uint32_t kAccessMask = 0x3;
constexpr std::uint32_t kShareMask = 0x70;
constexpr std::uint32_t kKnownModeBits = kAccessMask | kShareMask | 0x1000 | 0x10000;

} // namespace cfb::detail
