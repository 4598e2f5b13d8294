// The dictionary program's benchmark under Wine (printed, not a test):
//   - start: program start to the lookup window showing the command-line word's headword selected;
//   - keystroke to list updated: a character posted to the edit, until the list's selection and scroll
//     position are those of the typed text's nearest headword, over 1,000 keystrokes that each move
//     the list (median, 99th percentile, worst);
//   - the same keystrokes into the floor: a bare framework window with the same edit and owner-data
//     list, which on each keystroke finds the row with the same engine call on its window thread
//     and moves the list at once, measured the same way; both figures and their ratio;
//   - private memory of the running program with the dictionary open, beside a bare program of the
//     framework showing one empty dialog.
//   - with --articles: Enter on a headword in the lookup window to its article window drawn (shown,
//     the viewer holding the article and nothing of it left to paint), over 500 random headwords
//     (median, 99th percentile, worst);
//   - with --longest: the longest article of each dictionary read, built as HTML and drawn by the
//     viewer, in this process (best and median of 20 runs).
// Usage: lexory_bench DICTIONARY.dic   (a Unix path is taken as a path on drive Z:)
//        lexory_bench --articles DICTIONARY.dic [COUNT]   (500 articles unless COUNT is given)
//        lexory_bench --longest DICTIONARY.dic...
//        lexory_bench --bare           (the bare program itself)
//        lexory_bench --floor FOLDER [WIDTH HEIGHT]   (the floor window over FOLDER\\dictionary.dic,
//                                                      its list of that size)
#include "../resource.h"
#include "ColorEdit.h"
#include "DictManager.h"
#include "LexoryDlg.h"
#include "ViewWordDlg.h"
#include "common/Registry.h"
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/RegistryKey.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <htmlview/HtmlView.h>

#include <testsupport/GuiProgram.h>
#include <testsupport/TempFolder.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class CBareApp : public CApplication {
protected:
    bool InitInstance() override {
        CDialog dialog(100);
        dialog.DoModal(nullptr);
        return false;
    }
};

std::wstring Trimmed(const std::wstring& text);
std::wstring Lowered(std::wstring text);

// The floor of the keystroke figure: the lookup window's edit and owner-data list with nothing else,
// the nearest headword found on the window thread at each change and the list moved at once.
class CFloorDlg : public CDialog {
public:
    // folder: where dictionary.dic lies, without a closing separator; listSize: the size of the lookup
    // window's list, which the floor's list takes (painting a taller list costs more).
    CFloorDlg(const std::wstring& folder, SIZE listSize)
        : CDialog(101), m_manager(folder + L"\\"), m_listSize(listSize) {}

protected:
    BOOL OnInitDialog() override {
        m_edit.SubclassDlgItem(IDC_WORD_EDIT, GetHwnd());
        SendMessageW(m_edit.GetHwnd(), EM_SETLIMITTEXT, 0, 0);
        // The lookup window's edit font: a taller, bold text costs more to draw at every keystroke.
        m_editFont.Reset(CreateFontW(18, 0, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
        SendMessageW(m_edit.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.Get()), FALSE);
        m_edit.SetBackColor(CLexoryDlg::kNeutralColor);
        m_list = GetItem(IDC_WORD_LIST);
        if (m_listSize.cx > 0 && m_listSize.cy > 0) {
            RECT list, window, client;
            GetWindowRect(m_list, &list);
            MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&list), 2);
            GetWindowRect(GetHwnd(), &window);
            GetClientRect(GetHwnd(), &client);
            SetWindowPos(m_list, nullptr, 0, 0, m_listSize.cx, m_listSize.cy, SWP_NOMOVE | SWP_NOZORDER);
            SetWindowPos(
                GetHwnd(), nullptr, 0, 0, window.right - window.left + m_listSize.cx - (list.right - list.left),
                window.bottom - window.top + m_listSize.cy - (list.bottom - list.top), SWP_NOMOVE | SWP_NOZORDER);
        }
        ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 150;
        ListView_InsertColumn(m_list, 0, &column);
        if (m_manager.OpenDirection(0))
            m_rows = m_manager.GetWordCount(0);
        ListView_SetItemCountEx(m_list, m_rows, LVSICF_NOINVALIDATEALL);
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (control != nullptr) {
            if (id == IDC_WORD_EDIT && code == EN_CHANGE)
                Search();
            return true;
        }
        if (id == IDCANCEL)
            EndDialog(IDCANCEL);
        return true;
    }
    bool OnNotify(NMHDR* header, LRESULT& result) override {
        if (header->idFrom != IDC_WORD_LIST || header->code != LVN_GETDISPINFOW)
            return false;
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        result = 0;
        if (info->item.iItem < 0 || (info->item.mask & LVIF_TEXT) == 0 || info->item.cchTextMax <= 0)
            return true;
        auto row = static_cast<unsigned long>(info->item.iItem);
        if (m_cache.find(row) == m_cache.end()) {
            auto [start, count] = CLexoryDlg::FetchWindow(row, m_rows);
            std::vector<std::wstring> rows;
            if (count > 0 && m_manager.GetHeadwords(start, count, rows))
                for (size_t k = 0; k < rows.size(); ++k)
                    m_cache[start + static_cast<unsigned long>(k)] = rows[k];
        }
        auto cached = m_cache.find(row);
        lstrcpynW(info->item.pszText, cached != m_cache.end() ? cached->second.c_str() : L"", info->item.cchTextMax);
        return true;
    }

