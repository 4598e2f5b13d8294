// CRegistryKey on the real registry (under Wine in the test harness). These tests set their values
// through the system's calls, so that the key class reads what another program stored.
#include "platform/RegistryKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A fresh key below HKEY_CURRENT_USER for each test, deleted with its sub-keys afterwards.
class RegistryTest : public ::testing::Test {
protected:
    std::wstring root =
        L"Software\\OvrinTests\\Registry" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root.c_str());
    }
    void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(
            RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static inline int counter = 0;
};

} // namespace

TEST_F(RegistryTest, NewKey_IsClosedAndEmpty) {
    CRegistryKey key;
    EXPECT_EQ(key.GetHandle(), nullptr);
    EXPECT_EQ(key.GetRoot(), nullptr);
    EXPECT_EQ(key.GetPath(), L"");
    EXPECT_EQ(key.GetLastError(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, Open_WithoutCreateFailsOnMissingKeyAndKeepsThePath) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, root, false));
    EXPECT_EQ(key.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.GetPath(), root);
    EXPECT_EQ(key.GetHandle(), nullptr);
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, root));

    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    EXPECT_EQ(key.GetRoot(), HKEY_CURRENT_USER);
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CURRENT_USER, root));
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(key.GetPath(), L"");
    EXPECT_EQ(key.GetHandle(), nullptr);
}

TEST_F(RegistryTest, WriteString_StoresTextWithItsNul) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    ASSERT_TRUE(key.WriteString(L"empty", L""));
    EXPECT_EQ(key.GetValueType(L"empty"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(key.GetValueSize(L"empty"), 2u);
    ASSERT_TRUE(key.WriteString(L"word", L"\x0441\x043B\x043E\x0432\x043E"));
    EXPECT_EQ(key.GetValueSize(L"word"), 12u);
    EXPECT_EQ(key.ReadString(L"word", L"default"), L"\x0441\x043B\x043E\x0432\x043E");
    // An empty value has no text before its NUL, so it reads as empty, not as the default.
    EXPECT_EQ(key.ReadString(L"empty", L"default"), L"");
}

TEST_F(RegistryTest, ReadString_MissingValueGivesDefaultAndTheNotFoundError) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    EXPECT_EQ(key.ReadString(L"absent", L"fallback"), L"fallback");
    EXPECT_EQ(key.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.GetValueType(L"absent"), 0u);
    EXPECT_EQ(key.GetValueSize(L"absent"), 0u);
    EXPECT_EQ(key.ReadDword(L"absent", 77), 77u);
}

TEST_F(RegistryTest, ReadString_MultiStringComesOutAsLines) {
    SetRaw(L"multi", REG_MULTI_SZ, L"a\0b\0\0", 10);
    SetRaw(L"three", REG_MULTI_SZ, L"one\0two\0three\0\0", 32);
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, KEY_READ, false));
    EXPECT_EQ(key.ReadString(L"multi", L""), L"a\r\nb");
    EXPECT_EQ(key.ReadString(L"three", L""), L"one\r\ntwo\r\nthree");
}

TEST_F(RegistryTest, ValuesOfOtherTypesAndSizes_NeverCrashAndFallBack) {
    DWORD number = 0x00410042;
    SetRaw(L"dword", REG_DWORD, &number, 4);
    unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    SetRaw(L"long", REG_BINARY, eight, 8);
    SetRaw(L"odd", REG_BINARY, "abc", 3);
    SetRaw(L"unterminated", REG_SZ, L"xyz", 6);
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, false));
    EXPECT_EQ(key.ReadDword(L"dword", 0), number);
    EXPECT_EQ(key.ReadDword(L"long", 9), 9u);
    EXPECT_EQ(key.GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(key.ReadString(L"dword", L""), L"BA"); // the bytes read as UTF-16 units
    EXPECT_EQ(key.ReadString(L"odd", L"").size(), 2u);
    EXPECT_EQ(key.ReadString(L"unterminated", L""), L"xyz");
}

