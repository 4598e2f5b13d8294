// Bounded walking of tag sequences and containers.
#include "Tags.h"

namespace dengine {

bool TagWalker::Next(TagView& tag) {
    std::size_t left = static_cast<std::size_t>(m_end - m_next);
    if (m_next >= m_end || left < 2)
        return false;
    std::uint8_t tagByte = m_next[0];
    std::size_t headerSize = tagByte >= 0x80 ? 3 : 2;
    if (left < headerSize)
        return false;
    std::size_t length = tagByte >= 0x80 ? ReadBigEndian16(m_next + 1) : m_next[1];
    if (length > left - headerSize) {
        m_next = m_end; // the rest cannot be trusted
        return false;
    }
    tag.tag = tagByte;
    tag.data = m_next + headerSize;
    tag.length = length;
    m_next += headerSize + length;
    return true;
}

bool ReadContainer(const std::uint8_t* p, const std::uint8_t* end, const std::uint8_t** tagsBegin,
                   const std::uint8_t** tagsEnd) {
    if (p > end || end - p < 2)
        return false;
    std::size_t length = ReadBigEndian16(p);
    if (length > static_cast<std::size_t>(end - p) - 2)
        return false;
    *tagsBegin = p + 2;
    *tagsEnd = p + 2 + length;
    return true;
}

bool FindTopLevelTag(const std::uint8_t* begin, const std::uint8_t* end, std::uint8_t tag, TagView& found) {
    TagWalker walker(begin, end);
    TagView current;
    while (walker.Next(current)) {
        if (current.tag == tag) {
            found = current;
            return true;
        }
    }
    return false;
}

} // namespace dengine
