// XLATCP.dll through its import library (bound by ordinal): the plain coding checked against the
// system's own code pages, and the round trips the translator and the dictionary program rely on,
// for every character of code pages 1251 and 1252 and every language code.
#include <xlatcp/Xlatcp.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned short kLanguages[] = {XLAT_LANGUAGE_ENGLISH,   XLAT_LANGUAGE_RUSSIAN, XLAT_LANGUAGE_GERMAN,
                                         XLAT_LANGUAGE_FRENCH,    XLAT_LANGUAGE_ITALIAN, XLAT_LANGUAGE_SPANISH,
                                         XLAT_LANGUAGE_PORTUGUESE};

bool IsCyrillic(wchar_t character) {
    return character >= 0x0400 && character <= 0x04FF;
}
bool IsC1Control(wchar_t character) {
    return character >= 0x80 && character <= 0x9F;
}

// The character of a byte in a code page as the system converts it; 0 when the code page leaves the
// byte undefined (the system gives the C1 control of the same value for those).
wchar_t SystemCharacter(unsigned codePage, unsigned char byte) {
    char source = static_cast<char>(byte);
    wchar_t character = 0;
    if (MultiByteToWideChar(codePage, 0, &source, 1, &character, 1) != 1)
        return 0;
    return byte >= 0x80 && IsC1Control(character) ? 0 : character;
}

// The byte of a character in a code page as the system converts it, or -1 when the page lacks it.
int SystemByte(unsigned codePage, wchar_t character) {
    char byte = 0;
    BOOL usedDefault = FALSE;
    if (IsC1Control(character))
        return -1;
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &character, 1, &byte, 1, nullptr, &usedDefault) != 1 ||
        usedDefault)
        return -1;
    return static_cast<unsigned char>(byte);
}

// Every character of code pages 1251 and 1252 (U+0000 aside), each once.
std::wstring CodePageCharacters() {
    std::wstring characters;
    for (unsigned codePage : {1251u, 1252u}) {
        for (unsigned byte = 1; byte < 256; ++byte) {
            wchar_t character = SystemCharacter(codePage, static_cast<unsigned char>(byte));
            if (character != 0 && characters.find(character) == std::wstring::npos)
                characters += character;
        }
    }
    return characters;
}

unsigned char PlainByte(wchar_t character) {
    char byte = 0;
    XlatWideToPlain(&character, &byte, 1);
    return static_cast<unsigned char>(byte);
}

// The translator's way there and back for one text: 52, then 16 byte by byte in place, then 17 in
// place and 50.
std::wstring ThereAndBackCounted(const std::wstring& text, unsigned short language) {
    std::string bytes(text.size(), '\0');
    XlatWideToPlain(text.data(), bytes.data(), static_cast<unsigned short>(text.size()));
    for (char& byte : bytes)
        XlatPlainToEngine(language, &byte, &byte, 1);
    XlatEngineToPlain(language, bytes.data(), bytes.data(), static_cast<unsigned short>(bytes.size()));
    std::wstring back(text.size(), L'\0');
    XlatPlainToWide(language, bytes.data(), back.data(), static_cast<unsigned short>(bytes.size()));
    return back;
}

// The same with the whole-text calls 16, 15 and 49 on a zero-terminated text.
std::wstring ThereAndBackTerminated(const std::wstring& text, unsigned short language) {
    std::string bytes(text.size() + 1, '\0');
    XlatWideToPlain(text.data(), bytes.data(), static_cast<unsigned short>(text.size()));
    XlatPlainToEngine(language, bytes.data(), bytes.data(), static_cast<unsigned short>(text.size()));
    XlatEngineStringToPlain(language, bytes.data(), bytes.data());
    std::wstring back(text.size() + 1, L'\0');
    XlatPlainStringToWide(language, bytes.data(), back.data());
    back.pop_back();
    return back;
}

TEST(Xlatcp, PlainCoding_IsTheSystemsCodePagesForEveryUtf16Unit) {
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        wchar_t character = static_cast<wchar_t>(unit);
        int expected = IsCyrillic(character) ? SystemByte(1251, character)
                       : character == 0x2116 ? XLAT_NUMERO_SIGN_BYTE
                                             : SystemByte(1252, character);
        if (expected < 0)
            expected = '?';
        ASSERT_EQ(PlainByte(character), expected) << "U+" << std::hex << unit;
    }
}

TEST(Xlatcp, Planes_ReadBytesAsTheSystemsCodePages) {
    for (unsigned short language : kLanguages) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            wchar_t expected =
                SystemCharacter(language == XLAT_LANGUAGE_RUSSIAN ? 1251 : 1252, static_cast<unsigned char>(byte));
            if (language != XLAT_LANGUAGE_RUSSIAN && byte == XLAT_NUMERO_SIGN_BYTE)
                expected = 0x2116;
            if (byte != 0 && expected == 0)
                expected = L'?'; // undefined in the plane
            char source = static_cast<char>(byte);
            wchar_t character = L'\xFFFF';
            EXPECT_EQ(XlatPlainToWide(language, &source, &character, 1), 1);
            EXPECT_EQ(character, expected) << "language " << language << " byte " << byte;
        }
    }
}

