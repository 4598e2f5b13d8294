// The toolbar's side of the page exchange, without the panel: a stand-in host records the wait
// windows and translates with the stand-in engine; exchange files are real files in every encoding.
#include "pagetrans/PageRequests.h"
#include "FakeEngine.h"
#include "base/CodePage.h"
#include "base/FileSystem.h"
#include <testsupport/TempFolder.h>
#ifdef _WIN32
#include "platform/Handles.h"
#endif

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ovrin::CPageRequests;

namespace {

class RecordingHost : public ovrin::CPageRequestHost {
public:
    explicit RecordingHost(FakeEngine::Kind kind = FakeEngine::kUpperCase) : engine(kind) {}
    void OpenWaitWindow(unsigned stringId) override {
        if (waitOpen)
            events.push_back(L"close");
        events.push_back(L"open " + std::to_wstring(stringId));
        waitOpen = true;
    }
    void CloseWaitWindow() override {
        if (waitOpen)
            events.push_back(L"close");
        waitOpen = false;
    }
    bool TranslateText(const std::wstring& text, std::wstring& result) override {
        return engine.Translate(text, result);
    }

    FakeEngine engine;
    std::vector<std::wstring> events;
    bool waitOpen = false;
};

// The path as the browser helper sends it: ANSI bytes and their zero.
std::string AnsiPath(const std::wstring& path) {
    std::string bytes = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, path);
    bytes += '\0';
    return bytes;
}

int SendCopyData(CPageRequests& requests, const std::wstring& path) {
    std::string bytes = AnsiPath(path);
    return requests.OnCopyData(bytes.data(), bytes.size());
}

std::string Utf16LeWithMark(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

class PageRequests : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    RecordingHost host;
    CPageRequests requests{host};

    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        std::wstring path = folder.File(name);
        testsupport::WriteFileBytes(path, bytes);
        return path;
    }
};

} // namespace

TEST_F(PageRequests, HtmlFile_TranslatedAsAPageAndWrittenBackAsUtf16WithMark) {
    std::wstring path = Write(L"abdYqzmx.html", "\xEF\xBB\xBF<p>hello</p>\n<p>\xD0\xBC\xD0\xB8\xD1\x80</p>");
    EXPECT_EQ(SendCopyData(requests, path), 1);
    EXPECT_EQ(host.engine.lastText, L"| hello | \r\n | мир |");
    EXPECT_EQ(testsupport::ReadFileBytes(path), Utf16LeWithMark(L"<p> HELLO</p><p> МИР</p>"));
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"open 12", L"close"}));
}

TEST_F(PageRequests, OtherExtensions_TranslatedAsPlainText) {
    for (const wchar_t* name : {L"page.htm", L"notes.txt", L"noextension"}) {
        std::wstring path = Write(name, "<p>a</p>\r\nb");
        host.engine.calls = 0;
        EXPECT_EQ(SendCopyData(requests, path), 1) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(host.engine.lastText, L"<p>a</p>\r\nb");
        EXPECT_EQ(testsupport::ReadFileBytes(path), Utf16LeWithMark(L"<P>A</P>\r\nB"));
    }
    EXPECT_TRUE(CPageRequests::IsPageFile(L"C:\\Temp\\X.HTML"));
    EXPECT_FALSE(CPageRequests::IsPageFile(L"C:\\a.html\\page"));
    EXPECT_FALSE(CPageRequests::IsPageFile(L"/tmp/a.html/page.htm"));
}

