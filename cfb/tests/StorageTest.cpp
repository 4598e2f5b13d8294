// Storages and streams: creating and reopening files of both sector sizes, names, enumeration,
// element rules, stream positioning and sizing, and the layout the writer gives large files.
#include "CfbTestFiles.h"

#include "IoFaults.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace cfb;
using namespace cfbtest;

namespace {

// Sizes around the mini-stream cutoff and the sector sizes, and an empty stream.
const std::map<std::wstring, std::string> kSampleStreams = {
    {L"0", Pattern(25, 1)},    {L"1", Pattern(4095, 2)},     {L"2", Pattern(4096, 3)},   {L"3", Pattern(4097, 4)},
    {L"empty", std::string()}, {L"big", Pattern(300000, 5)}, {L"Слово", Pattern(64, 6)}, {L"x", Pattern(513, 7)},
};

void WriteSample(Storage& root) {
    for (const auto& [name, bytes] : kSampleStreams)
        ASSERT_EQ(WriteStream(root, name, bytes), Status::Ok);
    std::unique_ptr<Storage> info, inner;
    ASSERT_EQ(root.CreateStorage(L"DD_INFO", kWriteExclusive, &info), Status::Ok);
    ASSERT_EQ(WriteStream(*info, L"value", "dynamic"), Status::Ok);
    ASSERT_EQ(info->CreateStorage(L"inner", kWriteExclusive, &inner), Status::Ok);
    ASSERT_EQ(WriteStream(*inner, L"deep", Pattern(5000, 8)), Status::Ok);
}

void ExpectSample(Storage& root) {
    for (const auto& [name, bytes] : kSampleStreams)
        EXPECT_EQ(ReadStream(root, name), bytes) << testsupport::ToPath(name).string();
    std::unique_ptr<Storage> info, inner;
    ASSERT_EQ(root.OpenStorage(L"DD_INFO", kReadExclusive, &info), Status::Ok);
    EXPECT_EQ(ReadStream(*info, L"value"), "dynamic");
    ASSERT_EQ(info->OpenStorage(L"inner", kReadExclusive, &inner), Status::Ok);
    EXPECT_EQ(ReadStream(*inner, L"deep"), Pattern(5000, 8));
}

class SectorSizeTest : public ::testing::TestWithParam<SectorSize> {};

} // namespace

TEST_P(SectorSizeTest, CreatedFileReopens_WithEveryNameAndByte) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"sample.dic");
    {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root, GetParam()), Status::Ok);
        WriteSample(*root);
    }
    std::string bytes = testsupport::ReadFileBytes(path);
    ASSERT_GE(bytes.size(), 512u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x1A]), GetParam() == SectorSize::Bytes4096 ? 4 : 3);
    EXPECT_EQ(bytes.size() % static_cast<std::size_t>(GetParam()), 0u);

    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
    ExpectSample(*root);
    std::vector<ElementInfo> elements;
    ASSERT_EQ(root->EnumElements(&elements), Status::Ok);
    EXPECT_EQ(elements.size(), kSampleStreams.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(BothSectorSizes, SectorSizeTest,
                         ::testing::Values(SectorSize::Bytes512, SectorSize::Bytes4096));

TEST(StorageTest, Names_CompareCaseInsensitively_AndSortShorterFirst) {
    testsupport::TempFolder folder;
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(folder.File(L"n.dic"), kWriteExclusive, &root), Status::Ok);
    for (const wchar_t* name : {L"beta", L"Alpha", L"10", L"9", L"слово", L"Zz"})
        ASSERT_EQ(WriteStream(*root, name, "x"), Status::Ok);

    std::unique_ptr<Stream> stream;
    EXPECT_EQ(root->CreateStream(L"ALPHA", kWriteExclusive, &stream), Status::FileAlreadyExists);
    EXPECT_EQ(root->CreateStream(L"СЛОВО", kWriteExclusive, &stream), Status::FileAlreadyExists);
    EXPECT_EQ(ReadStream(*root, L"BeTa"), "x");

    std::vector<ElementInfo> elements;
    ASSERT_EQ(root->EnumElements(&elements), Status::Ok);
    std::vector<std::wstring> names;
    for (const auto& element : elements)
        names.push_back(element.name);
    // Length first, then upper-cased units: Cyrillic sorts after Latin.
    EXPECT_EQ(names, (std::vector<std::wstring>{L"9", L"10", L"Zz", L"beta", L"Alpha", L"слово"}));
}

