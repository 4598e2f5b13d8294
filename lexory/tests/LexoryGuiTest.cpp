// The dictionary program as a user meets it: Lexory.exe started as a real process in a temporary
// program folder with dictionaries made by the dictionary writer, its lookup window found by class,
// driven with keys through the X server and with window messages, and read through messages (edit
// text, list selection, focus, row texts, the edit's colour property, message boxes).
#include "../resource.h"
#include "ColorEdit.h"
#include "LexoryDlg.h"
#include "ViewWordDlg.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "dictengine/DictFormat.h"
#include "dictengine/DictWriter.h"
#include "platform/Handles.h"
#include "platform/Processes.h"
#include "platform/RegistryKey.h"

#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>
#include <testsupport/TempFolder.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kWindowClass[] = L"LexoryWndClass";
constexpr const wchar_t* kSection = ovrin::protocol::kDictionarySection;

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().wstring();
}

// A leaf holds at most 255 bytes: the article names a long headword by its first 200.
dengine::WriterEntry Entry(const std::string& display) {
    return {display, "", dengine::MakeArticle({{0x01, "article of " + display.substr(0, 200)}})};
}

// Words w0000 .. w(n-1) (digits as given), in sorted order.
std::vector<std::string> NumberedWords(int count, int digits = 4) {
    std::vector<std::string> words;
    char text[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, "w%0*d", digits, i);
        words.push_back(text);
    }
    return words;
}

// What the screen shows of a window's client area, copied at construction: the windows belong to
// another process, so their pixels are read from the screen.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND window) {
        GetClientRect(window, &m_client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        m_screen = GetDC(nullptr);
        m_copy = CreateCompatibleDC(m_screen);
        m_bitmap = CreateCompatibleBitmap(m_screen, m_client.right, m_client.bottom);
        m_old = SelectObject(m_copy, m_bitmap);
        BitBlt(m_copy, 0, 0, m_client.right, m_client.bottom, m_screen, origin.x, origin.y, SRCCOPY);
    }
    ~ScreenPixels() {
        SelectObject(m_copy, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_copy);
        ReleaseDC(nullptr, m_screen);
    }
    ScreenPixels(const ScreenPixels&) = delete;
    ScreenPixels& operator=(const ScreenPixels&) = delete;

    int Width() const { return m_client.right; }
    int Height() const { return m_client.bottom; }
    COLORREF At(int x, int y) const { return GetPixel(m_copy, x, y); }

private:
    RECT m_client = {};
    HDC m_screen = nullptr, m_copy = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// A program folder with Lexory.exe, XLATCP.dll and the dictionaries a test writes.
class LexoryGuiTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    testsupport::CProgramProcess program;
    HWND window = nullptr;

    void SetUp() override {
        CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(kSection));
        for (const wchar_t* file : {L"Lexory.exe", L"XLATCP.dll", L"htmlview.dll"})
            ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\" + file).c_str(), folder.File(file).c_str(), FALSE));
    }
    void TearDown() override {
        program.End();
        CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(kSection));
    }

    void Dictionary(const std::wstring& file, std::uint16_t direction, const std::vector<std::string>& words,
                    const std::string& name = "General") {
        std::vector<dengine::WriterEntry> entries;
        for (const std::string& word : words)
            entries.push_back(Entry(word));
        dengine::SortEntries(entries, static_cast<std::uint8_t>(direction >> 8));
        dengine::DictionaryDescription description;
        description.name = name;
        description.direction = direction;
        std::string error;
        ASSERT_TRUE(dengine::WriteDictionary(folder.File(file), description, entries, &error)) << error;
    }

    // Starts the program with its parameters and waits until its lookup window shows, or until the
    // program shows a message while it sets the window up.
    bool Start(const std::wstring& parameters = L"") {
        if (!program.Start(folder.File(L"Lexory.exe"), parameters))
            return false;
        bool up = testsupport::WaitUntil([&] {
            return testsupport::FindProgramWindow(kWindowClass, nullptr, program.Id()) != nullptr ||
                   testsupport::FindProgramWindow(L"#32770", L"Lexory", program.Id()) != nullptr;
        });
        window = FindWindowW(kWindowClass, nullptr);
        return up && window != nullptr && testsupport::WindowProcess(window) == program.Id();
    }

    HWND Edit() const { return GetDlgItem(window, IDC_WORD_EDIT); }
    HWND List() const { return GetDlgItem(window, IDC_WORD_LIST); }
    std::wstring EditText() const { return testsupport::ControlText(Edit()); }
    std::wstring Caption() const { return testsupport::ControlText(window); }
    // The window exists before its caption is set: waits (bounded) until the caption reads text, and
    // gives the caption it ends with for the check.
    std::wstring CaptionOnceSet(const std::wstring& text) const {
        testsupport::WaitUntil([&] { return Caption() == text; });
        return Caption();
    }
    COLORREF EditColor() const {
        return static_cast<COLORREF>(reinterpret_cast<ULONG_PTR>(GetPropW(Edit(), CColorEdit::kBackColorProperty)) - 1);
    }
    int Selected() const {
        return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    int SelectedAndFocused() const {
        return static_cast<int>(
            SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED));
    }
    int RowCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    bool RowVisible(int row) const {
        int top = static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0));
        int page = static_cast<int>(SendMessageW(List(), LVM_GETCOUNTPERPAGE, 0, 0));
        return row >= top && row <= top + page;
    }
    HWND FocusedControl() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        return info.hwndFocus;
    }

    // The text of a row, read through a buffer in the program's own memory.
    std::wstring RowText(int row) const {
        CHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, program.Id()));
        if (!process)
            return L"<no access>";
        constexpr size_t kChars = 300;
        void* remote = VirtualAllocEx(process.Get(), nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT,
                                      PAGE_READWRITE);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        WriteProcessMemory(process.Get(), remote, &item, sizeof item, nullptr);
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
        wchar_t text[kChars] = {};
        ReadProcessMemory(process.Get(), item.pszText, text, sizeof text, nullptr);
        VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
        return std::wstring(text, wcsnlen(text, kChars));
    }

    // Waits until the search has put the list on row with the neutral colour.
    bool SettlesOn(int row) const {
        return testsupport::WaitUntil(
            [&] { return SelectedAndFocused() == row && EditColor() == CLexoryDlg::kNeutralColor && RowVisible(row); });
    }

    // The program's message box under its title, and its text; null when none comes.
    // (The article window has the same class and caption; a message box has its text control.)
    HWND WaitForMessageBox() const {
        HWND box = nullptr;
        testsupport::WaitUntil(
            [&] {
                for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Lexory"); w != nullptr;
                     w = FindWindowExW(nullptr, w, L"#32770", L"Lexory"))
                    if (testsupport::WindowProcess(w) == program.Id() && IsWindowVisible(w) &&
                        GetDlgItem(w, 0xFFFF) != nullptr)
                        return (box = w) != nullptr;
                return false;
            },
            5000ms);
        return box;
    }
    static std::wstring MessageText(HWND box) { return testsupport::ControlText(GetDlgItem(box, 0xFFFF)); }

    void SetSetting(const std::wstring& name, const std::wstring& value) {
        CAppSettings::WriteString(kSection, name, value);
    }
    std::wstring Setting(const std::wstring& name) { return CAppSettings::ReadString(kSection, name); }

    bool Command(WORD id) { return PostMessageW(window, WM_COMMAND, id, 0) != FALSE; }
    // A command that shows no message, handled in full before this returns.
    bool SendCommand(WORD id) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(window, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 15000, &ignored) != 0;
    }
    // Types text into the edit as WM_CHAR messages, the way an input method delivers characters.
    void PostChars(const std::wstring& text) {
        for (wchar_t c : text)
            PostMessageW(Edit(), WM_CHAR, c, 1);
    }
    bool Exits() { return program.WaitForExit(10000); }

    // A visible window of the program holding the control id (the article, list or about window).
    HWND WaitForSubWindow(int control) const {
        HWND found = nullptr;
        testsupport::WaitUntil([&] {
            for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
                 w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                if (testsupport::WindowProcess(w) == program.Id() && IsWindowVisible(w) &&
                    GetDlgItem(w, control) != nullptr)
                    return (found = w) != nullptr;
            }
            return false;
        });
        return found;
    }
    // Waits for the program's message box, checks its text and answers it.
    void AnswerMessage(const std::wstring& text, int answer = IDOK) const {
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message box came";
        EXPECT_EQ(MessageText(box), text);
        PostMessageW(box, WM_COMMAND, answer, 0);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    }
    static bool Post(HWND target, WORD command) { return PostMessageW(target, WM_COMMAND, command, 0) != FALSE; }
    // Closes a sub-window with a key released through the X server, as the user does.
    static bool CloseWithKey(HWND target, const std::string& key) {
        return testsupport::FocusWindowForKeys(target) && testsupport::TypeKeys({key}) &&
               testsupport::WaitUntil([&] { return !IsWindow(target); });
    }
    static HWND SoftKeyBar(HWND owner) { return FindWindowExW(owner, nullptr, L"OvrinSoftKeyBar", nullptr); }
    // The lines of a list box of the program (the text of a disabled, empty list included).
    static std::vector<std::wstring> Lines(HWND list) {
        std::vector<std::wstring> lines;
        int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[300] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.emplace_back(text);
        }
        return lines;
    }
    std::string ListFile(const wchar_t* name) const {
        return GetFileAttributesW(folder.File(name).c_str()) == INVALID_FILE_ATTRIBUTES
                   ? std::string("<none>")
                   : testsupport::ReadFileBytes(folder.File(name));
    }
    std::wstring AboutText() {
        EXPECT_TRUE(Post(window, ID_ABOUT));
        HWND about = WaitForSubWindow(IDC_ABOUT_TEXT);
        if (about == nullptr)
            return L"<no about window>";
        EXPECT_EQ(testsupport::ControlText(about), L"О программе");
        std::wstring text = testsupport::ControlText(GetDlgItem(about, IDC_ABOUT_TEXT));
        EXPECT_TRUE(Post(about, IDOK));
        EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(about); }));
        return text;
    }
};

int CountThreads(DWORD processId) {
    // A failed snapshot is INVALID_HANDLE_VALUE, as a failed CreateFile is.
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        count += entry.th32OwnerProcessID == processId;
    return count;
}

} // namespace

TEST_F(LexoryGuiTest, CommandLineWord_SelectsFocusesAndScrollsToTheNearestHeadword) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(400));
    ASSERT_TRUE(Start(L"\"w0350\""));
    EXPECT_TRUE(SettlesOn(350));
    EXPECT_EQ(EditText(), L"w0350");
    EXPECT_EQ(CaptionOnceSet(L"English-Russian"), L"English-Russian");
    EXPECT_EQ(Setting(L"dir"), L"0") << "the direction opened at start is stored";
    EXPECT_EQ(RowCount(), 400);
    EXPECT_EQ(RowText(350), L"w0350");
    EXPECT_EQ(FocusedControl(), Edit());

    // A prefix in another letter case moves the list; a text the nearest headword does not begin with
    // gets the no-match colour and leaves the selection.
    SetWindowTextW(Edit(), L"W001");
    EXPECT_TRUE(SettlesOn(10));
    SetWindowTextW(Edit(), L"w001x");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    EXPECT_EQ(SelectedAndFocused(), 10);
    // Spaces only: neutral, the list stays.
    SetWindowTextW(Edit(), L"   ");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNeutralColor; }));
    EXPECT_EQ(SelectedAndFocused(), 10);
    SetWindowTextW(Edit(), L"  w0200  ");
    EXPECT_TRUE(SettlesOn(200)) << "white space at both ends is not looked up";

    // "Выход" stores the edit text as it is and ends the program.
    ASSERT_TRUE(Command(ID_EXIT));
    ASSERT_TRUE(Exits());
    EXPECT_EQ(Setting(L"last_word"), L"  w0200  ");
}

