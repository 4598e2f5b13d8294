// Storage objects: opening and creating root storages on files, elements by name, enumeration,
// commit and revert of direct and transacted storages.
#include "States.h"

#include "Names.h"
#include "Writer.h"

namespace cfb {

using detail::Bits;
using detail::Document;
using detail::Node;
using detail::StorageState;

namespace detail {

std::unique_ptr<Storage> StorageState::MakeStorage(std::unique_ptr<StorageState> state) {
    return std::unique_ptr<Storage>(new Storage(std::move(state)));
}

Status StorageState::CheckElementMode(Mode mode, bool creating) const {
    const std::uint32_t bits = Bits(mode);
    if ((bits & ~kKnownModeBits) != 0 || (bits & kAccessMask) == kAccessMask)
        return Status::InvalidFlag;
    // Elements inside a storage are open once at a time, as on the platform.
    if ((bits & kShareMask) != Bits(Mode::ShareExclusive))
        return Status::InvalidFlag;
    if (!creating && (bits & Bits(Mode::Create)) != 0)
        return Status::InvalidFlag;
    const bool wantsWrite = (bits & kAccessMask) != 0;
    if (creating && !wantsWrite)
        return Status::InvalidFlag;
    if (wantsWrite && !writable)
        return Status::AccessDenied;
    return Status::Ok;
}

Status StorageState::CheckRequest(const void* out, Mode mode, bool creating, bool transactedAllowed,
                                  std::wstring_view name) const {
    if (out == nullptr)
        return Status::InvalidPointer;
    Status status = CheckUsable();
    if (Succeeded(status))
        status = CheckElementMode(mode, creating);
    if (!Succeeded(status))
        return status;
    if (!transactedAllowed && (Bits(mode) & Bits(Mode::Transacted)) != 0)
        return Status::InvalidFlag;
    if (!(creating ? IsCreatableName(name) : IsUsableName(name)))
        return Status::InvalidName;
    return Status::Ok;
}

Status StorageState::CheckReplaceable(Node& parent, std::wstring_view name, Mode mode) {
    if (std::shared_ptr<Node> existing = parent.Find(NameKey(name))) {
        if ((Bits(mode) & Bits(Mode::Create)) == 0)
            return Status::FileAlreadyExists;
        if (existing->open)
            return Status::AccessDenied;
    }
    return Status::Ok;
}

Status StorageState::OpenStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream) {
    Status status = CheckRequest(stream, mode, false, false, name);
    if (!Succeeded(status))
        return status;
    std::shared_ptr<Node> element = Working().Find(NameKey(name));
    if (!element || element->isStorage)
        return Status::FileNotFound;
    if (element->open)
        return Status::AccessDenied;
    auto state = std::make_unique<StreamState>();
    state->document = document;
    state->node = element;
    state->writable = (Bits(mode) & kAccessMask) != 0;
    element->open = true;
    stream->reset(new Stream(std::move(state)));
    return Status::Ok;
}

Status StorageState::CreateStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream) {
    Status status = CheckRequest(stream, mode, true, false, name);
    if (!Succeeded(status))
        return status;
    Node& storage = Working();
    status = CheckReplaceable(storage, name, mode);
    if (!Succeeded(status))
        return status;
    std::shared_ptr<Node> element = Node::MakeStream(name);
    auto state = std::make_unique<StreamState>();
    state->document = document;
    state->node = element;
    state->writable = true;
    storage.Insert(element);
    element->open = true;
    document->dirty = true;
    stream->reset(new Stream(std::move(state)));
    return Status::Ok;
}

std::unique_ptr<Storage> StorageState::OpenedStorage(const std::shared_ptr<Node>& element, Mode mode) const {
    auto state = std::make_unique<StorageState>();
    state->document = document;
    state->writable = (Bits(mode) & kAccessMask) != 0;
    state->transacted = (Bits(mode) & Bits(Mode::Transacted)) != 0;
    state->depth = depth + 1;
    if (state->transacted) {
        state->base = element;
        state->node = CloneTree(*element);
        state->insideTransaction = true;
        state->parentInsideTransaction = insideTransaction;
    } else {
        state->node = element;
        state->insideTransaction = insideTransaction;
    }
    element->open = true;
    return MakeStorage(std::move(state));
}

Status StorageState::OpenStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage) {
    Status status = CheckRequest(storage, mode, false, true, name);
    if (!Succeeded(status))
        return status;
    std::shared_ptr<Node> element = Working().Find(NameKey(name));
    if (!element || !element->isStorage)
        return Status::FileNotFound;
    if (element->open)
        return Status::AccessDenied;
    *storage = OpenedStorage(element, mode);
    return Status::Ok;
}

