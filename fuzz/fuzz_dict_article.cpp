// GetArticle, the walkers, Unabbreviate and ParseArticle on damaged articles: the input becomes the
// article block of a small dictionary (and its first part the abbreviation table), and every article
// of it is walked in every way, part by part, translation by translation and tag by tag. The same
// bytes are walked once more as a caller's container whose length field fits them.
#include "dictengine/BlockStream.h"
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void WalkTags(__DictHandle* handle, const unsigned char* container, int depth) {
    if (container == nullptr || depth > 8)
        return;
    for (unsigned char tag : {0x01, 0x02, 0x03, 0x08, 0x0A, 0x80, 0x90}) {
        for (const unsigned char* found = DEngine::FindTag(container, tag); found != nullptr;
             found = DEngine::FindNextTag(container, found)) {
            if (tag < 0x80)
                DEngine::Unabbreviate(handle, found);
            else
                WalkTags(handle, found + 1, depth + 1);
        }
    }
}

void WalkArticle(__DictHandle* handle, const unsigned char* article) {
    unsigned short parts = DEngine::GetSrcPartCount(article);
    for (unsigned short i = 0; i <= parts; ++i) {
        const unsigned char* part = DEngine::GetSrcPart(article, i);
        unsigned short translations = DEngine::GetTranslationCount(part);
        for (unsigned short j = 0; j <= translations; ++j)
            WalkTags(handle, DEngine::GetTranslation(part, j), 0);
        WalkTags(handle, part, 0);
    }
    if (DEngine::sArticle* model = DEngine::ParseArticle(article)) {
        DEngine::FreePtr(model->Pack());
        model->Free();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 60000)
        return 0;
    std::size_t split = data[0] % (size / 2 + 1);
    dengine::DictionaryDescription description;
    description.name = "F";
    description.direction = 0x0102;
    std::string abbreviations(reinterpret_cast<const char*>(data + 1), split);
    for (std::size_t i = 0; i + 1 < abbreviations.size() && i < 16; i += 2)
        description.abbreviations[static_cast<std::uint8_t>(abbreviations[i] & 0x3F)]
                                 [static_cast<std::uint8_t>(abbreviations[i + 1])] = abbreviations.substr(i, 5);
    std::vector<dengine::WriterEntry> entries;
    for (char c = 'a'; c <= 'h'; ++c)
        entries.push_back({std::string(1, c), "", dengine::MakeArticle({{0x01, "x"}})});
    dengine::StreamList streams;
    if (!dengine::BuildDictionaryStreams(description, entries, &streams, nullptr))
        return 0;
    std::vector<std::uint8_t> block(data + 1 + split, data + size);
    for (auto& [name, bytes] : streams) {
        if (name == L"2")
            dengine::EncodeArticleBlock(block, &bytes);
    }
    std::wstring path = fuzzing::Folder().File("article.dic");
    if (!dengine::WriteStreamFile(path, streams, nullptr))
        return 0;
    if (DEngine::AttachDictionary(path.c_str()) == 1) {
        __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
        for (unsigned long i = 0; handle != nullptr && i <= entries.size(); ++i) {
            const unsigned char* article = DEngine::GetArticle(handle, i);
            if (article != nullptr)
                WalkArticle(handle, article);
            // Pointers into the middle of the article, taken as containers, stay inside its block.
            std::size_t length = article != nullptr ? 2u + dengine::ReadBigEndian16(article) : 0;
            for (std::size_t offset = 1; offset < 16 && offset < length; ++offset)
                WalkTags(handle, article + offset, 0);
        }
    }
    DEngine::DoneDictEngine();
    // The bytes as a caller's own article: its length field says exactly how many there are.
    std::vector<std::uint8_t> own(2 + std::min<std::size_t>(block.size(), 0xFFFF));
    dengine::WriteBigEndian16(own.data(), own.size() - 2);
    if (own.size() > 2)
        std::memcpy(own.data() + 2, block.data(), own.size() - 2);
    WalkArticle(nullptr, own.data());
    return 0;
}