private:
    void Search() {
        int length = GetWindowTextLengthW(m_edit.GetHwnd());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(m_edit.GetHwnd(), text.data(), length + 1)));
        text = Trimmed(text);
        if (text.empty()) {
            m_edit.SetBackColor(CLexoryDlg::kNeutralColor);
            return;
        }
        long index = m_manager.FindNearest(text, false);
        std::wstring head = index >= 0 ? m_manager.GetHeadword(static_cast<unsigned long>(index)) : L"";
        if (head.size() < text.size() || Lowered(head.substr(0, text.size())) != Lowered(text)) {
            if (m_edit.GetBackColor() != CLexoryDlg::kNoMatchColor)
                m_edit.SetBackColor(CLexoryDlg::kNoMatchColor);
            return;
        }
        if (m_edit.GetBackColor() != CLexoryDlg::kNeutralColor)
            m_edit.SetBackColor(CLexoryDlg::kNeutralColor);
        const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
        for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row != -1;
             row = ListView_GetNextItem(m_list, row, LVNI_SELECTED))
            ListView_SetItemState(m_list, row, 0, both);
        ListView_SetItemState(m_list, static_cast<int>(index), both, both);
        ListView_EnsureVisible(m_list, static_cast<int>(index), TRUE);
    }

    CDictManager m_manager;
    SIZE m_listSize;
    CFontHandle m_editFont;
    CColorEdit m_edit;
    HWND m_list = nullptr;
    unsigned long m_rows = 0;
    std::unordered_map<unsigned long, std::wstring> m_cache;
};

class CFloorApp : public CApplication {
public:
    CFloorApp(std::wstring folder, SIZE listSize) : m_folder(std::move(folder)), m_listSize(listSize) {}

protected:
    bool InitInstance() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        CFloorDlg dialog(m_folder, m_listSize);
        dialog.DoModal(nullptr);
        return false;
    }

private:
    std::wstring m_folder;
    SIZE m_listSize;
};

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        std::fprintf(stderr, "GetProcessMemoryInfo: error %lu\n", GetLastError());
    std::printf("  (private %zu, page file %zu, working set %zu bytes)\n", counters.PrivateUsage,
                counters.PagefileUsage, counters.WorkingSetSize);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos)
        return L"";
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

std::wstring Lowered(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

struct Window {
    HWND window = nullptr;
    HWND Edit() const { return GetDlgItem(window, IDC_WORD_EDIT); }
    HWND List() const { return GetDlgItem(window, IDC_WORD_LIST); }
    bool Neutral() const {
        return reinterpret_cast<ULONG_PTR>(GetPropW(Edit(), CColorEdit::kBackColorProperty)) ==
               CLexoryDlg::kNeutralColor + 1;
    }
    bool Shows(int row) const {
        if (SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED) != row)
            return false;
        int top = static_cast<int>(SendMessageW(List(), LVM_GETTOPINDEX, 0, 0));
        int page = static_cast<int>(SendMessageW(List(), LVM_GETCOUNTPERPAGE, 0, 0));
        return row >= top && row <= top + page && Neutral();
    }
};

// Waits for condition, asking every half millisecond (each question is a message the program's
// window thread answers, so asking without pause would slow down what is measured); false after
// timeout.
template <typename Condition>
bool Poll(Condition condition, std::chrono::milliseconds timeout = 10000ms) {
    auto end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        auto pause = Clock::now() + 500us;
        while (Clock::now() < pause)
            SwitchToThread();
    }
    return true;
}

std::string Utf8(const std::wstring& text) {
    int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring OwnPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

std::wstring WindowsPath(std::wstring path) {
    return !path.empty() && path[0] == L'/' ? L"Z:" + path : path;
}

// The program with the dictionary in one folder, a copy of the dictionary in another for the
// benchmark's own view of it.
bool LayOut(const std::wstring& dictionary, testsupport::TempFolder& programFolder,
            testsupport::TempFolder& ownFolder) {
    std::wstring self = OwnPath();
    std::wstring selfFolder = self.substr(0, self.find_last_of(L"\\/") + 1);
    for (const wchar_t* file : {L"Lexory.exe", L"XLATCP.dll", L"htmlview.dll"})
        if (!CopyFileW((selfFolder + file).c_str(), programFolder.File(file).c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy %ls\n", file);
            return false;
        }
    if (!CopyFileW(dictionary.c_str(), programFolder.File(L"dictionary.dic").c_str(), FALSE) ||
        !CopyFileW(dictionary.c_str(), ownFolder.File(L"dictionary.dic").c_str(), FALSE)) {
        std::fprintf(stderr, "cannot read the dictionary %ls\n", dictionary.c_str());
        return false;
    }
    CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory"));
    return true;
}

void PrintLatencies(const char* what, std::vector<double> latencies) {
    std::sort(latencies.begin(), latencies.end());
    size_t n = latencies.size();
    if (n == 0)
        return;
    std::printf("%s (%zu): median %.2f ms, p99 %.2f ms, worst %.2f ms\n", what, n, latencies[n / 2],
                latencies[std::min(n - 1, n * 99 / 100)], latencies[n - 1]);
}

// The article window of the running program, once it is shown with nothing left to paint.
HWND DrawnArticle(DWORD process) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        HWND viewer = GetDlgItem(w, CViewWordDlg::kViewerId);
        if (viewer != nullptr && testsupport::WindowProcess(w) == process && IsWindowVisible(w))
            return GetUpdateRect(viewer, nullptr, FALSE) || GetUpdateRect(w, nullptr, FALSE) ? nullptr : w;
    }
    return nullptr;
}

