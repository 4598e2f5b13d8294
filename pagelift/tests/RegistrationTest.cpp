// Registration through the system's regsvr32: every key of the server's registry script with its
// values, the type library's keys, and after unregistration none of them.
#include "Pagelift.h"
#include "base/Path.h"
#include "platform/RegistryKey.h"

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>

#include <string>

namespace {

const std::wstring kClass = L"{73AFDD66-D450-42F5-9997-1E58C5582292}";

std::wstring ServerPath() {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW((ovrin::GetProgramFolder() + L"..\\Pagelift.dll").c_str(), MAX_PATH, full, nullptr);
    return full;
}

int RunRegsvr32(const std::wstring& options) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    testsupport::CProgramProcess regsvr32;
    if (!regsvr32.Start(std::wstring(system) + L"\\regsvr32.exe", options + L" \"" + ServerPath() + L"\""))
        return -1;
    return regsvr32.WaitForExit(60000) ? static_cast<int>(regsvr32.ExitCode()) : -2;
}

// The string value (name null: the default value), or "(none)".
std::wstring Value(HKEY root, const std::wstring& key, const wchar_t* name = L"") {
    CRegistryKey opened;
    if (!opened.Open(root, key, KEY_READ, false) || opened.GetValueType(name) != REG_SZ)
        return L"(none)";
    return opened.ReadString(name, L"(none)");
}

std::wstring Guid(REFGUID guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

const std::wstring kHelperKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + kClass;

} // namespace

TEST(PageliftRegistration, RegisterWritesTheScriptAndUnregisterRemovesIt) {
    ASSERT_EQ(RunRegsvr32(L"/s"), 0);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj.1"), L"IEHlprObj Class");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj.1\\CLSID"), kClass);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj"), L"IEHlprObj Class");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj\\CurVer"), L"IEHlprObj.IEHlprObj.1");
    const std::wstring classKey = L"CLSID\\" + kClass;
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, classKey), L"IEHlprObj Class");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, classKey + L"\\ProgID"), L"IEHlprObj.IEHlprObj.1");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, classKey + L"\\VersionIndependentProgID"), L"IEHlprObj.IEHlprObj");
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CLASSES_ROOT, classKey + L"\\Programmable"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32"), ServerPath());
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel"), L"Both");
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, kHelperKey));
    const std::wstring typeLibraryKey = L"TypeLib\\" + Guid(LIBID_PageliftLib) + L"\\1.0";
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CLASSES_ROOT, typeLibraryKey));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_CLASSES_ROOT, L"Interface\\" + Guid(IID_IIEHlprObj)));

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0);
    for (const std::wstring& key :
         {std::wstring(L"IEHlprObj.IEHlprObj.1"), std::wstring(L"IEHlprObj.IEHlprObj"), classKey,
          L"TypeLib\\" + Guid(LIBID_PageliftLib), L"Interface\\" + Guid(IID_IIEHlprObj)})
        EXPECT_FALSE(CRegistryKey::Exists(HKEY_CLASSES_ROOT, key)) << std::string(key.begin(), key.end());
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, kHelperKey));
}
