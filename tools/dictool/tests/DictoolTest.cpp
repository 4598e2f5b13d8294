// dictool run as a real process on real files: its reports, and its errors for files that are not
// dictionaries.
#include "base/Path.h"
#include "base/Unicode.h"
#include "dictengine/DictWriter.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#ifdef _WIN32
#include "testsupport/ProgramProcess.h"

#include <windows.h>
#else
#include <cstdio>
#include <sys/wait.h>
#endif

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
};

// Runs dictool (beside this test program) with the arguments; stdout is captured, and stderr with it
// when withErrors is set (discarded otherwise).
Result RunDictool(const std::vector<std::wstring>& args, bool withErrors = false) {
    Result result;
#ifdef _WIN32
    std::wstring command = L"\"" + ovrin::GetProgramFolder() + L"dictool.exe\"";
    for (const std::wstring& arg : args)
        command += L" \"" + arg + L"\"";
    CHandle readEnd, writeEnd;
    if (!testsupport::MakePipe(readEnd, writeEnd))
        return result;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    CFileHandle nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = withErrors ? writeEnd.Get() : nul.Get();
    startup.hStdInput = nullptr;
    testsupport::StartedProcess process = testsupport::StartProcess(nullptr, command, 0, &startup);
    writeEnd.Reset();
    nul.Reset();
    if (process) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
            result.out.append(buffer, got);
        result.exitCode = static_cast<int>(testsupport::ExitCodeAfter(process.process.Get(), INFINITE));
    }
#else
    std::string command = "'" + ovrin::Utf16ToUtf8(ovrin::GetProgramFolder()) + "dictool'";
    for (const std::wstring& arg : args)
        command += " '" + ovrin::Utf16ToUtf8(arg) + "'";
    command += withErrors ? " 2>&1" : " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}

dengine::DictionaryDescription Describe(const std::string& name, std::uint16_t direction, std::uint8_t type = 1) {
    dengine::DictionaryDescription description;
    description.name = name;
    description.direction = direction;
    description.type = type;
    return description;
}

std::vector<dengine::WriterEntry> Entries(std::initializer_list<const char*> words) {
    std::vector<dengine::WriterEntry> entries;
    for (const char* word : words)
        entries.push_back({word, "", dengine::MakeArticle({{0x01, word}})});
    return entries;
}

} // namespace