int RunArticleBenchmark(const std::wstring& dictionary, size_t articles) {
    testsupport::TempFolder programFolder, ownFolder;
    if (!LayOut(dictionary, programFolder, ownFolder))
        return 1;
    CDictManager expected(testsupport::ToWide(ownFolder.Path()) + L"\\");
    if (!expected.OpenDirection(0))
        return 1;
    unsigned long count = expected.GetWordCount(0);
    testsupport::CProgramProcess program;
    Window lookup;
    program.Start(programFolder.File(L"Lexory.exe"), L"a");
    if (!Poll(
            [&] {
                return (lookup.window = testsupport::FindProgramWindow(L"LexoryWndClass", nullptr, program.Id())) !=
                           nullptr &&
                       lookup.Neutral();
            },
            30000ms))
        return 1;
    std::mt19937 random(4321);
    std::vector<double> latencies, closes;
    HWND previous = nullptr;
    while (latencies.size() < articles) {
        std::wstring word = expected.GetHeadword(random() % count);
        std::wstring key = Trimmed(word);
        long row = key.empty() ? -1 : expected.FindNearest(key, false);
        // Only headwords the lookup selects when typed (a display text with runs in another language
        // reads otherwise than its key).
        std::wstring head = row >= 0 ? expected.GetHeadword(static_cast<unsigned long>(row)) : L"";
        if (row < 0 || head.size() < key.size() || Lowered(head.substr(0, key.size())) != Lowered(key))
            continue;
        SendMessageW(lookup.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
        if (!Poll([&] { return lookup.Shows(static_cast<int>(row)); })) {
            std::fprintf(stderr, "the list did not reach row %ld; headword skipped\n", row);
            continue;
        }
        auto pressed = Clock::now();
        PostMessageW(lookup.Edit(), WM_KEYDOWN, VK_RETURN, 1);
        HWND article = nullptr;
        if (!Poll([&] { return (article = DrawnArticle(program.Id())) != nullptr && article != previous; })) {
            std::fprintf(stderr, "no article window for row %ld\n", row);
            return 1;
        }
        latencies.push_back(Milliseconds(Clock::now() - pressed));
        // Back to the lookup window, with the focus in its edit, for the next Enter.
        auto closing = Clock::now();
        PostMessageW(article, WM_COMMAND, IDCANCEL, 0);
        Poll([&] { return !IsWindow(article); });
        closes.push_back(Milliseconds(Clock::now() - closing));
        previous = article;
        PostMessageW(lookup.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(lookup.Edit()), TRUE);
    }
    PrintLatencies("Enter to the article drawn", latencies);
    PrintLatencies("closing the article window", closes);
    PostMessageW(lookup.window, WM_COMMAND, ID_EXIT, 0);
    program.WaitForExit(10000);
    CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory"));
    return 0;
}

// The longest article of each dictionary: read, built and drawn in this process, with the viewer
// drawing into a bitmap of the article window's size.
int RunLongestArticleBenchmark(const std::vector<std::wstring>& dictionaries) {
    HMODULE viewerLibrary = LoadLibraryW(CViewWordDlg::kViewerLibrary);
    auto init = viewerLibrary == nullptr ? nullptr
                                         : reinterpret_cast<InitHtmlControlFunction>(reinterpret_cast<void*>(
                                               GetProcAddress(viewerLibrary, HTMLVIEW_INIT_FUNCTION)));
    if (init == nullptr || !init(GetModuleHandleW(nullptr))) {
        std::fprintf(stderr, "htmlview.dll does not load\n");
        return 1;
    }
    constexpr int kWidth = 217, kHeight = 280; // the article window's viewer under the harness
    HWND viewer = CreateWindowExW(0, WC_HTML, L"", WS_POPUP | WS_VSCROLL, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(viewer, DTM_ENABLESHRINK, 0, TRUE);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    SelectObject(memory, bitmap);
    for (const std::wstring& dictionary : dictionaries) {
        testsupport::TempFolder folder;
        if (!CopyFileW(WindowsPath(dictionary).c_str(), folder.File(L"dictionary.dic").c_str(), FALSE))
            return 1;
        CDictManager manager(testsupport::ToWide(folder.Path()) + L"\\");
        if (!manager.OpenDirection(0))
            return 1;
        unsigned long count = manager.GetWordCount(0), longest = 0;
        size_t longestSize = 0;
        for (unsigned long index = 0; index < count; ++index) {
            ArticleParts parts;
            manager.ReadArticle(index, parts);
            size_t size = 0;
            for (const sArticlePart& part : parts) {
                size += part.text8.size() + part.text9.size() + part.text10.size();
                for (const sArticleTranslation& t : part.translations)
                    size += t.text.size() + t.label.size() + t.text8.size() + t.text11.size();
            }
            if (size > longestSize)
                longestSize = size, longest = index;
        }
        std::vector<double> runs;
        size_t htmlSize = 0;
        for (int run = 0; run < 20; ++run) {
            auto begin = Clock::now();
            ArticleParts parts;
            manager.ReadArticle(longest, parts);
            std::wstring html = lexory::BuildArticleHtmlText(parts, kWidth - 13, kHeight, lexory::PartOfSpeechText);
            SendMessageW(viewer, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            SendMessageW(viewer, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(html.c_str()));
            SendMessageW(viewer, DTM_ENDOFSOURCE, 0, 0);
            SendMessageW(viewer, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
            runs.push_back(Milliseconds(Clock::now() - begin));
            htmlSize = html.size();
        }
        std::sort(runs.begin(), runs.end());
        std::wstring name = dictionary.substr(dictionary.find_last_of(L"\\/") + 1);
        std::printf("%s: longest article \"%s\" (%zu characters of text, %zu of HTML): read, built and drawn in best "
                    "%.2f ms, median %.2f ms\n",
                    Utf8(name).c_str(), Utf8(manager.GetHeadword(longest)).c_str(), longestSize, htmlSize, runs[0],
                    runs[runs.size() / 2]);
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    DestroyWindow(viewer);
    return 0;
}

// Typed keystroke by keystroke as posted characters, headword prefixes of random headwords (a new word
// replaces the text); the time from each character posted to the list showing the typed text's
// nearest headword, for the keystrokes that move the list.
bool MeasureKeystrokes(const Window& lookup, CDictManager& expected, long startRow, std::vector<double>& latencies,
                       int& keystrokes) {
    // Keystrokes: headword prefixes typed character by character; a new word replaces the text.
    std::mt19937 random(12345);
    unsigned long count = expected.GetWordCount(0);
    std::wstring text;
    long shown = startRow;
    PostMessageW(lookup.Edit(), EM_SETSEL, 0, -1);
    while (latencies.size() < 1000 && keystrokes < 20000) {
        std::wstring word = expected.GetHeadword(random() % count);
        if (word.size() < 2 || word.size() > 30)
            continue;
        PostMessageW(lookup.Edit(), EM_SETSEL, 0, -1);
        text.clear();
        for (wchar_t c : word) {
            text += c;
            ++keystrokes;
            std::wstring key = Trimmed(text);
            long row = key.empty() ? -1 : expected.FindNearest(key, false);
            std::wstring head = row >= 0 ? expected.GetHeadword(static_cast<unsigned long>(row)) : L"";
            bool leads = row >= 0 && head.size() >= key.size() && Lowered(head.substr(0, key.size())) == Lowered(key);
            auto posted = Clock::now();
            PostMessageW(lookup.Edit(), WM_CHAR, c, 1);
            if (!leads) {
                // The list stays; wait for the edit to hold the text before the next key.
                Poll([&] { return testsupport::ControlText(lookup.Edit()) == text; });
                continue;
            }
            if (!Poll([&] { return lookup.Shows(static_cast<int>(row)); })) {
                std::fprintf(stderr, "the list did not reach row %ld for \"%ls\"\n", row, key.c_str());
                return false;
            }
            if (row != shown)
                latencies.push_back(Milliseconds(Clock::now() - posted));
            shown = row;
        }
    }
    return !latencies.empty();
}

double Percentile(std::vector<double> values, size_t percent) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * percent / 100)];
}

void PrintKeystrokes(const char* what, const std::vector<double>& latencies, int keystrokes) {
    std::printf("%s (%zu keystrokes that move the list, %d typed): median %.2f ms, p99 %.2f ms, worst %.2f ms\n", what,
                latencies.size(), keystrokes, Percentile(latencies, 50), Percentile(latencies, 99),
                Percentile(latencies, 100));
}

int RunBenchmark(std::wstring dictionary) {
    dictionary = WindowsPath(dictionary);
    testsupport::TempFolder programFolder, ownFolder;
    if (!LayOut(dictionary, programFolder, ownFolder))
        return 1;
    std::wstring self = OwnPath();

    // The benchmark's own view of the dictionary, for the rows each text must lead to.
    CDictManager expected(testsupport::ToWide(ownFolder.Path()) + L"\\");
    if (!expected.OpenDirection(0)) {
        std::fprintf(stderr, "the dictionary does not open\n");
        return 1;
    }
    std::printf("dictionary: %lu headwords\n", expected.GetWordCount(0));
    long helloRow = expected.FindNearest(L"hello", false);

    // Start, five times.
    std::vector<double> starts;
    testsupport::CProgramProcess program;
    Window lookup;
    for (int run = 0; run < 5; ++run) {
        program.End();
        auto begin = Clock::now();
        program.Start(programFolder.File(L"Lexory.exe"), L"hello");
        bool up = Poll(
            [&] {
                lookup.window = testsupport::FindProgramWindow(L"LexoryWndClass", nullptr, program.Id());
                return lookup.window != nullptr && lookup.Shows(static_cast<int>(helloRow));
            },
            30000ms);
        if (!up) {
            std::fprintf(stderr, "the lookup window did not show \"hello\"\n");
            return 1;
        }
        starts.push_back(Milliseconds(Clock::now() - begin));
    }
    std::sort(starts.begin(), starts.end());
    std::printf("start to \"hello\" selected: median %.1f ms, best %.1f ms, worst %.1f ms (5 starts)\n", starts[2],
                starts[0], starts[4]);

    std::vector<double> latencies;
    int keystrokes = 0;
    if (!MeasureKeystrokes(lookup, expected, helloRow, latencies, keystrokes))
        return 1;
    PrintKeystrokes("keystroke to list updated", latencies, keystrokes);

    RECT lookupList = {};
    GetWindowRect(lookup.List(), &lookupList);
    SIZE_T lexoryBytes = PrivateBytes(program.Handle());
    PostMessageW(lookup.window, WM_COMMAND, ID_EXIT, 0);
    program.WaitForExit(10000);

    // The bare framework program: its private memory, and its start to a shown window for comparison.
    testsupport::CProgramProcess bare;
    std::vector<double> bareStarts;
    SIZE_T bareBytes = 0;
    for (int run = 0; run < 5; ++run) {
        auto begin = Clock::now();
        bare.Start(self, L"--bare");
        Poll([&] { return testsupport::FindProgramWindow(L"#32770", L"Bare", bare.Id()) != nullptr; }, 30000ms);
        bareStarts.push_back(Milliseconds(Clock::now() - begin));
        if (run == 0)
            bareBytes = PrivateBytes(bare.Handle());
        bare.End();
    }
    std::sort(bareStarts.begin(), bareStarts.end());
    std::printf("bare framework program, start to its window shown: median %.1f ms, best %.1f ms\n", bareStarts[2],
                bareStarts[0]);
    // The floor: the same keystrokes into the bare edit and list.
    testsupport::CProgramProcess floor;
    floor.Start(self, L"--floor \"" + testsupport::ToWide(programFolder.Path()) + L"\" " +
                          std::to_wstring(lookupList.right - lookupList.left) + L" " +
                          std::to_wstring(lookupList.bottom - lookupList.top));
    Window floorWindow;
    if (!Poll(
            [&] {
                floorWindow.window = testsupport::FindProgramWindow(L"#32770", L"Floor", floor.Id());
                return floorWindow.window != nullptr;
            },
            30000ms)) {
        std::fprintf(stderr, "the floor window did not come\n");
        return 1;
    }
    SendMessageW(floorWindow.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
    std::vector<double> floorLatencies;
    int floorKeystrokes = 0;
    if (!Poll([&] { return floorWindow.Shows(static_cast<int>(helloRow)); }) ||
        !MeasureKeystrokes(floorWindow, expected, helloRow, floorLatencies, floorKeystrokes))
        return 1;
    PrintKeystrokes("floor, bare edit and list searched at once", floorLatencies, floorKeystrokes);
    RECT floorList = {};
    GetWindowRect(floorWindow.List(), &floorList);
    std::printf("lists: the lookup window's %ld x %ld pixels, the floor's %ld x %ld\n",
                lookupList.right - lookupList.left, lookupList.bottom - lookupList.top,
                floorList.right - floorList.left, floorList.bottom - floorList.top);
    floor.End();
    double p99 = Percentile(latencies, 99), floorP99 = Percentile(floorLatencies, 99);
    std::printf("keystroke against the floor: median %.2fx, p99 %.2fx (target p99 <= 1.5x)\n",
                Percentile(latencies, 50) / Percentile(floorLatencies, 50), p99 / floorP99);

    std::printf("private memory: Lexory with the dictionary open %.2f MB, bare framework program %.2f MB, "
                "difference %.2f MB\n",
                lexoryBytes / 1048576.0, bareBytes / 1048576.0, (double(lexoryBytes) - double(bareBytes)) / 1048576.0);
    CRegistryKey::DeleteEmptyKey(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory"));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wstring(argv[1]) == L"--floor") {
        SIZE listSize = {argc > 4 ? _wtoi(argv[3]) : 0, argc > 4 ? _wtoi(argv[4]) : 0};
        CFloorApp application(argv[2], listSize);
        return application.Run(GetModuleHandleW(nullptr));
    }
    if (argc > 1 && std::wstring(argv[1]) == L"--bare") {
        CBareApp application;
        return application.Run(GetModuleHandleW(nullptr));
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: lexory_bench [--articles | --longest] DICTIONARY.dic...\n");
        return 2;
    }
    if (std::wstring(argv[1]) == L"--articles" && argc > 2)
        return RunArticleBenchmark(WindowsPath(argv[2]), argc > 3 ? static_cast<size_t>(_wtoi(argv[3])) : 500);
    if (std::wstring(argv[1]) == L"--longest")
        return RunLongestArticleBenchmark(std::vector<std::wstring>(argv + 2, argv + argc));
    return RunBenchmark(argv[1]);
}
