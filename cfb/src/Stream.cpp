// Stream objects: reading, writing, seeking and sizing one stream of an open storage.
#include "States.h"

#include <algorithm>
#include <cstring>

namespace cfb {

namespace {

// Larger streams are refused: version 3 files cannot hold them, and writes are kept in memory.
constexpr std::uint64_t kMaxStreamSize = 0x7FFFFFFF;

Status ResizeContent(detail::StreamState& state, std::uint64_t size, detail::Content** writable) {
    Status status = state.node->WritableContent(writable);
    if (!Succeeded(status))
        return status;
    (*writable)->bytes.resize(static_cast<std::size_t>(size));
    (*writable)->size = size;
    state.document->dirty = true;
    return Status::Ok;
}

} // namespace

Stream::Stream(std::unique_ptr<detail::StreamState> state) : m_state(std::move(state)) {}

Stream::~Stream() {
    if (!m_state->document->closed)
        m_state->node->open = false;
}

Status Stream::Read(void* buffer, std::size_t size, std::size_t* read) {
    return detail::Guarded([&] {
        if (read == nullptr || (buffer == nullptr && size > 0))
            return Status::InvalidPointer;
        *read = 0;
        Status status = m_state->CheckUsable();
        if (!Succeeded(status))
            return status;
        const std::uint64_t length = m_state->node->content->size;
        if (m_state->position >= length)
            return Status::Ok;
        std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, length - m_state->position));
        status = m_state->node->content->Read(m_state->position, buffer, count);
        if (!Succeeded(status))
            return status;
        m_state->position += count;
        *read = count;
        return Status::Ok;
    });
}

Status Stream::Write(const void* data, std::size_t size, std::size_t* written) {
    return detail::Guarded([&] {
        if (written != nullptr)
            *written = 0;
        if (data == nullptr && size > 0)
            return Status::InvalidPointer;
        Status status = m_state->CheckUsable();
        if (!Succeeded(status))
            return status;
        if (!m_state->writable)
            return Status::AccessDenied;
        if (size == 0)
            return Status::Ok;
        if (m_state->position > kMaxStreamSize || size > kMaxStreamSize - m_state->position)
            return Status::MediumFull;
        const std::uint64_t end = m_state->position + size;
        detail::Content* content = nullptr;
        status = ResizeContent(*m_state, std::max(end, m_state->node->content->size), &content);
        if (!Succeeded(status))
            return status;
        std::memcpy(content->bytes.data() + m_state->position, data, size);
        m_state->position = end;
        if (written != nullptr)
            *written = size;
        return Status::Ok;
    });
}

Status Stream::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) {
    return detail::Guarded([&] {
        Status status = m_state->CheckUsable();
        if (!Succeeded(status))
            return status;
        std::int64_t from = 0;
        switch (origin) {
        case SeekOrigin::Begin:
            break;
        case SeekOrigin::Current:
            from = static_cast<std::int64_t>(m_state->position);
            break;
        case SeekOrigin::End:
            from = static_cast<std::int64_t>(m_state->node->content->size);
            break;
        default:
            return Status::InvalidParameter;
        }
        if ((offset < 0 && from + offset < 0) || (offset > 0 && offset > INT64_MAX - from))
            return Status::InvalidFunction;
        m_state->position = static_cast<std::uint64_t>(from + offset);
        if (position != nullptr)
            *position = m_state->position;
        return Status::Ok;
    });
}

Status Stream::SetSize(std::uint64_t size) {
    return detail::Guarded([&] {
        Status status = m_state->CheckUsable();
        if (!Succeeded(status))
            return status;
        if (!m_state->writable)
            return Status::AccessDenied;
        if (size > kMaxStreamSize)
            return Status::MediumFull;
        if (size == m_state->node->content->size)
            return Status::Ok;
        detail::Content* content = nullptr;
        return ResizeContent(*m_state, size, &content);
    });
}

Status Stream::Stat(ElementInfo* info) const {
    return detail::Guarded([&] {
        if (info == nullptr)
            return Status::InvalidPointer;
        Status status = m_state->CheckUsable();
        if (!Succeeded(status))
            return status;
        info->name = m_state->node->name;
        info->type = ElementType::Stream;
        info->size = m_state->node->content->size;
        info->classId = m_state->node->classId;
        info->stateBits = m_state->node->stateBits;
        return Status::Ok;
    });
}

Status Stream::Commit() {
    return detail::Guarded([&] { return m_state->CheckUsable(); });
}

} // namespace cfb