TEST(DictoolTest, Info_ReportsTheFile) {
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"er.dic");
    std::string error;
    // "Общий" in code page 1251.
    ASSERT_TRUE(dengine::WriteDictionary(path, Describe("\xCE\xE1\xF9\xE8\xE9", 0x0201, 2), Entries({"apple", "pear"}),
                                         &error));
    Result result = RunDictool({L"info", path});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("name: \xD0\x9E\xD0\xB1\xD1\x89\xD0\xB8\xD0\xB9\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("type: 2\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("direction: RE (0x0201)\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("headwords: 2\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("block 0: 2 entries, key \"apple\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("trailer tags: 0xCD (4 bytes)"), std::string::npos) << result.out;
}

TEST(DictoolTest, List_ShowsTheCatalogueInEngineOrder) {
    testsupport::TempFolder folder;
    std::string error;
    ASSERT_TRUE(dengine::WriteDictionary(folder.File(L"1.dic"), Describe("Zeta", 0x0201), Entries({"a"}), &error));
    ASSERT_TRUE(dengine::WriteDictionary(folder.File(L"2.dic"), Describe("General", 0x0102), Entries({"a"}), &error));
    ASSERT_TRUE(dengine::WriteDictionary(folder.File(L"3.dic"), Describe("Mine", 0x0102, 4), Entries({"a"}), &error));
    Result result = RunDictool({L"list", testsupport::ToWide(folder.Path())});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.find("directions: ER RE\n"), 0u) << result.out;
    std::size_t er = result.out.find("ER (0x0102)\n");
    std::size_t general = result.out.find("  0  General  type 1  handle ");
    std::size_t mine = result.out.find("  1  Mine  type 4  handle ");
    std::size_t re = result.out.find("RE (0x0201)\n");
    std::size_t zeta = result.out.find("  0  Zeta  type 1  handle ");
    EXPECT_TRUE(er < general && general < mine && mine < re && re < zeta) << result.out;
}

TEST(DictoolTest, FindIndexAndSearch_OnARussianDictionary) {
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"re.dic");
    std::string error;
    // "дом", "дома", "кот" in code page 1251, sorted.
    std::vector<dengine::WriterEntry> entries = Entries({"\xE4\xEE\xEC", "\xE4\xEE\xEC\xE0", "\xEA\xEE\xF2"});
    dengine::DictionaryDescription description = Describe("Russian", 0x0201);
    description.checkOrder = true;
    ASSERT_TRUE(dengine::WriteDictionary(path, description, entries, &error)) << error;
    Result found = RunDictool({L"find", path, L"\x0414\x043E"}); // "До"
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.out, "0 nearest \xD0\xB4\xD0\xBE\xD0\xBC\n");
    found = RunDictool({L"find", path, L"\x043A\x043E\x0442"}); // "кот"
    EXPECT_EQ(found.out, "2 exact \xD0\xBA\xD0\xBE\xD1\x82\n");
    Result rows = RunDictool({L"index", path, L"1", L"2"});
    EXPECT_EQ(rows.exitCode, 0);
    EXPECT_EQ(rows.out, "1 \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0\n2 \xD0\xBA\xD0\xBE\xD1\x82\n");
    EXPECT_NE(RunDictool({L"index", path, L"2", L"2"}).exitCode, 0) << "past the last headword";
    EXPECT_NE(RunDictool({L"index", path, L"x", L"2"}).exitCode, 0);
    Result matches = RunDictool({L"search", path, L"\x0434?\x043C*"}); // "д?м*"
    EXPECT_EQ(matches.exitCode, 0);
    EXPECT_EQ(matches.out, "0 \xD0\xB4\xD0\xBE\xD0\xBC\n1 \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0\n");
    EXPECT_NE(RunDictool({L"search", path, std::wstring(300, L'a')}).exitCode, 0);
}

TEST(DictoolTest, Find_ComparesWithTheFoldTableOnAWesternDictionary) {
    // Words of different lengths: without the fold table every comparison would go by length alone.
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"en.dic");
    std::string error;
    dengine::DictionaryDescription description = Describe("English", 0x0102);
    description.checkOrder = true;
    ASSERT_TRUE(dengine::WriteDictionary(
        path, description,
        Entries({"a", "abcdefgh", "b", "cat", "hello", "hellos", "i", "j", "k", "l", "m", "n", "o", "p"}), &error))
        << error;
    EXPECT_EQ(RunDictool({L"find", path, L"hello"}).out, "4 exact hello\n");
    EXPECT_EQ(RunDictool({L"find", path, L"HELL"}).out, "4 nearest hello\n");
    EXPECT_EQ(RunDictool({L"search", path, L"h*"}).out, "4 hello\n5 hellos\n");
}

TEST(DictoolTest, Errors_GoToStderrWithANonZeroExit) {
    testsupport::TempFolder folder;
    std::wstring text = folder.File(L"text.dic");
    testsupport::WriteFileBytes(text, "not a compound file at all");
    std::string error;
    std::wstring good = folder.File(L"good.dic");
    ASSERT_TRUE(dengine::WriteDictionary(good, Describe("Good", 0x0102), Entries({"a"}), &error));
    ASSERT_EQ(RunDictool({L"info", good}).exitCode, 0) << "dictool itself runs";
    for (const std::vector<std::wstring>& args : {std::vector<std::wstring>{L"info", text},
                                                  {L"info", folder.File(L"missing.dic")},
                                                  {L"frobnicate", text},
                                                  {}}) {
        Result result = RunDictool(args);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_EQ(result.out, "");
    }
}

