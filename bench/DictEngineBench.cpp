// Benchmarks of the dictionary engine's lookups on a generated dictionary of 60,000 headwords (or the
// dictionary file named by OVRIN_BENCH_DICTIONARY), each printed against its floor: FindWord with its block loaded
// against a binary search over the same keys in memory with the same comparison; PerformSearch "*" against
// decompressing every index block.
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include "base/Unicode.h"

#include "cfb/Storage.h"

#include "testsupport/TempFolder.h"
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kHeadwords = 60000;

struct Fixture {
    testsupport::TempFolder folder;
    __DictHandle* handle = nullptr;
    std::vector<std::string> keys;                 // sorted, as in the dictionary
    std::vector<std::string> warmQueries;          // every prefix of typed words, in key order
    std::vector<std::string> coldQueries;          // alternating between far-apart blocks
    std::vector<std::vector<std::uint8_t>> blocks; // the compressed index block streams

    // The dictionary named by OVRIN_BENCH_DICTIONARY (a real one), or a generated one.
    Fixture() {
        std::mt19937 random(5);
        const char* given = std::getenv("OVRIN_BENCH_DICTIONARY");
        std::wstring path = given != nullptr ? ovrin::Utf8ToUtf16(given) : Generate(random);
        std::unique_ptr<cfb::Storage> storage; // the compressed index blocks, read before the engine holds the file
        cfb::OpenRootStorage(path, cfb::Mode::Read | cfb::Mode::ShareDenyNone, &storage);
        for (unsigned b = 0; storage; ++b) {
            std::unique_ptr<cfb::Stream> stream;
            if (!cfb::Succeeded(storage->OpenStream(std::to_wstring(2 * b + 1),
                                                    cfb::Mode::Read | cfb::Mode::ShareExclusive, &stream)))
                break;
            cfb::ElementInfo info;
            stream->Stat(&info);
            std::vector<std::uint8_t> bytes(info.size);
            std::size_t read = 0;
            stream->Read(bytes.data(), bytes.size(), &read);
            blocks.push_back(std::move(bytes));
        }
        storage.reset();
        // An empty catalogue that takes the one file.
        if (DEngine::AttachDictionary(path.c_str()) != 1 ||
            (handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0))) == nullptr) {
            std::fprintf(stderr, "cannot open the dictionary\n");
            std::exit(1);
        }
        unsigned language = dengine::SourceLanguage(DEngine::GetDirection(handle));
        unsigned long total = DEngine::GetTotalWordCount(handle);
        for (unsigned long n = 0; n < total; ++n)
            keys.emplace_back(DEngine::IndexDataToDisplayData(DEngine::GetSingleIndex(handle, n)));
        std::printf("dictionary: %s, %lu headwords\n", given != nullptr ? given : "generated", total);
        for (std::size_t i = 0; i < 500; ++i) {
            const std::string& word = keys[random() % keys.size()];
            for (std::size_t n = 1; n <= word.size(); ++n)
                warmQueries.push_back(word.substr(0, n));
        }
        DEngine::LoadCompareTable(static_cast<unsigned short>(language));
        std::sort(warmQueries.begin(), warmQueries.end(), [&](const std::string& a, const std::string& b) {
            return DEngine::TableStrCompare(static_cast<unsigned short>(language), a.c_str(), b.c_str()) < 0;
        });
        for (std::size_t i = 0; i < 500; ++i) {
            coldQueries.push_back(keys[random() % (keys.size() / 2)]);
            coldQueries.push_back(keys[keys.size() / 2 + random() % (keys.size() / 2)]);
        }
    }

    std::wstring Generate(std::mt19937& random) {
        const std::string letters = "abcdefghijklmnopqrstuvwxyz";
        std::vector<dengine::WriterEntry> entries;
        for (std::size_t i = 0; i < kHeadwords; ++i) {
            std::string word;
            for (std::size_t k = 3 + random() % 8; k > 0; --k)
                word.push_back(letters[random() % (k % 3 == 0 ? 5 : 26)]);
            entries.push_back({word, "", dengine::MakeArticle({{0x01, "translation of " + word}})});
        }
        dengine::SortEntries(entries, DEngine::kLangEnglish);
        dengine::DictionaryDescription description;
        description.name = "Bench";
        description.direction = 0x0102;
        std::string error;
        std::wstring path = folder.File(L"bench.dic");
        if (!dengine::WriteDictionary(path, description, entries, &error)) {
            std::fprintf(stderr, "cannot write the dictionary: %s\n", error.c_str());
            std::exit(1);
        }
        return path;
    }
};

Fixture& Dictionary() {
    static Fixture fixture;
    return fixture;
}

void RunQueries(benchmark::State& state, const std::vector<std::string>& queries) {
    Fixture& f = Dictionary();
    std::size_t i = 0;
    unsigned long index = 0;
    int exact = 0;
    for (auto _ : state) {
        DEngine::FindWord(f.handle, queries[i].c_str(), &index, &exact);
        benchmark::DoNotOptimize(index);
        if (++i == queries.size())
            i = 0;
    }
}

