// dicbuild: makes a dictionary file from a dictionary in the dict-server format.
//   dicbuild [--style mueller|freedict] [--reverse] --name NAME --direction XY INDEX DATA OUTPUT
// XY are the language letters of the forward dictionary (ER for English-Russian); with --reverse the
// output is the dictionary of the opposite direction.
#include "src/Builder.h"

#include "common/Unicode.h"
#include "dictengine/DEngine.h"

#include <chrono>
#include <cstdio>
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

} // namespace

int main(int argc, char** argv) {
    dicbuild::BuildOptions options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
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
            if (source == 0 || target == 0) {
                std::fprintf(stderr, "dicbuild: the direction is two language letters of E R G F I S P, such as ER\n");
                return 2;
            }
            options.direction = static_cast<std::uint16_t>(source << 8 | target);
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 3 || options.direction == 0 || options.name.empty())
        return Usage();
    if (options.name.size() > 12) {
        std::fprintf(stderr, "dicbuild: the name holds at most 12 bytes\n");
        return 2;
    }
    g_terminal = isatty(fileno(stderr)) != 0;
    auto start = std::chrono::steady_clock::now();
    std::vector<dicbuild::SourceEntry> source;
    dicbuild::BuildSummary summary;
    std::string error;
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
    std::FILE* out = std::fopen(files[2].c_str(), "rb");
    long long bytes = 0;
    if (out != nullptr) {
        std::fseek(out, 0, SEEK_END);
        bytes = std::ftell(out);
        std::fclose(out);
    }
    std::printf("%s: %u headwords from %zu entries, %u blocks, %lld bytes, %.1f s\n", files[2].c_str(),
                summary.headwords, source.size(), summary.blocks, bytes, elapsed.count());
    for (const auto& [reason, count] : summary.problems.counts)
        std::printf("  %u: %s\n", count, reason.c_str());
    if (summary.droppedCharacters > 0)
        std::printf("  %u characters no supported code page holds were dropped\n", summary.droppedCharacters);
    return 0;
}