TEST(StorageTest, BadNamesAndModes_AreRefused) {
    testsupport::TempFolder folder;
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(folder.File(L"m.dic"), kWriteExclusive, &root), Status::Ok);
    std::unique_ptr<Stream> stream;
    EXPECT_EQ(root->CreateStream(L"", kWriteExclusive, &stream), Status::InvalidName);
    EXPECT_EQ(root->CreateStream(std::wstring(32, L'a'), kWriteExclusive, &stream), Status::InvalidName);
    EXPECT_EQ(root->CreateStream(std::wstring(31, L'a'), kWriteExclusive, &stream), Status::Ok);
    stream.reset();
    EXPECT_EQ(root->CreateStream(L"a/b", kWriteExclusive, &stream), Status::InvalidName);
    EXPECT_EQ(root->CreateStream(L"a!b", kWriteExclusive, &stream), Status::InvalidName);
    EXPECT_EQ(root->CreateStream(L"s", Mode::ReadWrite | Mode::ShareDenyWrite, &stream), Status::InvalidFlag);
    EXPECT_EQ(root->CreateStream(L"s", kReadExclusive, &stream), Status::InvalidFlag);
    EXPECT_EQ(root->OpenStream(L"missing", kReadExclusive, &stream), Status::FileNotFound);
    EXPECT_EQ(root->CreateStream(L"s", kWriteExclusive, nullptr), Status::InvalidPointer);

    std::unique_ptr<Storage> other;
    EXPECT_EQ(OpenRootStorage(folder.File(L"none.dic"), kReadShared, &other), Status::FileNotFound);
    EXPECT_EQ(OpenRootStorage(folder.File(L"no-folder") + L"/x.dic", kReadShared, &other), Status::PathNotFound);
    EXPECT_EQ(CreateRootStorage(folder.File(L"r.dic"), kReadExclusive, &other), Status::InvalidFlag);
    EXPECT_EQ(CreateRootStorage(folder.File(L"r.dic"), Mode::ReadWrite | Mode::ShareDenyWrite, &other),
              Status::InvalidFlag);
}

TEST(StorageTest, CreateRoot_FailsOnAnExistingFile_UnlessAskedToReplaceIt) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"c.dic");
    testsupport::WriteFileBytes(path, "not a compound file");
    std::unique_ptr<Storage> root;
    EXPECT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::FileAlreadyExists);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "not a compound file");
    EXPECT_EQ(OpenRootStorage(path, kReadShared, &root), Status::InvalidHeader);

    ASSERT_EQ(CreateRootStorage(path, kWriteExclusive | Mode::Create, &root), Status::Ok);
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    std::vector<ElementInfo> elements{ElementInfo{}};
    ASSERT_EQ(root->EnumElements(&elements), Status::Ok);
    EXPECT_TRUE(elements.empty());
}

TEST(StorageTest, Elements_OpenOnceAtATime_AndOpenOnesCannotBeDestroyed) {
    testsupport::TempFolder folder;
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(folder.File(L"e.dic"), kWriteExclusive, &root), Status::Ok);
    std::unique_ptr<Stream> first, second;
    ASSERT_EQ(root->CreateStream(L"s", kWriteExclusive, &first), Status::Ok);
    EXPECT_EQ(root->OpenStream(L"S", kReadExclusive, &second), Status::AccessDenied);
    EXPECT_EQ(root->DestroyElement(L"s"), Status::AccessDenied);
    EXPECT_EQ(root->CreateStream(L"s", kWriteExclusive | Mode::Create, &second), Status::AccessDenied);
    first.reset();
    EXPECT_EQ(root->OpenStream(L"s", kReadExclusive, &second), Status::Ok);
    second.reset();

    std::unique_ptr<Storage> sub;
    ASSERT_EQ(root->CreateStorage(L"sub", kWriteExclusive, &sub), Status::Ok);
    ASSERT_EQ(WriteStream(*sub, L"inside", "1"), Status::Ok);
    sub.reset();
    EXPECT_EQ(root->OpenStream(L"sub", kReadExclusive, &first), Status::FileNotFound); // a storage, not a stream
    EXPECT_EQ(root->DestroyElement(L"SUB"), Status::Ok);
    EXPECT_EQ(root->OpenStorage(L"sub", kReadExclusive, &sub), Status::FileNotFound);
    EXPECT_EQ(root->DestroyElement(L"sub"), Status::FileNotFound);
}

