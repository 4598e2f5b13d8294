// Opening and closing with open counts, deleting and moving files, and the information records.
#include "DictFixtures.h"

#include "base/FileSystem.h"

#include <algorithm>
#include <cstring>

using namespace dengine::testing;

TEST_F(EngineTest, OpenCounts_SameHandleAndCloseOnTheLastClose) {
    MakeDictionary(L"er.dic", Description("General", 0x0102));
    Init();
    __DictHandle* first = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DEngine::OpenDictionary(0, 0), first);
    EXPECT_EQ(DEngine::CloseDictionary(first), 1);
    EXPECT_EQ(DEngine::CloseDictionary(first), 0);
    EXPECT_EQ(DEngine::CloseDictionary(first), 0) << "already closed";
    // Closed, the file can be opened by anyone again.
    tagDictInfo info;
    EXPECT_EQ(DEngine::GetDictionaryInfo(DEngine::GetDictionaryPath(first), &info), 1);
}

TEST_F(EngineTest, ForceClose_ClosesAtOnceWhateverTheCount) {
    MakeDictionary(L"er.dic", Description("General", 0x0102));
    Init();
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(DEngine::OpenDictionary(handle), handle);
    EXPECT_EQ(DEngine::ForceCloseDictionary(handle), 0);
    EXPECT_EQ(DEngine::CloseDictionary(handle), 0);
    EXPECT_EQ(DEngine::OpenDictionary(handle), handle) << "a force-closed dictionary opens again";
}

TEST_F(EngineTest, Open_CountsFromTheTableWithoutTouchingBlockStreams) {
    // Index block streams filled with 0xFF bytes (a count of 65535 at their start) leave a dictionary
    // with the 0xCD table as it was at opening: their contents are not read...
    dengine::StreamList streams;
    std::string error;
    auto spoilIndexStreams = [&streams] {
        for (std::size_t i = 1; i < streams.size(); i += 2)
            std::fill(streams[i].second.begin(), streams[i].second.end(), 0xFF);
    };
    ASSERT_TRUE(dengine::BuildDictionaryStreams(Description("T", 0x0102), Words({"a", "b"}), &streams, &error));
    spoilIndexStreams();
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"table.dic"), streams, &error));
    // ...but they must be there to hold the entries the table counts...
    dengine::StreamList infoOnly(streams.begin(), streams.begin() + 1);
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"missing.dic"), infoOnly, &error));
    // ...and without the table the counts are read from them.
    dengine::DictionaryDescription noTable = Description("N", 0x0201);
    noTable.writeCountTable = false;
    ASSERT_TRUE(dengine::BuildDictionaryStreams(noTable, Words({"a", "b"}), &streams, &error));
    spoilIndexStreams();
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"notable.dic"), streams, &error));
    Init();
    ASSERT_EQ(Directions(), (std::vector<unsigned short>{0x0102, 0x0201}));
    ASSERT_EQ(Names(0), (std::vector<std::string>{"T", "T"}));
    std::vector<__DictHandle*> opened;
    for (unsigned short i = 0; i < 2; ++i) {
        if (__DictHandle* handle = DEngine::OpenDictionary(0, i))
            opened.push_back(handle);
    }
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(DEngine::GetTotalWordCount(opened[0]), 2u);
    unsigned long index = 0;
    EXPECT_EQ(DEngine::FindWord(opened[0], "a", &index, nullptr), 0) << "the spoilt block is refused when read";
    EXPECT_EQ(DEngine::OpenDictionary(1, 0), nullptr);
    EXPECT_EQ(DEngine::CloseDictionary(DEngine::GetDictionaryHandle(1, 0)), 0) << "a failed open leaves it closed";
}

TEST_F(EngineTest, Open_WithoutTableReadsCountsFromTheBlockStreams) {
    dengine::DictionaryDescription noTable = Description("N", 0x0102);
    noTable.writeCountTable = false;
    MakeDictionary(L"n.dic", noTable, {"a", "b", "c"});
    Init();
    EXPECT_NE(DEngine::OpenDictionary(0, 0), nullptr);
}

