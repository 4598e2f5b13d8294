// The dictionary file format, written down once for the engine, the writer and the tools: the
// stream names, the information stream's header offsets, the two direction encodings, the tag codes
// of articles and of the header's trailer, and the one bounded way to walk and to build tag bytes.
//
// A dictionary is a compound file. Stream "0" (the information stream) holds 12 name bytes and then
// the header; stream 2i+1 is index block i, stream 2i+2 its article block. All numbers are big-endian
// except the entry counts of the block-count table (low byte first).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dengine {

// --- Streams --------------------------------------------------------------------------------------

inline const wchar_t kInformationStreamName[] = L"0";
constexpr unsigned kIndexBlockStream = 1;   // the kind of BlockStreamName for an index block
constexpr unsigned kArticleBlockStream = 2; // and for an article block
// The name of the index (kind 1) or article (kind 2) stream of block i: the decimal 2i + kind.
inline std::wstring BlockStreamName(unsigned block, unsigned kind) {
    return std::to_wstring(2 * block + kind);
}

// --- The information stream -------------------------------------------------------------------------

constexpr std::size_t kNameSize = 12;               // name bytes before the header, not terminated
constexpr std::size_t kHeaderOffset = kNameSize;    // header offset k is stream offset k + 12
constexpr std::size_t kHeaderVersion = 0;           // 1 byte, 1 for every file here
constexpr std::size_t kHeaderType = 1;              // 1 byte, 4 for a user dictionary
constexpr std::size_t kHeaderHeadwordCount = 2;     // 4 bytes
constexpr std::size_t kHeaderBlockCount = 6;        // 2 bytes
constexpr std::size_t kHeaderDirection = 8;         // 2 bytes, the 16-bit direction code below
constexpr std::size_t kHeaderSourceLanguage = 8;    // its first byte is the source language
constexpr std::size_t kHeaderKeys = 10;             // block keys, each NUL-terminated, then the trailer
constexpr std::size_t kMinimumInformationSize = 22; // name and the fixed header, up to the direction
constexpr std::uint8_t kFormatVersion = 1;

// The information stream as the writer and the user dictionaries make it.
struct InformationStream {
    std::string name; // up to 12 bytes
    std::uint8_t type = 1;
    std::uint32_t headwordCount = 0;
    std::uint16_t direction = 0;
    std::vector<std::string> blockKeys; // the index entry that starts each block
    std::string trailerTags;            // the tags of the trailer container
};
// The stream's bytes; false when the name is longer than 12 bytes, a key holds a NUL, there are more
// than 65535 blocks or the trailer's tags are longer than 65535 bytes.
bool MakeInformationStream(const InformationStream& information, std::vector<std::uint8_t>* stream);

// The block-count table (trailer tag 0xCD): one 4-byte entry per block, the block's entry count at
// bytes 2 and 3, low byte first; bytes 0 and 1 are not used.
constexpr std::size_t kBlockCountEntrySize = 4;
inline std::uint16_t ReadBlockCountEntry(const std::uint8_t* entry) {
    return static_cast<std::uint16_t>(entry[2] | entry[3] << 8);
}
inline void WriteBlockCountEntry(std::uint8_t* entry, std::uint16_t count) {
    entry[2] = static_cast<std::uint8_t>(count & 0xFF);
    entry[3] = static_cast<std::uint8_t>(count >> 8);
}

// --- Directions ------------------------------------------------------------------------------------

// The 16-bit direction code of files and of the catalogue: source language << 8 | target language.
constexpr std::uint16_t MakeDirection(std::uint8_t source, std::uint8_t target) {
    return static_cast<std::uint16_t>(source << 8 | target);
}
constexpr std::uint8_t SourceLanguage(std::uint16_t direction) {
    return static_cast<std::uint8_t>(direction >> 8);
}
constexpr std::uint8_t TargetLanguage(std::uint16_t direction) {
    return static_cast<std::uint8_t>(direction & 0xFF);
}
// The 32-bit direction key of the dictionary program: target language << 16 | source language.
constexpr std::uint32_t DirectionKey(std::uint16_t direction) {
    return std::uint32_t(TargetLanguage(direction)) << 16 | SourceLanguage(direction);
}

// --- Tags ------------------------------------------------------------------------------------------

// Tag bytes below 0x80 are leaves (one length byte, up to 255 data bytes); 0x80 and above are
// containers (two length bytes, nested tags).
constexpr std::uint8_t kFirstContainerTag = 0x80;
constexpr std::size_t kMaxLeafData = 0xFF;
constexpr std::size_t kMaxContainerData = 0xFFFF;

