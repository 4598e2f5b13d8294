// dictool info and list: what a dictionary file holds, and the catalogue of a folder as the engine
// orders it.
#include "Commands.h"

#include "common/CodePage.h"
#include "common/Unicode.h"
#include "dictengine/DEngine.h"
#include "dictengine/DictFile.h"

#include <cstdio>

namespace dictool {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

} // namespace

std::string DictionaryText(const std::string& bytes, unsigned char language) {
    unsigned codePage = language == DEngine::kLangRussian ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern;
    std::string shown;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) {
            shown += "\\x" + Hex(static_cast<unsigned char>(c), 2).substr(2);
        } else {
            shown += ovrin::Utf16ToUtf8(ovrin::MultiByteToWide(codePage, std::string(1, c)));
        }
    }
    return shown;
}

std::string DirectionText(unsigned short direction) {
    std::string letters;
    letters.push_back(DEngine::LangToChar(static_cast<unsigned char>(direction >> 8)));
    letters.push_back(DEngine::LangToChar(static_cast<unsigned char>(direction & 0xFF)));
    return letters + " (" + Hex(direction, 4) + ")";
}

int Info(const std::wstring& path, std::ostream& out, std::ostream& err) {
    dengine::DictFileInfo info;
    std::string error;
    if (!dengine::ReadDictFileInfo(path, &info, &error)) {
        err << "dictool: " << ovrin::Utf16ToUtf8(path) << ": " << error << "\n";
        return 1;
    }
    unsigned char source = static_cast<unsigned char>(info.direction >> 8);
    out << "name: " << DictionaryText(info.name, source) << "\n";
    out << "type: " << unsigned(info.type) << (info.type == DEngine::kUserDictionaryType ? " (user dictionary)" : "")
        << "\n";
    out << "version: " << unsigned(info.version) << "\n";
    out << "direction: " << DirectionText(info.direction) << "\n";
    out << "headwords: " << info.headwordCount << "\n";
    out << "blocks: " << info.blockCounts.size()
        << (info.hasCountTable ? " (counts from the block-count table)" : " (counts from the block streams)") << "\n";
    for (std::size_t i = 0; i < info.blockCounts.size(); ++i) {
        out << "  block " << i << ": " << info.blockCounts[i] << " entries, key \""
            << DictionaryText(info.blockKeys[i], source) << "\"\n";
    }
    out << "trailer tags:";
    if (info.trailerTags.empty())
        out << " none";
    for (const auto& [tag, length] : info.trailerTags)
        out << " " << Hex(tag, 2) << " (" << length << " bytes)";
    out << "\n";
    return 0;
}

int List(const std::wstring& folder, std::ostream& out, std::ostream& err) {
    DEngine::InitDictEngine(folder.c_str());
    unsigned short directions = DEngine::GetDirectionCount();
    out << "directions:";
    for (unsigned short d = 0; d < directions; ++d)
        out << " " << DirectionText(DEngine::GetDirection(d)).substr(0, 2);
    out << "\n";
    for (unsigned short d = 0; d < directions; ++d) {
        unsigned short code = DEngine::GetDirection(d);
        out << DirectionText(code) << "\n";
        for (unsigned short i = 0; i < DEngine::GetDictionaryCount(d); ++i) {
            out << "  " << i << "  "
                << DictionaryText(DEngine::GetDictionaryName(d, i), static_cast<unsigned char>(code >> 8)) << "  type "
                << unsigned(DEngine::GetDictionaryType(d, i)) << "  handle "
                << reinterpret_cast<std::uintptr_t>(DEngine::GetDictionaryHandle(d, i)) << "  "
                << ovrin::Utf16ToUtf8(DEngine::GetDictionaryPath(d, i)) << "\n";
        }
    }
    DEngine::DoneDictEngine();
    if (directions == 0)
        err << "dictool: no dictionaries in " << ovrin::Utf16ToUtf8(folder) << "\n";
    return 0;
}

} // namespace dictool
