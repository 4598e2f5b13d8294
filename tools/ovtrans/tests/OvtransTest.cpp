// ovtrans as a real process over an engine laid out in a temporary folder: listing directions and
// subjects, translating arguments, standard input and a file, and its failures.
#include "enginetest/EngineLayout.h"

#include "base/Unicode.h"
#include "testsupport/ConsoleProgram.h"

using namespace enginetest;

namespace {

using Outcome = testsupport::ProgramOutcome;

Outcome RunProgram(const std::wstring& program, const std::wstring& arguments, const std::string& input = {}) {
    Outcome outcome = testsupport::RunConsoleProgram(program, arguments, input);
    EXPECT_TRUE(outcome.started) << "cannot start the program";
    return outcome;
}

class OvtransTest : public ::testing::Test {
protected:
    OvtransTest() {
        layout.WriteStandardCatalogue();
        CopyFileW(BesideProgram(L"ovtrans.exe").c_str(), (layout.Folder() + L"ovtrans.exe").c_str(), FALSE);
        CopyFileW(BesideProgram(L"XLATCP.dll").c_str(), (layout.Folder() + L"XLATCP.dll").c_str(), FALSE);
        layout.AddDirection(L"ER", EnglishRussian(), 0, {{L"COMPUTERS.tpl", L"[Компьютеры]\nfile = файл\n"}},
                            {{L"COMPUTERS", L"Компьютеры"}});
        layout.AddDirection(L"RE", RussianEnglish());
    }
    Outcome Ovtrans(const std::wstring& arguments, const std::string& input = {}) {
        return RunProgram(layout.Folder() + L"ovtrans.exe", L"--registry \"" + layout.Key() + L"\" " + arguments,
                          input);
    }
    EngineLayout layout;
};

} // namespace

TEST_F(OvtransTest, ListsDirectionsAndSubjects) {
    Outcome directions = Ovtrans(L"directions");
    EXPECT_EQ(directions.exitCode, 0u);
    EXPECT_EQ(directions.output, "0\tER\tER\n1\tRE\tRE\n");
    Outcome subjects = Ovtrans(L"subjects ER");
    EXPECT_EQ(subjects.exitCode, 0u);
    EXPECT_EQ(subjects.output, Utf8(L"0\tОбщая\n1\tКомпьютеры\n"));
    EXPECT_EQ(Ovtrans(L"info 0").output, Utf8(L"Англо-русский перевод.\r\nВторая строка\n"));
}

TEST_F(OvtransTest, TranslatesArgumentsInputAndFiles) {
    EXPECT_EQ(Ovtrans(L"translate ER The big cat").output, Utf8(L"Этот большой кошка\n"));
    EXPECT_EQ(Ovtrans(L"translate 0 --subject Компьютеры file").output, Utf8(L"файл\n"));
    EXPECT_EQ(Ovtrans(L"translate ER --subject 1 file").output, Utf8(L"файл\n"));
    Outcome input = Ovtrans(L"translate RE", Utf8(L"большой дом\nкошка"));
    EXPECT_EQ(input.exitCode, 0u);
    EXPECT_EQ(input.output, "big house\ncat\n");
    std::wstring file = layout.Folder() + L"text.txt";
    testsupport::WriteFileBytes(file, "\xEF\xBB\xBF"
                                      "dog\r\nhouse");
    EXPECT_EQ(Ovtrans(L"translate ER --file \"" + file + L"\"").output, Utf8(L"собака\r\nдом\n"));
}

TEST_F(OvtransTest, FailsClearly) {
    EXPECT_EQ(Ovtrans(L"translate XX cat").exitCode, 1u);
    EXPECT_EQ(Ovtrans(L"translate ER --subject 7 cat").exitCode, 1u);
    // Numbers too long for an int are out of range, not a crash.
    EXPECT_EQ(Ovtrans(L"translate ER --subject 99999999999999999999 cat").exitCode, 1u);
    EXPECT_EQ(Ovtrans(L"subjects 4294967296").exitCode, 1u);
    EXPECT_EQ(Ovtrans(L"translate ER --file \"" + layout.Folder() + L"absent.txt\"").exitCode, 1u);
    EXPECT_EQ(Ovtrans(L"frobnicate").exitCode, 2u);
    Outcome noEngine =
        RunProgram(layout.Folder() + L"ovtrans.exe", L"--registry \"Software\\Ovrinsoft\\None\" directions");
    EXPECT_EQ(noEngine.exitCode, 1u);
    EXPECT_EQ(noEngine.output, "");
}
