// Makes the seed corpora of the fuzz targets from real data with the suite's own writers:
//   fuzz_make_seeds OUTPUT [DICTD_FOLDER]
// Slices of the dict-server dictionaries on the machine (DICTD_FOLDER, /usr/share/dictd by default)
// are built into dictionary files by dicbuild's builder, and each file gives seeds in the input
// format of each dictionary target: the whole file, its streams, its headwords with texts to look up,
// its article block. Texts of the entries become text files in the four encodings. Seeds go to
// OUTPUT/<target>/.
#include "Builder.h"
#include "Source.h"

#include "base/TextFile.h"
#include "base/Unicode.h"
#include "cfb/Storage.h"
#include "dictengine/BlockStream.h"
#include "dictengine/DictFormat.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct SourceDictionary {
    const char* name;
    dicbuild::EntryStyle style;
    std::uint16_t direction; // of the forward dictionary
    bool reverse;
};

const SourceDictionary kSources[] = {
    {"mueller7", dicbuild::EntryStyle::Mueller, 0x0102, false},
    {"mueller7", dicbuild::EntryStyle::Mueller, 0x0102, true},
    {"freedict-deu-rus", dicbuild::EntryStyle::FreeDict, 0x0402, false},
    {"freedict-fra-rus", dicbuild::EntryStyle::FreeDict, 0x0802, false},
};

int LanguageIndex(unsigned language) {
    for (int i = 0; i < 7; ++i)
        if (language == (1u << i))
            return i;
    return 0;
}