TEST_F(RegistryTest, ClosedKey_CallsFailWithoutCrashing) {
    CRegistryKey key;
    EXPECT_EQ(key.ReadString(L"x", L"d"), L"d");
    EXPECT_EQ(key.ReadDword(L"x", 5), 5u);
    EXPECT_FALSE(key.WriteString(L"x", L"y"));
    EXPECT_NE(key.GetLastError(), ERROR_SUCCESS);
    std::wstring name;
    key.ResetEnum();
    EXPECT_FALSE(key.EnumSubkey(name));
}

TEST_F(RegistryTest, OpenRelativeToAnotherOpenKey_OpensItsSubKey) {
    CRegistryKey parent;
    ASSERT_TRUE(parent.Open(HKEY_CURRENT_USER, root, true));
    CRegistryKey child;
    ASSERT_TRUE(child.Open(parent.GetHandle(), L"Child\\Grandchild", true));
    EXPECT_EQ(child.GetRoot(), parent.GetHandle());
    EXPECT_EQ(child.GetPath(), L"Child\\Grandchild");
    ASSERT_TRUE(child.WriteString(L"v", L"deep"));
    child.Close();

    CRegistryKey direct;
    ASSERT_TRUE(direct.Open(HKEY_CURRENT_USER, root + L"\\Child\\Grandchild", KEY_READ, false));
    EXPECT_EQ(direct.ReadString(L"v", L""), L"deep");
}

TEST_F(RegistryTest, EnumSubkey_ListsEverySubKeyOnce) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    std::vector<std::wstring> made = {L"Alpha", L"Beta", L"\x0413\x0430\x043C\x043C\x0430"};
    for (const std::wstring& name : made) {
        CRegistryKey child;
        ASSERT_TRUE(child.Open(key.GetHandle(), name, true));
    }
    std::wstring name;
    EXPECT_FALSE(key.EnumSubkey(name)) << "no enumeration before ResetEnum";
    key.ResetEnum();
    std::vector<std::wstring> seen;
    while (key.EnumSubkey(name))
        seen.push_back(name);
    EXPECT_EQ(key.GetLastError(), ERROR_NO_MORE_ITEMS);
    std::sort(seen.begin(), seen.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(seen, made);
    key.Close();
    EXPECT_FALSE(key.EnumSubkey(name)) << "Close ends the enumeration";
}

TEST_F(RegistryTest, ReadDefaultValue_CopiesValueOrDefault) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    wchar_t buffer[16];
    EXPECT_TRUE(key.ReadDefaultValue(L"none", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, L"none");
    SetRaw(L"", REG_SZ, L"unnamed", 16);
    EXPECT_TRUE(key.ReadDefaultValue(L"none", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, L"unnamed");
    wchar_t small[4];
    key.ReadDefaultValue(L"toolong-default", small, sizeof small);
    EXPECT_EQ(wcslen(small), 3u) << "never runs past the caller's buffer";
}

TEST_F(RegistryTest, DwordsAndEmptinessAndDeletingValues) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    EXPECT_TRUE(key.IsEmpty());
    ASSERT_TRUE(key.WriteDword(L"Instl", 1));
    EXPECT_EQ(key.GetValueType(L"Instl"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(key.ReadDword(L"Instl", 7), 1u);
    EXPECT_FALSE(key.IsEmpty());
    EXPECT_TRUE(key.DeleteValue(L"Instl"));
    EXPECT_TRUE(key.DeleteValue(L"Instl")) << "a value that is not there is gone";
    EXPECT_TRUE(key.IsEmpty());
    CRegistryKey child;
    ASSERT_TRUE(child.Open(HKEY_CURRENT_USER, root + L"\\child", true));
    EXPECT_FALSE(key.IsEmpty()) << "a sub-key fills it";
}

TEST_F(RegistryTest, KeysByName_ExistDeleteWithTheirTreeOrOnlyWhenEmpty) {
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, root));
    EXPECT_EQ(CRegistryKey::DeleteTree(HKEY_CURRENT_USER, root), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    {
        CRegistryKey leaf;
        ASSERT_TRUE(leaf.Open(HKEY_CURRENT_USER, root + L"\\a\\b", true));
        ASSERT_TRUE(leaf.WriteString(L"v", L"x"));
    }
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CURRENT_USER, root + L"\\a", KEY_ALL_ACCESS));
    EXPECT_FALSE(CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, root)) << "it has sub-keys";
    EXPECT_TRUE(CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, root + L"\\a\\b")) << "values do not keep a key";
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, root + L"\\a\\b"));
    EXPECT_EQ(CRegistryKey::DeleteTree(HKEY_CURRENT_USER, root), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, root));
    // An empty name would be the root itself: refused.
    EXPECT_NE(CRegistryKey::DeleteTree(HKEY_CURRENT_USER, L""), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_FALSE(CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, L""));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CURRENT_USER, L"Software"));
}

