// The platform's own structured storage (ole32) and this library, in both directions: files made
// by StgCreateDocfile read here with the same names and bytes, and files written here opened by
// StgOpenStorage and compared stream by stream.
#include "CfbTestFiles.h"

#include <windows.h>

#include <objbase.h>

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <map>

using namespace cfb;
using namespace cfbtest;

namespace {

// Path inside the file ("DD_INFO/nested/deep"; storages end in "/") to bytes.
using Contents = std::map<std::wstring, std::string>;

Contents SampleContents() {
    Contents contents;
    for (int i = 0; i < 40; ++i)
        contents[std::to_wstring(2 * i + 1)] = Pattern(static_cast<std::size_t>(i * 257), i);
    for (std::size_t size : {4095, 4096, 4097})
        contents[L"cut" + std::to_wstring(size)] = Pattern(size, static_cast<unsigned>(size));
    contents[L"empty"] = "";
    contents[L"Статья"] = Pattern(999, 50);
    contents[L"large"] = Pattern(700000, 51);
    contents[L"DD_INFO/"] = "";
    contents[L"DD_INFO/position"] = "12345";
    contents[L"DD_INFO/nested/"] = "";
    contents[L"DD_INFO/nested/deep"] = Pattern(6000, 52);
    return contents;
}

std::wstring FolderOf(const std::wstring& path) {
    std::size_t slash = path.rfind(L'/', path.size() - 2);
    return slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
}
std::wstring LeafOf(const std::wstring& path) {
    std::wstring folder = FolderOf(path);
    std::wstring leaf = path.substr(folder.size());
    if (!leaf.empty() && leaf.back() == L'/')
        leaf.pop_back();
    return leaf;
}

// Owns a COM pointer.
template <typename Interface>
struct ComPtr {
    Interface* p = nullptr;
    ~ComPtr() {
        if (p != nullptr)
            p->Release();
    }
    Interface* operator->() const { return p; }
};

constexpr DWORD kOleWrite = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kOleRead = STGM_READ | STGM_SHARE_EXCLUSIVE;

void OleWrite(IStorage* storage, const Contents& contents, const std::wstring& folder) {
    for (const auto& [path, bytes] : contents) {
        if (FolderOf(path) != folder)
            continue;
        if (path.back() == L'/') {
            ComPtr<IStorage> child;
            ASSERT_EQ(storage->CreateStorage(LeafOf(path).c_str(), kOleWrite, 0, 0, &child.p), S_OK);
            OleWrite(child.p, contents, path);
            ASSERT_EQ(child->Commit(STGC_DEFAULT), S_OK);
        } else {
            ComPtr<IStream> stream;
            ASSERT_EQ(storage->CreateStream(path.substr(folder.size()).c_str(), kOleWrite, 0, 0, &stream.p), S_OK);
            ULONG written = 0;
            ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
        }
    }
}

void OleRead(IStorage* storage, const std::wstring& folder, Contents* contents) {
    ComPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(storage->EnumElements(0, nullptr, 0, &elements.p), S_OK);
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        std::wstring name = stat.pwcsName;
        CoTaskMemFree(stat.pwcsName);
        if (stat.type == STGTY_STORAGE) {
            ComPtr<IStorage> child;
            ASSERT_EQ(storage->OpenStorage(name.c_str(), nullptr, kOleRead, nullptr, 0, &child.p), S_OK);
            (*contents)[folder + name + L"/"] = "";
            OleRead(child.p, folder + name + L"/", contents);
        } else {
            ComPtr<IStream> stream;
            ASSERT_EQ(storage->OpenStream(name.c_str(), nullptr, kOleRead, 0, &stream.p), S_OK);
            std::string bytes(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
            ULONG got = 0;
            if (!bytes.empty()) {
                ASSERT_EQ(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got), S_OK);
            }
            EXPECT_EQ(got, bytes.size());
            (*contents)[folder + name] = bytes;
        }
    }
}

void CfbWrite(Storage& storage, const Contents& contents, const std::wstring& folder) {
    for (const auto& [path, bytes] : contents) {
        if (FolderOf(path) != folder)
            continue;
        if (path.back() == L'/') {
            std::unique_ptr<Storage> child;
            ASSERT_EQ(storage.CreateStorage(LeafOf(path), kWriteExclusive, &child), Status::Ok);
            CfbWrite(*child, contents, path);
        } else {
            ASSERT_EQ(WriteStream(storage, path.substr(folder.size()), bytes), Status::Ok);
        }
    }
}

void CfbRead(Storage& storage, const std::wstring& folder, Contents* contents) {
    std::vector<ElementInfo> elements;
    ASSERT_EQ(storage.EnumElements(&elements), Status::Ok);
    for (const auto& element : elements) {
        if (element.type == ElementType::Storage) {
            std::unique_ptr<Storage> child;
            ASSERT_EQ(storage.OpenStorage(element.name, kReadExclusive, &child), Status::Ok);
            (*contents)[folder + element.name + L"/"] = "";
            CfbRead(*child, folder + element.name + L"/", contents);
        } else {
            Status status = Status::Ok;
            (*contents)[folder + element.name] = ReadStream(storage, element.name, &status);
            EXPECT_EQ(status, Status::Ok);
        }
    }
}

