// htmlview.dll loaded as the article window loads it: a "DISPLAYCLASS" window fed an article through
// the control's messages, scrolled with real key input, fed malformed pages, and drawn into a
// picture that is kept under out/ and checked for the article's colours.
#include <htmlview/HtmlView.h>

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kClientWidth = 240;
constexpr int kClientHeight = 300;

// Pumps this thread's messages until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

std::wstring FontRun(const std::wstring& color, const std::wstring& text) {
    return L" <font color=\"" + color + L"\" size=\"9\">" + text + L"</font> ";
}

// An article in the form the article window writes: a part with its headword line and translations.
std::wstring Article(int translations, int width = kClientWidth - 5, int height = kClientHeight - 8) {
    std::wstring html = L"<table width=\"" + std::to_wstring(width) + L"px\" border=\"1\"><tr><td height=\"" +
                        std::to_wstring(height) + L"px\" valign=\"top\">";
    html += FontRun(L"#000000", L"Существительное") + L"<br />";
    html += FontRun(L"#000000", L"house") + FontRun(L"#000000", L"[haʊs]") + L"<br />";
    for (int n = 1; n <= translations; ++n) {
        html += L"&nbsp;&nbsp;&nbsp;&nbsp;" + FontRun(L"#000000", L"<b>" + std::to_wstring(n) + L".</b> ") +
                FontRun(L"#000000", L"<i>(разг.)</i>") + FontRun(L"#01EA00", L"дом, здание; жилище") + L", " +
                FontRun(L"#000000", L"&lt;дом&gt; &amp; очаг") + L"<br />";
    }
    html += L"<br /></tr></td></table>";
    return html;
}

// Starts xdotool, a program of the host that Wine runs as it is. Its process handle does not tell
// when it ends, so callers wait for what it does instead.
bool StartXdotool(const std::wstring& arguments) {
    return static_cast<bool>(testsupport::StartProcess(L"Z:\\usr\\bin\\xdotool", L"xdotool " + arguments));
}

bool KeyIsDown(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

InitHtmlControlFunction InitFunction(HMODULE library) {
    return reinterpret_cast<InitHtmlControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, HTMLVIEW_INIT_FUNCTION)));
}

SCROLLINFO ScrollInfo(HWND window) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    return info;
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = (key >= VK_PRIOR && key <= VK_DOWN) ? KEYEVENTF_EXTENDEDKEY : 0;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

class DisplayWindowTest : public testing::Test {
protected:
    // One library and one parent window for the suite. The parent is left to the end of the process:
    // hiding or destroying a shown top-level window costs seconds under Wine without a window manager.
    static void SetUpTestSuite() {
        s_library = LoadLibraryW(HTMLVIEW_DLL);
        InitHtmlControlFunction init = s_library != nullptr ? InitFunction(s_library) : nullptr;
        s_initialised = init != nullptr && init(GetModuleHandleW(nullptr)) && init(GetModuleHandleW(nullptr));
        RECT frame = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRect(&frame, WS_POPUP | WS_BORDER, FALSE);
        // A title of its own, by which xdotool finds it.
        s_title = L"Lexory " + std::to_wstring(GetCurrentProcessId());
        s_parent = CreateWindowExW(0, L"STATIC", s_title.c_str(), WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }

    void SetUp() override {
        ASSERT_NE(s_library, nullptr);
        ASSERT_TRUE(s_initialised); // a second initialisation is harmless too
        ASSERT_NE(s_parent, nullptr);
        m_display =
            CreateWindowExW(0, WC_HTML, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, kClientWidth, kClientHeight,
                            s_parent, reinterpret_cast<HMENU>(12321), GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_display, nullptr);
        SendMessageW(m_display, DTM_ENABLESHRINK, 0, TRUE);
    }

    void TearDown() override {
        if (m_display != nullptr)
            DestroyWindow(m_display);
    }

    // The article window's way of loading a page: clear, add, end of source.
    void Load(const std::wstring& html) {
        SendMessageW(m_display, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(m_display, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(html.c_str()));
        SendMessageW(m_display, DTM_ENDOFSOURCE, 0, 0);
        UpdateWindow(m_display);
    }

    static inline HMODULE s_library = nullptr;
    static inline bool s_initialised = false;
    static inline HWND s_parent = nullptr;
    static inline std::wstring s_title;
    HWND m_display = nullptr;
};

TEST_F(DisplayWindowTest, ScrollRange_GrowsWithTheContent) {
    Load(L"");
    int empty = ScrollInfo(m_display).nMax;
    EXPECT_LT(empty, 10);

    Load(Article(1));
    SCROLLINFO one = ScrollInfo(m_display);
    EXPECT_GE(one.nMax + 1, kClientHeight - 8); // the cell is as high as the window asks
    EXPECT_EQ(static_cast<int>(one.nPage), kClientHeight);

    Load(Article(40));
    SCROLLINFO forty = ScrollInfo(m_display);
    // Each translation takes at least one more line of the largest font.
    EXPECT_GT(forty.nMax, one.nMax + 39 * 12);

    // Clearing takes the range back, whatever came before; added in pieces it is the same page.
    SendMessageW(m_display, DTM_CLEAR, 0, 0);
    EXPECT_EQ(ScrollInfo(m_display).nMax, empty);
    std::wstring html = Article(40);
    for (std::size_t at = 0; at < html.size(); at += 97) {
        std::wstring piece = html.substr(at, 97);
        SendMessageW(m_display, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
    }
    SendMessageW(m_display, DTM_ENDOFSOURCE, 0, 0);
    EXPECT_EQ(ScrollInfo(m_display).nMax, forty.nMax);
}

TEST_F(DisplayWindowTest, Keys_ScrollByLinePageAndToTheEnds) {
    Load(Article(60));
    SCROLLINFO info = ScrollInfo(m_display);
    int last = info.nMax + 1 - static_cast<int>(info.nPage);
    ASSERT_GT(last, 2 * kClientHeight);

    SetForegroundWindow(s_parent);
    SetFocus(m_display);
    ASSERT_TRUE(WaitFor([&] { return GetFocus() == m_display; }));
    auto position = [&] { return ScrollInfo(m_display).nPos; };

    // Real key input, through the system's input queue.
    PressKey(VK_NEXT);
    ASSERT_TRUE(WaitFor([&] { return position() > 0; })) << "Page Down did not arrive";
    int page = position();
    EXPECT_GT(page, kClientHeight / 2);
    EXPECT_LT(page, kClientHeight);
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return position() > page; }));
    int line = position() - page;
    EXPECT_GT(line, 5);
    EXPECT_LT(line, 40);
    PressKey(VK_UP);
    ASSERT_TRUE(WaitFor([&] { return position() == page; }));
    PressKey(VK_END);
    ASSERT_TRUE(WaitFor([&] { return position() == last; }));
    PressKey(VK_NEXT); // stays at the end
    PressKey(VK_PRIOR);
    ASSERT_TRUE(WaitFor([&] { return position() == last - page; }));
    PressKey(VK_HOME);
    ASSERT_TRUE(WaitFor([&] { return position() == 0; }));

