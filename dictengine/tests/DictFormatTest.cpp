// The shared pieces of the file format: the bounded tag walk, building tags within their limits, the
// information stream, the direction encodings, the French reflexive keys and the bound on what an
// index block stream can hold.
#include "dictengine/DictFormat.h"
#include "dictengine/BlockStream.h"

#include "InfoStream.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dengine;

namespace {

std::vector<TagView> Walk(const std::string& bytes, bool* damaged) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.data());
    TagWalker walker(begin, begin + bytes.size());
    std::vector<TagView> tags;
    TagView tag;
    while (walker.Next(tag))
        tags.push_back(tag);
    *damaged = walker.Damaged();
    return tags;
}

} // namespace

TEST(DictFormatTest, WalkerStopsAtATagThatRunsPastItsSequenceAndSaysSo) {
    std::string tags;
    ASSERT_TRUE(AppendTag(tags, kTagTranslationText, "abc"));
    ASSERT_TRUE(AppendTag(tags, kTagTranslation, std::string("\x03\x01z", 3)));
    bool damaged = true;
    std::vector<TagView> whole = Walk(tags, &damaged);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_FALSE(damaged);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole[0].data), whole[0].length), "abc");
    EXPECT_TRUE(whole[1].IsContainer());
    EXPECT_EQ(whole[1].Begin(), whole[0].End());

    // 11 bytes: cut inside the container's data, inside its length field, and right after its tag byte.
    ASSERT_EQ(tags.size(), 11u);
    for (std::size_t cut : {std::size_t(10), std::size_t(7), std::size_t(6)}) {
        std::vector<TagView> part = Walk(tags.substr(0, cut), &damaged);
        EXPECT_EQ(part.size(), 1u) << cut;
        EXPECT_TRUE(damaged) << cut;
    }
}

TEST(DictFormatTest, TagsTooLongForTheirLengthFieldAreRefusedWhole) {
    std::string tags = "keep";
    EXPECT_FALSE(AppendTag(tags, kTagNote, std::string(256, 'x')));
    EXPECT_TRUE(AppendTag(tags, kTagNote, std::string(255, 'x')));
    EXPECT_FALSE(AppendTag(tags, kTagTranslation, std::string(65536, 'x')));
    EXPECT_EQ(tags.size(), 4u + 2 + 255);
    EXPECT_EQ(MakeArticle({{kTagNote, std::string(256, 'x')}}), "");
    EXPECT_EQ(MakeArticle({{kTagPartOfSpeech, "\x01"}}), std::string("\x00\x03\x02\x01\x01", 5));
    std::string container;
    EXPECT_FALSE(MakeContainer(std::string(65536, 'x'), &container));
}

TEST(DictFormatTest, InformationStreamReadsBackThroughTheHeaderLayout) {
    InformationStream information;
    information.name = "Name";
    information.headwordCount = 0x01020304;
    information.direction = MakeDirection(1, 2);
    information.blockKeys = {"apple", "melon"};
    ASSERT_TRUE(AppendTag(information.trailerTags, kTagBlockCountTable, std::string(8, '\0')));
    std::vector<std::uint8_t> stream;
    ASSERT_TRUE(MakeInformationStream(information, &stream));
    const std::uint8_t* header = stream.data() + kHeaderOffset;
    EXPECT_EQ(header[kHeaderVersion], kFormatVersion);
    EXPECT_EQ(ReadBigEndian32(header + kHeaderHeadwordCount), 0x01020304u);
    EXPECT_EQ(ReadBigEndian16(header + kHeaderDirection), 0x0102);
    HeaderLayout layout;
    ASSERT_TRUE(ParseHeader(header, stream.size() - kHeaderOffset, &layout));
    ASSERT_EQ(layout.blockCount, 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(header + layout.keyOffsets[1]), "melon");
    std::vector<std::uint16_t> counts;
    EXPECT_TRUE(ReadBlockCountTable(header, layout, &counts));

    information.name = "thirteen byte";
    EXPECT_FALSE(MakeInformationStream(information, &stream));
    information.name = "Name";
    information.blockKeys[0] = std::string("a\0b", 3);
    EXPECT_FALSE(MakeInformationStream(information, &stream));
}

TEST(DictFormatTest, DirectionCodeAndDirectionKeyNameTheLanguagesInOppositeOrder) {
    constexpr std::uint16_t code = MakeDirection(8, 2); // French to Russian
    static_assert(code == 0x0802);
    EXPECT_EQ(SourceLanguage(code), 8);
    EXPECT_EQ(TargetLanguage(code), 2);
    EXPECT_EQ(DirectionKey(code), 0x00020008u);
}

TEST(DictFormatTest, FrenchReflexiveKeysAreTheVerb) {
    EXPECT_STREQ(WithoutFrenchReflexive("se laver"), "laver");
    EXPECT_STREQ(WithoutFrenchReflexive("s'asseoir"), "asseoir");
    EXPECT_STREQ(WithoutFrenchReflexive("s' asseoir"), "asseoir");
    EXPECT_STREQ(WithoutFrenchReflexive("sel"), "sel");
    EXPECT_STREQ(WithoutFrenchReflexive("s"), "s");
}

TEST(DictFormatTest, AnIndexBlockStreamHoldsNoMoreEntriesThanItsSizeAllows_ButEveryRealOneFits) {
    // The densest index data there is, n empty entries, compresses best of all: its stream must still
    // be allowed its n entries.
    for (std::size_t n : {1u, 2u, 31u, 258u, 1000u, 8192u, 40000u, 65535u}) {
        std::vector<std::uint8_t> stream;
        ASSERT_TRUE(EncodeIndexBlock(static_cast<std::uint16_t>(n), std::vector<std::uint8_t>(n, 0), &stream));
        EXPECT_GE(MostEntriesOfIndexBlockStream(stream.size()), n) << n << " entries in " << stream.size() << " bytes";
    }
    // An empty block's four bytes, or a stream too short for zlib's header and checksum, hold nothing;
    // no stream holds more than a block may.
    EXPECT_EQ(MostEntriesOfIndexBlockStream(0), 0u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(4), 0u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(10), 0u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(11), 1032u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(40), 30u * 1032u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(1u << 20), 65535u);
    EXPECT_EQ(MostEntriesOfIndexBlockStream(~std::uint64_t(0)), 65535u);
}
