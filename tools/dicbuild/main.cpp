// dicbuild: makes a dictionary file from a dictionary in the dict-server format.
//   dicbuild [--style mueller|freedict] [--reverse] --name NAME --direction XY INDEX DATA OUTPUT
// XY are the language letters of the forward dictionary (ER for English-Russian); with --reverse the
// output is the dictionary of the opposite direction.
#include "Builder.h"

#include "base/Unicode.h"
#include "dictengine/DEngine.h"
#include "dictengine/DictFormat.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

int Usage() {
    std::fprintf(stderr, "usage: dicbuild [--style mueller|freedict] [--reverse] --name NAME --direction XY "
                         "INDEX DATA OUTPUT\n");
    return 2;
}

bool g_terminal = false;

void ShowProgress(std::size_t done, std::size_t total) {
    if (!g_terminal || total == 0)
        return;
    int filled = static_cast<int>(40.0 * static_cast<double>(done) / static_cast<double>(total));
    std::fprintf(stderr, "\r[%-40s] %3zu%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 done * 100 / total);
    std::fflush(stderr);
}

void PrintList(const char* what, const dicbuild::HeadwordList& list) {
    if (list.count == 0)
        return;
    std::printf("  %u %s:", list.count, what);
    for (std::size_t i = 0; i < list.first.size(); ++i)
        std::printf("%s \"%s\"", i == 0 ? "" : ",", list.first[i].c_str());
    std::printf("%s\n", list.count > list.first.size() ? ", ..." : "");
}

void PrintSummary(const dicbuild::BuildSummary& summary) {
    for (const auto& [reason, count] : summary.problems.counts)
        std::printf("  %u: %s\n", count, reason.c_str());
    if (summary.measured && summary.sourceWords > 0) {
        std::printf("  Cyrillic words of the source in the articles: %llu of %llu (%.2f%%)\n", summary.keptWords,
                    summary.sourceWords, 100.0 * static_cast<double>(summary.keptWords) / summary.sourceWords);
        std::printf("  entries naming a part of speech with one in the article: %u of %u\n", summary.taggedPartOfSpeech,
                    summary.namingPartOfSpeech);
    }
    PrintList("entries left out: nothing to show, or not starting with their headword", summary.unread);
    PrintList("articles missing Cyrillic words of their entries", summary.missingWords);
    PrintList("articles without the part of speech their entries name", summary.untaggedPartOfSpeech);
    PrintList("articles with texts split over several leaves", summary.split);
    PrintList("articles with a word longer than a leaf, cut inside", summary.cut);
    PrintList("articles left out, longer than 65,535 bytes", summary.leftOut);
    if (summary.transliteratedCharacters > 0)
        std::printf("  %u characters no code page holds written in ASCII (transcriptions)\n",
                    summary.transliteratedCharacters);
    if (summary.droppedCharacters > 0)
        std::printf(
            "  %u characters dropped: accents and marks with no ASCII letter, \"%%\", others no code page holds\n",
            summary.droppedCharacters);
}

// The arguments as UTF-8.
int Run(const std::vector<std::string>& argv) {
    const int argc = static_cast<int>(argv.size());
    dicbuild::BuildOptions options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: dicbuild [--style mueller|freedict] [--reverse] --name NAME --direction XY INDEX DATA "
                        "OUTPUT\n"
                        "  --style      the entry style of the files: mueller (default) or freedict\n"
                        "  --reverse    make the dictionary of the opposite direction\n"
                        "  --name       the dictionary's name, up to 12 bytes in its source language's code page\n"
                        "  --direction  the language letters (E R G F I S P) of the files' dictionary, such as ER\n");
            return 0;
        }
        if (arg == "--reverse") {
            options.reverse = true;
        } else if (arg == "--style" && i + 1 < argc) {
            std::string style = argv[++i];
            if (style == "mueller")
                options.style = dicbuild::EntryStyle::Mueller;
            else if (style == "freedict")
                options.style = dicbuild::EntryStyle::FreeDict;
            else
                return Usage();
        } else if (arg == "--name" && i + 1 < argc) {
            options.name = argv[++i];
        } else if (arg == "--direction" && i + 1 < argc) {
            std::string letters = argv[++i];
            unsigned char source = letters.size() == 2 ? DEngine::CharToLang(letters[0]) : 0;
            unsigned char target = letters.size() == 2 ? DEngine::CharToLang(letters[1]) : 0;
            if (source == 0 || target == 0 || source == target) {
                std::fprintf(stderr,
                             "dicbuild: the direction is two different language letters of E R G F I S P, "
                             "such as ER (not \"%s\")\n",
                             letters.c_str());
                return 2;
            }
            options.direction = dengine::MakeDirection(source, target);
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 3 || options.direction == 0 || options.name.empty())
        return Usage();
    std::string encodedName, error;
    if (!dicbuild::EncodeDictionaryName(options, &encodedName, &error)) {
        std::fprintf(stderr, "dicbuild: %s\n", error.c_str());
        return 2;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::error_code failure;
        if (std::filesystem::is_directory(std::filesystem::u8path(files[i]), failure)) {
            std::fprintf(stderr, "dicbuild: %s is a folder\n", files[i].c_str());
            return 1;
        }
        if (i < 2 && !std::filesystem::exists(std::filesystem::u8path(files[i]), failure)) {
            std::fprintf(stderr, "dicbuild: %s does not exist\n", files[i].c_str());
            return 1;
        }
    }
    g_terminal = isatty(fileno(stderr)) != 0;
    auto start = std::chrono::steady_clock::now();
    std::vector<dicbuild::SourceEntry> source;
    dicbuild::BuildSummary summary;
    if (!dicbuild::ReadSource(files[0], files[1], &source, &summary.problems, &error) ||
        !dicbuild::BuildFromSource(source, options, ovrin::Utf8ToUtf16(files[2]), &summary, &error, ShowProgress)) {
        if (g_terminal)
            std::fprintf(stderr, "\n");
        std::fprintf(stderr, "dicbuild: %s\n", error.c_str());
        return 1;
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (g_terminal)
        std::fprintf(stderr, "\r%50s\r", "");
    std::error_code failure;
    auto size = std::filesystem::file_size(std::filesystem::u8path(files[2]), failure);
    long long bytes = failure ? 0 : static_cast<long long>(size);
    std::printf("%s: %u headwords from %zu entries, %u blocks, %lld bytes, %.1f s\n", files[2].c_str(),
                summary.headwords, source.size(), summary.blocks, bytes, elapsed.count());
    PrintSummary(summary);
    return 0;
}

} // namespace

// Wide entry point on Windows, so that paths in any language arrive whole.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(ovrin::Utf16ToUtf8(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif
