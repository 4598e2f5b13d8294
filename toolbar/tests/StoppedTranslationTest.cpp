// A translation the user stops: what is done is shown, a plain-text page keeps its untranslated rest.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

TEST_F(TranslateDialogsTest, EngineStoppedMidTranslation_ShowsTheLinesDone_FailingShowsNothing) {
    EngineLayout slowLayout;
    slowLayout.WriteStandardCatalogue();
    SlowDirection slow(slowLayout);
    ASSERT_TRUE(slow.Ready());
    UseEngine(slowLayout);
    HWND window = OpenResult(L"", L"");
    ASSERT_NE(window, nullptr);
    HWND edit = GetDlgItem(window, IDC_TRANSLATION_EDIT);
    std::wstring translating = platform::LoadResString(IDS_TRANSLATING);
    auto settled = [&](const std::wstring& expected) {
        return testsupport::WaitUntil([&] {
            return desktop::TextOf(edit) == expected && FindDialogShowing(IDC_WAIT_LABEL, translating) == nullptr;
        });
    };

    SetWindowTextW(edit, L"quick one\nslow two");
    Command(window, ID_RESULT_TRANSLATE);
    ASSERT_TRUE(slow.WaitEntered(10000));
    HWND wait = nullptr;
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return (wait = FindDialogShowing(IDC_WAIT_LABEL, translating)) != nullptr; }));
    PostMessageW(wait, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(settled(L"[quick one]\n")) << testing::PrintToString(desktop::TextOf(edit));

    // The engine's answer is that of the text's last run: here it fails after part of its output.
    SetWindowTextW(edit, L"quick one\nfail two");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(settled(L"")) << testing::PrintToString(desktop::TextOf(edit));

    slow.Release();
    SetWindowTextW(edit, L"quick again");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(settled(L"[quick again]")) << testing::PrintToString(desktop::TextOf(edit));
    child.End();
    auto begin = std::chrono::steady_clock::now();
    client.reset();
    translator.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10)) << "a call left running";
}

// A plain-text page stopped (Back on the wait window) while its second line is in the engine: the
// file gets the line done and the rest of the text as it was, never an empty text.
TEST_F(TranslateDialogsTest, PlainTextPageStopped_KeepsTheLinesDoneAndTheRestAsItWas) {
    EngineLayout slowLayout;
    slowLayout.WriteStandardCatalogue();
    SlowDirection slow(slowLayout);
    ASSERT_TRUE(slow.Ready());
    UseEngine(slowLayout);
    pagelink::CPageLink link(*client, &stopFlag);
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"page.txt");
    std::string page = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"quick one\r\nslow two\r\nquick three")) {
        page += static_cast<char>(c & 0xFF);
        page += static_cast<char>(c >> 8);
    }
    testsupport::WriteFileBytes(path, page);
    std::string bytes = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, path);
    bytes += '\0';
    COPYDATASTRUCT copy = {0, static_cast<DWORD>(bytes.size()), bytes.data()};
    std::thread stopper = slow.StopOnEntry(stopFlag);
    LRESULT answer = 0;
    EXPECT_TRUE(link.Handle(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), answer));
    stopper.join();
    EXPECT_EQ(answer, 1);
    std::string expected = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"[quick one]\r\nslow two\r\nquick three")) {
        expected += static_cast<char>(c & 0xFF);
        expected += static_cast<char>(c >> 8);
    }
    EXPECT_EQ(FileBytes(path), expected);
    slow.Release();
}

// The panel's purpose 3 in the toolbar program: selection mode for the dictionary over Wine's notepad,
// a word selected by arrow keys, the held call key: the dictionary program starts with that word.
