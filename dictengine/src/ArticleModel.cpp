// The editable article model: growing and shrinking its arrays, finding entries, packing it into
// article bytes and freeing it. Memory comes from malloc, so that DEngine::FreePtr frees what Pack
// hands out. Packing refuses what its length fields cannot hold instead of writing a cut length.
#include "dictengine/Article.h"
#include "dictengine/DictFormat.h"

#include <cstdlib>
#include <cstring>

namespace {

using dengine::kMaxLeafData;
using dengine::kTagPartOfSpeech;
using dengine::kTagSourcePart;
constexpr std::size_t kMaxPacked = dengine::kMaxContainerData;

// Grows a malloc'd array by one element; the old array stays valid on failure.
template <typename T>
T* Grow(T* items, unsigned short count) {
    return static_cast<T*>(std::realloc(static_cast<void*>(items), (std::size_t(count) + 1) * sizeof(T)));
}

// Removes element at from an array of count elements by moving the later ones down.
template <typename T>
void RemoveAt(T* items, unsigned short count, std::size_t at) {
    for (std::size_t i = at; i + 1 < count; ++i)
        items[i] = items[i + 1];
}

std::size_t PackedSize(const DEngine::sTagStructure& sequence);

// 0 when the entry cannot be packed.
std::size_t PackedSize(const DEngine::sTagEntry& entry) {
    if (entry.IsContainer()) {
        std::size_t children = PackedSize(entry.children);
        return children == 0 || children + 1 > kMaxPacked ? 0 : children + 1;
    }
    return entry.length > kMaxLeafData ? 0 : std::size_t(entry.length) + 2;
}

std::size_t PackedSize(const DEngine::sTagStructure& sequence) {
    std::size_t total = 2;
    for (unsigned short i = 0; i < sequence.count; ++i) {
        std::size_t size = PackedSize(sequence.items[i]);
        if (size == 0)
            return 0;
        total += size;
        if (total > kMaxPacked)
            return 0;
    }
    return total;
}

} // namespace

