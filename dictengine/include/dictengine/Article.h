// The editable model of an article: its source parts, each a sequence of tags, each tag a leaf with
// up to 255 data bytes or a container with nested tags. Made by DEngine::ParseArticle or
// sArticle::New, turned back into article bytes by sArticle::Pack. Plain data owned by its creator.
#pragma once

#include "dictengine/Export.h"

namespace DEngine {

struct sTagEntry;

// A tag sequence.
struct DENGINE_API sTagStructure {
    unsigned short count; // number of entries
    sTagEntry* items;     // count entries

    // Appends an entry with tag, length 0 and no data or no children; the pointer stays valid until
    // the next addition to or removal from this list. Null when memory runs out.
    sTagEntry* AddEntry(unsigned char tag);
    // Removes the entry from the list without freeing what it owns.
    void DeleteEntry(sTagEntry* entry);
    // The first entry with tag, top level only; the next one after entry with the same tag.
    sTagEntry* FindEntry(unsigned char tag);
    sTagEntry* FindNextEntry(sTagEntry* entry);
    // Packed size: the 2-byte length and the packed entries. 0 when that does not fit in 16 bits, or
    // an entry cannot be packed.
    unsigned short GetLength();
    // Writes the 2-byte big-endian length and the entries; returns the bytes written, GetLength().
    // Writes nothing and returns 0 when the sequence cannot be packed.
    unsigned short Pack(unsigned char* out);
    // Frees every entry's data or children and the entry array, not the record itself.
    void Free();
    // Copies the fields as they are: afterwards both records share the entries.
    sTagStructure() = default;
    sTagStructure(const sTagStructure&) = default;
    sTagStructure& operator=(const sTagStructure& other);
};

// One tag: a leaf (tag byte below 0x80) with data, or a container with children.
struct DENGINE_API sTagEntry {
    unsigned char tag;
    unsigned short length; // leaf: bytes of data; container: length read from the bytes, 0 when made here
    union {
        unsigned char* data;    // leaf: owned buffer of length bytes, not NUL-terminated, or null
        sTagStructure children; // container: the nested entries
    };

    bool IsContainer() const { return tag >= 0x80; }
    // Replaces the data by a copy of n bytes. More than 255 bytes cannot be packed and are refused:
    // the entry is left as it was.
    void SetData(unsigned char* bytes, unsigned short n);
    // Packed size: length + 2 for a leaf, the children's packed size + 1 for a container; 0 when it
    // cannot be packed (a leaf over 255 bytes, children too large).
    unsigned short GetLength();
    unsigned short Pack(unsigned char* out);
    // Frees the data (leaf) or the children's entries (container).
    void Free();
    // Copies the fields as they are: afterwards both records share the buffer or the children.
    sTagEntry() = default;
    sTagEntry(const sTagEntry&) = default;
    sTagEntry& operator=(const sTagEntry& other);
};

// An article: one tag sequence per source part.
struct DENGINE_API sArticle {
    unsigned short count; // number of parts
    sTagStructure* items; // count parts

    // A new empty article; freed with Free. Null when memory runs out.
    static sArticle* New();
    // Appends a part whose only entry is a 0x02 leaf holding partOfSpeech; returns it (valid until the
    // next addition or removal). Null when memory runs out.
    sTagStructure* AddPart(unsigned char partOfSpeech);
    // Removes the part from the list without freeing its entries.
    void DeletePart(sTagStructure* part);
    // The first part whose first 0x02 entry has data beginning with partOfSpeech.
    sTagStructure* FindPart(unsigned char partOfSpeech);
    // A new buffer (freed with DEngine::FreePtr) holding the article bytes: one part is packed alone,
    // any other number as 0x80 containers. Null when the article cannot be packed.
    unsigned char* Pack();
    // Frees every part, the part array and the record itself.
    void Free();
    sArticle() = default;
    sArticle(const sArticle&) = default;
    sArticle& operator=(const sArticle& other);
};

} // namespace DEngine
