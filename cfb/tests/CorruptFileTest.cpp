// Damaged files: every kind of damage makes opening or reading fail with a status, without a
// crash, a hang or an allocation out of proportion to the file.
#include "CfbTestFiles.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <functional>

using namespace cfb;
using namespace cfbtest;

namespace {

class CorruptFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File(L"damaged.dic");
        std::unique_ptr<Storage> root, sub;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"a", Pattern(100, 1)), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"big", Pattern(5000, 2)), Status::Ok);
        ASSERT_EQ(root->CreateStorage(L"sub", kWriteExclusive, &sub), Status::Ok);
        ASSERT_EQ(WriteStream(*sub, L"s", Pattern(10, 3)), Status::Ok);
        sub.reset();
        root.reset();
        good = testsupport::ReadFileBytes(path);
        layout = ReadLayout(good);
    }

    std::size_t Entry(const std::string& name) const {
        for (std::uint32_t id = 0; id < layout.directorySectors.size() * 4; ++id) {
            std::size_t at = layout.EntryOffset(id);
            std::string found;
            for (int i = 0; i < 32 && good[at + 2 * i] != 0; ++i)
                found += good[at + 2 * i];
            if (found == name)
                return at;
        }
        ADD_FAILURE() << "no entry " << name;
        return 0;
    }
    std::uint32_t IdOf(const std::string& name) const {
        return static_cast<std::uint32_t>((Entry(name) - layout.SectorOffset(layout.directorySectors[0])) / 128);
    }
    std::size_t FatEntry(std::uint32_t sector) const { return layout.SectorOffset(Le32(good, 0x4C)) + 4 * sector; }

    // Opens the damaged bytes and walks everything; the first failure, or Ok.
    Status OpenAndWalk(const std::string& bytes) {
        testsupport::WriteFileBytes(path, bytes);
        std::unique_ptr<Storage> root;
        Status status = OpenRootStorage(path, kReadShared, &root);
        return Succeeded(status) ? WalkEverything(*root) : status;
    }
    Status WithDamage(const std::function<void(std::string&)>& damage) {
        std::string bytes = good;
        damage(bytes);
        return OpenAndWalk(bytes);
    }

    testsupport::TempFolder folder;
    std::wstring path;
    std::string good;
    RawLayout layout;
};

} // namespace

TEST_F(CorruptFileTest, TheUndamagedFileWalksCleanly) {
    EXPECT_EQ(OpenAndWalk(good), Status::Ok);
}

TEST_F(CorruptFileTest, TruncatedFiles_Fail) {
    EXPECT_EQ(OpenAndWalk(""), Status::InvalidHeader);
    EXPECT_EQ(OpenAndWalk(good.substr(0, 7)), Status::InvalidHeader);
    for (std::size_t length :
         {std::size_t{8}, std::size_t{100}, std::size_t{511}, std::size_t{612}, good.size() - 512, good.size() - 1})
        EXPECT_NE(OpenAndWalk(good.substr(0, length)), Status::Ok) << length;
}

