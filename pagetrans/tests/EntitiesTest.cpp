// DecodeEntities and EncodeEntities: the telling cases, then the fast implementations against the
// plain algorithms on generated and random texts, and texts built to make a rescanning decoder slow.
#include "pagetrans/Entities.h"
#include "ReferenceEntities.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace ovrin;

namespace {

// The fast result, checked against the plain algorithm on the way.
std::wstring Decoded(std::wstring text) {
    std::wstring expected = text;
    reference::DecodeEntities(expected);
    DecodeEntities(text);
    EXPECT_EQ(text, expected);
    return text;
}

std::wstring Encoded(std::wstring text) {
    std::wstring expected = text;
    reference::EncodeEntities(expected);
    EncodeEntities(text);
    EXPECT_EQ(text, expected);
    return text;
}

std::wstring Repeat(const std::wstring& piece, int times) {
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(EntitiesTest, NamedEntitiesDecodeByExactName) {
    EXPECT_EQ(Decoded(L"caf&eacute;"), L"caf\u00E9");
    EXPECT_EQ(Decoded(L"&Eacute;&eacute;"), L"\u00C9\u00E9");
    EXPECT_EQ(Decoded(L"&NBSP;"), L"&NBSP;");
    EXPECT_EQ(Decoded(L"&amp;lt;"), L"&amp;lt;");
    EXPECT_EQ(Decoded(L"&&lt;&gt"), L"&<&gt");
    EXPECT_EQ(Decoded(L"&lt ;&thetasym;&thetasymx;"), L"&lt ;\u03D1&thetasymx;");
    EXPECT_EQ(Decoded(L""), L"");
}

TEST(EntitiesTest, NumericReferencesDecodeWithOrWithoutAmpersand) {
    EXPECT_EQ(Decoded(L"&#65;&#x41;&#X41;#65;"), L"AAAA");
    EXPECT_EQ(Decoded(L"&#0;|&#,,;"), L" | ");
    EXPECT_EQ(Decoded(L"&#12345;&#x1F600;"), L"&#12345;&#x1F600;");
    EXPECT_EQ(Decoded(L"&#xaF;&#1025;"), L"\u00AF\u0401");
    EXPECT_EQ(Decoded(L"&#9x;"), L"\t");       // leading decimal digits only
    EXPECT_EQ(Decoded(L"&#x;&#X;"), L" &#X;"); // no digits: 0, a space; "X" is not a body character
}

TEST(EntitiesTest, RunsOfXAndCommasGiveWayToTheBody) {
    EXPECT_EQ(Decoded(L"#,,,,,,,,,,;"), L" ");
    EXPECT_EQ(Decoded(L"#xxxxxxxxx1;"), L" ");
    EXPECT_EQ(Decoded(L"#X1;"), std::wstring(1, L'\x01'));
    EXPECT_EQ(Decoded(L"#XX;#xX;"), L"#XX;#xX;");
    EXPECT_EQ(Decoded(L"#Xx;"), L" ");
    EXPECT_EQ(Decoded(L"#x,x2F;"), L" ");
    EXPECT_EQ(Decoded(L"#,x2F;"), L" ");
}

TEST(EntitiesTest, ReplacementsThatMakeNewReferences) {
    EXPECT_EQ(Decoded(L"&#38;lt;"), L"<");
    EXPECT_EQ(Decoded(L"&#38;#65;"), L"A");
    EXPECT_EQ(Decoded(L"&&#35;65;"), L"A");
    EXPECT_EQ(Decoded(L"#4&#49;;"), L")");
    EXPECT_EQ(Decoded(L"#xxxx&#59;"), L" ");
    EXPECT_EQ(Decoded(L"#x&#52;1;"), L"A");
    EXPECT_EQ(Decoded(L"&#35;&#120;&#52;&#49;&#59;"), L"A");
    EXPECT_EQ(Decoded(L"&#38;nbsp;"), L"\u00A0");
    EXPECT_EQ(Decoded(L"&#38;&#35;&#51;&#56;&#59;lt;"), L"<");
    EXPECT_EQ(Decoded(L"&#38;&#38;"), L"&&");
}

TEST(EntitiesTest, ReferencesAtTheEndsOfTheText) {
    for (const wchar_t* text : {L"#65;", L"&#65;", L"x&#65;", L"&#65;x", L"&", L"#", L"&#", L"#x", L"#6", L"#65", L";",
                                L"&lt;", L"&lt", L"a&", L"a#", L"#;", L"#x;"})
        Decoded(text);
    EXPECT_EQ(Decoded(L"#x;"), L" ");
    EXPECT_EQ(Decoded(L"#;"), L"#;");
}

TEST(EntitiesTest, EncodingUsesTheTableOnly) {
    EXPECT_EQ(Encoded(L"caf\u00E9"), L"caf&eacute;");
    EXPECT_EQ(Encoded(L"\u00A0<>\"&"), L"&nbsp;&lt;&gt;&quot;&");
    EXPECT_EQ(Encoded(L"Привет, world 123"), L"Привет, world 123");
    EXPECT_EQ(Encoded(L"\u20AC\u2666\u0152"), L"&euro;&diams;&OElig;");
    EXPECT_EQ(Encoded(L""), L"");
}

TEST(EntitiesTest, FastCodecsMatchThePlainAlgorithmsOnGeneratedTexts) {
    const std::vector<std::wstring> pieces = {
        L"&",     L"#",     L"x",     L"X",        L",",      L";",   L"0",     L"1",     L"4",     L"9",
        L"a",     L"F",     L"g",     L" ",        L"\u00E9", L"<",   L"\"",    L"&#38;", L"&#35;", L"&#120;",
        L"&#59;", L"&#44;", L"&#88;", L"&#x26;",   L"&#52;",  L"lt;", L"&lt;",  L"nbsp;", L"&amp;", L"&eacute;",
        L"&#65;", L"#65;",  L"&#0;",  L"&#12345;", L"xx",     L",,",  L"\u00A0"};
    std::mt19937 random(42);
    for (int round = 0; round < 12000; ++round) {
        std::wstring text;
        for (int i = random() % 24; i > 0; --i)
            text += pieces[random() % pieces.size()];
        std::wstring decoded = text;
        DecodeEntities(decoded);
        std::wstring expected = text;
        reference::DecodeEntities(expected);
        ASSERT_EQ(decoded, expected) << testing::PrintToString(text);
        std::wstring encoded = text;
        EncodeEntities(encoded);
        expected = text;
        reference::EncodeEntities(expected);
        ASSERT_EQ(encoded, expected) << testing::PrintToString(text);
    }
}

TEST(EntitiesTest, FastCodecsMatchThePlainAlgorithmsOnRandomUnits) {
    // Units near the interesting ones, and on 32-bit wchar_t values beyond UTF-16 whose low 16 bits
    // look like them (the numeric pass reads 16-bit units; names and encoding compare exactly).
    std::vector<wchar_t> units = {L'&', L'#', L'x', L'X', L',', L';', L'0',  L'7',
                                  L'b', L'E', L'l', L't', 0,    0xA0, 0xFFFF};
    if (sizeof(wchar_t) == 4) {
        units.push_back(static_cast<wchar_t>(0x10023));
        units.push_back(static_cast<wchar_t>(0x1003B));
        units.push_back(static_cast<wchar_t>(0x10026));
    }
    std::mt19937 random(7);
    for (int round = 0; round < 12000; ++round) {
        std::wstring text;
        for (int i = random() % 30; i > 0; --i)
            text += random() % 8 == 0 ? static_cast<wchar_t>(random() % 0x10000) : units[random() % units.size()];
        std::wstring decoded = text, expected = text;
        DecodeEntities(decoded);
        reference::DecodeEntities(expected);
        ASSERT_EQ(decoded, expected) << testing::PrintToString(text);
    }
}

TEST(EntitiesTest, FastCodecsMatchThePlainAlgorithmsOnLongPages) {
    std::mt19937 random(3);
    const std::vector<std::wstring> words = {L"страница ", L"page ",     L"&nbsp;",     L"&#1087;",
                                             L"&#x43F;",   L"&lt;b&gt;", L"&quot;",     L"&#38;amp;",
                                             L"#12;",      L"x,x",       L"&#38;#x41;", L"\u00E9"};
    std::wstring text;
    while (text.size() < 30000)
        text += words[random() % words.size()];
    Decoded(text);
    Encoded(text);
    std::wstring decoded = text;
    DecodeEntities(decoded);
    Encoded(decoded);
}

TEST(EntitiesTest, DecodingStaysLinearWhereRescanningWouldNot) {
    // Every replacement extends a run after the same "#", or is followed by a long look back.
    std::wstring growingRun = L"#" + Repeat(L"&#120;", 200000);
    DecodeEntities(growingRun);
    EXPECT_EQ(growingRun, L"#" + std::wstring(200000, L'x'));

    std::wstring longSpan = L"#" + std::wstring(100000, L'9') + Repeat(L"#57&#59;", 50000);
    DecodeEntities(longSpan);
    EXPECT_EQ(longSpan, L"#" + std::wstring(150000, L'9'));

    std::wstring chain = Repeat(L"&#38;", 100000) + L"#65;";
    DecodeEntities(chain);
    EXPECT_EQ(chain, std::wstring(99999, L'&') + L"A");

    // The same shapes, small enough for the plain algorithm.
    Decoded(L"#" + Repeat(L"&#120;", 300) + L"&#59;");
    Decoded(L"#" + std::wstring(300, L'9') + Repeat(L"#57&#59;", 300));
    Decoded(Repeat(L"&#38;", 300) + L"#65;");
    Decoded(Repeat(L"#x&#44;", 200) + L";");
}