TEST_F(RegistryTest, WriteValue_StoresTheBytesAsTheGivenType) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    const BYTE binary[] = {0x5C, 0x00, 0xFF};
    ASSERT_TRUE(key.WriteValue(L"wrong kind", REG_BINARY, binary, sizeof binary));
    EXPECT_EQ(key.GetValueType(L"wrong kind"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(key.GetValueSize(L"wrong kind"), 3u);
    BYTE read[8] = {};
    DWORD type = 0, size = sizeof read;
    ASSERT_EQ(RegQueryValueExW(key.GetHandle(), L"wrong kind", nullptr, &type, read, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::vector<BYTE>(read, read + size), std::vector<BYTE>(binary, binary + sizeof binary));
    // The unnamed value, as text (the registry may add a NUL the data lacks).
    ASSERT_TRUE(key.WriteValue(L"", REG_SZ, L"abc", 6));
    EXPECT_EQ(key.GetValueType(L""), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(key.ReadString(L"", L"default"), L"abc");
    DWORD number = 42;
    ASSERT_TRUE(key.WriteValue(L"number", REG_DWORD, &number, sizeof number));
    EXPECT_EQ(key.ReadDword(L"number", 0), 42u);
    key.Close();
    EXPECT_FALSE(key.WriteValue(L"number", REG_DWORD, &number, sizeof number));
    EXPECT_NE(key.GetLastError(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ValueNames_ListsEveryValueOnceWithTheUnnamedOneAsEmpty) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, true));
    EXPECT_TRUE(key.ValueNames().empty());
    ASSERT_TRUE(key.WriteString(L"Path", L"x"));
    ASSERT_TRUE(key.WriteDword(L"\x0421\x0447\x0451\x0442", 1));
    ASSERT_TRUE(key.WriteString(L"", L"unnamed"));
    CRegistryKey child;
    ASSERT_TRUE(child.Open(key.GetHandle(), L"NotAValue", true));
    std::vector<std::wstring> names = key.ValueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"", L"Path", L"\x0421\x0447\x0451\x0442"}));
    key.Close();
    EXPECT_TRUE(key.ValueNames().empty());
}

TEST_F(RegistryTest, CopyTreeFrom_CopiesValuesAndSubKeysIntoTheOpenKey) {
    {
        CRegistryKey leaf;
        ASSERT_TRUE(leaf.Open(HKEY_CURRENT_USER, root + L"\\from\\ER\\Templates", true));
        ASSERT_TRUE(leaf.WriteString(L"0", L"general"));
        CRegistryKey top;
        ASSERT_TRUE(top.Open(HKEY_CURRENT_USER, root + L"\\from", true));
        ASSERT_TRUE(top.WriteDword(L"Count", 2));
    }
    CRegistryKey source, target;
    ASSERT_TRUE(source.Open(HKEY_CURRENT_USER, root + L"\\from", KEY_READ, false));
    ASSERT_TRUE(target.Open(HKEY_CURRENT_USER, root + L"\\to", true));
    ASSERT_TRUE(target.CopyTreeFrom(source));
    EXPECT_EQ(target.ReadDword(L"Count", 0), 2u);
    CRegistryKey copied;
    ASSERT_TRUE(copied.Open(HKEY_CURRENT_USER, root + L"\\to\\ER\\Templates", KEY_READ, false));
    EXPECT_EQ(copied.ReadString(L"0", L""), L"general");
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CURRENT_USER, root + L"\\from\\ER")) << "the source stays";

    CRegistryKey closed;
    EXPECT_FALSE(target.CopyTreeFrom(closed));
    EXPECT_FALSE(closed.CopyTreeFrom(source));
}
