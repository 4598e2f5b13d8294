// The format's shared pieces: bounded walking and building of tag sequences, the French reflexive
// keys and the information stream's fixed header.
#include "dictengine/DictFormat.h"

#include <algorithm>
#include <cstring>

namespace dengine {

const char* WithoutFrenchReflexive(const char* text) {
    if (std::strncmp(text, "se ", 3) == 0)
        return text + 3;
    if (std::strncmp(text, "s'", 2) == 0)
        return text[2] == ' ' ? text + 3 : text + 2;
    return text;
}

bool TagWalker::Next(TagView& tag) {
    if (m_next >= m_end)
        return false;
    std::size_t left = static_cast<std::size_t>(m_end - m_next);
    std::uint8_t tagByte = m_next[0];
    std::size_t headerSize = tagByte >= kFirstContainerTag ? 3 : 2;
    std::size_t length = 0;
    if (left >= headerSize)
        length = tagByte >= kFirstContainerTag ? ReadBigEndian16(m_next + 1) : m_next[1];
    if (left < headerSize || length > left - headerSize) {
        m_next = m_end; // the rest cannot be trusted
        m_damaged = true;
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

bool AppendTag(std::string& sequence, std::uint8_t tag, const std::string& data) {
    bool container = tag >= kFirstContainerTag;
    if (data.size() > (container ? kMaxContainerData : kMaxLeafData))
        return false;
    sequence.push_back(static_cast<char>(tag));
    if (container)
        sequence.push_back(static_cast<char>(data.size() >> 8));
    sequence.push_back(static_cast<char>(data.size() & 0xFF));
    sequence += data;
    return true;
}

bool MakeContainer(const std::string& tags, std::string* container) {
    if (tags.size() > kMaxContainerData)
        return false;
    container->assign(1, static_cast<char>(tags.size() >> 8));
    container->push_back(static_cast<char>(tags.size() & 0xFF));
    *container += tags;
    return true;
}

std::string MakeArticle(const std::vector<std::pair<std::uint8_t, std::string>>& tags) {
    std::string body, article;
    for (const auto& [tag, data] : tags) {
        if (!AppendTag(body, tag, data))
            return std::string();
    }
    if (!MakeContainer(body, &article))
        return std::string();
    return article;
}

bool MakeInformationStream(const InformationStream& information, std::vector<std::uint8_t>* stream) {
    std::string trailer;
    if (information.name.size() > kNameSize || information.blockKeys.size() > 0xFFFF ||
        !MakeContainer(information.trailerTags, &trailer))
        return false;
    stream->assign(kHeaderOffset + kHeaderKeys, 0);
    std::copy(information.name.begin(), information.name.end(), stream->begin());
    std::uint8_t* header = stream->data() + kHeaderOffset;
    header[kHeaderVersion] = kFormatVersion;
    header[kHeaderType] = information.type;
    WriteBigEndian32(header + kHeaderHeadwordCount, information.headwordCount);
    WriteBigEndian16(header + kHeaderBlockCount, information.blockKeys.size());
    WriteBigEndian16(header + kHeaderDirection, information.direction);
    for (const std::string& key : information.blockKeys) {
        if (key.find('\0') != std::string::npos)
            return false;
        stream->insert(stream->end(), key.begin(), key.end());
        stream->push_back(0);
    }
    stream->insert(stream->end(), trailer.begin(), trailer.end());
    return true;
}

} // namespace dengine