// Each soft key's label is drawn clear of its key's edges on the small window: the pixels of the
// label's text, read back from the bar, keep their distance from the key's raised edge.
TEST_F(LexoryGuiTest, SoftKeyLabels_StayInsideTheirKeys) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry"});
    ASSERT_TRUE(Start(L"cherry"));
    ASSERT_TRUE(SettlesOn(2));
    // Pixels between the label and the inner side of the key's edge (the nearer side); -1 for no label.
    auto clearanceNow = [](HWND owner, int key) {
        HWND bar = SoftKeyBar(owner);
        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ScreenPixels pixels(bar);
        int edge = 2 + GetSystemMetrics(SM_CXEDGE); // the gap around a key and its raised edge
        int inside = (key == 0 ? 0 : pixels.Width() / 2) + edge;
        int outside = (key == 0 ? pixels.Width() / 2 : pixels.Width()) - edge;
        int first = -1, last = -1;
        for (int x = inside; x < outside; ++x)
            for (int y = edge; y < pixels.Height() - edge; ++y) {
                COLORREF pixel = pixels.At(x, y);
                if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 96) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        return first < 0 ? -1 : std::min(first - inside, outside - 1 - last);
    };
    // A window just opened may not show its keys yet.
    auto clearance = [&](HWND owner, int key) {
        int room = -1;
        testsupport::WaitUntil([&] { return (room = clearanceNow(owner, key)) >= 0; });
        return room;
    };
    EXPECT_GE(clearance(window, 0), 2) << "Словарь";
    EXPECT_GE(clearance(window, 1), 2) << "Дополнительно";
    ASSERT_TRUE(Post(window, ID_HISTORY));
    HWND history = WaitForSubWindow(IDC_HISTORY_LIST);
    ASSERT_NE(history, nullptr);
    EXPECT_GE(clearance(history, 0), 2) << "Назад";
    EXPECT_GE(clearance(history, 1), 2) << "Дополнительно";
}

TEST_F(LexoryGuiTest, WithoutAWord_TheLastWordIsShown_AndAGivenWordWinsOverIt) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(50));
    SetSetting(L"last_word", L"w0042");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(SettlesOn(42));
    EXPECT_EQ(EditText(), L"w0042");
    program.End();

    ASSERT_TRUE(Start(L"w0007"));
    EXPECT_TRUE(SettlesOn(7));
    EXPECT_EQ(EditText(), L"w0007");
}

TEST_F(LexoryGuiTest, KeysThroughTheXServer_TypeSelectAndGoBack) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry", "hello", "help", "helper", "zebra"});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys(testsupport::KeyNames("help")));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return EditText() == L"help"; }));
    EXPECT_TRUE(SettlesOn(4));
    ASSERT_TRUE(testsupport::TypeKeys({"e", "r"}));
    EXPECT_TRUE(SettlesOn(5));
    // The Back key (Escape) deletes the character before the caret when it is released.
    ASSERT_TRUE(testsupport::TypeKeys({"Escape", "Escape"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return EditText() == L"help"; }))
        << testsupport::ControlText(Edit()).c_str();
    EXPECT_TRUE(SettlesOn(4));
    // Down moves inside the list; a letter typed there goes on into the edit.
    ASSERT_TRUE(testsupport::TypeKeys({"Tab"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == List(); }));
    ASSERT_TRUE(testsupport::TypeKeys({"Down"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Selected() == 5; }));
    EXPECT_EQ(FocusedControl(), List());
    ASSERT_TRUE(testsupport::TypeKeys({"s"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == Edit() && EditText() == L"helps"; }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    EXPECT_TRUE(testsupport::ScreenshotIntoOut("lexory-keys.png"));
}

TEST_F(LexoryGuiTest, Enter_OpensTheSelectedRowOrFocusesTheEdit) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry"});
    ASSERT_TRUE(Start(L"banana"));
    ASSERT_TRUE(SettlesOn(1));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    // With one row selected the article window of that row opens.
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    HWND article = WaitForSubWindow(CViewWordDlg::kViewerId);
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"1\"\r\n");
    EXPECT_TRUE(IsWindow(window)) << "Enter never closes the lookup window";

    // With no row selected Enter puts the focus into the edit.
    program.End();
    ASSERT_TRUE(Start(L"   "));
    ASSERT_EQ(Selected(), -1);
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys({"Tab"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == List(); }));
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == Edit(); }));
    EXPECT_EQ(testsupport::FindProgramWindow(L"#32770", L"Lexory", program.Id()), nullptr);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(LexoryGuiTest, ChoosingADirection_StoresItFirstAndShowsItsList) {
    Dictionary(L"er.dic", 0x0102, {"apple", "hello"});
    Dictionary(L"re.dic", 0x0201, {"\xE0\xE1", "\xEF\xF0\xE8\xE2\xE5\xF2"});
    Dictionary(L"gr.dic", 0x0402, {"hallo", "haus", "%2 \xE4\xEE\xEC%"});
    SetSetting(L"131073", L"Custom name");
    ASSERT_TRUE(Start(L"hello"));
    ASSERT_TRUE(SettlesOn(1));
    EXPECT_EQ(CaptionOnceSet(L"Custom name"), L"Custom name");

    ASSERT_TRUE(SendCommand(ID_DIRECTION_FIRST + 1)); // Russian-English
    EXPECT_EQ(CaptionOnceSet(L"Russian-English"), L"Russian-English");
    EXPECT_EQ(Setting(L"dir"), L"1");
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(RowText(1), L"\x043F\x0440\x0438\x0432\x0435\x0442");
    // The text in the edit is looked up again in the new dictionary: "hello" leads nowhere there.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    SetWindowTextW(Edit(), L"\x043F\x0440");
    EXPECT_TRUE(SettlesOn(1));

    // German-Russian: a display text with a run in Russian.
    ASSERT_TRUE(SendCommand(ID_DIRECTION_FIRST + 2));
    EXPECT_EQ(CaptionOnceSet(L"German-Russian"), L"German-Russian");
    EXPECT_EQ(RowCount(), 3);
    std::vector<std::wstring> rows = {RowText(0), RowText(1), RowText(2)};
    EXPECT_NE(std::find(rows.begin(), rows.end(), L"\x0434\x043E\x043C"), rows.end());

    // A direction that does not exist: "dir" is stored before the opening fails, and the message comes.
    ASSERT_TRUE(Command(ID_DIRECTION_FIRST + 9));
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box),
              L"\x041E\x0448\x0438\x0431\x043A\x0430 \x043E\x0442\x043A\x0440\x044B\x0442\x0438\x044F "
              L"\x0441\x043B\x043E\x0432\x0430\x0440\x044F!");
    EXPECT_EQ(Setting(L"dir"), L"9");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(RowCount(), 3) << "the list keeps its rows";
    SetWindowTextW(Edit(), L"haus");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    program.End();

    // The next start tries the same direction and says so again.
    ASSERT_TRUE(Start());
    box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(CaptionOnceSet(L"Lexory"), L"Lexory");
}

