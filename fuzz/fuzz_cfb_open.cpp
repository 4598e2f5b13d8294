// Fuzz target: opens arbitrary bytes as a compound file and walks it, reading every stream; when
// the file opens, it is also changed in a transaction and committed, and the committed file must
// then walk cleanly.
#include "FuzzFolder.h"
#include "cfb/Storage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr cfb::Mode kRead = cfb::Mode::Read | cfb::Mode::ShareExclusive;

bool Walk(cfb::Storage& storage) {
    std::vector<cfb::ElementInfo> elements;
    if (!cfb::Succeeded(storage.EnumElements(&elements)))
        return false;
    bool clean = true;
    for (const auto& element : elements) {
        if (element.type == cfb::ElementType::Storage) {
            std::unique_ptr<cfb::Storage> child;
            clean = cfb::Succeeded(storage.OpenStorage(element.name, kRead, &child)) && Walk(*child) && clean;
            continue;
        }
        std::unique_ptr<cfb::Stream> stream;
        if (!cfb::Succeeded(storage.OpenStream(element.name, kRead, &stream))) {
            clean = false;
            continue;
        }
        char buffer[4096];
        std::uint64_t total = 0;
        for (;;) {
            std::size_t got = 0;
            if (!cfb::Succeeded(stream->Read(buffer, sizeof buffer, &got))) {
                clean = false;
                break;
            }
            if (got == 0)
                break;
            total += got;
        }
        if (clean && total != element.size)
            std::abort(); // a stream read to its end must give its size
    }
    return clean;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::wstring path = fuzzing::Folder().File("fuzz.cfb");
    static const std::string narrow = ovrin::Utf16ToUtf8(path);
    if (FILE* file = std::fopen(narrow.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }

    bool clean = false;
    {
        std::unique_ptr<cfb::Storage> root;
        if (!cfb::Succeeded(cfb::OpenRootStorage(path, kRead, &root)))
            return 0;
        clean = Walk(*root);
    }
    if (!clean)
        return 0;

    // A file that reads cleanly can be rewritten, and what is written must read back cleanly.
    {
        std::unique_ptr<cfb::Storage> root;
        if (!cfb::Succeeded(cfb::OpenRootStorage(
                path, cfb::Mode::Transacted | cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive, &root)))
            std::abort();
        std::unique_ptr<cfb::Stream> stream;
        if (cfb::Succeeded(root->CreateStream(
                L"fuzz", cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive | cfb::Mode::Create, &stream)))
            stream->Write(data, size < 5000 ? size : 5000, nullptr);
        stream.reset();
        if (!cfb::Succeeded(root->Commit()))
            std::abort();
    }
    std::unique_ptr<cfb::Storage> root;
    if (!cfb::Succeeded(cfb::OpenRootStorage(path, kRead, &root)) || !Walk(*root))
        std::abort();
    return 0;
}