class Ole32InteropTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
    testsupport::TempFolder folder;
};

} // namespace

TEST_F(Ole32InteropTest, FilesMadeByStgCreateDocfile_ReadHereWithTheSameNamesAndBytes) {
    const Contents expected = SampleContents();
    for (DWORD transacted : {DWORD{0}, DWORD{STGM_TRANSACTED}}) {
        const std::wstring path = folder.File(transacted ? L"ole-transacted.dic" : L"ole-direct.dic");
        {
            ComPtr<IStorage> root;
            ASSERT_EQ(StgCreateDocfile(path.c_str(), STGM_CREATE | kOleWrite | transacted, 0, &root.p), S_OK);
            OleWrite(root.p, expected, L"");
            ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
        }
        std::unique_ptr<Storage> root;
        ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
        Contents read;
        CfbRead(*root, L"", &read);
        EXPECT_TRUE(read == expected) << "contents differ, transacted " << transacted;
    }
}

TEST_F(Ole32InteropTest, FilesWrittenHere_OpenInStgOpenStorageWithTheSameStreams) {
    const Contents expected = SampleContents();
    for (SectorSize sectorSize : {SectorSize::Bytes512, SectorSize::Bytes4096}) {
        const std::wstring path = folder.File(L"cfb" + std::to_wstring(static_cast<unsigned>(sectorSize)) + L".dic");
        {
            std::unique_ptr<Storage> root;
            ASSERT_EQ(CreateRootStorage(path, kTransacted, &root, sectorSize), Status::Ok);
            CfbWrite(*root, expected, L"");
            ASSERT_EQ(root->Commit(), Status::Ok);
        }
        ComPtr<IStorage> root;
        ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, kOleRead, nullptr, 0, &root.p), S_OK);
        Contents read;
        OleRead(root.p, L"", &read);
        EXPECT_TRUE(read == expected) << "contents differ, sector size " << static_cast<unsigned>(sectorSize);
        // The platform finds elements by name through the directory's sibling trees.
        ComPtr<IStream> stream;
        EXPECT_EQ(root->OpenStream(L"CUT4096", nullptr, kOleRead, 0, &stream.p), S_OK);
    }
}

TEST_F(Ole32InteropTest, PlatformFileWith4096ByteSectors_ReadsHere) {
    const std::wstring path = folder.File(L"ole4096.dic");
    const Contents expected = SampleContents();
    {
        STGOPTIONS options = {};
        options.usVersion = 1;
        options.ulSectorSize = 4096;
        ComPtr<IStorage> root;
        ASSERT_EQ(StgCreateStorageEx(path.c_str(), STGM_CREATE | kOleWrite, STGFMT_DOCFILE, 0, &options, nullptr,
                                     IID_IStorage, reinterpret_cast<void**>(&root.p)),
                  S_OK);
        OleWrite(root.p, expected, L"");
        ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    }
    ASSERT_EQ(testsupport::ReadFileBytes(path)[0x1A], 4) << "the platform wrote a version 4 file";
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
    Contents read;
    CfbRead(*root, L"", &read);
    EXPECT_TRUE(read == expected);
}

// A file of the platform, changed here in a transaction, and read by the platform again.
TEST_F(Ole32InteropTest, PlatformFileChangedHere_StillOpensInThePlatform) {
    const std::wstring path = folder.File(L"changed.dic");
    Contents expected = SampleContents();
    {
        ComPtr<IStorage> root;
        ASSERT_EQ(StgCreateDocfile(path.c_str(), STGM_CREATE | kOleWrite, 0, &root.p), S_OK);
        OleWrite(root.p, expected, L"");
    }
    {
        std::unique_ptr<Storage> root, info;
        ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
        ASSERT_EQ(root->OpenStorage(L"DD_INFO", kTransacted, &info), Status::Ok);
        ASSERT_EQ(info->DestroyElement(L"position"), Status::Ok);
        ASSERT_EQ(WriteStream(*info, L"added", "new value"), Status::Ok);
        ASSERT_EQ(info->Commit(), Status::Ok);
        info.reset();
        ASSERT_EQ(WriteStream(*root, L"1", "rewritten"), Status::Ok);
        ASSERT_EQ(root->Commit(), Status::Ok);
    }
    expected.erase(L"DD_INFO/position");
    expected[L"DD_INFO/added"] = "new value";
    expected[L"1"] = "rewritten";
    ComPtr<IStorage> root;
    ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, kOleRead, nullptr, 0, &root.p), S_OK);
    Contents read;
    OleRead(root.p, L"", &read);
    EXPECT_TRUE(read == expected);
}