// Article tags. Every text is in the source language but the translation text.
constexpr std::uint8_t kTagTranslationText = 0x01; // leaf of a translation
constexpr std::uint8_t kTagPartOfSpeech = 0x02;    // leaf of one byte, of a part or a translation
constexpr std::uint8_t kTagLabel = 0x03;           // leaf of a translation, shown in parentheses
constexpr std::uint8_t kTagNote = 0x08;            // first text after a part's part of speech (its transcription),
                                                   // or a text after a translation
constexpr std::uint8_t kTagLaterNote = 0x09;       // part: shown after the 0x0A text
constexpr std::uint8_t kTagPartNote = 0x0A;        // part: shown between the 0x08 and 0x09 texts
constexpr std::uint8_t kTagClosingNote = 0x0B;     // translation: shown last in its line
constexpr std::uint8_t kTagSourcePart = 0x80;      // container: one part of an article of several
constexpr std::uint8_t kTagTranslation = 0x90;     // container: one translation of a part

// Trailer tags: the abbreviation table of article tag t is tag t + 0xC0, each expansion a leaf whose
// tag is the abbreviation number; 0xCD is the block-count table.
constexpr std::uint8_t kAbbreviationTableBase = 0xC0;
constexpr std::uint8_t kTagBlockCountTable = 0xCD;

// --- Languages and paths ---------------------------------------------------------------------------

// Paths longer than this are refused, as the device's file system would.
constexpr std::size_t kMaxPathLength = 259;

// French reflexive verbs are listed under the verb: "se laver" and "s'asseoir" have the keys "laver"
// and "asseoir" ("s' " too). The text itself when it has no such prefix.
const char* WithoutFrenchReflexive(const char* text);

// --- Big-endian numbers ------------------------------------------------------------------------------

inline std::uint16_t ReadBigEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
inline void WriteBigEndian16(std::uint8_t* p, std::size_t value) {
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}
inline void WriteBigEndian32(std::uint8_t* p, std::uint32_t value) {
    WriteBigEndian16(p, value >> 16);
    WriteBigEndian16(p + 2, value & 0xFFFF);
}

// --- Walking tags ------------------------------------------------------------------------------------

struct TagView {
    std::uint8_t tag = 0;
    const std::uint8_t* data = nullptr; // the tag's own bytes, after its length
    std::size_t length = 0;
    bool IsContainer() const { return tag >= kFirstContainerTag; }
    // The tag's first byte (its tag byte) and the byte after its data.
    const std::uint8_t* Begin() const { return data - (IsContainer() ? 3 : 2); }
    const std::uint8_t* End() const { return data + length; }
};

// Walks the tags of one sequence [begin, end). Every walk is bounded by the data it was given: a
// tag whose header or length runs past the end ends the walk there, so damaged bytes are never read
// outside their buffer, and Damaged() tells that end from the plain one.
class TagWalker {
public:
    TagWalker(const std::uint8_t* begin, const std::uint8_t* end) : m_next(begin), m_end(end) {}

    // The next whole tag; false at the end of the sequence or at a tag that does not fit in it.
    bool Next(TagView& tag);
    bool Damaged() const { return m_damaged; }

private:
    const std::uint8_t* m_next;
    const std::uint8_t* m_end;
    bool m_damaged = false;
};

// A container body (2-byte length, then that many bytes of tags) starting at p, within [p, end).
// False when its length field or its tags would run past end.
bool ReadContainer(const std::uint8_t* p, const std::uint8_t* end, const std::uint8_t** tagsBegin,
                   const std::uint8_t** tagsEnd);

// The first tag of a sequence with the given tag byte, searched at its top level only.
bool FindTopLevelTag(const std::uint8_t* begin, const std::uint8_t* end, std::uint8_t tag, TagView& found);

// --- Building tags -------------------------------------------------------------------------------------

// Appends one tag to a sequence: a leaf (tag below 0x80, up to 255 data bytes) or a container (up to
// 65535 bytes of nested tags). False, with nothing appended, when the data is too long for the tag.
bool AppendTag(std::string& sequence, std::uint8_t tag, const std::string& data);

// A container body: the 2-byte length, then the tags. False when they are longer than 65535 bytes.
bool MakeContainer(const std::string& tags, std::string* container);

// An article (a container body) holding the given top-level tags, each (tag byte, data); empty when
// a tag's data is too long for it or the whole is longer than a container may be.
std::string MakeArticle(const std::vector<std::pair<std::uint8_t, std::string>>& tags);

} // namespace dengine