void WriteSeed(const fs::path& output, const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(output / target);
    std::ofstream(output / target / name, std::ios::binary) << bytes;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

bool ReadStream(cfb::Storage& storage, const wchar_t* name, std::vector<std::uint8_t>* bytes) {
    std::unique_ptr<cfb::Stream> stream;
    if (!cfb::Succeeded(storage.OpenStream(name, cfb::Mode::Read | cfb::Mode::ShareExclusive, &stream)))
        return false;
    cfb::ElementInfo info;
    stream->Stat(&info);
    bytes->resize(info.size);
    std::size_t read = 0;
    return cfb::Succeeded(stream->Read(bytes->data(), bytes->size(), &read)) && read == bytes->size();
}

// The seeds of one built dictionary file.
bool SeedsOfDictionary(const fs::path& file, std::uint16_t direction, const fs::path& output, const std::string& tag) {
    std::ifstream in(file, std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::unique_ptr<cfb::Storage> storage;
    std::vector<std::uint8_t> info, index, articles;
    if (!cfb::Succeeded(cfb::OpenRootStorage(ovrin::Utf8ToUtf16(file.string()),
                                             cfb::Mode::Read | cfb::Mode::ShareExclusive, &storage)) ||
        !ReadStream(*storage, L"0", &info) || !ReadStream(*storage, L"1", &index) ||
        !ReadStream(*storage, L"2", &articles))
        return false;
    std::uint16_t count = 0;
    std::vector<std::uint8_t> entries, block;
    if (!dengine::DecodeIndexBlock(index, &count, &entries) || !dengine::DecodeArticleBlock(articles, &block))
        return false;

    WriteSeed(output, "fuzz_dict_open", tag + "-file", "\x01" + whole);
    WriteSeed(output, "fuzz_dict_open", tag + "-streams",
              '\0' + Text(info) + "|#|" + Text(index) + "|#|" + Text(articles));
    WriteSeed(output, "fuzz_dict_article", tag, std::string(1, '\0') + Text(block));
    const int source = LanguageIndex(dengine::SourceLanguage(direction)),
              target = LanguageIndex(dengine::TargetLanguage(direction));
    WriteSeed(output, "fuzz_dictool_article", tag,
              std::string(1, static_cast<char>(source + 7 * target)) + std::string(1, '\0') + Text(block));

    // Headwords (display texts), then texts to look up and patterns.
    std::vector<std::string> words;
    for (std::size_t at = 0; at < entries.size();) {
        std::string entry(reinterpret_cast<const char*>(entries.data() + at));
        at += entry.size() + 1;
        if (!entry.empty() && static_cast<unsigned char>(entry[0]) < 0x20)
            entry.erase(0, 1);
        words.push_back(entry);
    }
    std::string search = {static_cast<char>(source), 48, 1};
    for (std::size_t i = 0; i < words.size(); ++i)
        search += (i > 0 ? "\n" : "") + words[i];
    if (words.size() > 4) {
        search += "\x01" + words[3] + "\x01" + words[4].substr(0, 2) + "\x01" + words[4].substr(0, 2) + "*" + "\x01?" +
                  "\x01*" + words[1].substr(1) + "\x01" + "zzz";
    }
    WriteSeed(output, "fuzz_dict_search", tag, search);
    return true;
}

// Text files of the entries' texts in every encoding, and one with every kind of line end.
void SeedsOfTexts(const std::vector<dicbuild::SourceEntry>& entries, const fs::path& output, const std::string& tag) {
    std::wstring text;
    for (const dicbuild::SourceEntry& entry : entries)
        text += ovrin::Utf8ToUtf16(entry.headword + "\n" + entry.body + "\n");
    text = text.substr(0, 3000);
    const struct {
        TextEncoding encoding;
        const char* name;
    } encodings[] = {
        {EncodingUtf8, "utf8"}, {EncodingUtf16LE, "utf16le"}, {EncodingUtf16BE, "utf16be"}, {EncodingAnsi, "ansi"}};
    fs::path scratch = output / "scratch.txt";
    for (const auto& [encoding, name] : encodings) {
        {
            CTextFileWrite writer(ovrin::Utf8ToUtf16(scratch.string()), encoding);
            writer.SetCodePage(1251);
            std::size_t start = 0;
            for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
                writer.WriteText(text.substr(start, end - start));
                writer.WriteLineEnd();
                start = end + 1;
            }
        }
        std::ifstream in(scratch, std::ios::binary);
        WriteSeed(output, "fuzz_textfile", tag + "-" + name,
                  std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    }
    std::string mixed = "\xEF\xBB\xBF" + ovrin::Utf16ToUtf8(text.substr(0, 400));
    for (std::size_t i = 0, n = 0; i < mixed.size(); ++i)
        if (mixed[i] == '\n' && ++n % 3 == 1)
            mixed.replace(i, 1, n % 2 ? "\r" : "\r\n");
    WriteSeed(output, "fuzz_textfile", tag + "-lineends", mixed);
    fs::remove(scratch);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds OUTPUT [DICTD_FOLDER]\n");
        return 2;
    }
    const fs::path output = argv[1];
    const fs::path dictd = argc > 2 ? argv[2] : "/usr/share/dictd";
    fs::create_directories(output);
    const fs::path scratch = output / "scratch.dic";
    int made = 0;
    for (const SourceDictionary& source : kSources) {
        std::vector<dicbuild::SourceEntry> all;
        dicbuild::Problems problems;
        std::string error;
        const std::string base = (dictd / source.name).string();
        if (!dicbuild::ReadSource(base + ".index", base + ".dict.dz", &all, &problems, &error)) {
            std::fprintf(stderr, "fuzz_make_seeds: %s: %s\n", source.name, error.c_str());
            continue;
        }
        for (int slice = 0; slice < 3 && all.size() > 40; ++slice) {
            std::size_t first = all.size() * static_cast<std::size_t>(slice) / 3;
            std::vector<dicbuild::SourceEntry> part(all.begin() + static_cast<long>(first),
                                                    all.begin() + static_cast<long>(first + 30));
            dicbuild::BuildOptions options;
            options.style = source.style;
            options.name = "Seed";
            options.direction = source.direction;
            options.reverse = source.reverse;
            dicbuild::BuildSummary summary;
            if (!dicbuild::BuildFromSource(part, options, ovrin::Utf8ToUtf16(scratch.string()), &summary, &error)) {
                std::fprintf(stderr, "fuzz_make_seeds: %s: %s\n", source.name, error.c_str());
                continue;
            }
            std::uint16_t direction = source.reverse ? dengine::MakeDirection(dengine::TargetLanguage(source.direction),
                                                                              dengine::SourceLanguage(source.direction))
                                                     : source.direction;
            std::string tag = std::string(source.name) + (source.reverse ? "-reverse-" : "-") + std::to_string(slice);
            if (SeedsOfDictionary(scratch, direction, output, tag))
                ++made;
            if (slice == 0 && !source.reverse)
                SeedsOfTexts(part, output, source.name);
        }
    }
    fs::remove(scratch);
    std::printf("fuzz_make_seeds: seeds of %d dictionaries in %s\n", made, output.string().c_str());
    return made > 0 ? 0 : 1;
}
