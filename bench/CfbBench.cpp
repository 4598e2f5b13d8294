// Compound-file benchmarks: opening a 5 MB dictionary-like file and reading one small stream, and
// reading one large stream end to end against reading the same bytes from a plain file.
#include "cfb/Storage.h"

#include "testsupport/TempFolder.h"
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr cfb::Mode kRead = cfb::Mode::Read | cfb::Mode::ShareExclusive;
constexpr std::size_t kLargeSize = 32u << 20;
constexpr std::size_t kChunk = 64 * 1024;

std::string Pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

void WriteStream(cfb::Storage& root, const std::wstring& name, const std::string& bytes) {
    std::unique_ptr<cfb::Stream> stream;
    root.CreateStream(name, cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive, &stream);
    stream->Write(bytes.data(), bytes.size(), nullptr);
}

// The files, made once for the whole run.
struct Files {
    testsupport::TempFolder folder;
    std::wstring dictionary = folder.File(L"five.dic");
    std::wstring large = folder.File(L"large.dic");
    std::string plain = testsupport::ToPath(folder.File(L"large.bin")).string();
    Files() {
        std::unique_ptr<cfb::Storage> root;
        // A dictionary-like file: an information stream, 80 index and article blocks, 5 MB in all.
        cfb::CreateRootStorage(dictionary, cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive, &root);
        WriteStream(*root, L"0", Pattern(300, 0));
        for (int i = 1; i <= 160; ++i)
            WriteStream(*root, std::to_wstring(i), Pattern(i % 2 ? 2000 : 63000, i));
        root.reset();
        const std::string large = Pattern(kLargeSize, 7);
        cfb::CreateRootStorage(this->large, cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive, &root);
        WriteStream(*root, L"large", large);
        root.reset();
        testsupport::WriteFileBytes(testsupport::ToWide(plain), large);
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void BM_OpenAndReadSmallStream(benchmark::State& state) {
    Files& files = TheFiles();
    std::vector<char> buffer(300);
    for (auto _ : state) {
        std::unique_ptr<cfb::Storage> root;
        std::unique_ptr<cfb::Stream> stream;
        std::size_t got = 0;
        if (!cfb::Succeeded(cfb::OpenRootStorage(files.dictionary, kRead, &root)) ||
            !cfb::Succeeded(root->OpenStream(L"0", kRead, &stream)) ||
            !cfb::Succeeded(stream->Read(buffer.data(), buffer.size(), &got)) || got != buffer.size())
            state.SkipWithError("reading the dictionary failed");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["file_MB"] = static_cast<double>(testsupport::ReadFileBytes(files.dictionary).size()) / (1 << 20);
}
BENCHMARK(BM_OpenAndReadSmallStream)->Unit(benchmark::kMicrosecond);

void BM_PlainFileRead(benchmark::State& state) {
    Files& files = TheFiles();
    std::vector<char> buffer(kChunk);
    for (auto _ : state) {
        int fd = ::open(files.plain.c_str(), O_RDONLY);
        std::size_t total = 0;
        for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
            total += static_cast<std::size_t>(got);
        ::close(fd);
        if (total != kLargeSize)
            state.SkipWithError("short plain read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeSize));
}
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond);

void BM_LargeStreamRead(benchmark::State& state) {
    Files& files = TheFiles();
    std::vector<char> buffer(kChunk);
    for (auto _ : state) {
        std::unique_ptr<cfb::Storage> root;
        std::unique_ptr<cfb::Stream> stream;
        cfb::OpenRootStorage(files.large, kRead, &root);
        root->OpenStream(L"large", kRead, &stream);
        std::size_t total = 0;
        for (std::size_t got = 1; got > 0;) {
            stream->Read(buffer.data(), buffer.size(), &got);
            total += got;
        }
        if (total != kLargeSize)
            state.SkipWithError("short stream read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeSize));
}
BENCHMARK(BM_LargeStreamRead)->Unit(benchmark::kMillisecond);

// Prints the large-stream time as a multiple of the plain-file time, from the two runs above.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // Single runs, or the mean of repeated ones.
            if (!run.aggregate_name.empty() && run.aggregate_name != "mean")
                continue;
            double seconds = run.GetAdjustedRealTime() / 1e3; // milliseconds to seconds
            if (run.run_name.function_name == "BM_PlainFileRead")
                m_plain = seconds;
            if (run.run_name.function_name == "BM_LargeStreamRead")
                m_stream = seconds;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (m_plain > 0 && m_stream > 0)
            std::printf("large stream read / plain file read (32 MB, 64 KB reads): %.2f\n", m_stream / m_plain);
    }

private:
    double m_plain = 0;
    double m_stream = 0;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
