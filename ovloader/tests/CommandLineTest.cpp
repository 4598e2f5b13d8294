// The launcher's command line as the toolbar and the start-up shortcut write it.
#include "MyCommandLineInfo.h"

#include <gtest/gtest.h>

namespace {

CMyCommandLineInfo Parse(const wchar_t* commandLine) {
    CMyCommandLineInfo info;
    platform::ParseCommandLine(info, commandLine);
    return info;
}

TEST(OvloaderCommandLineTest, QuotedPathWithSpacesAndTheOptionsNumber) {
    CMyCommandLineInfo info = Parse(L"Ovloader.exe \"\\Program Files\\OVRIN Mobile\\OvrinToolbar.exe\" /options1");
    EXPECT_EQ(info.m_program, L"\\Program Files\\OVRIN Mobile\\OvrinToolbar.exe");
    EXPECT_EQ(info.m_optionsNumber, 1);
}

TEST(OvloaderCommandLineTest, TheSwitchCountsInAnyCaseWithSlashOrHyphen) {
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /OPTIONS2").m_optionsNumber, 2);
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe -Options12").m_optionsNumber, 12);
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /options").m_optionsNumber, 0) << "an empty rest reads 0";
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /optionsabc").m_optionsNumber, 0);
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /options99999999999999").m_optionsNumber, INT_MAX);
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /options-2").m_optionsNumber, -2);
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /options-1").m_optionsNumber, -1) << "a switch, not its absence";
    EXPECT_EQ(Parse(L"Ovloader.exe p.exe /options+5").m_optionsNumber, 5);
}

TEST(OvloaderCommandLineTest, OtherSwitchesAreIgnored) {
    CMyCommandLineInfo info = Parse(L"Ovloader.exe /xoptions p.exe /option3 /o /");
    EXPECT_EQ(info.m_optionsNumber, std::nullopt);
    EXPECT_EQ(info.m_program, L"p.exe");
    EXPECT_EQ(Parse(L"Ovloader.exe \"C:\\a b\\t.exe\"").m_optionsNumber, std::nullopt);
}

TEST(OvloaderCommandLineTest, TheLastPlainParameterIsTheProgramAndNoneLeavesItEmpty) {
    EXPECT_EQ(Parse(L"Ovloader.exe first.exe /options4 second.exe").m_program, L"second.exe");
    CMyCommandLineInfo none = Parse(L"Ovloader.exe /options1");
    EXPECT_TRUE(none.m_program.empty());
    EXPECT_EQ(none.m_optionsNumber, 1);
    EXPECT_TRUE(Parse(L"Ovloader.exe").m_program.empty());
}

} // namespace