TEST(StorageTest, ReadOnlyStorage_RefusesEveryChange) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"ro.dic");
    {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        WriteSample(*root);
    }
    const std::string before = testsupport::ReadFileBytes(path);
    std::unique_ptr<Storage> root, sub;
    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
    std::unique_ptr<Stream> stream;
    EXPECT_EQ(root->CreateStream(L"new", kWriteExclusive, &stream), Status::AccessDenied);
    EXPECT_EQ(root->OpenStream(L"0", kWriteExclusive, &stream), Status::AccessDenied);
    EXPECT_EQ(root->OpenStorage(L"DD_INFO", kTransacted, &sub), Status::AccessDenied);
    EXPECT_EQ(root->DestroyElement(L"0"), Status::AccessDenied);
    ASSERT_EQ(root->OpenStream(L"0", kReadExclusive, &stream), Status::Ok);
    EXPECT_EQ(stream->Write("x", 1, nullptr), Status::AccessDenied);
    EXPECT_EQ(stream->SetSize(0), Status::AccessDenied);
    stream.reset();
    root.reset();
    EXPECT_EQ(testsupport::ReadFileBytes(path), before);
}

TEST(StorageTest, Stream_SeeksWritesAndSizes) {
    testsupport::TempFolder folder;
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(folder.File(L"s.dic"), kWriteExclusive, &root), Status::Ok);
    std::unique_ptr<Stream> stream;
    ASSERT_EQ(root->CreateStream(L"s", kWriteExclusive, &stream), Status::Ok);
    std::uint64_t position = 0;
    ASSERT_EQ(stream->Seek(3, SeekOrigin::Begin, &position), Status::Ok);
    ASSERT_EQ(stream->Write("abc", 3, nullptr), Status::Ok);
    EXPECT_EQ(stream->Seek(-7, SeekOrigin::Current, &position), Status::InvalidFunction);
    ASSERT_EQ(stream->Seek(-2, SeekOrigin::End, &position), Status::Ok);
    EXPECT_EQ(position, 4u);
    char buffer[8] = {};
    std::size_t got = 0;
    ASSERT_EQ(stream->Read(buffer, sizeof buffer, &got), Status::Ok);
    EXPECT_EQ(std::string(buffer, got), "bc");
    ASSERT_EQ(stream->Read(buffer, sizeof buffer, &got), Status::Ok);
    EXPECT_EQ(got, 0u);

    ASSERT_EQ(stream->SetSize(5000), Status::Ok); // grows out of the mini stream
    ASSERT_EQ(stream->SetSize(4), Status::Ok);
    ElementInfo info;
    ASSERT_EQ(stream->Stat(&info), Status::Ok);
    EXPECT_EQ(info.size, 4u);
    EXPECT_EQ(stream->SetSize(std::uint64_t{1} << 40), Status::MediumFull);
    stream.reset();
    EXPECT_EQ(ReadStream(*root, L"s"), std::string("\0\0\0a", 4));
}

TEST(StorageTest, ReleasingTheRoot_RevertsWhatIsStillOpenUnderIt) {
    testsupport::TempFolder folder;
    std::unique_ptr<Storage> root, sub;
    ASSERT_EQ(CreateRootStorage(folder.File(L"r.dic"), kWriteExclusive, &root), Status::Ok);
    std::unique_ptr<Stream> stream;
    ASSERT_EQ(root->CreateStream(L"s", kWriteExclusive, &stream), Status::Ok);
    ASSERT_EQ(root->CreateStorage(L"sub", kWriteExclusive, &sub), Status::Ok);
    root.reset();
    EXPECT_EQ(stream->Write("x", 1, nullptr), Status::Reverted);
    std::vector<ElementInfo> elements;
    EXPECT_EQ(sub->EnumElements(&elements), Status::Reverted);
}