Status StorageState::CreateStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage) {
    Status status = CheckRequest(storage, mode, true, true, name);
    if (!Succeeded(status))
        return status;
    if (depth + 1 > kMaxStorageDepth)
        return Status::InvalidParameter;
    Node& parent = Working();
    status = CheckReplaceable(parent, name, mode);
    if (!Succeeded(status))
        return status;
    std::shared_ptr<Node> element = Node::MakeStorage(name);
    std::unique_ptr<Storage> opened = OpenedStorage(element, mode);
    parent.Insert(element);
    document->dirty = true;
    *storage = std::move(opened);
    return Status::Ok;
}

Status StorageState::DestroyElement(std::wstring_view name) {
    Status status = CheckUsable();
    if (!Succeeded(status))
        return status;
    if (!writable)
        return Status::AccessDenied;
    if (!IsUsableName(name))
        return Status::InvalidName;
    const std::wstring key = NameKey(name);
    std::shared_ptr<Node> element = Working().Find(key);
    if (!element)
        return Status::FileNotFound;
    if (element->open)
        return Status::AccessDenied;
    Working().Remove(key);
    document->dirty = true;
    return Status::Ok;
}

namespace {

ElementInfo InfoOf(const Node& node) {
    ElementInfo info;
    info.name = node.name;
    info.type = node.isStorage ? ElementType::Storage : ElementType::Stream;
    info.size = node.isStorage ? 0 : node.content->size;
    info.classId = node.classId;
    info.stateBits = node.stateBits;
    return info;
}

} // namespace

Status StorageState::EnumElements(std::vector<ElementInfo>* elements) const {
    if (elements == nullptr)
        return Status::InvalidPointer;
    Status status = CheckUsable();
    if (!Succeeded(status))
        return status;
    elements->clear();
    for (const auto& child : Working().children)
        elements->push_back(InfoOf(*child));
    return Status::Ok;
}

Status StorageState::Stat(ElementInfo* info) const {
    if (info == nullptr)
        return Status::InvalidPointer;
    Status status = CheckUsable();
    if (!Succeeded(status))
        return status;
    *info = InfoOf(Working());
    // The root storage reports its file, as the platform does.
    if (isRoot)
        info->name = document->path;
    return Status::Ok;
}

Status StorageState::Commit() {
    Status status = CheckUsable();
    if (!Succeeded(status))
        return status;
    if (!writable)
        return Status::Ok;
    if (isRoot)
        return document->dirty ? document->WriteOut() : Status::Ok;
    if (!transacted)
        return !insideTransaction && document->dirty ? document->WriteOut() : Status::Ok;
    // A transacted sub-storage hands its tree to its element in the parent.
    if (base->reverted)
        return Status::Reverted;
    std::shared_ptr<Node> copy = CloneTree(*node);
    base->children = std::move(copy->children);
    base->classId = node->classId;
    base->stateBits = node->stateBits;
    document->dirty = true;
    return parentInsideTransaction ? Status::Ok : document->WriteOut();
}

Status StorageState::Revert() {
    Status status = CheckUsable();
    if (!Succeeded(status))
        return status;
    if (!transacted)
        return Status::Ok;
    if (isRoot)
        return document->Reload();
    if (base->reverted)
        return Status::Reverted;
    std::shared_ptr<Node> fresh = CloneTree(*base);
    MarkReverted(*node);
    node = std::move(fresh);
    return Status::Ok;
}

void StorageState::Release() {
    if (document->closed)
        return;
    if (isRoot) {
        // A direct root's changes reach the file now at the latest.
        if (writable && !transacted && document->dirty)
            document->WriteOut();
        document->Close();
        return;
    }
    if (transacted)
        base->open = false;
    else
        node->open = false;
}

} // namespace detail

Storage::Storage(std::unique_ptr<detail::StorageState> state) : m_state(std::move(state)) {}

Storage::~Storage() {
    detail::Guarded([this] {
        m_state->Release();
        return Status::Ok;
    });
}

Status Storage::OpenStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream) {
    return detail::Guarded([&] { return m_state->OpenStream(name, mode, stream); });
}
Status Storage::OpenStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage) {
    return detail::Guarded([&] { return m_state->OpenStorage(name, mode, storage); });
}
Status Storage::CreateStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream) {
    return detail::Guarded([&] { return m_state->CreateStream(name, mode, stream); });
}
Status Storage::CreateStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage) {
    return detail::Guarded([&] { return m_state->CreateStorage(name, mode, storage); });
}
Status Storage::DestroyElement(std::wstring_view name) {
    return detail::Guarded([&] { return m_state->DestroyElement(name); });
}
Status Storage::EnumElements(std::vector<ElementInfo>* elements) const {
    return detail::Guarded([&] { return m_state->EnumElements(elements); });
}
Status Storage::Stat(ElementInfo* info) const {
    return detail::Guarded([&] { return m_state->Stat(info); });
}
Status Storage::Commit() {
    return detail::Guarded([&] { return m_state->Commit(); });
}
Status Storage::Revert() {
    return detail::Guarded([&] { return m_state->Revert(); });
}