    // The scroll bar's own requests do the same.
    SendMessageW(m_display, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(position(), last);
    SendMessageW(m_display, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(position(), last - page);
    // A new page starts at its top.
    Load(Article(2));
    EXPECT_EQ(position(), 0);
}

TEST_F(DisplayWindowTest, KeysFromTheXServer_ScrollThePage) {
    Load(Article(60));
    SCROLLINFO info = ScrollInfo(m_display);
    int last = info.nMax + 1 - static_cast<int>(info.nPage);
    auto position = [&] { return ScrollInfo(m_display).nPos; };

    // Brought in front with the keyboard as a user would, then keys held and released as on a keyboard;
    // each step waits for the window to show its effect.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(s_parent));
    SetFocus(m_display);
    auto press = [&](const wchar_t* name, int key, const std::function<bool()>& effect) {
        EXPECT_TRUE(StartXdotool(std::wstring(L"keydown ") + name));
        EXPECT_TRUE(WaitFor(effect)) << "no effect of " << key;
        EXPECT_TRUE(StartXdotool(std::wstring(L"keyup ") + name));
        EXPECT_TRUE(WaitFor([&] { return !KeyIsDown(key); })) << "no release of " << key;
    };
    press(L"Next", VK_NEXT, [&] { return position() > 0; });
    EXPECT_GT(position(), kClientHeight / 2);
    press(L"End", VK_END, [&] { return position() == last; });
    press(L"Up", VK_UP, [&] { return position() < last; });
    press(L"Home", VK_HOME, [&] { return position() == 0; });
}

TEST_F(DisplayWindowTest, MalformedPages_NeverStopTheWindow) {
    std::vector<std::wstring> pages = {
        L"<table><tr><td><table><td>",
        L"</tr></td></table></font></b>",
        L"<<<>>><</<!--",
        L"&#xFFFFFFFF;&#0;&",
        L"<table width=99999999 border=999 cellspacing=-5 cellpadding=99999><tr><td colspan=100000 "
        L"height=99999999>x",
        L"<font size=+99999 color=#zzz>big</font><font size=-99999>small",
        std::wstring(3000, L'<') + std::wstring(3000, L'>'),
    };
    std::wstring deep;
    for (int i = 0; i < 3000; ++i)
        deep += L"<table><tr><td><b><i><font color=red>";
    pages.push_back(deep + L"bottom");
    std::wstring noise;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245 + 12345;
        noise += static_cast<wchar_t>(L"<>/=\"' &#;tdrabl1x\n"[(seed >> 16) % 19]);
    }
    pages.push_back(noise);
    std::string ansi = "<b>\xCF\xF0\xE8\xE2\xE5\xF2</b><br>"; // "Привет" in the ANSI code page (1251)
    for (const std::wstring& page : pages) {
        Load(page);
        SendMessageW(m_display, WM_KEYDOWN, VK_END, 0);
        SendMessageW(m_display, WM_SIZE, 0, 0);
        UpdateWindow(m_display);
        ASSERT_TRUE(IsWindow(m_display));
        SCROLLINFO info = ScrollInfo(m_display);
        EXPECT_GE(info.nMax, 0);
        EXPECT_LE(info.nPos, std::max(0, info.nMax));
    }
    SendMessageW(m_display, DTM_ADDTEXT, FALSE, reinterpret_cast<LPARAM>(ansi.c_str()));
    SendMessageW(m_display, DTM_ENDOFSOURCE, 0, 0);
    EXPECT_TRUE(IsWindow(m_display));
}

TEST_F(DisplayWindowTest, Anchor_ScrollsToItsPosition) {
    std::wstring html = L"<p>top</p>";
    for (int i = 0; i < 100; ++i)
        html += L"<p>line " + std::to_wstring(i) + L"</p>";
    html += L"<a name=\"keys\">Клавиши</a>";
    for (int i = 0; i < 20; ++i)
        html += L"<p>more</p>";
    Load(html);
    EXPECT_TRUE(SendMessageW(m_display, DTM_ANCHORW, 0, reinterpret_cast<LPARAM>(L"#keys")));
    int at = ScrollInfo(m_display).nPos;
    EXPECT_GT(at, 100 * 13);
    EXPECT_FALSE(SendMessageW(m_display, DTM_ANCHORW, 0, reinterpret_cast<LPARAM>(L"missing")));
    EXPECT_EQ(ScrollInfo(m_display).nPos, at);
}

// Draws the window into a bitmap (what it paints), saves it under out/, and counts its colours.
TEST_F(DisplayWindowTest, Article_IsDrawnInItsColoursAndKeptAsAPicture) {
    Load(Article(6));
    HDC screen = GetDC(m_display);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = kClientWidth;
    format.bmiHeader.biHeight = -kClientHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT client = {};
    GetClientRect(m_display, &client);
    SendMessageW(m_display, WM_PRINT, reinterpret_cast<WPARAM>(memory), PRF_NONCLIENT | PRF_CLIENT);
    GdiFlush();

    int green = 0, black = 0, gray = 0;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            std::uint32_t pixel = pixels[y * kClientWidth + x] & 0xFFFFFF;
            int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
            green += g > 150 && r < 100 && b < 100;
            black += r < 60 && g < 60 && b < 60;
            gray += pixel == 0x808080;
        }
    }
    EXPECT_GT(green, 100) << "the translations in #01EA00";
    EXPECT_GT(black, 100) << "the black text";
    EXPECT_GT(gray, 2 * (kClientHeight - 20)) << "the table's and the cell's borders";

    // Kept as a picture for a person to look at (opaque: GDI leaves the alpha bytes at zero).
    auto* opaque = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < kClientWidth * kClientHeight; ++i)
        opaque[i] |= 0xFF000000u;
    CreateDirectoryW(L"Z:" OVRIN_SCREENSHOT_DIR, nullptr);
    std::FILE* file = _wfopen(L"Z:" OVRIN_SCREENSHOT_DIR L"/htmlview-article.bmp", L"wb");
    ASSERT_NE(file, nullptr);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + kClientWidth * kClientHeight * 4;
    std::fwrite(&header, sizeof header, 1, file);
    std::fwrite(&format.bmiHeader, sizeof format.bmiHeader, 1, file);
    std::fwrite(bits, 4, kClientWidth * kClientHeight, file);
    std::fclose(file);

    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(m_display, screen);
}

TEST(DisplayLibrary, UnloadedAndLoadedAgain_TheClassWorks) {
    for (int round = 0; round < 2; ++round) {
        HMODULE library = LoadLibraryW(HTMLVIEW_DLL);
        ASSERT_NE(library, nullptr);
        auto init = InitFunction(library);
        ASSERT_TRUE(init != nullptr && init(GetModuleHandleW(nullptr)));
        // Created with a page as its text, then given another through the messages.
        std::wstring first = Article(3);
        HWND window = CreateWindowExW(0, WC_HTML, first.c_str(), WS_POPUP | WS_VSCROLL, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_GT(ScrollInfo(window).nMax, 100);
        SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        EXPECT_LT(ScrollInfo(window).nMax, 10);
        std::wstring html = Article(10);
        SendMessageW(window, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(html.c_str()));
        SendMessageW(window, DTM_ENDOFSOURCE, 0, 0);
        EXPECT_GT(ScrollInfo(window).nMax, 100);
        DestroyWindow(window);
        FreeLibrary(library);
    }
}

} // namespace