// Each query once to load its block, then timed while its block is loaded: the time of one call,
// measured over a batch of calls of the same query.
void BM_FindWord_Warm(benchmark::State& state) {
    Fixture& f = Dictionary();
    constexpr int kBatch = 16;
    std::size_t i = 0;
    unsigned long index = 0;
    int exact = 0;
    for (auto _ : state) {
        const char* query = f.warmQueries[i].c_str();
        DEngine::FindWord(f.handle, query, &index, &exact);
        auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < kBatch; ++k) {
            DEngine::FindWord(f.handle, query, &index, &exact);
            benchmark::DoNotOptimize(index);
        }
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / kBatch);
        if (++i == f.warmQueries.size())
            i = 0;
    }
}
void BM_FindWord_Cold(benchmark::State& state) {
    RunQueries(state, Dictionary().coldQueries);
}

// The floor of FindWord: a binary search over the same sorted keys in memory, same comparison.
void BM_FindWord_Floor(benchmark::State& state) {
    Fixture& f = Dictionary();
    unsigned short language = static_cast<unsigned short>(DEngine::GetDirection(f.handle) >> 8);
    DEngine::LoadCompareTable(language);
    std::size_t i = 0;
    for (auto _ : state) {
        const char* query = f.warmQueries[i].c_str();
        auto found = std::lower_bound(f.keys.begin(), f.keys.end(), query, [&](const std::string& key, const char* q) {
            return DEngine::TableStrCompare(language, key.c_str(), q) < 0;
        });
        benchmark::DoNotOptimize(found);
        if (++i == f.warmQueries.size())
            i = 0;
    }
}

void BM_GetIndex_100Rows(benchmark::State& state) {
    Fixture& f = Dictionary();
    std::mt19937 random(3);
    const unsigned char* rows[100];
    for (auto _ : state) {
        unsigned long first = random() % (f.keys.size() - 100);
        DEngine::GetIndex(f.handle, first, 100, rows);
        DEngine::IndexDataToDisplayData(100, rows);
        benchmark::DoNotOptimize(rows[99]);
    }
}

void Search(benchmark::State& state, const char* pattern) {
    Fixture& f = Dictionary();
    for (auto _ : state) {
        unsigned long count = 0;
        unsigned long* indexes = nullptr;
        unsigned char* entries = nullptr;
        DEngine::PerformSearch(f.handle, pattern, &count, &indexes, &entries, nullptr);
        benchmark::DoNotOptimize(count);
        DEngine::FreePtr(indexes);
        DEngine::FreePtr(entries);
    }
}

void BM_PerformSearch_All(benchmark::State& state) {
    Search(state, "*");
}
void BM_PerformSearch_Prefix(benchmark::State& state) {
    Search(state, "ab*");
}
void BM_PerformSearch_OneCharacter(benchmark::State& state) {
    Search(state, "?");
}

// The floor of the full search: decompressing every index block and nothing else.
void BM_PerformSearch_All_Floor(benchmark::State& state) {
    Fixture& f = Dictionary();
    std::vector<unsigned char> out(65536);
    for (auto _ : state) {
        for (const std::vector<std::uint8_t>& stream : f.blocks) {
            uLongf size = dengine::ReadBigEndian16(stream.data() + 2); // the uncompressed size
            uncompress(out.data(), &size, stream.data() + 4, static_cast<uLong>(stream.size() - 4));
            benchmark::DoNotOptimize(out.data());
        }
    }
}

BENCHMARK(BM_FindWord_Warm)->UseManualTime();
BENCHMARK(BM_FindWord_Floor);
BENCHMARK(BM_FindWord_Cold);
BENCHMARK(BM_GetIndex_100Rows);
BENCHMARK(BM_PerformSearch_All)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerformSearch_All_Floor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerformSearch_Prefix)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerformSearch_OneCharacter)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            double unit = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            realTimes[run.benchmark_name()] = run.GetAdjustedRealTime() * unit;
            cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime() * unit;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> realTimes; // nanoseconds
    std::map<std::string, double> cpuTimes;
};

// The warm lookup times itself (manual, wall-clock time), so its pair compares wall-clock times; the
// search pair compares CPU times, which a busy machine disturbs less.
void PrintRatio(const std::map<std::string, double>& times, const char* name, const char* floor, double target) {
    auto measured = times.find(name);
    auto base = times.find(floor);
    if (measured == times.end() || base == times.end())
        return;
    double ratio = measured->second / base->second;
    std::printf("%-28s %12.0f ns   floor %-28s %12.0f ns   ratio %.2f (target %.1f) %s\n", name, measured->second,
                floor, base->second, ratio, target, ratio <= target ? "met" : "NOT MET");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Dictionary();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    PrintRatio(reporter.realTimes, "BM_FindWord_Warm/manual_time", "BM_FindWord_Floor", 3.0);
    PrintRatio(reporter.cpuTimes, "BM_PerformSearch_All", "BM_PerformSearch_All_Floor", 1.5);
    DEngine::DoneDictEngine();
    return 0;
}