namespace {

// The share mode of a root open. Without a share value the platform's default applies (others may
// open too); deny-read alone is kept as strictly as exclusive.
detail::FileIo::Share ShareOf(std::uint32_t bits) {
    switch (bits & detail::kShareMask) {
    case 0x10:
    case 0x30:
        return detail::FileIo::Share::Exclusive;
    case 0x20:
        return detail::FileIo::Share::DenyWrite;
    default:
        return detail::FileIo::Share::DenyNone;
    }
}

std::unique_ptr<StorageState> RootState(std::shared_ptr<Document> document) {
    auto state = std::make_unique<StorageState>();
    state->isRoot = true;
    state->writable = document->writable;
    state->transacted = document->transacted;
    state->insideTransaction = document->transacted;
    state->document = std::move(document);
    return state;
}

} // namespace

Status OpenRootStorage(std::wstring_view path, Mode mode, std::unique_ptr<Storage>* storage) {
    return detail::Guarded([&] {
        if (storage == nullptr)
            return Status::InvalidPointer;
        const std::uint32_t bits = Bits(mode);
        if ((bits & ~detail::kKnownModeBits) != 0 || (bits & detail::kAccessMask) == detail::kAccessMask ||
            (bits & Bits(Mode::Create)) != 0 || (bits & detail::kShareMask) > 0x40)
            return Status::InvalidFlag;
        const bool writable = (bits & detail::kAccessMask) != 0;
        const detail::FileIo::Share share = ShareOf(bits);
        // Writers hold the file alone: commit replaces the file, which others could not follow.
        if (writable && share != detail::FileIo::Share::Exclusive)
            return Status::InvalidFlag;
        if (path.empty())
            return Status::PathNotFound;

        auto document = std::make_shared<Document>();
        document->path = path;
        document->writable = writable;
        document->transacted = (bits & Bits(Mode::Transacted)) != 0;
        Status status = detail::FileIo::Open(
            document->path, writable ? detail::FileIo::Access::ReadWrite : detail::FileIo::Access::Read, share,
            &document->file);
        if (!Succeeded(status))
            return status;
        if (writable)
            detail::FileIo::RemoveStaleBeside(document->path);
        status = detail::Image::Load(document->file, &document->image, &document->root);
        if (!Succeeded(status)) {
            document->Close();
            return status;
        }
        document->sectorSize = document->image->SectorSize();
        *storage = StorageState::MakeStorage(RootState(std::move(document)));
        return Status::Ok;
    });
}

Status CreateRootStorage(std::wstring_view path, Mode mode, std::unique_ptr<Storage>* storage, SectorSize sectorSize) {
    return detail::Guarded([&] {
        if (storage == nullptr)
            return Status::InvalidPointer;
        const std::uint32_t bits = Bits(mode);
        if ((bits & ~detail::kKnownModeBits) != 0 || (bits & detail::kAccessMask) == detail::kAccessMask ||
            (bits & detail::kAccessMask) == 0 || (bits & detail::kShareMask) != Bits(Mode::ShareExclusive))
            return Status::InvalidFlag;
        if (sectorSize != SectorSize::Bytes512 && sectorSize != SectorSize::Bytes4096)
            return Status::InvalidParameter;
        if (path.empty())
            return Status::PathNotFound;

        auto document = std::make_shared<Document>();
        document->path = path;
        document->writable = true;
        document->transacted = (bits & Bits(Mode::Transacted)) != 0;
        document->sectorSize = static_cast<std::uint32_t>(sectorSize);
        document->root = Node::MakeStorage(L"Root Entry");
        const bool replace = (bits & Bits(Mode::Create)) != 0;
        if (replace && document->transacted) {
            // A transacted create keeps an existing file whole until its first commit replaces it,
            // so that an interrupted or failed rewrite never costs the old file.
            Status held = detail::FileIo::Open(document->path, detail::FileIo::Access::ReadWrite,
                                               detail::FileIo::Share::Exclusive, &document->file);
            if (Succeeded(held)) {
                detail::FileIo::RemoveStaleBeside(document->path);
                document->replacesOnCommit = true;
                document->dirty = true;
                *storage = StorageState::MakeStorage(RootState(std::move(document)));
                return Status::Ok;
            }
            if (held != Status::FileNotFound)
                return held;
        }
        Status status = detail::FileIo::Create(document->path, replace, &document->file);
        if (!Succeeded(status))
            return status;
        // The new file holds an empty compound file from the start, so that it is valid even when
        // nothing is ever committed to it.
        std::vector<detail::Placement> placements;
        status = detail::WriteCompoundFile(*document->root, document->sectorSize, *document->file, &placements);
        if (Succeeded(status))
            status = document->file->Flush();
        std::shared_ptr<Node> readBack;
        if (Succeeded(status))
            status = detail::Image::Load(document->file, &document->image, &readBack);
        if (!Succeeded(status)) {
            document->file->Discard();
            return status;
        }
        *storage = StorageState::MakeStorage(RootState(std::move(document)));
        return Status::Ok;
    });
}

} // namespace cfb