TEST_F(CorruptFileTest, HeaderFieldsOutOfRange_Fail) {
    EXPECT_EQ(WithDamage([](std::string& b) { b[0] = 'X'; }), Status::InvalidHeader);
    EXPECT_EQ(WithDamage([](std::string& b) { b[0x1E] = 12; }), Status::FileCorrupt); // version 3, 4096 sectors
    EXPECT_EQ(WithDamage([](std::string& b) { b[0x20] = 7; }), Status::FileCorrupt);  // mini sector size
    EXPECT_EQ(WithDamage([](std::string& b) { SetLe32(b, 0x2C, 0x00FFFFFF); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([](std::string& b) { SetLe32(b, 0x2C, 0); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([](std::string& b) { SetLe32(b, 0x4C, 0x10000); }), Status::FileCorrupt);
}

TEST_F(CorruptFileTest, DifatChainThatLoops_Fails) {
    // A file of some 280 sectors, so that it may claim 237 FAT sectors: the header lists 109, one
    // DIFAT sector 127 more, and the 237th has to come from a second DIFAT sector.
    const std::wstring largePath = folder.File(L"large.dic");
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(largePath, kWriteExclusive, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"large", Pattern(140000, 4)), Status::Ok);
    root.reset();
    const std::string large = testsupport::ReadFileBytes(largePath);
    const RawLayout largeLayout = ReadLayout(large);
    const std::uint32_t realFatSectors = Le32(large, 0x2C);
    ASSERT_GE(large.size() / largeLayout.sectorSize, 240u);
    ASSERT_EQ(Le32(large, 0x44), 0xFFFFFFFEu) << "the file needs no DIFAT sector of its own";
    const std::uint32_t lastFat = Le32(large, 0x4C + 4 * (realFatSectors - 1));

    // The DIFAT sector (a sector of the stream's data) names itself as the next one. Every FAT
    // sector it and the header list beyond the real ones repeats the last real FAT sector, so that
    // the FAT read through the loop is the real one followed by copies: only the loop is wrong.
    const std::uint32_t difat = 200;
    std::string bytes = large;
    SetLe32(bytes, 0x2C, 237);
    SetLe32(bytes, 0x44, difat);
    SetLe32(bytes, 0x48, 2);
    for (std::uint32_t i = realFatSectors; i < 109; ++i)
        SetLe32(bytes, 0x4C + 4 * i, lastFat);
    const std::size_t difatAt = largeLayout.SectorOffset(difat);
    for (std::uint32_t i = 0; i + 1 < largeLayout.sectorSize / 4; ++i)
        SetLe32(bytes, difatAt + 4 * i, lastFat);
    SetLe32(bytes, difatAt + largeLayout.sectorSize - 4, difat);
    EXPECT_EQ(OpenAndWalk(bytes), Status::FileCorrupt);

    // The same sector ending the chain instead of looping is a sound file: the failure above is the loop's.
    SetLe32(bytes, 0x2C, 236);
    SetLe32(bytes, 0x48, 1);
    SetLe32(bytes, difatAt + largeLayout.sectorSize - 4, 0xFFFFFFFEu);
    EXPECT_EQ(OpenAndWalk(bytes), Status::Ok);
}

TEST_F(CorruptFileTest, SectorChainsThatLoopOrLeaveTheFile_Fail) {
    const std::uint32_t directory = layout.directorySectors[0];
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, FatEntry(directory), directory); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, 0x30, 5000); }), Status::FileCorrupt);

    const std::size_t big = Entry("big");
    const std::uint32_t bigStart = Le32(good, big + 0x74);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, big + 0x74, 0x00FFFFFF); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, FatEntry(bigStart + 2), bigStart); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, FatEntry(bigStart + 2), 0xFFFFFFFE); }), Status::FileCorrupt);

    // The mini stream: a small stream whose mini chain names itself, or a mini sector beyond it.
    const std::size_t small = Entry("a");
    const std::size_t miniFat = layout.SectorOffset(Le32(good, 0x3C));
    const std::uint32_t smallStart = Le32(good, small + 0x74);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, miniFat + 4 * smallStart, smallStart); }),
              Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, small + 0x74, 4000); }), Status::FileCorrupt);
}

TEST_F(CorruptFileTest, DirectoryCyclesAndBadLinks_Fail) {
    const std::size_t big = Entry("big");
    const std::uint32_t bigId = IdOf("big");
    const std::size_t sub = Entry("sub");
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, big + 0x44, bigId); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, sub + 0x4C, bigId); }), Status::FileCorrupt); // ancestor
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, sub + 0x4C, 0); }), Status::FileCorrupt);     // the root
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, big + 0x48, 999); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { b[big + 0x42] = 7; }), Status::FileCorrupt); // entry type
    EXPECT_EQ(WithDamage([&](std::string& b) { b[layout.EntryOffset(0) + 0x42] = 1; }), Status::FileCorrupt);
    // Two entries of one name in one storage.
    EXPECT_EQ(WithDamage([&](std::string& b) {
                  b[Entry("a")] = 'B';
                  b[Entry("a") + 0x40] = 8;
                  b[Entry("a") + 2] = 'I';
                  b[Entry("a") + 4] = 'G';
              }),
              Status::FileCorrupt);
}

TEST_F(CorruptFileTest, NamesWithoutTerminatorOrWithABadLength_Fail) {
    const std::size_t big = Entry("big");
    EXPECT_EQ(WithDamage([&](std::string& b) {
                  for (int i = 0; i < 32; ++i)
                      b[big + 2 * i] = 'n';
                  b[big + 0x40] = 64;
              }),
              Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { b[big + 0x40] = 7; }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { b[big + 0x40] = 66; }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { b[big + 0x40] = 2; }), Status::FileCorrupt); // empty name
    EXPECT_EQ(WithDamage([&](std::string& b) { b[big + 0x40] = 6; }), Status::FileCorrupt); // NUL not at the end
}

TEST_F(CorruptFileTest, StreamSizesBeyondTheFile_Fail) {
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, Entry("big") + 0x78, 0x7FFFFFFF); }), Status::FileCorrupt);
    // 4000 bytes is still a mini-stream size, but the mini stream is shorter.
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, Entry("a") + 0x78, 4000); }), Status::FileCorrupt);
    EXPECT_EQ(WithDamage([&](std::string& b) { SetLe32(b, layout.EntryOffset(0) + 0x78, 0x10000000); }),
              Status::FileCorrupt);
}
