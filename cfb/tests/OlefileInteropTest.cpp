// Files written here, read by an implementation we did not write: Python's olefile lists every
// storage and stream and checksums each stream's bytes.
#include "CfbTestFiles.h"

#include "base/Unicode.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

using namespace cfb;
using namespace cfbtest;

namespace {

// Lists the file as lines "storage/path/" and "stream/path<TAB>size<TAB>crc32", one per element.
constexpr char kListingScript[] = R"(import sys, zlib, olefile
ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
with open(sys.argv[2], 'w', encoding='utf-8') as out:
    out.write('sector %d\n' % ole.sectorsize)
    for entry in ole.listdir(streams=True, storages=True):
        name = '/'.join(entry)
        if ole.get_type(entry) == olefile.STGTY_STORAGE:
            out.write(name + '/\n')
        else:
            data = ole.openstream(entry).read()
            out.write('%s\t%d\t%d\n' % (name, len(data), zlib.crc32(data)))
)";

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

class OlefileInteropTest : public ::testing::TestWithParam<SectorSize> {
protected:
    void Add(Storage& storage, const std::wstring& prefix, const std::wstring& name, const std::string& bytes) {
        ASSERT_EQ(WriteStream(storage, name, bytes), Status::Ok);
        expected.insert(ovrin::Utf16ToUtf8(prefix + name) + "\t" + std::to_string(bytes.size()) + "\t" +
                        std::to_string(Crc32(bytes)));
    }
    std::set<std::string> ListWithOlefile(const std::wstring& file) {
        const std::wstring script = folder.File(L"list.py"), listing = folder.File(L"listing.txt");
        testsupport::WriteFileBytes(script, kListingScript);
        std::string command = "/usr/bin/python3 '" + ovrin::Utf16ToUtf8(script) + "' '" + ovrin::Utf16ToUtf8(file) +
                              "' '" + ovrin::Utf16ToUtf8(listing) + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::set<std::string> lines;
        std::istringstream text(testsupport::ReadFileBytes(listing));
        for (std::string line; std::getline(text, line);)
            lines.insert(line);
        return lines;
    }
    testsupport::TempFolder folder;
    std::set<std::string> expected;
};

} // namespace

TEST_P(OlefileInteropTest, WrittenFile_ListsAndReadsTheSameInOlefile) {
    const std::wstring path = folder.File(L"interop.dic");
    {
        std::unique_ptr<Storage> root, info, inner;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root, GetParam()), Status::Ok);
        for (int i = 0; i < 30; ++i)
            Add(*root, L"", std::to_wstring(i), Pattern(static_cast<std::size_t>(i * 311), i));
        for (std::size_t size : {4095, 4096, 4097})
            Add(*root, L"", L"cut" + std::to_wstring(size), Pattern(size, static_cast<unsigned>(size)));
        Add(*root, L"", L"Статья", Pattern(777, 40));
        Add(*root, L"", L"large", Pattern(2u << 20, 41));
        ASSERT_EQ(root->CreateStorage(L"DD_INFO", kWriteExclusive, &info), Status::Ok);
        expected.insert("DD_INFO/");
        Add(*info, L"DD_INFO/", L"position", "12345");
        ASSERT_EQ(info->CreateStorage(L"nested", kWriteExclusive, &inner), Status::Ok);
        expected.insert("DD_INFO/nested/");
        Add(*inner, L"DD_INFO/nested/", L"deep", Pattern(6000, 42));
    }
    expected.insert("sector " + std::to_string(static_cast<unsigned>(GetParam())));
    EXPECT_EQ(ListWithOlefile(path), expected);
}

// A file past 7 MB lists its FAT through DIFAT sectors; a transacted commit wrote this one.
TEST_P(OlefileInteropTest, CommittedLargeFile_ReadsInOlefile) {
    const std::wstring path = folder.File(L"large.dic");
    {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kTransacted, &root, GetParam()), Status::Ok);
        Add(*root, L"", L"huge", Pattern(9u << 20, 50));
        Add(*root, L"", L"0", Pattern(25, 51));
        ASSERT_EQ(root->Commit(), Status::Ok);
    }
    expected.insert("sector " + std::to_string(static_cast<unsigned>(GetParam())));
    EXPECT_EQ(ListWithOlefile(path), expected);
}

INSTANTIATE_TEST_SUITE_P(BothSectorSizes, OlefileInteropTest,
                         ::testing::Values(SectorSize::Bytes512, SectorSize::Bytes4096));
