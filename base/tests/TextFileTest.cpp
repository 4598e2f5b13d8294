// Reading and writing text files: marks, encodings, line ends, long lines and failures.
#include "base/TextFile.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <type_traits>
#include <vector>

using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

namespace {

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    CTextFileRead reader(path);
    std::vector<std::wstring> lines;
    std::wstring line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    return lines;
}

std::wstring Units(std::initializer_list<unsigned> units) {
    std::wstring text;
    for (unsigned unit : units)
        text.push_back(static_cast<wchar_t>(unit));
    return text;
}

class TextFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::wstring path = folder.File(L"text.txt");

    std::string Write(TextEncoding encoding, const std::wstring& text) {
        {
            CTextFileWrite writer(path, encoding);
            EXPECT_TRUE(writer.IsOpen());
            writer.WriteText(text);
        }
        return ReadFileBytes(path);
    }
};

} // namespace

TEST_F(TextFileTest, WriteA_GivesMarkAndBytesOfEachEncoding) {
    EXPECT_EQ(Write(EncodingUtf16LE, L"a"), std::string("\xFF\xFE\x61\x00", 4));
    EXPECT_EQ(Write(EncodingUtf16BE, L"a"), std::string("\xFE\xFF\x00\x61", 4));
    EXPECT_EQ(Write(EncodingUtf8, L"a"), "\xEF\xBB\xBF\x61");
    EXPECT_EQ(Write(EncodingAnsi, L"a"), "a");
}

TEST_F(TextFileTest, LineEnd_IsCrLfInTheFilesEncoding) {
    {
        CTextFileWrite writer(path, EncodingUtf16BE);
        writer.WriteLineEnd();
    }
    EXPECT_EQ(ReadFileBytes(path), std::string("\xFE\xFF\x00\r\x00\n", 6));
    {
        CTextFileWrite writer(path, EncodingAnsi);
        writer.WriteText(L"x");
        writer.WriteLineEnd();
    }
    EXPECT_EQ(ReadFileBytes(path), "x\r\n");
}

TEST_F(TextFileTest, Ansi_UsesCode1251ByDefaultAndTheCodePageSetOnTheObject) {
    // The test harness runs the Windows build with 1251 as the system's ANSI code page.
    EXPECT_EQ(Write(EncodingAnsi, L"\x041F\x0440\x0438\x0432\x0435\x0442"), "\xCF\xF0\xE8\xE2\xE5\xF2");
    WriteFileBytes(path, "\xC4\xE0\r\n\xE9");
    CTextFileRead reader(path);
    reader.SetCodePage(1252);
    std::wstring line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, L"\x00C4\x00E0");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, L"\x00E9");
    EXPECT_FALSE(reader.ReadLine(line));
}

TEST_F(TextFileTest, Ansi_CharacterWithoutMappingBecomesDefaultCharacter) {
    EXPECT_EQ(Write(EncodingAnsi, L"a\x4E2D"
                                  L"b"),
              "a?b");
}

TEST_F(TextFileTest, Detection_RecognisesMarksAndStartsAnsiAtFirstByte) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {std::string("\xFF\xFE\x41\x00\x42\x00", 6), EncodingUtf16LE, L"AB"},
        {std::string("\xFE\xFF\x00\x41\x04\x10", 6), EncodingUtf16BE, L"A\x0410"},
        {"\xEF\xBB\xBF\xD0\x96z", EncodingUtf8, L"\x0416z"},
        {"\xEF\xBB\x41", EncodingAnsi,
         L"\x043F\x00BB"
         L"A"},
        {"\xEF", EncodingAnsi, L"\x043F"},
        {"", EncodingAnsi, L""},
        {"\xFF", EncodingAnsi, L"\x044F"},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path, c.bytes);
        CTextFileRead reader(path);
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_EQ(reader.GetEncoding(), c.encoding);
        std::wstring text;
        ASSERT_TRUE(reader.ReadAll(text, L"|"));
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(TextFileTest, LineEnds_EachKindEndsOneLine) {
    WriteFileBytes(path, "a\r\nb\rc\nd\n\re");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"", L"e"}));

    WriteFileBytes(path, "\r\r");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{L"", L"", L""}));

    WriteFileBytes(path, "last\r\n");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{L"last", L""}));

    WriteFileBytes(path, "");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{L""}));
}

TEST_F(TextFileTest, ReadAll_TurnsEveryLineEndIntoTheSeparator) {
    WriteFileBytes(path, std::string("\xFF\xFE"
                                     "a\0\r\0b\0\n\0c\0\r\0\n\0d\0",
                                     18));
    CTextFileRead reader(path);
    std::wstring text;
    ASSERT_TRUE(reader.ReadAll(text, L"\r\n"));
    EXPECT_EQ(text, L"a\r\nb\r\nc\r\nd");
}

