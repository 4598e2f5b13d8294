// The article model: parsing article bytes and packing them back byte for byte, building articles
// from nothing, the limits that packing refuses to cut, and the sharing copy assignments.
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace DEngine;
using dengine::MakeArticle;

namespace {

using Tags = std::vector<std::pair<std::uint8_t, std::string>>;

// The tag sequence of a container, without its length: the data of a container tag.
std::string Sequence(const Tags& tags) {
    return MakeArticle(tags).substr(2);
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// Packs the model and frees both; the bytes as a string.
std::string PackAndFree(sArticle* model) {
    unsigned char* packed = model->Pack();
    EXPECT_NE(packed, nullptr);
    std::string bytes;
    if (packed != nullptr) {
        bytes.assign(reinterpret_cast<char*>(packed), 2 + (packed[0] << 8 | packed[1]));
        FreePtr(packed);
    }
    model->Free();
    return bytes;
}

std::string ThreeParts() {
    std::string translation = Sequence({{0x01, "house"}, {0x03, "bldg"}});
    return MakeArticle({{0x80, Sequence({{0x02, "\x01"}, {0x08, "first"}, {0x90, translation}})},
                        {0x80, Sequence({{0x02, "\x02"}, {0x0A, "a"}, {0x0A, "b"}})},
                        {0x80, Sequence({{0x02, "\x03"}, {0x90, Sequence({{0x01, "x"}})}, {0x90, translation}})}});
}

} // namespace

TEST(ArticleModel, ParseThenPackGivesTheSameBytes) {
    std::string many = ThreeParts();
    EXPECT_EQ(PackAndFree(ParseArticle(Bytes(many))), many);

    std::string plain = MakeArticle({{0x02, "\x01"}, {0x90, Sequence({{0x01, "dom"}, {0x0B, ""}})}, {0x09, "end"}});
    EXPECT_EQ(PackAndFree(ParseArticle(Bytes(plain))), plain);

    // One 0x80 part packs without its wrapper: its tags become the top level.
    std::string inner = Sequence({{0x02, "\x05"}, {0x01, "word"}});
    std::string one = MakeArticle({{0x80, inner}});
    EXPECT_EQ(PackAndFree(ParseArticle(Bytes(one))), MakeArticle({{0x02, "\x05"}, {0x01, "word"}}));
}

TEST(ArticleModel, ParseBuildsTheTreeOfEachPart) {
    std::string article = ThreeParts();
    sArticle* model = ParseArticle(Bytes(article));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->count, 3);
    sTagStructure& last = model->items[2];
    ASSERT_EQ(last.count, 3);
    EXPECT_EQ(last.items[1].tag, 0x90);
    EXPECT_EQ(last.items[1].length, 3); // the container length as read
    ASSERT_EQ(last.items[2].children.count, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(last.items[2].children.items[1].data), 4), "bldg");
    EXPECT_EQ(model->FindPart(2), &model->items[1]);
    EXPECT_EQ(model->FindPart(9), nullptr);
    sTagEntry* first = model->items[1].FindEntry(0x0A);
    sTagEntry* second = model->items[1].FindNextEntry(first);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->data[0], 'b');
    EXPECT_EQ(model->items[1].FindNextEntry(second), nullptr);
    model->Free();
}

TEST(ArticleModel, NewArticlesPackToTheirBytes) {
    EXPECT_EQ(PackAndFree(sArticle::New()), std::string("\x00\x00", 2));

    sArticle* one = sArticle::New();
    one->AddPart(1);
    EXPECT_EQ(PackAndFree(one), std::string("\x00\x03\x02\x01\x01", 5));

    sArticle* two = sArticle::New();
    two->AddPart(1);
    sTagStructure* noun = two->AddPart(2);
    sTagEntry* translation = noun->AddEntry(0x90);
    unsigned char text[] = {'c', 'a', 't'};
    translation->children.AddEntry(0x01)->SetData(text, 3);
    std::string expected = MakeArticle(
        {{0x80, Sequence({{0x02, "\x01"}})}, {0x80, Sequence({{0x02, "\x02"}, {0x90, Sequence({{0x01, "cat"}})}})}});
    EXPECT_EQ(PackAndFree(two), expected);
}

