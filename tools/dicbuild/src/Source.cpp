// Reading dict-server index and data files.
#include "Source.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace dicbuild {

namespace {

// The format's numbers: base64 digits, most significant first.
bool DecodeNumber(const std::string& digits, unsigned long long* value) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (digits.empty() || digits.size() > 10)
        return false;
    *value = 0;
    for (char c : digits) {
        std::size_t digit = alphabet.find(c);
        if (digit == std::string::npos)
            return false;
        *value = *value * 64 + digit;
    }
    return true;
}

// The whole data file; gzip (and dictzip, which is gzip) is inflated, anything else read as it is.
bool ReadData(const std::string& path, std::string* data, std::string* error) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open " + path;
        return false;
    }
    data->clear();
    char buffer[1 << 16];
    int got = 0;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0)
        data->append(buffer, static_cast<std::size_t>(got));
    int status = 0;
    const char* message = gzerror(file, &status);
    bool ok = got == 0 && (status == Z_OK || status == Z_STREAM_END);
    if (!ok)
        *error = "cannot read " + path + ": " + (message != nullptr ? message : "damaged data");
    gzclose(file);
    return ok;
}

} // namespace

unsigned Problems::Total() const {
    unsigned total = 0;
    for (const auto& [reason, count] : counts)
        total += count;
    return total;
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
        if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2))
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

bool ReadSource(const std::string& indexPath, const std::string& dataPath, std::vector<SourceEntry>* entries,
                Problems* problems, std::string* error) {
    std::ifstream index(indexPath, std::ios::binary);
    if (!index) {
        *error = "cannot open " + indexPath;
        return false;
    }
    std::string data;
    if (!ReadData(dataPath, &data, error))
        return false;
    entries->clear();
    std::string line;
    while (std::getline(index, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::size_t tab1 = line.find('\t');
        std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        unsigned long long offset = 0, length = 0;
        if (tab2 == std::string::npos || !DecodeNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), &offset) ||
            !DecodeNumber(line.substr(tab2 + 1), &length)) {
            problems->Add("damaged index line");
            continue;
        }
        std::string headword = line.substr(0, tab1);
        if (headword.rfind("00-database-", 0) == 0 || headword.rfind("00database", 0) == 0)
            continue; // the dictionary's own description, not a headword
        if (offset > data.size() || length > data.size() - offset) {
            problems->Add("entry past the end of the data");
            continue;
        }
        SourceEntry entry{headword, data.substr(offset, length)};
        if (!IsValidUtf8(entry.headword) || !IsValidUtf8(entry.body)) {
            problems->Add("invalid UTF-8");
            continue;
        }
        entries->push_back(std::move(entry));
    }
    return true;
}

} // namespace dicbuild