TEST(StorageTest, LargeFile_ListsItsFatThroughDifatSectors) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"large.dic");
    // 109 FAT sectors of 512 bytes cover 13952 sectors, about 7 MB; 8 MB needs DIFAT sectors.
    const std::string big = Pattern(8u << 20, 9);
    {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"big", big), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"small", "tiny"), Status::Ok);
    }
    const std::string bytes = testsupport::ReadFileBytes(path);
    EXPECT_GT(Le32(bytes, 0x2C), 109u); // FAT sectors
    EXPECT_GE(Le32(bytes, 0x48), 1u);   // DIFAT sectors
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"small"), "tiny");
    EXPECT_TRUE(ReadStream(*root, L"big") == big);
}

TEST(StorageTest, ReadOnlyOpen_ReadsStreamSectorsOnlyWhenTheStreamIsRead) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"lazy.dic");
    {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        for (int i = 1; i <= 40; ++i)
            ASSERT_EQ(WriteStream(*root, std::to_wstring(i), Pattern(128 * 1024, i)), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"0", Pattern(25, 0)), Status::Ok);
    }
    const std::uint64_t fileSize = testsupport::ReadFileBytes(path).size();
    ASSERT_GT(fileSize, 5u << 20);
    const std::uint64_t start = detail::TotalBytesRead();
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
    const std::uint64_t opened = detail::TotalBytesRead() - start;
    // Header, FAT (4 bytes per 512-byte sector) and directory: about 1% of the file.
    EXPECT_LT(opened, fileSize / 50);
    EXPECT_EQ(ReadStream(*root, L"0"), Pattern(25, 0));
    EXPECT_LT(detail::TotalBytesRead() - start - opened, 1024u);
    EXPECT_EQ(ReadStream(*root, L"7"), Pattern(128 * 1024, 7));
    EXPECT_LT(detail::TotalBytesRead() - start - opened, 128u * 1024 + 1024);
}

// The sibling links of every storage must form a red-black tree ordered by the directory rule, or
// the platform's implementation may fail to find elements by name.
TEST(StorageTest, WrittenDirectory_IsAnOrderedRedBlackTree) {
    testsupport::TempFolder folder;
    const std::wstring path = folder.File(L"rb.dic");
    for (int count : {1, 2, 3, 5, 12, 100}) {
        {
            std::unique_ptr<Storage> root;
            ASSERT_EQ(CreateRootStorage(path, kWriteExclusive | Mode::Create, &root), Status::Ok);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(WriteStream(*root, std::to_wstring(i * 7 % 101), "v"), Status::Ok);
        }
        const std::string bytes = testsupport::ReadFileBytes(path);
        const RawLayout layout = ReadLayout(bytes);
        auto nameOf = [&](std::uint32_t id) {
            std::size_t at = layout.EntryOffset(id);
            std::size_t units = static_cast<unsigned char>(bytes[at + 0x40]) / 2 - 1;
            std::string name;
            for (std::size_t i = 0; i < units; ++i)
                name += bytes[at + 2 * i];
            return name;
        };
        auto less = [](const std::string& a, const std::string& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        };
        // Returns the black height, checking order, colours and the count of entries seen.
        int seen = 0;
        std::function<int(std::uint32_t, const std::string*, const std::string*, bool)> check =
            [&](std::uint32_t id, const std::string* low, const std::string* high, bool parentRed) -> int {
            if (id == 0xFFFFFFFF)
                return 1;
            ++seen;
            std::size_t at = layout.EntryOffset(id);
            const bool red = bytes[at + 0x43] == 0;
            EXPECT_FALSE(red && parentRed) << "two red entries in a row";
            const std::string name = nameOf(id);
            EXPECT_TRUE(low == nullptr || less(*low, name));
            EXPECT_TRUE(high == nullptr || less(name, *high));
            int left = check(Le32(bytes, at + 0x44), low, &name, red);
            int right = check(Le32(bytes, at + 0x48), &name, high, red);
            EXPECT_EQ(left, right) << "black heights differ under " << name;
            return left + (red ? 0 : 1);
        };
        std::uint32_t top = Le32(bytes, layout.EntryOffset(0) + 0x4C);
        EXPECT_EQ(bytes[layout.EntryOffset(top) + 0x43], 1) << "the top entry is black";
        check(top, nullptr, nullptr, false);
        EXPECT_EQ(seen, count);
    }
}
