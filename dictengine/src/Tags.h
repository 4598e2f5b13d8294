// The tag encoding shared by the trailer container and by articles: leaf tags (tag byte below 0x80,
// one length byte) and container tags (0x80 and above, two length bytes, big-endian), laid end to
// end. Every walk is bounded by the data it was given: a tag whose length runs past the end ends the
// walk there, so damaged bytes are never read outside their buffer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dengine {

struct TagView {
    std::uint8_t tag = 0;
    const std::uint8_t* data = nullptr; // the tag's own bytes, after its length
    std::size_t length = 0;
    bool IsContainer() const { return tag >= 0x80; }
};

// Walks the tags of one sequence [begin, end).
class TagWalker {
public:
    TagWalker(const std::uint8_t* begin, const std::uint8_t* end) : m_next(begin), m_end(end) {}

    // The next whole tag; false at the end of the sequence or at a tag that does not fit in it.
    bool Next(TagView& tag);

private:
    const std::uint8_t* m_next;
    const std::uint8_t* m_end;
};

// A container (2-byte length, then that many bytes of tags) starting at p, within [p, end). False when
// its length field or its tags would run past end.
bool ReadContainer(const std::uint8_t* p, const std::uint8_t* end, const std::uint8_t** tagsBegin,
                   const std::uint8_t** tagsEnd);

// The first tag of a sequence with the given tag byte, searched at its top level only.
bool FindTopLevelTag(const std::uint8_t* begin, const std::uint8_t* end, std::uint8_t tag, TagView& found);

inline std::uint16_t ReadBigEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

} // namespace dengine
