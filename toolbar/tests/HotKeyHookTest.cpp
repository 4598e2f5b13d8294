// The call key beside Wine's notepad, pressed through the X server as a keyboard would: a short press
// reaches notepad once and signals nothing, a long one signals the panel (the test host) and keeps the key
// from notepad, and the Back key's short press deletes one character.
#include "HotKeyHook.h"
#include "DesktopSession.h"
#include "KeptSetting.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "platform/RegistryKey.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class HotKeyHookTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.Start()) << "the test host did not start";
        ASSERT_TRUE(m_notepad.Start(L"notepad.exe")) << "notepad did not come to the front";
    }

    // Holds the key for the given time (a short press: well below the half second), then waits for the
    // press to be dealt with.
    void Press(const char* key, const char* seconds) {
        ASSERT_TRUE(desktop::Xdotool(std::string("keydown ") + key + " sleep " + seconds + " keyup " + key));
        ASSERT_NO_FATAL_FAILURE(Settle());
    }
    // Holds the key until the host has had that many signals, then lets it go.
    void HoldUntilSignals(const char* key, LRESULT signals) {
        ASSERT_TRUE(desktop::HoldKeyUntil(key, [&] { return Signals() >= signals; }));
        ASSERT_NO_FATAL_FAILURE(Settle());
    }
    // Waits until the host has stopped polling, then types a sentinel "x": once it has arrived,
    // everything the press sent to notepad has arrived before it.
    void Settle() {
        ASSERT_TRUE(testsupport::WaitUntil([&] { return m_host.Ask(testhost::kIsPolling) == 0; }));
        auto sentinels = [&] {
            std::wstring text = NotepadText();
            return std::count(text.begin(), text.end(), L'x');
        };
        auto before = sentinels();
        ASSERT_TRUE(desktop::Xdotool("key x"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return sentinels() == before + 1; }));
    }

    std::wstring NotepadText() { return desktop::TextOf(m_notepad.Edit()); }
    LRESULT Signals() { return m_host.Ask(testhost::kSignalCount); }

    // Applying a key stores it in the settings: the setting is put back as it was.
    KeptSetting m_keptKey{ovrin::protocol::kToolbarSection, ovrin::protocol::kCallKeySetting};
    desktop::Host m_host;
    desktop::FrontProgram m_notepad;
};

} // namespace

// A short press, or a tap, reaches notepad as one press of the key; held past half a second it signals,
// and held on it signals again every half second, and none of it reaches notepad.
TEST_F(HotKeyHookTest, CallKey_ShortPressIsReplayed_LongPressSignalsEveryHalfSecond) {
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, VK_RETURN), 1);
    EXPECT_EQ(CAppSettings::ReadInt(ovrin::protocol::kToolbarSection, ovrin::protocol::kCallKeySetting), VK_RETURN);
    Press("Return", "0.1");
    EXPECT_EQ(NotepadText(), L"\r\nx");
    EXPECT_EQ(Signals(), 0);
    Press("Return", "0.01"); // a tap, over before the first poll step
    EXPECT_EQ(NotepadText(), L"\r\nx\r\nx");
    EXPECT_EQ(Signals(), 0);
    HoldUntilSignals("Return", 1);
    EXPECT_EQ(NotepadText(), L"\r\nx\r\nxx");
    EXPECT_EQ(Signals(), 1);
    HoldUntilSignals("Return", 3);
    EXPECT_EQ(NotepadText(), L"\r\nx\r\nxxx");
    EXPECT_EQ(Signals(), 3);
}

// A user pressing again right after a long press: each press in a row held until it signals, the next
// one going down at once after the last one's release. Every one of them signals and none reaches
// notepad.
TEST_F(HotKeyHookTest, LongPressesInARow_EachSignals_NoneIsReplayed) {
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, VK_RETURN), 1);
    for (LRESULT press = 1; press <= 6; ++press) {
        ASSERT_TRUE(desktop::HoldKeyUntil("Return", [&] { return Signals() >= press; })) << "press " << press;
        // The next press goes down as soon as this one has been let go and seen to end.
        ASSERT_TRUE(testsupport::WaitUntil([&] { return m_host.Ask(testhost::kIsPolling) == 0; }));
    }
    ASSERT_NO_FATAL_FAILURE(Settle());
    EXPECT_EQ(NotepadText(), L"x");
    EXPECT_EQ(Signals(), 6);
}