TEST_F(EngineTest, FreshUserDictionaryLayout_Opens) {
    // The smallest dictionary: one empty block, an empty block key and an empty trailer.
    dengine::DictionaryDescription user = Description("Mine", 0x0102, 4);
    user.writeCountTable = false;
    dengine::StreamList streams;
    std::string error;
    ASSERT_TRUE(dengine::BuildDictionaryStreams(user, {}, &streams, &error));
    ASSERT_EQ(streams.size(), 3u);
    const std::vector<std::uint8_t> info = {'M', 'i', 'n', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1,
                                            4,   0,   0,   0,   0, 0, 1, 1, 2, 0, 0, 0};
    EXPECT_EQ(streams[0].second, info);
    EXPECT_EQ(streams[1].second, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(streams[2].second, (std::vector<std::uint8_t>{0, 0}));
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"user.dic"), streams, &error));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(DEngine::GetTotalWordCount(handle), 0u);
    EXPECT_EQ(DEngine::GetDictionaryType(handle), 4);
}

TEST_F(EngineTest, Delete_RefusesOpenDictionariesAndDropsEmptyDirections) {
    std::wstring first = MakeDictionary(L"a.dic", Description("A", 0x0102));
    MakeDictionary(L"b.dic", Description("B", 0x0201));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 2);
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    EXPECT_EQ(DEngine::DeleteDictionary(0, 0), 0);
    EXPECT_TRUE(ovrin::FileExists(first));
    DEngine::CloseDictionary(handle);
    EXPECT_EQ(DEngine::DeleteDictionary(0, 0), 1);
    EXPECT_FALSE(ovrin::FileExists(first));
    EXPECT_EQ(Directions(), (std::vector<unsigned short>{0x0201}));
    EXPECT_EQ(DEngine::GetDictionaryName(handle), nullptr) << "the record is gone with its handle";
    EXPECT_EQ(DEngine::DeleteDictionary(5, 0), 0);
}

TEST_F(EngineTest, Move_KeepsHandleAndOpenCountAndRemovesTheOldFile) {
    std::wstring old = MakeDictionary(L"er.dic", Description("General", 0x0102));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    DEngine::OpenDictionary(handle);
    std::wstring target = testsupport::ToWide(folder.Path() / "Storage Card" / "Dictionaries");
    ASSERT_EQ(DEngine::MoveDictionary(handle, target.c_str()), 1);
    std::wstring moved = DEngine::GetDictionaryPath(handle);
    EXPECT_EQ(moved.substr(0, target.size()), target);
    EXPECT_EQ(moved.substr(moved.size() - 6), L"er.dic");
    EXPECT_FALSE(ovrin::FileExists(old));
    EXPECT_TRUE(ovrin::FileExists(moved));
    EXPECT_EQ(DEngine::CloseDictionary(handle), 1) << "still opened twice";
    EXPECT_EQ(DEngine::CloseDictionary(handle), 0);
}

TEST_F(EngineTest, FailedMove_LeavesTheDictionaryOpenAtItsOldPath) {
    std::wstring old = MakeDictionary(L"er.dic", Description("General", 0x0102));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    std::wstring target = testsupport::ToWide(folder.Path() / "taken");
    ovrin::CreateFolder(target);
    testsupport::WriteFileBytes(testsupport::ToWide(folder.Path() / "taken" / "er.dic"), "someone else's file");
    EXPECT_EQ(DEngine::MoveDictionary(handle, target.c_str()), 0);
    EXPECT_EQ(std::wstring(DEngine::GetDictionaryPath(handle)), old);
    EXPECT_EQ(testsupport::ReadFileBytes(testsupport::ToWide(folder.Path() / "taken" / "er.dic")),
              "someone else's file");
    // Still open on the old file: the engine holds it, so nobody else can open it.
    tagDictInfo info;
    EXPECT_EQ(DEngine::GetDictionaryInfo(old.c_str(), &info), 0);
    EXPECT_EQ(DEngine::CloseDictionary(handle), 0);
    EXPECT_EQ(DEngine::GetDictionaryInfo(old.c_str(), &info), 1);
    EXPECT_EQ(DEngine::MoveDictionary(handle, target.c_str()), 0) << "a closed dictionary is not moved";
}