TEST(DictoolTest, UserCommands_MakeAndChangeAUserDictionaryAndArticleShowsTheTree) {
    testsupport::TempFolder folder;
    std::wstring root = testsupport::ToWide(folder.Path());
    Result created = RunDictool({L"user", L"create", root, L"ER"});
    ASSERT_EQ(created.exitCode, 0);
    std::wstring path = folder.File(L"ER_User.dic");
    EXPECT_EQ(created.out, ovrin::Utf16ToUtf8(path) + "\n");
    EXPECT_EQ(RunDictool({L"user", L"add", path, L"house", L"\u0434\u043e\u043c"}).out, "0\n");
    EXPECT_EQ(RunDictool({L"user", L"add", path, L"apple", L"\u044f\u0431\u043b\u043e\u043a\u043e"}).out, "0\n");
    EXPECT_EQ(RunDictool({L"user", L"set", path, L"1", L"\u0434\u043e\u043c\u0438\u043a"}).exitCode, 0);
    // The translation is stored in the target language's code page and shown decoded again.
    EXPECT_EQ(RunDictool({L"article", path, L"1", L"--tags"}).out,
              "1 house\n  0x90\n    0x01 \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB8\xD0\xBA\n");
    EXPECT_EQ(RunDictool({L"article", path, L"1"}).out, "1 house\n  1. \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB8\xD0\xBA\n");
    EXPECT_EQ(RunDictool({L"user", L"delete", path, L"0"}).exitCode, 0);
    EXPECT_EQ(RunDictool({L"index", path, L"0", L"1"}).out, "0 house\n");
    EXPECT_EQ(RunDictool({L"user", L"delete", path, L"1"}).exitCode, 1);
    EXPECT_EQ(RunDictool({L"article", path, L"1"}).exitCode, 1);
}

TEST(DictoolTest, Article_ExpandsAbbreviations) {
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"abbr.dic");
    dengine::DictionaryDescription description = Describe("Abbr", 0x0102);
    description.abbreviations[0x03] = {{2, "colloq."}};
    std::string translation = dengine::MakeArticle({{0x01, "\xE4\xEE\xEC"}, {0x03, std::string("\x00\x02", 2)}});
    std::vector<dengine::WriterEntry> entries = {{"house", "", dengine::MakeArticle({{0x90, translation.substr(2)}})}};
    std::string error;
    ASSERT_TRUE(dengine::WriteDictionary(path, description, entries, &error)) << error;
    EXPECT_EQ(RunDictool({L"article", path, L"0", L"--tags"}).out,
              "0 house\n  0x90\n    0x01 \xD0\xB4\xD0\xBE\xD0\xBC\n    0x03 (abbreviation) colloq.\n");
    // A file that is not a user dictionary is not changed.
    EXPECT_EQ(RunDictool({L"user", L"delete", path, L"0"}).exitCode, 1);
}

TEST(DictoolTest, Article_ReadsAsTheReaderSeesIt) {
    // Two parts; a translation over two leaves, a label, an example with a Russian run, a transcription.
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"er.dic");
    std::string first = dengine::MakeArticle({{0x01, "\xE4\xEE\xEC;"},
                                              {0x01, "\xE6\xE8\xEB\xE8\xF9\xE5"},
                                              {0x03, "colloq."},
                                              {0x08, "at home %2 \xE4\xEE\xEC\xE0%"}});
    std::string noun = dengine::MakeArticle({{0x02, "\x01"}, {0x08, "[haUs]"}, {0x90, first.substr(2)}});
    std::string verb =
        dengine::MakeArticle({{0x02, "\x03"}, {0x90, dengine::MakeArticle({{0x01, "\xE6\xE8\xF2\xFC"}}).substr(2)}});
    std::string article = dengine::MakeArticle({{0x80, noun.substr(2)}, {0x80, verb.substr(2)}});
    std::string error;
    ASSERT_TRUE(dengine::WriteDictionary(path, Describe("Test", 0x0102), {{"house", "", article}}, &error)) << error;
    EXPECT_EQ(RunDictool({L"article", path, L"0"}).out,
              "0 house\n"
              "\xD0\xA1\xD1\x83\xD1\x89\xD0\xB5\xD1\x81\xD1\x82\xD0\xB2\xD0\xB8\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C"
              "\xD0\xBD\xD0\xBE\xD0\xB5  [haUs]\n" // "Существительное"
              "  1. (colloq.) \xD0\xB4\xD0\xBE\xD0\xBC; \xD0\xB6\xD0\xB8\xD0\xBB\xD0\xB8\xD1\x89\xD0\xB5\n"
              "     at home \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0\n"
              "\xD0\x93\xD0\xBB\xD0\xB0\xD0\xB3\xD0\xBE\xD0\xBB\n" // "Глагол"
              "  1. \xD0\xB6\xD0\xB8\xD1\x82\xD1\x8C\n");
    std::string help = RunDictool({L"--help"}).out;
    for (const char* command : {"info FILE", "list FOLDER", "find FILE", "index FILE", "search FILE", "article FILE",
                                "user create", "user add", "user set", "user delete"})
        EXPECT_NE(help.find(std::string("  ") + command), std::string::npos) << command;
}