TEST_F(PageRequests, EveryEncodingAndLineEnd_IsReadAsText) {
    const std::wstring expected = L"| раз | \r\n | два |";
    const std::vector<std::string> files = {
        "<b>\xF0\xE0\xE7</b>\r<b>\xE4\xE2\xE0</b>",                                     // ANSI (1251), CR
        "\xEF\xBB\xBF<b>\xD1\x80\xD0\xB0\xD0\xB7</b>\n<b>\xD0\xB4\xD0\xB2\xD0\xB0</b>", // UTF-8, LF
        Utf16LeWithMark(L"<b>раз</b>\r\n<b>два</b>"),
    };
    std::string bigEndian = "\xFE\xFF";
    for (wchar_t c : std::wstring(L"<b>раз</b>\n<b>два</b>")) {
        bigEndian += static_cast<char>((c >> 8) & 0xFF);
        bigEndian += static_cast<char>(c & 0xFF);
    }
    for (const std::string& bytes : {files[0], files[1], files[2], bigEndian}) {
        std::wstring path = Write(L"page.html", bytes);
        EXPECT_EQ(SendCopyData(requests, path), 1);
        EXPECT_EQ(host.engine.lastText, expected);
        EXPECT_EQ(testsupport::ReadFileBytes(path), Utf16LeWithMark(L"<b> РАЗ</b><b> ДВА</b>"));
    }
}

TEST_F(PageRequests, FailingEngine_PageBackUnchangedTextBackEmpty) {
    RecordingHost failing(FakeEngine::kFail);
    CPageRequests failingRequests(failing);
    std::wstring page = Write(L"p.html", "<p>one</p>");
    EXPECT_EQ(SendCopyData(failingRequests, page), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(page), Utf16LeWithMark(L"<p>one</p>"));
    std::wstring text = Write(L"p.txt", "one");
    EXPECT_EQ(SendCopyData(failingRequests, text), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(text), "\xFF\xFE");
}

TEST_F(PageRequests, MissingFileOrMalformedMessage_AnswersZeroAndClosesTheWaitWindow) {
    EXPECT_EQ(SendCopyData(requests, folder.File(L"missing.html")), 0);
    EXPECT_FALSE(ovrin::FileExists(folder.File(L"missing.html")));
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"open 12", L"close"}));

    std::wstring path = Write(L"p.html", "<p>one</p>");
    std::string noTerminator = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, path);
    EXPECT_EQ(requests.OnCopyData(noTerminator.data(), noTerminator.size()), 0);
    EXPECT_EQ(requests.OnCopyData(nullptr, 10), 0);
    EXPECT_EQ(requests.OnCopyData("", 1), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "<p>one</p>");
    EXPECT_FALSE(host.waitOpen);
}

TEST_F(PageRequests, WaitWindows_AnalysisThenTranslationThenOver) {
    std::wstring path = Write(L"p.html", "<p>one</p>");
    requests.OnAnalysisBegins();
    EXPECT_EQ(SendCopyData(requests, path), 1);
    requests.OnTranslationOver();
    requests.OnTranslationOver();
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"open 20", L"close", L"open 12", L"close"}));
}

TEST_F(PageRequests, InvalidUtf8AndBinaryFiles_NoCrash) {
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 131) & 0xFF);
    for (const std::string& bytes : {std::string("\xEF\xBB\xBF<p>\xC3\x28\xFF\xE0\x80</p>\xF0\x9F"), binary,
                                     std::string("\xFF\xFE<\0p\0>\0\x00\xD8", 9)}) {
        std::wstring path = Write(L"bad.html", bytes);
        EXPECT_EQ(SendCopyData(requests, path), 1);
        EXPECT_EQ(testsupport::ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
    }
}

#ifdef _WIN32
TEST_F(PageRequests, LockedFile_AnswersZeroAndLeavesIt) {
    std::wstring path = Write(L"locked.html", "<p>one</p>");
    CFileHandle lock(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(SendCopyData(requests, path), 0);
    lock.Reset();
    EXPECT_EQ(testsupport::ReadFileBytes(path), "<p>one</p>");
    EXPECT_FALSE(host.waitOpen);

    // Readable but not writable: read, translated, and the write refused.
    lock.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(SendCopyData(requests, path), 0);
    lock.Reset();
    EXPECT_EQ(testsupport::ReadFileBytes(path), "<p>one</p>");
}
#endif