TEST_F(LexoryGuiTest, SecondStart_BringsTheFirstToTheFrontAndEnds) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(30));
    ASSERT_TRUE(Start(L"w0005"));
    ASSERT_TRUE(SettlesOn(5));
    testsupport::CProgramProcess second;
    ASSERT_TRUE(second.Start(folder.File(L"Lexory.exe"), L"w0020"));
    ASSERT_TRUE(second.WaitForExit(10000)) << "the second copy ends";
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(EditText(), L"w0005") << "the running copy never receives a second word";
    EXPECT_EQ(SelectedAndFocused(), 5);
    EXPECT_EQ(GetForegroundWindow(), window);
    int windows = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, kWindowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, kWindowClass, nullptr))
        ++windows;
    EXPECT_EQ(windows, 1);
}

TEST_F(LexoryGuiTest, TypingFast_TwoThousandKeystrokesEndOnTheFinalTextsHeadword) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(2000));
    ASSERT_TRUE(Start(L"w1"));
    ASSERT_TRUE(SettlesOn(1000));
    int threadsAtRest = CountThreads(program.Id());
    auto typingStart = std::chrono::steady_clock::now();
    // 2,000 random characters and deletions posted as fast as the harness can, then a final text.
    std::mt19937 random(20261209);
    const std::wstring alphabet = L"w0123456789 ";
    for (int i = 0; i < 2000; ++i) {
        if (random() % 3 == 0)
            PostMessageW(Edit(), WM_CHAR, L'\b', 1);
        else
            PostMessageW(Edit(), WM_CHAR, alphabet[random() % alphabet.size()], 1);
    }
    // The final text replaces whatever the keystrokes left.
    PostMessageW(Edit(), EM_SETSEL, 0, -1);
    PostChars(L"w1234");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return EditText() == L"w1234"; }, 60000ms)) << "typed text was lost";
    std::printf("2,000 keystrokes handled in %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - typingStart)
                                           .count()));
    EXPECT_TRUE(SettlesOn(1234));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return CountThreads(program.Id()) <= threadsAtRest; }))
        << "search threads are left behind";
    ASSERT_TRUE(Command(ID_EXIT));
    EXPECT_TRUE(Exits());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(LexoryGuiTest, BadInput_EmptyFolderDamagedFilesLongWordsAndAMissingDirection) {
    // An empty folder: no directions, nothing opened, typing has no effect.
    ASSERT_TRUE(Start(L"hello"));
    EXPECT_EQ(CaptionOnceSet(L"Lexory"), L"Lexory");
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(testsupport::FindProgramWindow(L"#32770", L"Lexory", program.Id()), nullptr)
        << "set-up shows no message when there is nothing to open";
    EXPECT_EQ(AboutText(), L"Установленные словари");
    program.End();

    // A damaged .dic beside good ones; a headword of 300 characters; a command-line word of 1,000.
    Dictionary(L"er.dic", 0x0102, {"a", std::string(300, 'l'), "m"});
    testsupport::WriteFileBytes(folder.File(L"damaged.dic"), std::string(3000, '\x7F'));
    ASSERT_TRUE(Start(L"\"" + std::wstring(1000, L'l') + L"\""));
    EXPECT_EQ(EditText().size(), 1000u);
    // Looked up by its first 255 characters; the headword shown is cut there, so it cannot begin
    // with the whole word.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    EXPECT_EQ(RowText(1), std::wstring(255, L'l'));
    SetWindowTextW(Edit(), std::wstring(255, L'l').c_str());
    EXPECT_TRUE(SettlesOn(1));
    program.End();

    // "dir" naming no direction: the opening fails with its message, no crash.
    SetSetting(L"dir", L"7");
    ASSERT_TRUE(Start(L"a"));
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    SetWindowTextW(Edit(), L"m");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
    EXPECT_TRUE(program.Running());
}

TEST_F(LexoryGuiTest, TwelveDirections_TheTwelfthIsListedButDoesNothing) {
    const std::uint16_t codes[] = {0x0102, 0x0201, 0x0104, 0x0401, 0x0108, 0x0801,
                                   0x0110, 0x1001, 0x0120, 0x2001, 0x0140, 0x4001};
    int file = 0;
    for (std::uint16_t code : codes)
        Dictionary(L"d" + std::to_wstring(file++) + L".dic", code, {"a", "b"});
    ASSERT_TRUE(Start(L"a"));
    ASSERT_TRUE(SettlesOn(0));
    ASSERT_TRUE(SendCommand(ID_DIRECTION_FIRST + 10)); // the eleventh
    EXPECT_EQ(Setting(L"dir"), L"10");
    ASSERT_TRUE(SettlesOn(0));
    std::wstring caption = Caption();
    EXPECT_NE(caption, L"English-Russian");
    ASSERT_TRUE(SendCommand(ID_DIRECTION_FIRST + 11)); // the twelfth: listed, not handled
    ASSERT_TRUE(SendCommand(ID_DIRECTION_FIRST + 10)); // the current one again: nothing happens
    EXPECT_EQ(Setting(L"dir"), L"10");
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(SelectedAndFocused(), 0) << "choosing the current direction does not rebuild the list";

    // F1 opens the list of directions above the bar; the keys of the pop-up choose one.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys({"F1"}));
    ASSERT_NE(testsupport::WaitForWindow(L"#32768", nullptr, program.Id(), 5000ms), nullptr);
    EXPECT_TRUE(testsupport::ScreenshotIntoOut("lexory-directions.png"));
    ASSERT_TRUE(testsupport::TypeKeys({"Home", "Return"}));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Setting(L"dir") == L"0" && Caption() == L"English-Russian"; }));
}

TEST_F(LexoryGuiTest, LargeList_RowsNearTheEndAreFetchedUpToTheLastRow) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(46000, 5));
    ASSERT_TRUE(Start(L"w45990"));
    ASSERT_TRUE(SettlesOn(45990));
    EXPECT_EQ(RowCount(), 46000);
    // The rows on show came in one window that ends at the last row (a window running past the end
    // would fail and leave them empty).
    EXPECT_EQ(RowText(45999), L"w45999");
    EXPECT_EQ(RowText(45940), L"w45940");
    EXPECT_EQ(RowText(23456), L"w23456");
    SetWindowTextW(Edit(), L"w00");
    EXPECT_TRUE(SettlesOn(0));
    EXPECT_EQ(RowText(0), L"w00000");
}