TEST(Xlatcp, RoundTrip_EveryCodePageCharacterWithItsLanguageCode) {
    const std::wstring characters = CodePageCharacters();
    ASSERT_GT(characters.size(), 300u); // 255 + 1251's letters and signs that 1252 lacks

    for (wchar_t character : characters) {
        std::wstring text(1, character);
        unsigned short language = IsCyrillic(character) ? XLAT_LANGUAGE_RUSSIAN : XLAT_LANGUAGE_ENGLISH;
        EXPECT_EQ(ThereAndBackCounted(text, language), text) << "U+" << std::hex << int(character);
        EXPECT_EQ(ThereAndBackTerminated(text, language), text) << "U+" << std::hex << int(character);
    }
}

TEST(Xlatcp, RoundTrip_NonCyrillicCharactersWithEveryOtherLanguageCode) {
    std::wstring text;
    for (wchar_t character : CodePageCharacters()) {
        if (!IsCyrillic(character))
            text += character;
    }
    for (unsigned short language : kLanguages) {
        if (language == XLAT_LANGUAGE_RUSSIAN)
            continue;
        // All at once: positions kept, one byte per character.
        EXPECT_EQ(ThereAndBackCounted(text, language), text) << "language " << language;
        EXPECT_EQ(ThereAndBackTerminated(text, language), text) << "language " << language;
        for (wchar_t character : text) {
            std::wstring one(1, character);
            ASSERT_EQ(ThereAndBackCounted(one, language), one) << language << " U+" << std::hex << int(character);
            ASSERT_EQ(ThereAndBackTerminated(one, language), one) << language << " U+" << std::hex << int(character);
        }
    }
}

TEST(Xlatcp, RoundTrip_NonCyrillicCharacterWithRussianCodeComesBackAsTheRussianReadingOfItsByte) {
    int sameCharacter = 0;
    for (wchar_t character : CodePageCharacters()) {
        if (IsCyrillic(character))
            continue;
        wchar_t reading = SystemCharacter(1251, PlainByte(character));
        std::wstring expected(1, reading == 0 ? L'?' : reading);
        std::wstring text(1, character);
        EXPECT_EQ(ThereAndBackCounted(text, XLAT_LANGUAGE_RUSSIAN), expected) << std::hex << int(character);
        EXPECT_EQ(ThereAndBackTerminated(text, XLAT_LANGUAGE_RUSSIAN), expected) << std::hex << int(character);
        sameCharacter += expected[0] == character;
    }
    // ASCII and the 31 signs both pages hold at the same byte come back as they were.
    EXPECT_EQ(sameCharacter, 127 + 31);
    EXPECT_EQ(ThereAndBackCounted(L"a«»–—…", XLAT_LANGUAGE_RUSSIAN), L"a«»–—…");
    EXPECT_EQ(ThereAndBackCounted(L"é€№", XLAT_LANGUAGE_RUSSIAN), L"йЂЃ");
}

TEST(Xlatcp, MixedText_KeepsPositionsWithEachCharactersCode) {
    const std::wstring text = L"Ёж №5 — «Straße» €10, café Ўў ґ";
    std::string bytes(text.size(), '\0');
    XlatWideToPlain(text.data(), bytes.data(), static_cast<unsigned short>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned short language = IsCyrillic(text[i]) ? XLAT_LANGUAGE_RUSSIAN : XLAT_LANGUAGE_ENGLISH;
        XlatPlainToEngine(language, &bytes[i], &bytes[i], 1);
        XlatEngineToPlain(language, &bytes[i], &bytes[i], 1);
        wchar_t back = 0;
        XlatPlainToWide(language, &bytes[i], &back, 1);
        EXPECT_EQ(back, text[i]) << "position " << i;
    }
}

// The translator writes "…" as 0xC1, "№" as 0xFC and "£" after English as 0x18 straight into the
// engine's text: no character re-encoded with its code may land on those bytes.
TEST(Xlatcp, EngineCoding_LeavesTheCallersSignBytesToThem) {
    for (wchar_t character : CodePageCharacters()) {
        if (character < 0x20 && character != L'\t')
            continue; // control characters end the translator's runs: the engine never sees them
        unsigned short language = IsCyrillic(character) ? XLAT_LANGUAGE_RUSSIAN : XLAT_LANGUAGE_ENGLISH;
        char byte = static_cast<char>(PlainByte(character));
        XlatPlainToEngine(language, &byte, &byte, 1);
        auto engine = static_cast<unsigned char>(byte);
        EXPECT_TRUE(engine != XLAT_ENGINE_ELLIPSIS_BYTE && engine != XLAT_ENGINE_NUMERO_BYTE &&
                    engine != XLAT_ENGINE_POUND_BYTE)
            << "U+" << std::hex << int(character) << " -> " << int(engine);
    }
    EXPECT_EQ(ThereAndBackCounted(L"Б. Н. Ельцин", XLAT_LANGUAGE_RUSSIAN), L"Б. Н. Ельцин");
    EXPECT_EQ(ThereAndBackTerminated(L"Álvaro Düsseldorf", XLAT_LANGUAGE_GERMAN), L"Álvaro Düsseldorf");
}

