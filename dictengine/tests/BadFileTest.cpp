// Damaged dictionary files are left out by enumeration and refused by attach and open, without a
// read outside their bytes (the sanitizer build runs these too).
#include "DictFixtures.h"

using namespace dengine::testing;

namespace {

std::vector<std::uint8_t> InfoStream(std::uint16_t blockCount, const std::vector<std::uint8_t>& afterFixedPart,
                                     std::uint8_t version = 1) {
    std::vector<std::uint8_t> stream = {'B', 'a', 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, version, 1, 0, 0, 0, 2};
    stream.push_back(static_cast<std::uint8_t>(blockCount >> 8));
    stream.push_back(static_cast<std::uint8_t>(blockCount));
    stream.push_back(0x01);
    stream.push_back(0x02);
    stream.insert(stream.end(), afterFixedPart.begin(), afterFixedPart.end());
    return stream;
}

class BadFileTest : public EngineTest {
protected:
    // A file with the streams of a good two-word dictionary, stream "0" replaced.
    std::wstring WithInfoStream(const std::wstring& name, const std::vector<std::uint8_t>& info) {
        dengine::StreamList streams;
        std::string error;
        EXPECT_TRUE(dengine::BuildDictionaryStreams(Description("Good", 0x0102), Words({"a", "b"}), &streams, &error));
        streams[0].second = info;
        std::wstring path = folder.File(name);
        EXPECT_TRUE(dengine::WriteStreamFile(path, streams, &error)) << error;
        return path;
    }
};

} // namespace

TEST_F(BadFileTest, DamagedInformationStreams_AreSkippedAndRefused) {
    std::vector<std::wstring> bad = {
        WithInfoStream(L"short.dic", std::vector<std::uint8_t>(21, 'x')),
        WithInfoStream(L"morekeys.dic", InfoStream(3, {'a', 0, 'b', 0, 0, 0})),
        WithInfoStream(L"unterminated.dic", InfoStream(1, {'a', 'b', 'c'})),
        WithInfoStream(L"trailer.dic", InfoStream(1, {'a', 0, 0x00, 0x09, 0xCD, 0})),
        WithInfoStream(L"notrailer.dic", InfoStream(1, {'a', 0})),
    };
    testsupport::WriteFileBytes(folder.File(L"text.dic"), "just some text, not a compound file");
    testsupport::WriteFileBytes(folder.File(L"empty.dic"), "");
    dengine::StreamList noInfo = {{L"1", {0, 0, 0, 0}}};
    std::string error;
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"noinfo.dic"), noInfo, &error));
    bad.push_back(folder.File(L"text.dic"));
    bad.push_back(folder.File(L"empty.dic"));
    bad.push_back(folder.File(L"noinfo.dic"));
    MakeDictionary(L"good.dic", Description("Good", 0x0201));

    Init();
    ASSERT_EQ(Directions(), (std::vector<unsigned short>{0x0201}));
    EXPECT_EQ(DEngine::GetDictionaryCount(0), 1);
    for (const std::wstring& path : bad)
        EXPECT_EQ(DEngine::AttachDictionary(path.c_str()), 0) << testsupport::ToPath(path).string();
    EXPECT_EQ(DEngine::AttachDictionary(folder.File(L"missing.dic").c_str()), 0);
    EXPECT_EQ(DEngine::AttachDictionary(nullptr), 0);
    EXPECT_EQ(DEngine::GetDirectionCount(), 1);
}

TEST_F(BadFileTest, WrongVersion_IsListedButCannotBeOpened) {
    WithInfoStream(L"v2.dic", InfoStream(1, {'a', 0, 0, 0}, 2));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    __DictHandle* handle = DEngine::GetDictionaryHandle(0, 0);
    EXPECT_EQ(DEngine::GetVersion(handle), 0x0201);
    EXPECT_EQ(DEngine::OpenDictionary(handle), nullptr);
}

TEST_F(BadFileTest, ShortCountTable_FallsBackToTheBlockStreams) {
    // The table claims one entry of four bytes for two blocks: the counts come from the streams.
    std::wstring path =
        WithInfoStream(L"short-table.dic", InfoStream(2, {'a', 0, 'b', 0, 0x00, 0x07, 0xCD, 0x00, 0x04, 0, 0, 1, 0}));
    Init();
    ASSERT_EQ(DEngine::GetDirectionCount(), 1);
    // The good file has a single block, so its stream "3" is missing and the open fails cleanly.
    EXPECT_EQ(DEngine::OpenDictionary(0, 0), nullptr);
}