TEST_F(LexoryGuiTest, Messages_BookmarksHelpAndAddingWithoutASelectedRow) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana"});
    ASSERT_TRUE(Start(L"   "));
    ASSERT_EQ(Selected(), -1);
    struct Case {
        WORD command;
        const wchar_t* text;
    };
    const Case cases[] = {
        {ID_ADD_BOOKMARK, L"\x0412\x044B\x0431\x0435\x0440\x0438\x0442\x0435 \x0441\x043B\x043E\x0432\x043E "
                          L"\x0434\x043B\x044F \x0434\x043E\x0431\x0430\x0432\x043B\x0435\x043D\x0438\x044F!"},
        {ID_BOOKMARKS, L"\x0414\x0430\x043D\x043D\x044B\x0439 \x0441\x043F\x0438\x0441\x043E\x043A "
                       L"\x043F\x0443\x0441\x0442."},
        // No lexory.htm beside the program.
        {ID_HELP_INDEX,
         L"\x0421\x043F\x0440\x0430\x0432\x043A\x0430 \x043D\x0435 \x043D\x0430\x0439\x0434\x0435\x043D\x0430."},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Command(c.command));
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << c.command;
        EXPECT_EQ(MessageText(box), c.text) << c.command;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    }
    // The standard close request is ignored: only "Выход" ends the program.
    PostMessageW(window, WM_CLOSE, 0, 0);
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    // A message box queued behind them shows only once they are handled.
    ASSERT_TRUE(Command(ID_ADD_BOOKMARK));
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(LexoryGuiTest, ArticleWindow_ViewerBookmarksAndTheBookmarkListOpenedFromIt) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry"});
    ASSERT_TRUE(Start(L"cherry"));
    ASSERT_TRUE(SettlesOn(2));
    EXPECT_EQ(AboutText(), L"Установленные словари\r\nEnglish-Russian\r\nВсего слов: 3");

    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    HWND article = WaitForSubWindow(CViewWordDlg::kViewerId);
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(testsupport::ControlText(article), L"Lexory") << "the caption is not changed";
    // The viewer: htmlview.dll's class, at the top left, one scroll bar's width (13 pixels) wider than
    // the client area and as high as the whole window.
    HWND viewer = GetDlgItem(article, CViewWordDlg::kViewerId);
    wchar_t className[64] = {};
    GetClassNameW(viewer, className, 64);
    EXPECT_STREQ(className, L"DISPLAYCLASS");
    RECT client, frame, viewerRect;
    GetClientRect(article, &client);
    GetWindowRect(article, &frame);
    GetWindowRect(viewer, &viewerRect);
    MapWindowPoints(nullptr, article, reinterpret_cast<POINT*>(&viewerRect), 2);
    EXPECT_EQ(viewerRect.left, 0);
    EXPECT_EQ(viewerRect.top, 0);
    EXPECT_EQ(viewerRect.right - viewerRect.left, client.right + 13);
    EXPECT_EQ(viewerRect.bottom - viewerRect.top, frame.bottom - frame.top);
    EXPECT_TRUE(GetWindowLongW(viewer, GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == viewer; }));
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"2\"\r\n");
    EXPECT_TRUE(testsupport::ScreenshotIntoOut("lexory-article-test.png"));

    // "Закладки" opens the bookmark list even when it is empty.
    HWND articleBar = SoftKeyBar(article);
    ASSERT_NE(articleBar, nullptr);
    ASSERT_TRUE(Post(article, ID_BOOKMARK_LIST));
    HWND list = WaitForSubWindow(IDC_HISTORY_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(testsupport::ControlText(list), L"English-Russian");
    EXPECT_EQ(testsupport::ControlText(GetDlgItem(list, IDC_HISTORY_TITLE)), L"Закладки");
    EXPECT_EQ(Lines(GetDlgItem(list, IDC_HISTORY_LIST)), std::vector<std::wstring>{L"Данный список пуст."});
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(list, IDC_HISTORY_LIST)));
    // Closing it (the Back key released) returns to the article window with its soft keys made anew.
    ASSERT_TRUE(CloseWithKey(list, "Escape"));
    EXPECT_TRUE(IsWindow(article));
    HWND rebuilt = SoftKeyBar(article);
    EXPECT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt, articleBar) << "the article window's soft-key bar was not rebuilt";
    EXPECT_TRUE(IsWindowVisible(rebuilt));

    // "Добавить в закладки" twice leaves the headword once.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Post(article, ID_ADD_BOOKMARK));
        AnswerMessage(L"Слово добавлено в закладки.");
    }
    EXPECT_EQ(ListFile(L"_bookmark.dat"), "[data]\r\n131073=\"2\"\r\n");
    // The End key released closes the article window; the lookup window's bookmark list now opens.
    ASSERT_TRUE(CloseWithKey(article, "F4"));
    ASSERT_TRUE(Post(window, ID_BOOKMARKS));
    list = WaitForSubWindow(IDC_HISTORY_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Lines(GetDlgItem(list, IDC_HISTORY_LIST)), std::vector<std::wstring>{L"cherry"});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(list, IDC_HISTORY_LIST)));
}

