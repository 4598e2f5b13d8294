// The entity table: its size, order and telling rows, and decoding and encoding of every row.
#include "ReferenceEntities.h"
#include "pagetrans/Entities.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace ovrin;

namespace {

std::size_t RowOf(const wchar_t* name) {
    for (std::size_t i = 0; EntityTable[i].name != nullptr; ++i) {
        if (std::wstring(EntityTable[i].name) == name)
            return i;
    }
    return SIZE_MAX;
}

} // namespace

TEST(EntityTableTest, HoldsTheHtml401RowsWithoutAmpAndEndsWithAZeroRow) {
    std::size_t rows = 0;
    while (EntityTable[rows].name != nullptr)
        ++rows;
    EXPECT_EQ(rows, 251u);
    EXPECT_EQ(rows, kEntityCount);
    EXPECT_EQ(EntityTable[rows].code, 0u);

    std::set<std::wstring> names;
    std::set<std::uint32_t> codes;
    for (std::size_t i = 0; i < rows; ++i) {
        std::wstring name = EntityTable[i].name;
        names.insert(name);
        codes.insert(EntityTable[i].code);
        ASSERT_GE(name.size(), 4u);
        EXPECT_EQ(name.front(), L'&');
        EXPECT_EQ(name.back(), L';');
        for (std::size_t k = 1; k + 1 < name.size(); ++k)
            EXPECT_TRUE((name[k] >= L'0' && name[k] <= L'9') || (name[k] >= L'A' && name[k] <= L'Z') ||
                        (name[k] >= L'a' && name[k] <= L'z'))
                << i;
        bool ascii = EntityTable[i].code < 0x80;
        EXPECT_EQ(ascii, name == L"&lt;" || name == L"&gt;" || name == L"&quot;") << i;
    }
    EXPECT_EQ(names.size(), rows);
    EXPECT_EQ(codes.size(), rows);
    EXPECT_EQ(RowOf(L"&amp;"), SIZE_MAX);
}

TEST(EntityTableTest, RowsFollowTheLat1SymbolSpecialOrder) {
    for (std::uint32_t i = 0; i < 96; ++i)
        EXPECT_EQ(EntityTable[i].code, 0xA0 + i);
    EXPECT_STREQ(EntityTable[0].name, L"&nbsp;");
    EXPECT_STREQ(EntityTable[95].name, L"&yuml;");
    EXPECT_EQ(RowOf(L"&fnof;"), 96u);
    EXPECT_EQ(RowOf(L"&Alpha;"), 97u);
    EXPECT_EQ(RowOf(L"&Omega;"), 120u);
    EXPECT_EQ(RowOf(L"&alpha;"), 121u);
    EXPECT_EQ(RowOf(L"&omega;"), 145u);
    EXPECT_EQ(RowOf(L"&thetasym;"), 146u);
    EXPECT_EQ(RowOf(L"&bull;"), 149u);
    EXPECT_EQ(RowOf(L"&weierp;") + 1, RowOf(L"&image;"));
    EXPECT_EQ(RowOf(L"&loz;"), 215u);
    EXPECT_EQ(RowOf(L"&diams;"), 219u);
    EXPECT_EQ(RowOf(L"&lt;"), 220u);
    EXPECT_EQ(RowOf(L"&euro;"), 249u);
    EXPECT_EQ(RowOf(L"&quot;"), 250u);
    const std::pair<const wchar_t*, std::uint32_t> known[] = {
        {L"&eacute;", 0xE9}, {L"&Eacute;", 0xC9},  {L"&fnof;", 402},   {L"&sigmaf;", 962},  {L"&piv;", 982},
        {L"&image;", 8465},  {L"&alefsym;", 8501}, {L"&crarr;", 8629}, {L"&sdot;", 8901},   {L"&lang;", 9001},
        {L"&loz;", 9674},    {L"&OElig;", 338},    {L"&circ;", 710},   {L"&thinsp;", 8201}, {L"&euro;", 8364},
        {L"&quot;", 34},     {L"&lt;", 60},        {L"&gt;", 62},      {L"&Yuml;", 376},    {L"&rsaquo;", 8250},
    };
    for (const auto& [name, code] : known)
        EXPECT_EQ(EntityTable[RowOf(name)].code, code) << testing::PrintToString(std::wstring(name));
}

TEST(EntityTableTest, EveryRowDecodesAndEncodes) {
    for (const sEntityRow* row = EntityTable; row->name != nullptr; ++row) {
        const std::wstring name = row->name;
        const std::wstring character(1, static_cast<wchar_t>(row->code));
        std::wstring text = L"x" + name + L"y" + name;
        DecodeEntities(text);
        EXPECT_EQ(text, L"x" + character + L"y" + character) << testing::PrintToString(name);
        EncodeEntities(text);
        EXPECT_EQ(text, L"x" + name + L"y" + name);

        std::wstring byReference = L"x" + name + L"y";
        reference::DecodeEntities(byReference);
        EXPECT_EQ(byReference, L"x" + character + L"y");
        reference::EncodeEntities(byReference);
        EXPECT_EQ(byReference, L"x" + name + L"y");
    }
}