TEST(DictoolTest, Errors_SayWhatIsWrong) {
    testsupport::TempFolder folder;
    std::wstring text = folder.File(L"text.dic");
    testsupport::WriteFileBytes(text, "not a compound file at all");
    std::wstring root = testsupport::ToWide(folder.Path());
    Result missing = RunDictool({L"article", folder.File(L"missing.dic"), L"0"}, true);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("no such file"), std::string::npos) << missing.out;
    Result isFolder = RunDictool({L"info", root}, true);
    EXPECT_EQ(isFolder.exitCode, 1);
    EXPECT_NE(isFolder.out.find("is a folder"), std::string::npos) << isFolder.out;
    Result notDictionary = RunDictool({L"find", text, L"a"}, true);
    EXPECT_EQ(notDictionary.exitCode, 1);
    EXPECT_NE(notDictionary.out.find("not a dictionary file"), std::string::npos) << notDictionary.out;
    EXPECT_NE(RunDictool({L"list", folder.File(L"no-such-folder")}).exitCode, 0);
}

TEST(DictoolTest, UserChanges_RefuseWhatTheDictionaryCannotHold) {
    testsupport::TempFolder folder;
    ASSERT_EQ(RunDictool({L"user", L"create", testsupport::ToWide(folder.Path()), L"ER"}).exitCode, 0);
    std::wstring path = folder.File(L"ER_User.dic");
    Result empty = RunDictool({L"user", L"add", path, L" ", L"\u0434\u043e\u043c"}, true);
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_NE(empty.out.find("headword is empty"), std::string::npos) << empty.out;
    // Greek is in neither code page of an English-Russian dictionary: refused, the characters named.
    Result greek = RunDictool({L"user", L"add", path, L"house", L"\u03b4\u03bf\u03bc"}, true);
    EXPECT_EQ(greek.exitCode, 2);
    EXPECT_NE(greek.out.find("\xCE\xB4\xCE\xBF\xCE\xBC"), std::string::npos) << greek.out;
    Result russianHeadword = RunDictool({L"user", L"add", path, L"\u0434\u043e\u043c", L"\u0434\u043e\u043c"}, true);
    EXPECT_EQ(russianHeadword.exitCode, 2) << "the headword is English, code page 1252";
    Result tooLong = RunDictool({L"user", L"add", path, L"house", std::wstring(300, L'\u0434')}, true);
    EXPECT_EQ(tooLong.exitCode, 2);
    EXPECT_NE(tooLong.out.find("300 bytes"), std::string::npos) << tooLong.out;
    EXPECT_EQ(RunDictool({L"index", path, L"0", L"1"}).exitCode, 1) << "nothing was stored";
    ASSERT_EQ(RunDictool({L"user", L"add", path, L"house", L"\u0434\u043e\u043c"}).exitCode, 0);
    EXPECT_EQ(RunDictool({L"user", L"set", path, L"0", L""}).exitCode, 2);
    EXPECT_EQ(RunDictool({L"article", path, L"0"}).out, "0 house\n  1. \xD0\xB4\xD0\xBE\xD0\xBC\n");
}