TEST(ArticleModel, DeleteRemovesWithoutFreeingAndKeepsTheOrder) {
    sArticle* model = sArticle::New();
    model->AddPart(1);
    model->AddPart(2);
    model->AddPart(3);
    sTagStructure removed = model->items[1];
    model->DeletePart(&model->items[1]);
    ASSERT_EQ(model->count, 2);
    EXPECT_EQ(model->items[1].items[0].data[0], 3);
    EXPECT_EQ(removed.items[0].data[0], 2); // still owned by the removed copy
    removed.Free();

    sTagStructure& part = model->items[0];
    part.AddEntry(0x08);
    part.AddEntry(0x09);
    sTagEntry kept = part.items[0];
    part.DeleteEntry(&part.items[0]);
    ASSERT_EQ(part.count, 2);
    EXPECT_EQ(part.items[0].tag, 0x08);
    EXPECT_EQ(part.items[1].tag, 0x09);
    part.DeleteEntry(&kept); // not in the list: nothing happens
    EXPECT_EQ(part.count, 2);
    kept.Free();
    model->Free();
}

TEST(ArticleModel, CopyAssignmentsShareTheBuffers) {
    sArticle* model = sArticle::New();
    model->AddPart(7);
    sArticle copy{};
    copy = *model;
    EXPECT_EQ(copy.items, model->items);
    sTagEntry entry{};
    entry = model->items[0].items[0];
    EXPECT_EQ(entry.data, model->items[0].items[0].data);
    sTagStructure sequence{};
    sequence = model->items[0];
    EXPECT_EQ(sequence.items, model->items[0].items);
    model->Free(); // one free for all of them
}

TEST(ArticleModel, SetDataRefusesWhatALeafCannotHold) {
    sArticle* model = sArticle::New();
    sTagEntry* leaf = model->AddPart(1)->AddEntry(0x01);
    std::vector<unsigned char> big(256, 'x');
    leaf->SetData(big.data(), 255);
    EXPECT_EQ(leaf->length, 255);
    EXPECT_EQ(leaf->GetLength(), 257);
    leaf->SetData(big.data(), 256);
    EXPECT_EQ(leaf->length, 255); // refused: the entry keeps its data
    // A length set by hand beyond 255 is not packed with a cut length byte.
    leaf->length = 300;
    EXPECT_EQ(leaf->GetLength(), 0);
    EXPECT_EQ(model->Pack(), nullptr);
    leaf->length = 255;
    model->Free();
}

TEST(ArticleModel, PackingRefusesContainersBeyondSixteenBits) {
    sArticle* model = sArticle::New();
    sTagStructure* part = model->AddPart(1);
    std::vector<unsigned char> data(255, 'y');
    // 2 + 3 (part of speech) + 255 * 257 bytes is more than GetLength's 16 bits hold.
    for (int i = 0; i < 255; ++i)
        part->AddEntry(0x01)->SetData(data.data(), 255);
    EXPECT_EQ(part->GetLength(), 0);
    std::vector<unsigned char> out(70000, 0xEE);
    EXPECT_EQ(part->Pack(out.data()), 0);
    EXPECT_EQ(out[0], 0xEE); // nothing written
    EXPECT_EQ(model->Pack(), nullptr);
    // Below the limit it packs, the length field holding the whole size.
    part->items[255].Free();
    part->DeleteEntry(&part->items[255]);
    unsigned short size = part->GetLength();
    EXPECT_EQ(size, 2 + 3 + 254 * 257);
    EXPECT_EQ(part->Pack(out.data()), size);
    EXPECT_EQ((out[0] << 8 | out[1]) + 2, size);
    // Two such parts do not fit one article container.
    model->AddPart(2);
    model->items[1].AddEntry(0x01)->SetData(data.data(), 255);
    EXPECT_EQ(model->Pack(), nullptr);
    model->Free();
}
