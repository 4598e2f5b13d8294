// The second process of the interrupted-rewrite test:
//   dict_write_probe PATH TAG WORDS N
// writes a dictionary of WORDS headwords TAG00000, TAG00001, ... to PATH and, when N is not
// negative, ends the process abruptly once N bytes of the file have been written (exit 3), as a
// crash or a kill in the middle of a rebuild would. Exit 0 when the dictionary was written, 1 when
// writing failed, 2 on a bad command line.
#include "dictengine/DictWriter.h"

#include "IoFaults.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include "base/Unicode.h"
#endif

namespace {

int Run(const std::wstring& path, const std::string& tag, long words, long long faultAfter) {
    if (words < 0)
        return 2;
    std::vector<dengine::WriterEntry> entries;
    unsigned state = 12345;
    for (long i = 0; i < words; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%05ld", i);
        std::string word = tag + number;
        // Letters that compress poorly, so that the file is large enough to be cut in many places.
        std::string text = "article of " + word + " ";
        for (int k = 0; k < 60; ++k) {
            state = state * 1103515245u + 12345u;
            text.push_back(static_cast<char>('a' + (state >> 16) % 26));
        }
        entries.push_back({word, "", dengine::MakeArticle({{0x01, text}})});
    }
    dengine::DictionaryDescription description;
    description.name = tag;
    description.direction = 0x0102;
    if (faultAfter >= 0)
        cfb::detail::PlanWriteFault(faultAfter, true);
    std::string error;
    return dengine::WriteDictionary(path, description, entries, &error) ? 0 : 1;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    if (argc != 5)
        return 2;
    std::wstring tag = argv[2];
    return Run(argv[1], std::string(tag.begin(), tag.end()), std::wcstol(argv[3], nullptr, 10),
               std::wcstoll(argv[4], nullptr, 10));
}
#else
int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    return Run(ovrin::Utf8ToUtf16(argv[1]), argv[2], std::atol(argv[3]), std::atoll(argv[4]));
}
#endif