TEST_F(HotKeyHookTest, KeyZero_RegistersNothing) {
    EXPECT_EQ(m_host.Ask(testhost::kApplyKey, 0), 0);
    EXPECT_EQ(CAppSettings::ReadInt(ovrin::protocol::kToolbarSection, ovrin::protocol::kCallKeySetting), 0);
    Press("Return", "0.1");
    EXPECT_EQ(Signals(), 0);
    EXPECT_EQ(NotepadText(), L"\r\nx");
}

TEST_F(HotKeyHookTest, BackKey_ShortPressInAnEditWithText_DeletesOneCharacter) {
    SendMessageW(m_notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
    SendMessageW(m_notepad.Edit(), EM_SETSEL, 5, 5);
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, CHotKeyHook::kBackKey), 1);
    Press("Escape", "0.1");
    EXPECT_EQ(NotepadText(), L"hellx");
    EXPECT_EQ(Signals(), 0);
}

// In a control without text the Back key reaches the program in front as the shell's Back hot key,
// pressed and then released; here the program in front is a window of the host itself.
TEST_F(HotKeyHookTest, BackKey_ShortPressWithoutText_SendsTheBackHotKeyToTheWindowInFront) {
    auto edit = reinterpret_cast<HWND>(m_host.Ask(testhost::kShowOwnEdit, 0));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::FocusOfForeground() == edit; }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(GetAncestor(edit, GA_ROOT)));
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, CHotKeyHook::kBackKey), 1);
    ASSERT_TRUE(desktop::Xdotool("keydown Escape sleep 0.1 keyup Escape"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return m_host.Ask(testhost::kBackHotKeyCount) >= 2; }));
    EXPECT_EQ(m_host.Ask(testhost::kBackHotKeyCount), 2);
    EXPECT_EQ(m_host.Ask(testhost::kBackHotKeyAt, 0), MAKELPARAM(0, 0x1B));
    EXPECT_EQ(m_host.Ask(testhost::kBackHotKeyAt, 1), MAKELPARAM(0x1000, 0x1B));
    EXPECT_EQ(Signals(), 0);
}

// With the input method that handles the Back key installed, the short press is replayed as the key
// itself, which notepad ignores: nothing is deleted.
TEST_F(HotKeyHookTest, BackKey_WithItsInputMethodInstalled_IsReplayedAsItself) {
    // The input method's key, removed again however the test ends.
    struct InputMethodKey {
        const wchar_t* path = L"Software\\Apps\\GuoBi GBIme";
        bool created = false;
        InputMethodKey() { created = CRegistryKey().Open(HKEY_LOCAL_MACHINE, path, true); }
        ~InputMethodKey() { CRegistryKey::DeleteEmptyKey(HKEY_LOCAL_MACHINE, path); }
    } inputMethod;
    ASSERT_TRUE(inputMethod.created);
    SendMessageW(m_notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
    SendMessageW(m_notepad.Edit(), EM_SETSEL, 5, 5);
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, CHotKeyHook::kBackKey), 1);
    Press("Escape", "0.1");
    EXPECT_EQ(NotepadText(), L"hellox");
}

// The toolbar ending while the call key is held: the poll thread is stopped and joined, nothing hangs.
TEST_F(HotKeyHookTest, ToolbarEndsWhileTheKeyIsHeld) {
    ASSERT_EQ(m_host.Ask(testhost::kApplyKey, VK_RETURN), 1);
    testsupport::CUnixCommand press("xdotool keydown Return sleep 0.8 keyup Return");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return m_host.Ask(testhost::kIsPolling) == 1; }));
    PostMessageW(m_host.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(m_host.GetProcess().Handle(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(press.Wait(), 0);
}