TEST_F(TextFileTest, LongLines_AcrossBufferBordersComeBackWhole) {
    std::wstring longLine;
    for (int i = 0; i < 5000; ++i)
        longLine.push_back(static_cast<wchar_t>(0x0410 + i % 32));
    for (TextEncoding encoding : {EncodingAnsi, EncodingUtf8, EncodingUtf16LE, EncodingUtf16BE}) {
        {
            CTextFileWrite writer(path, encoding);
            writer.WriteText(longLine);
            writer.WriteLineEnd();
            writer.WriteText(L"tail");
        }
        EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{longLine, L"tail"})) << "encoding " << encoding;
    }
}

TEST_F(TextFileTest, CrLfSplitOverBufferBorder_IsStillOneLineEnd) {
    // The CR, the LF and the next line's first letter each come as the last byte of the first buffer
    // and the first of the next refill, after a mark of three bytes or none.
    constexpr std::size_t kBuffer = CTextFileBase::kBufferSize;
    for (std::string mark : {std::string("\xEF\xBB\xBF"), std::string()}) {
        for (std::size_t cr = kBuffer - 3; cr <= kBuffer; ++cr) {
            const std::size_t length = cr - mark.size();
            WriteFileBytes(path, mark + std::string(length, 'x') + "\r\nnext");
            EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{std::wstring(length, L'x'), L"next"}))
                << "CR at byte " << cr << ", mark of " << mark.size() << " bytes";
        }
    }
}

TEST_F(TextFileTest, Utf8_FourByteSequenceReadsAsSurrogatePair) {
    // U+1F600 then U+10437: each one well-formed four-byte sequence.
    WriteFileBytes(path, "\xEF\xBB\xBF\xF0\x9F\x98\x80-\xF0\x90\x90\xB7");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{Units({0xD83D, 0xDE00, '-', 0xD801, 0xDC37})}));
}

TEST_F(TextFileTest, Utf8_MalformedSequencesKeepTheirReplacementCharacters) {
    // A stray continuation byte; a four-byte lead cut short by an ASCII letter; an overlong four-byte
    // form; a four-byte lead at the very end.
    WriteFileBytes(path, "\xEF\xBB\xBF\x80"
                         "a\xF0\x9F"
                         "b\xF0\x80\x80\x80\xF4");
    EXPECT_EQ(ReadLines(path),
              (std::vector<std::wstring>{Units({0xFFFD, 'a', 0xFFFD, 'b', 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})}));
}

TEST_F(TextFileTest, Utf8_SurrogatePairIsWrittenAsOneFourByteSequence) {
    EXPECT_EQ(Write(EncodingUtf8, Units({'x', 0xD83D, 0xDE00})), "\xEF\xBB\xBFx\xF0\x9F\x98\x80");
    // A pair split over two calls is one character all the same.
    {
        CTextFileWrite writer(path, EncodingUtf8);
        writer.WriteText(Units({0xD801}));
        writer.WriteText(Units({0xDC37, 'y'}));
    }
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF\xF0\x90\x90\xB7y");
}

TEST_F(TextFileTest, Utf8_LoneSurrogatesAreWrittenAsReplacementCharacter) {
    EXPECT_EQ(Write(EncodingUtf8, Units({0xD800, 'a', 0xDC00})), "\xEF\xBB\xBF\xEF\xBF\xBD"
                                                                 "a\xEF\xBF\xBD");
    {
        CTextFileWrite writer(path, EncodingUtf8);
        writer.WriteText(Units({0xD83D}));
        writer.WriteLineEnd();
    }
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF\xEF\xBF\xBD\r\n");
}

TEST_F(TextFileTest, Utf8_CutSequenceGivesReplacementAndKeepsTheLineEndAfterIt) {
    // A three-byte lead with no continuation before CR LF; a two-byte lead before LF; a three-byte
    // lead with one continuation before CR; a lead at the very end.
    WriteFileBytes(path, "\xEF\xBB\xBFone\xE2\r\ntwo\xC3\nthree\xE2\x82\rfour\xE2");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{
                                   Units({'o', 'n', 'e', 0xFFFD}), Units({'t', 'w', 'o', 0xFFFD}),
                                   Units({'t', 'h', 'r', 'e', 'e', 0xFFFD}), Units({'f', 'o', 'u', 'r', 0xFFFD})}));
    // A lead followed by a letter keeps the letter; a cut sequence is one U+FFFD.
    WriteFileBytes(path, "\xEF\xBB\xBF\xD0z\xE2\x82y");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{Units({0xFFFD, 'z', 0xFFFD, 'y'})}));
}

TEST_F(TextFileTest, Utf8_OverlongFormsAndEncodedSurrogatesGiveReplacement) {
    // C0 80 and E0 80 80 (overlong U+0000), E0 9F BF (overlong U+07FF), a lone high and a lone low
    // surrogate, F4 90 80 80 (above U+10FFFF), C1 BF.
    WriteFileBytes(path, "\xEF\xBB\xBF\xC0\x80|\xE0\x80\x80|\xE0\x9F\xBF|\xED\xA0\x80|\xED\xB0\x80|"
                         "\xF4\x90\x80\x80|\xC1\xBF");
    std::vector<std::wstring> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].find_first_not_of(L"|\xFFFD"), std::wstring::npos);
    EXPECT_EQ(lines[0].find(L'\0'), std::wstring::npos);
    for (wchar_t c : lines[0])
        EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << std::hex << unsigned(c);
    // The smallest well-formed forms of each length are still taken.
    WriteFileBytes(path, "\xEF\xBB\xBF\xC2\x80\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{Units({0x80, 0x800, 0xD7FF, 0xE000, 0xDBFF, 0xDFFF})}));
}

