// Text capture from Wine's notepad (a plain edit control) and wordpad (a rich edit control) in front:
// the strict and loose tests, the whole text, and selection mode driven by arrow keys from the X server.
#include "TextCapture.h"
#include "DesktopSession.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

class TextCaptureTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Start()) << "the test host did not start"; }

    bool StartFront(const wchar_t* program) { return m_front.Start(program); }
    HWND Edit() const { return m_front.Edit(); }
    void SetText(const std::wstring& text, long caret) {
        SendMessageW(Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(Edit(), EM_SETSEL, caret, caret);
    }
    bool ReadOnly() const { return (GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY) != 0; }

    // Presses the arrow keys one after another in selection mode and waits for the host's selected text.
    // Then shift+End, which the control handles itself: it stretches the control's own selection from its
    // anchor, so the selection's start shows that no arrow key reached the control a second time (one
    // would have collapsed the selection and moved its anchor).
    void SelectWithKeys(std::initializer_list<const char*> keys, const std::wstring& expected, long anchor,
                        long lineEnd, const char* screenshot = nullptr) {
        ASSERT_EQ(m_host.Ask(testhost::kStartSelection), 1);
        EXPECT_TRUE(ReadOnly());
        for (const char* key : keys)
            ASSERT_TRUE(desktop::Xdotool(std::string("key ") + key));
        EXPECT_TRUE(testsupport::WaitUntil([&] { return m_host.AskText(testhost::kSelectionText) == expected; }))
            << "selected so far: " << testing::PrintToString(m_host.AskText(testhost::kSelectionText));
        if (screenshot != nullptr)
            testsupport::ScreenshotIntoOut(screenshot);
        ASSERT_TRUE(desktop::Xdotool("key shift+End"));
        auto stretched = std::make_pair(anchor, lineEnd);
        EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) == stretched; }))
            << "selection " << desktop::SelectionOf(Edit()).first << "-" << desktop::SelectionOf(Edit()).second;
        EXPECT_EQ(m_host.AskText(testhost::kEndSelection), expected);
        EXPECT_FALSE(ReadOnly());
        EXPECT_EQ(m_host.Ask(testhost::kSelectionMode), 0);
    }

    desktop::Host m_host;
    desktop::FrontProgram m_front;
};

} // namespace

TEST_F(TextCaptureTest, Notepad_WholeText_AndTheStrictAndLooseTests) {
    ASSERT_TRUE(StartFront(L"notepad.exe"));
    SetText(L"first line\r\nsecond", 0);
    EXPECT_EQ(m_host.AskText(testhost::kWholeText), L"first line\r\nsecond");
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 1), 1);
    EXPECT_EQ(m_host.Ask(testhost::kIsRichEdit), 0);

    // Read-only or empty: refused by the strict test, still an edit control without it.
    SendMessageW(Edit(), EM_SETREADONLY, TRUE, 0);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 1), 0);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 0), 1);
    SendMessageW(Edit(), EM_SETREADONLY, FALSE, 0);
    SetText(L"", 0);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 1), 0);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 0), 1);
    EXPECT_EQ(m_host.AskText(testhost::kWholeText), L"");
}

// Left right after the start with the caret at 5 selects 4 to 5; Right, Right, Left from 0 leaves one
// character (a letter typed meanwhile changes nothing); a selection across a line break comes back with
// one CR LF.
TEST_F(TextCaptureTest, Notepad_SelectionByArrowKeys) {
    ASSERT_TRUE(StartFront(L"notepad.exe"));
    SetText(L"hello world", 5);
    SelectWithKeys({"Left"}, L"o", 5, 11);
    SetText(L"hello world", 0);
    SelectWithKeys({"Right", "Right", "q", "Left"}, L"h", 0, 11);
    EXPECT_EQ(desktop::TextOf(Edit()), L"hello world");
    SetText(L"ab\r\ncd\r\nef", 1);
    SelectWithKeys({"Down", "Down", "Up"}, L"b\r\nc", 1, 6, "toolbar-selection-notepad.png");
}