TEST_F(EngineTest, DictionaryInfo_ChangesTheFileButNotTheCatalogueUntilEnumeration) {
    std::wstring path = MakeDictionary(L"er.dic", Description("Old name", 0x0102));
    Init();
    tagDictInfo info = {};
    info.direction = 0x0201;
    std::strcpy(info.name, "A new name12");
    ASSERT_EQ(DEngine::SetDictionaryInfo(path.c_str(), info), 1);
    EXPECT_STREQ(DEngine::GetDictionaryName(0, 0), "Old name");
    tagDictInfo read = {};
    ASSERT_EQ(DEngine::GetDictionaryInfo(path.c_str(), &read), 1);
    EXPECT_STREQ(read.name, "A new name12");
    EXPECT_EQ(read.direction, 0x0201);
    DEngine::ReloadDictEngine(root.c_str());
    EXPECT_STREQ(DEngine::GetDictionaryName(0, 0), "A new name12");
    EXPECT_EQ(DEngine::GetDirection(std::uint16_t{0}), 0x0201);

    std::strcpy(info.name, "Short");
    ASSERT_EQ(DEngine::SetDictionaryInfo(path.c_str(), info), 1);
    ASSERT_EQ(DEngine::GetDictionaryInfo(path.c_str(), &read), 1);
    EXPECT_STREQ(read.name, "Short") << "the old name's bytes are cleared";
    EXPECT_EQ(DEngine::GetDictionaryInfo(path.c_str(), nullptr), 0);
    EXPECT_EQ(DEngine::GetDictionaryInfo(folder.File(L"missing.dic").c_str(), &read), 0);
    EXPECT_EQ(DEngine::SetDictionaryInfo(folder.File(L"missing.dic").c_str(), info), 0);
}

TEST_F(EngineTest, DynamicInfo_RoundTripsAndRespectsTheCallersSize) {
    MakeDictionary(L"er.dic", Description("General", 0x0102));
    Init();
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    unsigned char value[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Position", value, 5), 1);
    unsigned char other[2] = {9, 9};
    ASSERT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Other", other, 2), 1);
    unsigned char newer[3] = {7, 8, 9};
    ASSERT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Position", newer, 3), 1) << "a value is replaced";

    unsigned char buffer[8] = {};
    unsigned short size = 2;
    EXPECT_EQ(DEngine::GetDictionaryDynamicInfo(handle, L"Position", buffer, &size), 0);
    EXPECT_EQ(size, 2) << "too small a buffer leaves the size as it was";
    size = 8;
    ASSERT_EQ(DEngine::GetDictionaryDynamicInfo(handle, L"Position", buffer, &size), 1);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(std::memcmp(buffer, newer, 3), 0);
    size = 8;
    EXPECT_EQ(DEngine::GetDictionaryDynamicInfo(handle, L"Missing", buffer, &size), 0);

    // An ordinary dictionary open for reading refuses to store values; closed, it takes them.
    ASSERT_NE(DEngine::OpenDictionary(handle), nullptr);
    EXPECT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Position", value, 5), 0);
    size = 8;
    EXPECT_EQ(DEngine::GetDictionaryDynamicInfo(handle, L"Position", buffer, &size), 1) << "reading works while open";
    DEngine::CloseDictionary(handle);
    EXPECT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Position", value, 5), 1);
}

TEST_F(EngineTest, DynamicInfo_OfAnOpenUserDictionaryIsCommittedToTheFile) {
    std::wstring path = MakeDictionary(L"user.dic", Description("Mine", 0x0102, 4));
    Init();
    __DictHandle* handle = DEngine::OpenDictionary(0, 0);
    ASSERT_NE(handle, nullptr);
    unsigned char value[3] = {1, 2, 3};
    ASSERT_EQ(DEngine::SetDictionaryDynamicInfo(handle, L"Last", value, 3), 1);
    DEngine::CloseDictionary(handle);
    DEngine::ReloadDictEngine(root.c_str());
    unsigned char buffer[3] = {};
    unsigned short size = 3;
    ASSERT_EQ(DEngine::GetDictionaryDynamicInfo(DEngine::GetDictionaryHandle(0, 0), L"Last", buffer, &size), 1);
    EXPECT_EQ(std::memcmp(buffer, value, 3), 0);
}
