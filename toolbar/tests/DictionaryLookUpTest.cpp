// The dictionary launch, from the launcher itself and from a word selected in notepad.
#include "TranslateDialogsFixture.h"
#include "common/Protocol.h"
#include "platform/RegistryKey.h"

using namespace dialogtests;

namespace {

// The ids of the processes running a file named Lexory.exe.
std::vector<DWORD> DictionaryProcesses() {
    return testsupport::ProcessIdsNamed(CDictionaryLauncher::kProgramFile);
}

// The dictionary stand-in installed as Lexory.exe in a folder of its own, named by the "path" setting
// (kept and put back).
class InstalledDictionary {
public:
    InstalledDictionary()
        : m_saved(
              CAppSettings::ReadString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting)) {
        m_folder = testsupport::ToWide(m_temp.Path()) + L"\\";
        m_copied = CopyFileW((ovrin::GetProgramFolder() + L"dictionary_standin.exe").c_str(),
                             (m_folder + CDictionaryLauncher::kProgramFile).c_str(), FALSE) != FALSE;
        CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                                  m_folder);
    }
    ~InstalledDictionary() {
        testsupport::EndProcessesNamed(CDictionaryLauncher::kProgramFile);
        if (!m_saved.empty()) {
            CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                                      m_saved);
            return;
        }
        // It was not there: it goes again (an empty value would still read as an installed dictionary).
        CAppSettings::Remove(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting);
    }
    bool Copied() const { return m_copied; }
    const std::wstring& Folder() const { return m_folder; }
    // The word the running stand-in received ("" until it has written it), and forgetting it.
    std::wstring Word() const {
        std::wstring file = m_folder + L"word.txt";
        return ovrin::FileExists(file) ? ovrin::Utf8ToUtf16(FileBytes(file)) : L"";
    }
    void Forget() const { DeleteFileW((m_folder + L"word.txt").c_str()); }

private:
    testsupport::TempFolder m_temp;
    std::wstring m_folder, m_saved;
    bool m_copied = false;
};

} // namespace

// The dictionary launch: a word with spaces, quotation marks and backslashes reaches the program as
// its one word, read as the dictionary program reads its command line; a running dictionary is ended
// and started again with the new word; "path" without its trailing backslash, or a folder without the
// program, means not installed, and a look-up then starts nothing.
TEST_F(TranslateDialogsTest, DictionaryLookUp_OneIntactWord_RunningOneRestarted_MissingMeansNothing) {
    InstalledDictionary dictionary;
    ASSERT_TRUE(dictionary.Copied());
    EXPECT_TRUE(CDictionaryLauncher::IsInstalled());
    CDictionaryLauncher launcher;
    launcher.LookUp(L"big cat");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dictionary.Word() == L"big cat"; }, 10000))
        << testing::PrintToString(dictionary.Word());
    std::vector<DWORD> first = DictionaryProcesses();
    ASSERT_EQ(first.size(), 1u);

    dictionary.Forget();
    const std::wstring tricky = L"say \"hi\" to C:\\dir\\ and \\\"x\\";
    launcher.LookUp(tricky);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dictionary.Word().empty(); }, 10000));
    EXPECT_EQ(dictionary.Word(), tricky);
    std::vector<DWORD> second = DictionaryProcesses();
    ASSERT_EQ(second.size(), 1u) << "the running dictionary is ended first";
    EXPECT_NE(second[0], first[0]);

    std::wstring folder = dictionary.Folder();
    CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                              folder.substr(0, folder.size() - 1));
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << "no trailing backslash: not installed";
    CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                              folder + L"missing\\");
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled());
    launcher.LookUp(L"word");
    EXPECT_EQ(DictionaryProcesses(), second) << "nothing ended or started without the program";
    for (const wchar_t* garbage : {L"", L"\\\\?\\", L"::::", L"\"quoted\\\""}) {
        CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                                  garbage);
        EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << testing::PrintToString(garbage);
    }
    const BYTE binary[] = {0x5C, 0x00, 0xFF};
    {
        CRegistryKey section;
        ASSERT_TRUE(
            section.Open(HKEY_CURRENT_USER, CAppSettings::SectionKey(ovrin::protocol::kDictionarySection), true));
        ASSERT_TRUE(section.WriteValue(ovrin::protocol::kDictionaryPathSetting, REG_BINARY, binary, sizeof binary));
    }
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << "a value of the wrong kind";
    launcher.LookUp(L"word");
    EXPECT_EQ(DictionaryProcesses(), second);
}

// The panel's dictionary purpose in the real program: a word selected by arrow keys in notepad's
// selection mode and the held call key start the dictionary program with that word, and notepad's
// text is left as it was.
TEST_F(TranslateDialogsTest, ToolbarProgram_WordSelectedInNotepadOpensInTheDictionary) {
    EngineForPrograms installed(layout);
    ASSERT_TRUE(installed.Copied());
    InstalledDictionary dictionary;
    ASSERT_TRUE(dictionary.Copied());
    EndRunningToolbars();
    desktop::FrontProgram notepad;
    ASSERT_TRUE(notepad.Start(L"notepad.exe"));
    SendMessageW(notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello world"));
    SendMessageW(notepad.Edit(), EM_SETSEL, 0, 0);
    testsupport::CProgramProcess toolbar;
    ASSERT_TRUE(toolbar.Start(ovrin::GetProgramFolder() + L"OvrinToolbar.exe"));
    HWND panelWindow = nullptr;
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] {
            panelWindow = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
            return panelWindow != nullptr && !Text(panelWindow, IDC_CAPTION_LABEL).empty();
        },
        15000));

    // The user is at notepad when the panel's command comes.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(notepad.Window()));
    PostMessageW(panelWindow, WM_COMMAND, ID_SELECT_DICTIONARY, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return (GetWindowLongW(notepad.Edit(), GWL_STYLE) & ES_READONLY) != 0; }))
        << "selection mode did not start";
    ASSERT_TRUE(testsupport::FocusWindowForKeys(notepad.Window()));
    ASSERT_TRUE(desktop::Xdotool("key Right Right Right Right Right"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(notepad.Edit()) == std::make_pair(0L, 5L); }));
    ASSERT_TRUE(desktop::Xdotool("keydown Return sleep 0.9 keyup Return"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dictionary.Word() == L"hello"; }, 10000))
        << testing::PrintToString(dictionary.Word());
    EXPECT_EQ(desktop::TextOf(notepad.Edit()), L"hello world");
    EndRunningToolbars();
}