TEST_F(TextCaptureTest, Wordpad_RichEdit_WholeTextAndSelectionAcrossALineBreak) {
    ASSERT_TRUE(StartFront(desktop::WordpadCommand().c_str()));
    SetText(L"ab\r\ncd", 1);
    EXPECT_EQ(m_host.Ask(testhost::kIsRichEdit), 1);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 1), 1);
    std::wstring whole = m_host.AskText(testhost::kWholeText);
    EXPECT_TRUE(whole == L"ab\r\ncd" || whole == L"ab\rcd") << testing::PrintToString(whole);
    // The rich edit control counts the line break as one position: "ab|cd" is 0-1, 2, 3-4.
    SelectWithKeys({"Down"}, L"b\r\nc", 1, 5, "toolbar-selection-wordpad.png");
}

TEST_F(TextCaptureTest, ProgramInFrontEndsInSelectionMode_NothingStaysHooked) {
    ASSERT_TRUE(StartFront(L"notepad.exe"));
    SetText(L"hello", 2);
    ASSERT_EQ(m_host.Ask(testhost::kStartSelection), 1);
    ASSERT_TRUE(desktop::Xdotool("key Right"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return m_host.AskText(testhost::kSelectionText) == L"l"; }));
    m_front.GetProcess().End();
    EXPECT_EQ(m_host.AskText(testhost::kEndSelection), L"l");
    EXPECT_EQ(m_host.Ask(testhost::kSelectionMode), 0);

    // A new notepad gets its arrow keys as usual: no hook is left consuming them.
    desktop::FrontProgram next;
    ASSERT_TRUE(next.Start(L"notepad.exe"));
    SendMessageW(next.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    SendMessageW(next.Edit(), EM_SETSEL, 0, 0);
    ASSERT_TRUE(desktop::Xdotool("key Right"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(next.Edit()) == std::make_pair(1L, 1L); }));
}

// Positions beyond 65535 select the right character, and the whole text comes back in full.
TEST_F(TextCaptureTest, Notepad_AMillionCharacters) {
    ASSERT_TRUE(StartFront(L"notepad.exe"));
    std::wstring line(98, L'a');
    line += L"\r\n";
    std::wstring text;
    for (int i = 0; i < 10000; ++i)
        text += line;
    text.replace(999990, 5, L"bcdef");
    SetText(text, 999993);
    ASSERT_EQ(static_cast<std::size_t>(SendMessageW(Edit(), WM_GETTEXTLENGTH, 0, 0)), text.size());
    EXPECT_TRUE(m_host.AskText(testhost::kWholeText) == text);
    SelectWithKeys({"Left"}, L"d", 999993, 999998);
}

// A control of the toolbar's own program is an edit control, but not one to take text from.
TEST_F(TextCaptureTest, OwnWindowInFront_RefusedByTheStrictTest) {
    auto edit = reinterpret_cast<HWND>(m_host.Ask(testhost::kShowOwnEdit, 1));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::FocusOfForeground() == edit; }));
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 1), 0);
    EXPECT_EQ(m_host.Ask(testhost::kCanTakeText, 0), 1);
    EXPECT_EQ(m_host.AskText(testhost::kWholeText), L"own text");
}

// The toolbar ending in selection mode leaves the control writable and its keys its own.
TEST_F(TextCaptureTest, ToolbarEndsInSelectionMode_TheControlIsWritableAndItsKeysItsOwn) {
    ASSERT_TRUE(StartFront(L"notepad.exe"));
    SetText(L"hello", 0);
    ASSERT_EQ(m_host.Ask(testhost::kStartSelection), 1);
    ASSERT_TRUE(ReadOnly());
    PostMessageW(m_host.Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(m_host.GetProcess().Handle(), 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(ReadOnly());
    ASSERT_TRUE(desktop::Xdotool("key Right"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) == std::make_pair(1L, 1L); }));
}