TEST(Xlatcp, CharactersNeitherPageHolds_BecomeQuestionMarksInPlace) {
    // Cyrillic outside 1251, Latin Extended, CJK, a C1 control, and a surrogate pair (two units).
    const std::wstring text = L"a\x0460z\x0100\x4E2D\x0081\xD83D\xDE00.";
    std::string bytes(text.size(), 'x');
    EXPECT_EQ(XlatWideToPlain(text.data(), bytes.data(), static_cast<unsigned short>(text.size())), 9);
    EXPECT_EQ(bytes, "a?z?????.");
    for (unsigned short language : kLanguages) {
        EXPECT_EQ(ThereAndBackCounted(text, language), L"a?z?????.");
        EXPECT_EQ(ThereAndBackTerminated(text, language), L"a?z?????.");
    }
}

TEST(Xlatcp, Counts_WriteExactlyThatManyAndNoTerminator) {
    const std::wstring text = L"abc";
    char bytes[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(XlatWideToPlain(text.data(), bytes, 0), 0);
    EXPECT_EQ(bytes[0], 'x');
    EXPECT_EQ(XlatWideToPlain(text.data(), bytes, 2), 2);
    EXPECT_EQ(std::string(bytes, 5), "abxxx");

    char engine[4] = {'a', '\0', 'b', 'y'};
    char out[4] = {'z', 'z', 'z', 'z'};
    EXPECT_EQ(XlatPlainToEngine(XLAT_LANGUAGE_ENGLISH, engine, out, 3), 3);
    EXPECT_EQ(std::string(out, 4), std::string("a\0bz", 4));
    EXPECT_EQ(XlatEngineToPlain(XLAT_LANGUAGE_RUSSIAN, engine, out, 3), 3);
    EXPECT_EQ(std::string(out, 4), std::string("a\0bz", 4));

    wchar_t wide[4] = {L'w', L'w', L'w', L'w'};
    EXPECT_EQ(XlatPlainToWide(XLAT_LANGUAGE_RUSSIAN, "\xC0\0\xFF", wide, 3), 3);
    EXPECT_EQ(std::wstring(wide, 4), std::wstring(L"А\0яw", 4));
}

TEST(Xlatcp, TerminatedCalls_StopAtTheTerminator) {
    char bytes[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(XlatEngineStringToPlain(XLAT_LANGUAGE_ENGLISH, "ab\0cd", bytes), 2);
    EXPECT_EQ(std::string(bytes, 6), "abxxxx");
    EXPECT_EQ(XlatEngineStringToPlain(XLAT_LANGUAGE_ENGLISH, "", bytes), 0);

    wchar_t wide[5] = {L'w', L'w', L'w', L'w', L'w'};
    EXPECT_EQ(XlatPlainStringToWide(XLAT_LANGUAGE_RUSSIAN, "\xEC\xE8\0\xF0", wide), 2);
    EXPECT_EQ(std::wstring(wide, 5), L"миwww");
    EXPECT_EQ(XlatPlainStringToWide(XLAT_LANGUAGE_FRENCH, "\xE9\x81", wide), 2);
    EXPECT_EQ(std::wstring(wide, 2), L"é№");
}

TEST(Xlatcp, LongestCount_ConvertsEveryPosition) {
    std::wstring text(65535, L'я');
    text[65534] = L'z';
    std::string bytes(text.size(), '\0');
    EXPECT_EQ(XlatWideToPlain(text.data(), bytes.data(), 65535), 65535);
    std::wstring back(text.size(), L'\0');
    EXPECT_EQ(XlatPlainToWide(XLAT_LANGUAGE_RUSSIAN, bytes.data(), back.data(), 65535), 65535);
    EXPECT_EQ(back, text);
}

TEST(Xlatcp, UnlistedLanguageCodes_ReadTheWesternPlane) {
    for (unsigned short language : {0, 3, 128, 0x8000, 0xFFFF}) {
        wchar_t wide[2] = {};
        XlatPlainToWide(language, "\xE9\x81", wide, 2);
        EXPECT_EQ(std::wstring(wide, 2), L"é№") << language;
    }
}

} // namespace
