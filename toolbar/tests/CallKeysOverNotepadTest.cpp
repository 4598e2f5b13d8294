// Each of the call keys the settings dialog offers (Enter and the four arrow keys), end to end with
// OvrinToolbar.exe over Wine's notepad: the key held shows the panel, button 0 starts selection mode, a
// short press of the same key in selection mode does what any arrow key does there (an arrow key
// stretches the selection; Enter changes nothing in the read-only control), and the key held again
// ends selection mode and takes the selection into the result window.
#include "DesktopSession.h"
#include "KeptSetting.h"
#include "base/Path.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "resource.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/Processes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

constexpr const wchar_t* kToolbarSection = ovrin::protocol::kToolbarSection;
constexpr const wchar_t* kPanelClass = ovrin::protocol::kToolbarWindowClass;

struct CallKey {
    UINT code;
    const char* name; // as xdotool names it
};

class CallKeysOverNotepadTest : public testing::TestWithParam<CallKey> {
protected:
    void SetUp() override { testsupport::EndProcessesNamed(L"OvrinToolbar.exe"); }
    void TearDown() override { m_toolbar.End(); }

    bool StartToolbar() {
        if (!m_toolbar.Start(ovrin::GetProgramFolder() + L"OvrinToolbar.exe"))
            return false;
        // Ready once the first refresh has given the label its caption.
        return testsupport::WaitUntil([&] {
            m_panel = FindWindowW(kPanelClass, nullptr);
            return m_panel != nullptr && testsupport::WindowProcess(m_panel) == m_toolbar.Id() &&
                   !desktop::TextOf(GetDlgItem(m_panel, IDC_CAPTION_LABEL)).empty();
        });
    }

    HWND Edit() const { return m_notepad.Edit(); }
    bool ReadOnly() const { return (GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY) != 0; }
    bool PanelVisible() const { return IsWindowVisible(m_panel) != FALSE; }

    desktop::FrontProgram m_notepad;
    testsupport::CProgramProcess m_toolbar;
    HWND m_panel = nullptr;
};

} // namespace

TEST_P(CallKeysOverNotepadTest, HeldShowsThePanel_ShortInSelectionModeSelects_HeldAgainTakesTheSelection) {
    const CallKey key = GetParam();
    KeptSetting keptKey(kToolbarSection, ovrin::protocol::kCallKeySetting);
    KeptSetting keptPanes(kToolbarSection, ovrin::protocol::kShowSourceSetting);
    // Without the dictionary program's "path" button 0 starts selection mode at once.
    KeptSetting keptDictionary(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting);
    CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting, L"");
    CAppSettings::WriteInt(kToolbarSection, ovrin::protocol::kCallKeySetting, static_cast<int>(key.code));
    // Two panes: the result window shows the text it was given above the (empty) translation.
    CAppSettings::WriteInt(kToolbarSection, ovrin::protocol::kShowSourceSetting, 1);

    // The caret in the middle line, so that every arrow key has somewhere to go.
    const std::wstring text = L"hello world\r\nsecond line\r\nthird line";
    const long caret = 18;
    ASSERT_TRUE(m_notepad.Start(L"notepad.exe"));
    SendMessageW(Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(Edit(), EM_SETSEL, caret, caret);
    ASSERT_TRUE(StartToolbar());

    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    ASSERT_TRUE(desktop::HoldKeyUntil(key.name, [&] { return PanelVisible(); })) << "the held key showed no panel";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_panel; }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_panel));
    ASSERT_TRUE(desktop::Xdotool("key Return"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !PanelVisible() && ReadOnly(); }))
        << "selection mode did not start";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_notepad.Window(); }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));

    // A short press of the call key.
    ASSERT_TRUE(desktop::Xdotool(std::string("key ") + key.name));
    std::pair<long, long> selection;
    if (key.code == VK_RETURN) {
        // Enter selects nothing in the read-only control (it may move the caret to a line's start);
        // Left twice then selects from wherever the caret is, a letter besides a line break. Each
        // Left is waited for, so that the selection read below is the one the second made.
        ASSERT_TRUE(desktop::Xdotool("key Left"));
        ASSERT_TRUE(testsupport::WaitUntil([&] {
            selection = desktop::SelectionOf(Edit());
            return selection.first != selection.second;
        })) << "the first Left selected nothing";
        const std::pair<long, long> first = selection;
        ASSERT_TRUE(desktop::Xdotool("key Left"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) != first; }))
            << "the second Left did not move the selection";
    }
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        selection = desktop::SelectionOf(Edit());
        return selection.first != selection.second;
    })) << "the short press selected nothing";
    EXPECT_TRUE(key.code == VK_RETURN || selection.first == caret || selection.second == caret)
        << selection.first << ".." << selection.second << ": the selection is anchored at the caret";
    EXPECT_EQ(desktop::TextOf(Edit()), text);
    EXPECT_TRUE(ReadOnly()) << "the short press did not end selection mode";
    const std::wstring selected = text.substr(static_cast<std::size_t>(selection.first),
                                              static_cast<std::size_t>(selection.second - selection.first));

    // Held again: selection mode ends and the selection goes to the result window.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    EXPECT_TRUE(desktop::HoldKeyUntil(
        key.name, [&] { return !ReadOnly(); }, 10000))
        << "the held key did not end selection mode";
    HWND result = testsupport::WaitForWindow(L"#32770", L"OVRIN", m_toolbar.Id());
    ASSERT_NE(result, nullptr) << "no result window";
    EXPECT_EQ(desktop::TextOf(GetDlgItem(result, IDC_SOURCE_EDIT)), selected);
    EXPECT_EQ(desktop::TextOf(Edit()), text);
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedKey, CallKeysOverNotepadTest,
                         testing::Values(CallKey{VK_RETURN, "Return"}, CallKey{VK_UP, "Up"}, CallKey{VK_DOWN, "Down"},
                                         CallKey{VK_LEFT, "Left"}, CallKey{VK_RIGHT, "Right"}),
                         [](const testing::TestParamInfo<CallKey>& info) { return std::string(info.param.name); });
