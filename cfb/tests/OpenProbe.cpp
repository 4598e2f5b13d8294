// A second process for the compound-file tests.
//   cfb_open_probe open PATH            exit 0 when PATH opens read-only share-exclusive, 1 on a
//                                        share violation, 2 on any other failure
//   cfb_open_probe crash-commit PATH N  open PATH transacted, write a stream, and end the process
//                                        abruptly after N bytes of the commit are written (exit 3)
//   cfb_open_probe crash-create PATH N  the same with a transacted root created over PATH
#include "cfb/Storage.h"

#include "IoFaults.h"

#include <cstdlib>
#include <memory>
#include <string>

#ifndef _WIN32
#include "base/Unicode.h"
#endif

namespace {

int Run(const std::wstring& command, const std::wstring& path, long long bytes) {
    using cfb::Mode;
    std::unique_ptr<cfb::Storage> root;
    if (command == L"open") {
        cfb::Status status = cfb::OpenRootStorage(path, Mode::Read | Mode::ShareExclusive, &root);
        return status == cfb::Status::Ok ? 0 : status == cfb::Status::ShareViolation ? 1 : 2;
    }
    if (command == L"crash-commit") {
        if (!cfb::Succeeded(
                cfb::OpenRootStorage(path, Mode::Transacted | Mode::ReadWrite | Mode::ShareExclusive, &root)))
            return 2;
        std::unique_ptr<cfb::Stream> stream;
        if (!cfb::Succeeded(root->CreateStream(L"added", Mode::ReadWrite | Mode::ShareExclusive, &stream)))
            return 2;
        std::string data(20000, 'n');
        stream->Write(data.data(), data.size(), nullptr);
        stream.reset();
        cfb::detail::PlanWriteFault(bytes, true);
        root->Commit();
        return 4; // the commit should not have come back
    }
    if (command == L"crash-create") {
        if (!cfb::Succeeded(cfb::CreateRootStorage(
                path, Mode::Transacted | Mode::ReadWrite | Mode::ShareExclusive | Mode::Create, &root)))
            return 2;
        std::unique_ptr<cfb::Stream> stream;
        if (!cfb::Succeeded(root->CreateStream(L"created", Mode::ReadWrite | Mode::ShareExclusive, &stream)))
            return 2;
        std::string data(20000, 'c');
        stream->Write(data.data(), data.size(), nullptr);
        stream.reset();
        cfb::detail::PlanWriteFault(bytes, true);
        root->Commit();
        return 4;
    }
    return 2;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    return Run(argv[1], argv[2], argc > 3 ? std::wcstoll(argv[3], nullptr, 10) : 0);
}
#else
int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    return Run(ovrin::Utf8ToUtf16(argv[1]), ovrin::Utf8ToUtf16(argv[2]), argc > 3 ? std::atoll(argv[3]) : 0);
}
#endif
