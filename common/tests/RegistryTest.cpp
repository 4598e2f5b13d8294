// CAppSettings on the real registry (under Wine in the test harness).
#include "common/Registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    std::wstring section = L"Test" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    void TearDown() override { CRegistryKey::DeleteTree(HKEY_CURRENT_USER, CAppSettings::SectionKey(section)); }
    static inline int counter = 0;
};

} // namespace

TEST_F(SettingsTest, FirstRead_LeavesAnEmptySectionKeyBehind) {
    std::wstring path = CAppSettings::SectionKey(section);
    EXPECT_EQ(path, L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\" + section);
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, path));
    EXPECT_EQ(CAppSettings::ReadString(section, L"LastWord"), L"");
    EXPECT_EQ(CAppSettings::ReadInt(section, L"Direction"), 0);
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CURRENT_USER, path));
}

TEST_F(SettingsTest, StringsAndNumbersRoundTripAsDecimalText) {
    EXPECT_TRUE(CAppSettings::WriteString(section, L"LastWord", L"\x043C\x0438\x0440"));
    EXPECT_EQ(CAppSettings::ReadString(section, L"LastWord"), L"\x043C\x0438\x0440");
    EXPECT_TRUE(CAppSettings::WriteInt(section, L"Direction", 131073));
    EXPECT_EQ(CAppSettings::ReadString(section, L"Direction"), L"131073");
    EXPECT_EQ(CAppSettings::ReadInt(section, L"Direction"), 131073);
    CAppSettings::WriteInt(section, L"Negative", -42);
    EXPECT_EQ(CAppSettings::ReadInt(section, L"Negative"), -42);
}

TEST_F(SettingsTest, ReadInt_TakesTheLeadingNumberOnly) {
    CAppSettings::WriteString(section, L"a", L"12abc");
    CAppSettings::WriteString(section, L"b", L"");
    CAppSettings::WriteString(section, L"c", L"abc");
    CAppSettings::WriteString(section, L"d", L"99999999999");
    EXPECT_EQ(CAppSettings::ReadInt(section, L"a"), 12);
    EXPECT_EQ(CAppSettings::ReadInt(section, L"b"), 0);
    EXPECT_EQ(CAppSettings::ReadInt(section, L"c"), 0);
    EXPECT_EQ(CAppSettings::ReadInt(section, L"d"), 2147483647);
}

TEST_F(SettingsTest, Remove_TakesTheValueAwayAndKeepsTheOthers) {
    EXPECT_TRUE(CAppSettings::Remove(section, L"never")) << "a section that is not there has nothing to remove";
    CAppSettings::WriteString(section, L"empty", L"");
    CAppSettings::WriteString(section, L"kept", L"1");
    ASSERT_TRUE(CAppSettings::Remove(section, L"empty"));
    EXPECT_TRUE(CAppSettings::Remove(section, L"empty"));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, CAppSettings::SectionKey(section), KEY_READ, false));
    EXPECT_EQ(key.GetValueType(L"empty"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(CAppSettings::ReadString(section, L"kept"), L"1");
    CAppSettings::Remove(section, L"kept");
}