TEST_F(LexoryGuiTest, HistoryList_ViewDeleteClearAndAnUnreadableEntry) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry", "date"});
    Dictionary(L"re.dic", 0x0201, {"\xE0\xE1"});
    // Written by hand: the value without quotes, an entry naming no headword first.
    const std::string history = "[data]\r\n131073=999,2,0\r\n";
    testsupport::WriteFileBytes(folder.File(L"_history.dat"), history);
    ASSERT_TRUE(Start(L"apple"));
    ASSERT_TRUE(SettlesOn(0));
    EXPECT_EQ(AboutText(),
              L"Установленные словари\r\nEnglish-Russian\r\nВсего слов: 4\r\nRussian-English\r\nВсего слов: 1");

    ASSERT_TRUE(Post(window, ID_HISTORY));
    HWND dialog = WaitForSubWindow(IDC_HISTORY_LIST);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    EXPECT_EQ(testsupport::ControlText(GetDlgItem(dialog, IDC_HISTORY_TITLE)), L"История просмотра");
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"", L"cherry", L"apple"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);

    // The entry naming no headword: its article cannot be read, message 18, nothing recorded.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(dialog));
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    AnswerMessage(L"Ошибка при переводе.");
    EXPECT_EQ(ListFile(L"_history.dat"), history);
    EXPECT_EQ(testsupport::FindProgramWindow(L"#32770", L"Lexory", program.Id()), nullptr) << "no article window";

    // An entry viewed from the list goes to the top of the history when its window closes.
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    ASSERT_TRUE(Post(dialog, ID_VIEW_WORD));
    HWND article = WaitForSubWindow(CViewWordDlg::kViewerId);
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"0,999,2\"\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"", L"cherry", L"apple"})) << "refilled only when it closes";
    ASSERT_TRUE(CloseWithKey(article, "Escape"));
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        return Lines(list) == std::vector<std::wstring>{L"apple", L"", L"cherry"};
    }));

    // Deleting the selected entry; with nothing selected, message 15.
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    ASSERT_TRUE(Post(dialog, ID_DELETE_WORD));
    AnswerMessage(L"Слово удалено из списка.");
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"0,2\"\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"apple", L"cherry"}));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ASSERT_TRUE(Post(dialog, ID_DELETE_WORD));
    AnswerMessage(L"Слово не выделено.");

    // Clearing: No keeps the list, Yes empties it; an empty list is not asked about.
    ASSERT_TRUE(Post(dialog, ID_CLEAR_LIST));
    AnswerMessage(L"Вы действительно хотите очистить этот список?", IDNO);
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"0,2\"\r\n");
    ASSERT_TRUE(Post(dialog, ID_CLEAR_LIST));
    AnswerMessage(L"Вы действительно хотите очистить этот список?", IDYES);
    AnswerMessage(L"Список очищен.");
    EXPECT_EQ(ListFile(L"_history.dat"), "[data]\r\n131073=\"\"\r\n");
    EXPECT_EQ(Lines(list), std::vector<std::wstring>{L"Данный список пуст."});
    EXPECT_FALSE(IsWindowEnabled(list));
    ASSERT_TRUE(Post(dialog, ID_CLEAR_LIST));
    AnswerMessage(L"В списке нет слов.");
    ASSERT_TRUE(Post(dialog, ID_DELETE_WORD));
    AnswerMessage(L"Слово не выделено.");
    // The OK command does nothing; "Назад" closes.
    ASSERT_TRUE(Post(dialog, IDOK));
    ASSERT_TRUE(Post(dialog, ID_BACK));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(LexoryGuiTest, Help_OpensInTheSuitesBrowserNotInTheDesktops) {
    Dictionary(L"er.dic", 0x0102, {"apple"});
    ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\lexory.htm").c_str(), folder.File(L"lexory.htm").c_str(), FALSE));
    // The browser stand-in's file in the build tree, a Unix path seen through drive Z:.
    std::wstring browserFile = L"Z:" + std::filesystem::path(OVRIN_BROWSER).wstring();
    ASSERT_TRUE(CopyFileW(browserFile.c_str(), folder.File(L"iexplore.exe").c_str(), FALSE));
    ASSERT_TRUE(Start(L"apple"));
    ASSERT_TRUE(Post(window, ID_HELP_INDEX));
    HWND browser = testsupport::WaitForWindow(L"IExplore", nullptr, 0, 15000ms);
    ASSERT_NE(browser, nullptr) << "the help did not open in the suite's browser";
    DWORD browserId = testsupport::WindowProcess(browser);
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, browserId));
    ASSERT_TRUE(process);
    EXPECT_EQ(std::filesystem::path(platform::ProcessImagePath(process.Get())).parent_path(),
              std::filesystem::path(folder.File(L"x")).parent_path());
    HWND page = FindWindowExW(browser, nullptr, L"PIEHTML", nullptr);
    ASSERT_NE(page, nullptr);
    EXPECT_NE(FindWindowExW(page, nullptr, L"DISPLAYCLASS", nullptr), nullptr);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return testsupport::ControlText(browser) == L"Lexory: справка"; }));
    EXPECT_EQ(testsupport::FindProgramWindow(L"#32770", L"Lexory", program.Id()), nullptr) << "no message";
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 10000);
}

namespace {

// Queues what post() posts while the program's window thread is held, so that the window handles it
// all in one run, as a busy handheld would, while the program's other threads go on.
void PostWhileWindowThreadHeld(HWND window, const std::function<void()>& post) {
    CHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr)));
    ASSERT_TRUE(thread);
    SuspendThread(thread.Get());
    post();
    ResumeThread(thread.Get());
}

// Handled by the window thread and seen from outside: everything posted before it has been handled
// once the list's column has the marked width.
bool WaitForPostedMessages(HWND list, int marker) {
    PostMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(marker, 0));
    return testsupport::WaitUntil([&] { return SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) == marker; });
}

} // namespace

// A search that read a text before the field was emptied must not paint the empty field or move the
// list: its result belongs to a text the field no longer holds.
TEST_F(LexoryGuiTest, EmptiedField_ResultsOfTheTextsBeforeAreDropped) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(100));
    ASSERT_TRUE(Start(L"   "));
    ASSERT_EQ(Selected(), -1);
    int threadsAtRest = CountThreads(program.Id());
    // Typed, then deleted while the window thread is still busy with the keys before the deletion:
    // the searches started by the typing run meanwhile and answer after the field is empty.
    auto typeThenClear = [&](const std::wstring& text) {
        PostWhileWindowThreadHeld(window, [&] {
            PostMessageW(Edit(), EM_SETSEL, 0, -1);
            PostChars(text);
            for (int i = 0; i < 4000; ++i)
                PostMessageW(Edit(), WM_NULL, 0, 0);
            PostMessageW(Edit(), EM_SETSEL, 0, -1);
            PostMessageW(Edit(), WM_CHAR, L'\b', 1);
        });
        ASSERT_TRUE(testsupport::WaitUntil([&] { return EditText().empty(); }));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return CountThreads(program.Id()) <= threadsAtRest; }));
    };
    // Nearest headword of "x" is the last one, which does not begin with it: the no-match colour.
    typeThenClear(L"x");
    ASSERT_TRUE(WaitForPostedMessages(List(), 151));
    EXPECT_EQ(EditColor(), CLexoryDlg::kNeutralColor) << "the empty field was painted by a stale search";
    // "w0050" leads to row 50: the list must not move once the text is gone.
    typeThenClear(L"w0050");
    ASSERT_TRUE(WaitForPostedMessages(List(), 152));
    EXPECT_EQ(Selected(), -1) << "the list jumped after the text was cleared";
    EXPECT_EQ(EditColor(), CLexoryDlg::kNeutralColor);
}

