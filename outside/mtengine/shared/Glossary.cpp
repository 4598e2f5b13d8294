// Reading glossary files.
#include "Glossary.h"

#include "base/Unicode.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace mtengine {

namespace {

constexpr std::streamoff kMaxGlossaryBytes = 4 << 20;

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

bool ReadGlossary(const std::wstring& path, Plane source, Plane target, Glossary* glossary) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxGlossaryBytes)
        return false;
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(bytes.data(), size))
        return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    std::istringstream lines(bytes);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        std::string text = Trim(line);
        if (first && text.size() > 2 && text.front() == '[' && text.back() == ']') {
            glossary->displayName = ovrin::Utf8ToUtf16(text.substr(1, text.size() - 2));
            first = false;
            continue;
        }
        first = false;
        if (text.empty() || text.front() == '#')
            continue;
        std::size_t equals = text.find(" =");
        if (equals == std::string::npos || equals == 0)
            return false;
        std::string key = Lowercase(source, FromUtf8(source, Trim(text.substr(0, equals))));
        std::string value = FromUtf8(target, Trim(text.substr(equals + 2)));
        glossary->entries.insert_or_assign(std::move(key), std::move(value));
    }
    return true;
}

} // namespace mtengine