TEST_F(TextFileTest, Utf8_PairOfThreeByteSurrogatesReadsAsThePair) {
    // Earlier writers wrote a character above U+FFFF as two three-byte sequences.
    WriteFileBytes(path, "\xEF\xBB\xBF\xED\xA0\xBD\xED\xB8\x80x\xED\xA0\xBD\r\n");
    EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{Units({0xD83D, 0xDE00, 'x', 0xFFFD}), L""}));
}

TEST_F(TextFileTest, RoundTrip_EveryEncodingGivesBackTheText) {
    const std::wstring text = Units({'A', 0x00E9, 0x0416, 0x20AC, 0xD83D, 0xDE00, 0xFFFC});
    for (TextEncoding encoding : {EncodingUtf8, EncodingUtf16LE, EncodingUtf16BE}) {
        {
            CTextFileWrite writer(path, encoding);
            writer.WriteText(text);
            writer.WriteLineEnd();
            writer.WriteText(text);
        }
        CTextFileRead reader(path);
        EXPECT_EQ(reader.GetEncoding(), encoding);
        std::wstring all;
        ASSERT_TRUE(reader.ReadAll(all, L"\n"));
        EXPECT_EQ(all, text + L"\n" + text);
    }
}

TEST_F(TextFileTest, MissingFile_ReaderIsClosedAndAtEnd) {
    CTextFileRead reader(folder.File(L"missing.txt"));
    EXPECT_FALSE(reader.IsOpen());
    std::wstring line = L"untouched";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.ReadAll(line, L"\r\n"));
}

TEST_F(TextFileTest, Writer_InMissingFolderIsClosed) {
    CTextFileWrite writer(folder.File(L"no-such-folder") + L"/x.txt", EncodingUtf8);
    EXPECT_FALSE(writer.IsOpen());
    writer.WriteText(L"ignored");
    writer.Close();
}

TEST_F(TextFileTest, Writer_ReplacesAnExistingFile) {
    WriteFileBytes(path, std::string(5000, 'z'));
    EXPECT_EQ(Write(EncodingAnsi, L"new"), "new");
}

#ifndef _WIN32
TEST_F(TextFileTest, FailedWrite_ClosesTheFileAndRaisesWithTheSystemCode) {
    // Every write to /dev/full fails with "no space left on device".
    CTextFileWrite writer(L"/dev/full", EncodingUtf8);
    ASSERT_TRUE(writer.IsOpen());
    try {
        writer.WriteText(std::wstring(2000, L'a'));
        FAIL() << "no exception";
    } catch (const CTextFileException& error) {
        EXPECT_EQ(error.GetErrorCode(), 28u); // ENOSPC
    }
    EXPECT_FALSE(writer.IsOpen());
}

TEST_F(TextFileTest, FailedCloseInDestructor_IsSwallowed) {
    // The destructor closes, which writes out what is still buffered...
    {
        CTextFileWrite writer(path, EncodingUtf16LE);
        writer.WriteText(L"short");
    }
    EXPECT_EQ(ReadFileBytes(path), std::string("\xFF\xFEs\0h\0o\0r\0t\0", 12));
    // ...and when that write fails, the failure stays inside the destructor.
    static_assert(std::is_nothrow_destructible_v<CTextFileWrite>);
    auto* writer = new CTextFileWrite(L"/dev/full", EncodingUtf16LE);
    writer->WriteText(L"short");
    ASSERT_TRUE(writer->IsOpen()) << "the text waits in the buffer until the close";
    delete writer; // a failure let out of the destructor would end the test program here
}

TEST_F(TextFileTest, UnreadableFile_ReaderIsClosed) {
    // A folder opens under POSIX but cannot be read.
    CTextFileRead reader(testsupport::ToWide(folder.Path()));
    EXPECT_FALSE(reader.IsOpen());
    std::wstring line;
    EXPECT_FALSE(reader.ReadLine(line));
}
#else
TEST_F(TextFileTest, Sharing_ReadersShareButAnOpenWriterExcludesThem) {
    Write(EncodingUtf8, L"shared");
    {
        CTextFileRead first(path);
        CTextFileRead second(path);
        EXPECT_TRUE(first.IsOpen());
        EXPECT_TRUE(second.IsOpen());
        CTextFileWrite writer(path, EncodingUtf8);
        EXPECT_FALSE(writer.IsOpen()); // the readers let others read, not write
    }
    CTextFileWrite writer(path, EncodingUtf8);
    ASSERT_TRUE(writer.IsOpen());
    CTextFileRead reader(path);
    EXPECT_FALSE(reader.IsOpen());
}
#endif