// Up and Down move between the edit and the list and inside the list, keys typed through the X server.
TEST_F(LexoryGuiTest, UpAndDown_MoveBetweenTheEditAndTheListAndWalkIt) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry", "hello", "help", "helper", "zebra"});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys(testsupport::KeyNames("help")));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return EditText() == L"help"; }));
    ASSERT_TRUE(SettlesOn(4));
    ASSERT_TRUE(testsupport::TypeKeys({"Down"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == List(); }))
        << "Down left the focus in the edit";
    EXPECT_EQ(Selected(), 4) << "the first Down only moves into the list";
    ASSERT_TRUE(testsupport::TypeKeys({"Down", "Down"}));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Selected() == 6; }));
    ASSERT_TRUE(testsupport::TypeKeys({"Up"}));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Selected() == 5; }));
    EXPECT_EQ(EditText(), L"help") << "walking the list does not change the text";
    // Up from the first row goes back to the edit.
    SendMessageW(List(), LVM_ENSUREVISIBLE, 0, FALSE);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(testsupport::TypeKeys({"Up"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Selected() == 0; }));
    EXPECT_EQ(FocusedControl(), List());
    ASSERT_TRUE(testsupport::TypeKeys({"Up"}));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == Edit(); }))
        << "Up at the top stays in the list";
    // Enter opens the row walked to.
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    EXPECT_NE(WaitForSubWindow(CViewWordDlg::kViewerId), nullptr);
}

// Two starts at the same moment leave one copy running with one lookup window: both processes are
// made suspended and let go together, so that neither finds the other's window yet.
TEST_F(LexoryGuiTest, TwoStartsAtOnce_OneCopyStays) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(30));
    const std::wstring path = folder.File(L"Lexory.exe");
    for (int round = 0; round < 3; ++round) {
        testsupport::StartedProcess copies[2];
        for (testsupport::StartedProcess& copy : copies) {
            copy = testsupport::StartProcess(path.c_str(), L"\"" + path + L"\" w0001", CREATE_SUSPENDED);
            ASSERT_TRUE(copy);
        }
        for (testsupport::StartedProcess& copy : copies)
            ResumeThread(copy.thread.Get());
        HANDLE processes[2] = {copies[0].process.Get(), copies[1].process.Get()};
        DWORD ended = WaitForMultipleObjects(2, processes, FALSE, 15000);
        EXPECT_LT(ended, WAIT_OBJECT_0 + 2) << "both copies kept running, round " << round;
        DWORD stays = ended == WAIT_OBJECT_0 ? copies[1].id : copies[0].id;
        EXPECT_TRUE(testsupport::WaitUntil(
            [&] { return testsupport::FindProgramWindow(kWindowClass, nullptr, stays) != nullptr; }));
        int windows = 0;
        for (HWND w = FindWindowExW(nullptr, nullptr, kWindowClass, nullptr); w;
             w = FindWindowExW(nullptr, w, kWindowClass, nullptr))
            ++windows;
        EXPECT_EQ(windows, 1) << "round " << round;
        for (testsupport::StartedProcess& copy : copies) {
            TerminateProcess(copy.process.Get(), 0);
            WaitForSingleObject(copy.process.Get(), 10000);
        }
    }
}

// A bookmark that could not be written says so, and no bookmark is taken while the current
// direction has no open dictionary (its rows are the old dictionary's).
TEST_F(LexoryGuiTest, AddingABookmark_AFailedSaveAndNoOpenDictionaryAreSaid) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry"});
    const std::string bookmarks = "[data]\r\n131073=\"0\"\r\n";
    testsupport::WriteFileBytes(folder.File(L"_bookmark.dat"), bookmarks);
    ASSERT_TRUE(SetFileAttributesW(folder.File(L"_bookmark.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Start(L"banana"));
    ASSERT_TRUE(SettlesOn(1));
    ASSERT_TRUE(Command(ID_ADD_BOOKMARK));
    AnswerMessage(L"Закладка не сохранена: не удалось записать файл.");
    EXPECT_EQ(ListFile(L"_bookmark.dat"), bookmarks);
    // The same from the article window.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys({"Return"}));
    HWND article = WaitForSubWindow(CViewWordDlg::kViewerId);
    ASSERT_NE(article, nullptr);
    ASSERT_TRUE(Post(article, ID_ADD_BOOKMARK));
    AnswerMessage(L"Закладка не сохранена: не удалось записать файл.");
    ASSERT_TRUE(Post(article, ID_BACK));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(article); }));
    SetFileAttributesW(folder.File(L"_bookmark.dat").c_str(), FILE_ATTRIBUTE_NORMAL);

    // A direction that does not open: the rows shown are the old dictionary's.
    ASSERT_TRUE(Command(ID_DIRECTION_FIRST + 5));
    AnswerMessage(L"Ошибка открытия словаря!");
    ASSERT_EQ(Selected(), 1);
    ASSERT_TRUE(Command(ID_ADD_BOOKMARK));
    AnswerMessage(L"Словарь не открыт.");
    EXPECT_EQ(ListFile(L"_bookmark.dat"), bookmarks);
}