namespace DEngine {

sTagEntry* sTagStructure::AddEntry(unsigned char tag) {
    sTagEntry* grown = Grow(items, count);
    if (grown == nullptr)
        return nullptr;
    items = grown;
    sTagEntry& entry = items[count++];
    entry.tag = tag;
    entry.length = 0;
    if (entry.IsContainer()) {
        entry.children.count = 0;
        entry.children.items = nullptr;
    } else {
        entry.data = nullptr;
    }
    return &entry;
}

void sTagStructure::DeleteEntry(sTagEntry* entry) {
    if (entry == nullptr || entry < items || entry >= items + count)
        return;
    RemoveAt(items, count, static_cast<std::size_t>(entry - items));
    --count;
    if (count == 0) {
        std::free(items);
        items = nullptr;
    }
}

sTagEntry* sTagStructure::FindEntry(unsigned char tag) {
    for (unsigned short i = 0; i < count; ++i) {
        if (items[i].tag == tag)
            return &items[i];
    }
    return nullptr;
}

sTagEntry* sTagStructure::FindNextEntry(sTagEntry* entry) {
    if (entry == nullptr || entry < items || entry >= items + count)
        return nullptr;
    for (sTagEntry* next = entry + 1; next < items + count; ++next) {
        if (next->tag == entry->tag)
            return next;
    }
    return nullptr;
}

unsigned short sTagStructure::GetLength() {
    return static_cast<unsigned short>(PackedSize(*this));
}

unsigned short sTagStructure::Pack(unsigned char* out) {
    std::size_t total = PackedSize(*this);
    if (total == 0 || out == nullptr)
        return 0;
    std::size_t offset = 2;
    for (unsigned short i = 0; i < count; ++i)
        offset += items[i].Pack(out + offset);
    dengine::WriteBigEndian16(out, offset - 2);
    return static_cast<unsigned short>(offset);
}

void sTagStructure::Free() {
    for (unsigned short i = 0; i < count; ++i)
        items[i].Free();
    std::free(items);
    items = nullptr;
    count = 0;
}

sTagStructure& sTagStructure::operator=(const sTagStructure& other) {
    count = other.count;
    items = other.items;
    return *this;
}

void sTagEntry::SetData(unsigned char* bytes, unsigned short n) {
    if (IsContainer() || n > kMaxLeafData || (bytes == nullptr && n > 0))
        return;
    unsigned char* copy = nullptr;
    if (n > 0) {
        copy = static_cast<unsigned char*>(std::malloc(n));
        if (copy == nullptr)
            return;
        std::memcpy(copy, bytes, n);
    }
    std::free(data);
    data = copy;
    length = n;
}

unsigned short sTagEntry::GetLength() {
    return static_cast<unsigned short>(PackedSize(*this));
}

unsigned short sTagEntry::Pack(unsigned char* out) {
    std::size_t size = PackedSize(*this);
    if (size == 0 || out == nullptr)
        return 0;
    out[0] = tag;
    if (IsContainer())
        return static_cast<unsigned short>(children.Pack(out + 1) + 1);
    out[1] = static_cast<unsigned char>(length);
    if (length > 0)
        std::memcpy(out + 2, data, length);
    return static_cast<unsigned short>(size);
}

void sTagEntry::Free() {
    if (IsContainer()) {
        children.Free();
    } else {
        std::free(data);
        data = nullptr;
        length = 0;
    }
}

sTagEntry& sTagEntry::operator=(const sTagEntry& other) {
    tag = other.tag;
    length = other.length;
    // The buffer or the children are shared, not copied.
    if (other.IsContainer()) {
        children.count = other.children.count;
        children.items = other.children.items;
    } else {
        data = other.data;
    }
    return *this;
}

sArticle* sArticle::New() {
    auto* article = static_cast<sArticle*>(std::malloc(sizeof(sArticle)));
    if (article != nullptr) {
        article->count = 0;
        article->items = nullptr;
    }
    return article;
}

sTagStructure* sArticle::AddPart(unsigned char partOfSpeech) {
    sTagStructure* grown = Grow(items, count);
    if (grown == nullptr)
        return nullptr;
    items = grown;
    sTagStructure& part = items[count];
    part.count = 0;
    part.items = nullptr;
    sTagEntry* code = part.AddEntry(kTagPartOfSpeech);
    if (code == nullptr)
        return nullptr;
    code->SetData(&partOfSpeech, 1);
    if (code->length != 1) {
        part.Free();
        return nullptr;
    }
    ++count;
    return &part;
}

void sArticle::DeletePart(sTagStructure* part) {
    if (part == nullptr || part < items || part >= items + count)
        return;
    RemoveAt(items, count, static_cast<std::size_t>(part - items));
    --count;
    if (count == 0) {
        std::free(items);
        items = nullptr;
    }
}

sTagStructure* sArticle::FindPart(unsigned char partOfSpeech) {
    for (unsigned short i = 0; i < count; ++i) {
        sTagEntry* code = items[i].FindEntry(kTagPartOfSpeech);
        if (code != nullptr && code->length > 0 && code->data[0] == partOfSpeech)
            return &items[i];
    }
    return nullptr;
}

unsigned char* sArticle::Pack() {
    if (count == 1) {
        std::size_t size = PackedSize(items[0]);
        if (size == 0)
            return nullptr;
        auto* out = static_cast<unsigned char*>(std::malloc(size));
        if (out != nullptr)
            items[0].Pack(out);
        return out;
    }
    // Each part becomes a 0x80 container: its tag byte, then the packed part with its length.
    std::size_t total = 0;
    for (unsigned short i = 0; i < count; ++i) {
        std::size_t size = PackedSize(items[i]);
        if (size == 0)
            return nullptr;
        total += size + 1;
        if (total > kMaxPacked)
            return nullptr;
    }
    auto* out = static_cast<unsigned char*>(std::malloc(total + 2));
    if (out == nullptr)
        return nullptr;
    std::size_t offset = 2;
    for (unsigned short i = 0; i < count; ++i) {
        out[offset] = kTagSourcePart;
        offset += 1 + items[i].Pack(out + offset + 1);
    }
    dengine::WriteBigEndian16(out, total);
    return out;
}

void sArticle::Free() {
    for (unsigned short i = 0; i < count; ++i)
        items[i].Free();
    std::free(items);
    std::free(this);
}

sArticle& sArticle::operator=(const sArticle& other) {
    count = other.count;
    items = other.items;
    return *this;
}

} // namespace DEngine