// A list file that cannot be written: deleting and clearing say the list was not changed, and the
// list shown is the file's.
TEST_F(LexoryGuiTest, HistoryList_AReadOnlyFileIsNotChangedAndSaysSo) {
    Dictionary(L"er.dic", 0x0102, {"apple", "banana", "cherry"});
    const std::string history = "[data]\r\n131073=\"2,0\"\r\n";
    testsupport::WriteFileBytes(folder.File(L"_history.dat"), history);
    ASSERT_TRUE(SetFileAttributesW(folder.File(L"_history.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Start(L"apple"));
    ASSERT_TRUE(Post(window, ID_HISTORY));
    HWND dialog = WaitForSubWindow(IDC_HISTORY_LIST);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    const std::vector<std::wstring> lines = {L"cherry", L"apple"};
    ASSERT_EQ(Lines(list), lines);

    SendMessageW(list, LB_SETCURSEL, 1, 0);
    ASSERT_TRUE(Post(dialog, ID_DELETE_WORD));
    AnswerMessage(L"Список не изменён: не удалось записать файл.");
    EXPECT_EQ(Lines(list), lines);
    ASSERT_TRUE(Post(dialog, ID_CLEAR_LIST));
    AnswerMessage(L"Вы действительно хотите очистить этот список?", IDYES);
    AnswerMessage(L"Список не изменён: не удалось записать файл.");
    EXPECT_EQ(Lines(list), lines);
    EXPECT_TRUE(IsWindowEnabled(list));
    SetFileAttributesW(folder.File(L"_history.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ListFile(L"_history.dat"), history);
}

// A dictionary whose header and block-count table claim a billion headwords: it opens as a failure
// (no list of a billion rows is made), the program keeps running, and the next start works the same.
TEST_F(LexoryGuiTest, ADictionaryClaimingABillionHeadwords_OpensAsAFailure) {
    const std::uint32_t claimed = 1000000000;
    const unsigned blocks = (claimed + 65534) / 65535;
    dengine::InformationStream information;
    information.name = "Huge";
    information.headwordCount = claimed;
    information.direction = 0x0102;
    std::string table;
    for (unsigned i = 0; i < blocks; ++i) {
        information.blockKeys.push_back(i == 0 ? "a" : "b");
        std::uint32_t count = std::min<std::uint32_t>(65535, claimed - i * 65535);
        table += {0, 0, static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
    }
    ASSERT_TRUE(dengine::AppendTag(information.trailerTags, dengine::kTagBlockCountTable, table));
    std::vector<std::uint8_t> info;
    ASSERT_TRUE(dengine::MakeInformationStream(information, &info));
    dengine::StreamList streams;
    std::string error;
    ASSERT_TRUE(dengine::BuildDictionaryStreams({}, {Entry("a"), Entry("b")}, &streams, &error)) << error;
    streams[0].second = info;
    ASSERT_TRUE(dengine::WriteStreamFile(folder.File(L"huge.dic"), streams, &error)) << error;

    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(Start(L"a")) << "start " << start;
        AnswerMessage(L"Ошибка открытия словаря!");
        EXPECT_TRUE(program.Running());
        EXPECT_EQ(RowCount(), 0);
        SetWindowTextW(Edit(), L"b");
        EXPECT_TRUE(testsupport::WaitUntil([&] { return EditColor() == CLexoryDlg::kNoMatchColor; }));
        ASSERT_TRUE(Command(ID_EXIT));
        EXPECT_TRUE(Exits());
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}

namespace {

// The rows of a list that the screen shows in the highlight colours: the pixel lines where most of the
// first column is COLOR_HIGHLIGHT, grouped into bands, and how many pixels of COLOR_HIGHLIGHTTEXT
// (the row's text) lie inside them.
struct HighlightBands {
    std::vector<std::pair<int, int>> bands; // first and last pixel line, in the list's client area
    int textPixels = 0;
};

HighlightBands ReadHighlightBands(HWND list) {
    HighlightBands found;
    ScreenPixels pixels(list);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    int width = std::min(pixels.Width(), static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0)));
    for (int y = 0; y < pixels.Height(); ++y) {
        int marked = 0, letters = 0;
        for (int x = 0; x < width; ++x) {
            COLORREF pixel = pixels.At(x, y);
            marked += pixel == highlight;
            letters += pixel == text;
        }
        if (marked + letters < width * 3 / 4 || marked < width / 2)
            continue;
        if (!found.bands.empty() && found.bands.back().second == y - 1)
            found.bands.back().second = y;
        else
            found.bands.push_back({y, y});
        found.textPixels += letters;
    }
    return found;
}

} // namespace

// The headword the typing leads to stands out in the highlight colours, its text drawn over them,
// while the focus stays in the edit; when the typing moves on, only the new row is marked, and with
// the focus in the list the row looks the same.
TEST_F(LexoryGuiTest, SelectedRow_StandsOutInTheHighlightColoursWhileTheEditHasTheFocus) {
    Dictionary(L"er.dic", 0x0102, NumberedWords(400));
    ASSERT_TRUE(Start(L"w0100"));
    ASSERT_TRUE(SettlesOn(100));
    ASSERT_EQ(FocusedControl(), Edit());
    // Exactly one band, on the row's own lines, with text in it. The first band found gives the row
    // height (with the focus in the list its dotted focus frame takes the band's edge lines).
    int rowHeight = 0;
    auto marksOnly = [&](int row) {
        HighlightBands found = ReadHighlightBands(List());
        if (found.bands.size() != 1 || found.textPixels == 0)
            return false;
        auto [first, last] = found.bands.front();
        if (rowHeight == 0)
            rowHeight = last - first + 1;
        int top = static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0));
        return rowHeight >= 8 && (first + last) / 2 / rowHeight == row - top;
    };
    EXPECT_TRUE(testsupport::WaitUntil([&] { return marksOnly(100); })) << "row 100 is not marked alone";

    // Another row of the same page.
    int top = static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0));
    int next = top + 1 != 100 ? top + 1 : top + 2;
    wchar_t word[16];
    std::swprintf(word, 16, L"w%04d", next);
    SetWindowTextW(Edit(), word);
    ASSERT_TRUE(SettlesOn(next));
    EXPECT_EQ(static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0)), top) << "the list scrolled";
    EXPECT_TRUE(testsupport::WaitUntil([&] { return marksOnly(next); })) << "row " << next << " is not marked alone";
    EXPECT_TRUE(testsupport::ScreenshotIntoOut("lexory-selected-row-edit.png"));

    ASSERT_TRUE(testsupport::FocusWindowForKeys(window));
    ASSERT_TRUE(testsupport::TypeKeys({"Down"}));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return FocusedControl() == List(); }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return marksOnly(next); })) << "with the focus in the list";
    EXPECT_TRUE(testsupport::ScreenshotIntoOut("lexory-selected-row-list.png"));
}
