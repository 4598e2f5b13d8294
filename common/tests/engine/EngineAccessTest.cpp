// The engine access over the real engine stand-in's DLLs, loaded by path, and the real registry: the
// direction order, the registry rules, subjects, runs and separators, the coding of runs and of the
// engine's output, stopping, the wide path, the catalogue, and bad input of every kind.
#include "enginetest/EngineLayout.h"
#include "enginetest/SlowDirection.h"
#include "platform/RegistryKey.h"
#include "testsupport/GuiProgram.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace enginetest;

namespace {

// Translates through a client with the direction and subject stored as the toolbar stores them.
bool Translate(CEngineClient& client, int direction, int subject, const std::wstring& text, std::wstring& result) {
    CEngineClient::SetDirectionSetting(direction);
    CEngineClient::SetSubjectSetting(subject);
    return client.TranslateText(text, result);
}

std::wstring TranslateOrFail(CEngineClient& client, int direction, const std::wstring& text, int subject = 0) {
    std::wstring result;
    EXPECT_TRUE(Translate(client, direction, subject, text, result)) << "translating failed";
    return result;
}

DirRegInfo Info(DWORD source, DWORD target) {
    return DirRegInfo{std::to_wstring(source) + L">" + std::to_wstring(target), nullptr, target << 16 | source};
}

std::vector<DWORD> Sorted(const std::vector<DirRegInfo>& inserts) {
    std::vector<DirRegInfo> list;
    for (const DirRegInfo& info : inserts)
        CTranslator::InsertSorted(list, info);
    std::vector<DWORD> ids;
    for (const DirRegInfo& info : list)
        ids.push_back(info.dirId);
    return ids;
}

class EngineAccessTest : public ::testing::Test {
protected:
    EngineAccessTest() { layout.WriteStandardCatalogue(); }
    EngineLayout layout;
};

} // namespace

TEST(DirectionOrderTest, PairWithRussianComesFirstAndFromRussianSecond) {
    DWORD er = 2 << 16 | 1, re = 1 << 16 | 2, ge = 1 << 16 | 4, gr = 2 << 16 | 4;
    EXPECT_EQ(Sorted({Info(4, 1), Info(2, 1), Info(1, 2)}), (std::vector<DWORD>{er, re, ge}));
    EXPECT_EQ(Sorted({Info(1, 2), Info(2, 1), Info(4, 1)}), (std::vector<DWORD>{er, re, ge}));
    EXPECT_EQ(Sorted({Info(4, 2), Info(2, 1), Info(1, 2)}), (std::vector<DWORD>{er, re, gr}));
    // Equal keys without Russian: the smaller source code first, whatever the order of arrival.
    EXPECT_EQ(Sorted({Info(4, 1), Info(1, 4)}), (std::vector<DWORD>{4 << 16 | 1, ge}));
    EXPECT_EQ(Sorted({Info(1, 4), Info(4, 1)}), (std::vector<DWORD>{4 << 16 | 1, ge}));
}

// The engine reaches the callback through its table by slot number, as a COM caller does.
TEST(TrdCallBackTest, SlotsWithoutWorkAnswerZeroAndTheOutputSlotsStillCollect) {
    using Slot = HRESULT(STDMETHODCALLTYPE*)(void*);
    OvrinTrdCallBack callback(2 << 16 | 1);
    IOvrinTranslateCallBack* object = &callback;
    void** table = *reinterpret_cast<void***>(object);
    for (int slot : {5, 6, 7, 8, 10})
        EXPECT_EQ(reinterpret_cast<Slot>(table[slot])(object), S_OK) << "slot " << slot;
    using PutTextW = HRESULT(STDMETHODCALLTYPE*)(void*, int, const wchar_t*);
    EXPECT_EQ(reinterpret_cast<PutTextW>(table[9])(object, 3, L"ok!"), S_OK);
    EXPECT_EQ(callback.TakeResult(), L"ok!");
}

TEST_F(EngineAccessTest, Init_OrdersRegistryDirectionsAndLeavesOutIncompleteOnes) {
    layout.AddDirection(L"GR", {{L"Katze", L"кошка"}});
    layout.AddDirection(L"RE", RussianEnglish());
    layout.AddDirection(L"ER", EnglishRussian());
    std::wstring folder = layout.Folder() + L"ER\\";
    layout.AddDirectionKey(L"NoDirId", 0, L"ER", folder);
    layout.AddDirectionKey(L"NoPrefix", DirIdOf(L"ER"), L"", folder);
    layout.AddDirectionKey(L"NoPath", DirIdOf(L"ER"), L"ER", L"");
    // Values of the wrong type count as missing.
    layout.AddDirectionKey(L"TextDirId", 0, L"ER", folder);
    EngineLayout::SetString(layout.DirectionsKey() + L"\\TextDirId", L"DirID", L"131073");
    layout.AddDirectionKey(L"NumberPrefix", DirIdOf(L"ER"), L"", folder);
    EngineLayout::SetDword(layout.DirectionsKey() + L"\\NumberPrefix", L"Prefix", 0x5245);
    CTranslator translator(layout.Folder(), layout.Key());
    ASSERT_TRUE(translator.Init());
    ASSERT_EQ(translator.GetDirectionCount(), 3);
    EXPECT_EQ(translator.GetDirection(0)->GetPrefix(), L"ER");
    EXPECT_EQ(translator.GetDirection(1)->GetPrefix(), L"RE");
    EXPECT_EQ(translator.GetDirection(2)->GetPrefix(), L"GR");
    EXPECT_EQ(translator.GetDirectionName(2), L"GR");
    EXPECT_EQ(translator.GetDirectionName(3), L"");
    EXPECT_EQ(translator.GetDirection(0)->GetEngineFolder(), layout.Folder());
}

TEST_F(EngineAccessTest, Init_FailsWithoutDirectionsOrEnginePath) {
    layout.AddDirection(L"ER", EnglishRussian());
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, layout.Key(), false));
        ASSERT_TRUE(key.DeleteValue(L"Path"));
    }
    CTranslator withoutPath(layout.Folder(), layout.Key());
    EXPECT_FALSE(withoutPath.Init());
    CTranslator elsewhere(layout.Folder(), layout.Key() + L" missing");
    EXPECT_FALSE(elsewhere.Init());
    CEngineClient client(elsewhere);
    std::wstring result = L"kept";
    EXPECT_FALSE(client.IsUsable());
    EXPECT_FALSE(Translate(client, 0, 0, L"cat", result));
    EXPECT_EQ(result, L"kept");
}

TEST_F(EngineAccessTest, Subjects_GeneralMovesToFrontAndRejectedTemplateDisappears) {
    std::wstring folder =
        layout.MakeDirectionFolder(L"ER", EnglishRussian(), {{L"COMPUTERS.tpl", L"[Компьютеры]\nfile = файл\n"}});
    layout.AddDirectionKey(L"ER", DirIdOf(L"ER"), L"ER", folder);
    layout.AddSubject(L"ER", L"A computers", L"Компьютеры", {L"COMPUTERS"});
    layout.AddSubject(L"ER", L"B broken", L"Сломанный", {L"NOSUCH"});
    layout.AddSubject(L"ER", L"C general", L"Общая", {});
    layout.AddSubject(L"ER", L"D unnamed", std::wstring(130, L'x'), {L"COMPUTERS"});
    CTranslator translator(layout.Folder(), layout.Key());
    ASSERT_TRUE(translator.Init());
    CDirection* direction = translator.GetDirection(0);
    ASSERT_EQ(direction->GetSubjectCount(), 4);
    EXPECT_EQ(direction->GetSubjectName(0), L"Общая");
    EXPECT_EQ(direction->GetSubjectName(1), L"Компьютеры");
    // A display name of 130 characters does not fit: the key name stands in.
    EXPECT_EQ(direction->GetSubjectName(3), L"D unnamed");
    ASSERT_TRUE(direction->OpenEngine());
    ASSERT_EQ(direction->GetSubjectCount(), 3);
    EXPECT_EQ(direction->GetSubjectName(2), L"D unnamed");
    EXPECT_FALSE(direction->SelectSubject(3));

    CEngineClient client(translator);
    EXPECT_EQ(TranslateOrFail(client, 0, L"file", 0), L"напильник");
    EXPECT_EQ(TranslateOrFail(client, 0, L"file", 1), L"файл");
    EXPECT_EQ(TranslateOrFail(client, 0, L"file", 2), L"файл");
    EXPECT_EQ(TranslateOrFail(client, 0, L"file", 0), L"напильник");
    std::vector<std::wstring> names;
    ASSERT_TRUE(client.GetSubjectNames(0, names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Общая", L"Компьютеры", L"D unnamed"}));
}

TEST_F(EngineAccessTest, UnknownPrefix_IsListedButDoesNotOpen) {
    layout.AddDirection(L"ER", EnglishRussian());
    layout.AddDirectionKey(L"XX", 4 << 16 | 2, L"XX", layout.Folder() + L"ER\\");
    CTranslator translator(layout.Folder(), layout.Key());
    ASSERT_TRUE(translator.Init());
    ASSERT_EQ(translator.GetDirectionCount(), 2);
    EXPECT_EQ(translator.GetDirection(1)->GetPrefix(), L"XX");
    EXPECT_FALSE(translator.SetCurrentDirection(1));
    EXPECT_EQ(translator.GetDirection(1)->GetOpenResult(), CLASS_E_CLASSNOTAVAILABLE);
    CEngineClient client(translator);
    std::wstring result;
    EXPECT_FALSE(Translate(client, 1, 0, L"cat", result));
    EXPECT_TRUE(Translate(client, 0, 0, L"cat", result));
}

TEST_F(EngineAccessTest, Runs_LinesTranslateAloneAndSeparatorsStay) {
    layout.AddDirection(L"ER", EnglishRussian());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    // "ice cream" across a line break is two runs: no phrase is found across it.
    EXPECT_EQ(TranslateOrFail(client, 0, L"cat ice\r\ncream dog"), L"кошка лёд\r\ncream собака");
    EXPECT_EQ(TranslateOrFail(client, 0, L"ice cream"), L"мороженое");
    std::wstring separators = L"\r\n\f\n\r\r";
    EXPECT_EQ(TranslateOrFail(client, 0, separators), separators);
    std::wstring result = L"kept";
    EXPECT_TRUE(Translate(client, 0, 0, L"", result));
    EXPECT_EQ(result, L"");
}

TEST_F(EngineAccessTest, Runs_MappedCharactersAndSourceTermsComeBack) {
    layout.AddDirection(L"ER", EnglishRussian());
    layout.AddDirection(L"RE", RussianEnglish());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    EXPECT_EQ(TranslateOrFail(client, 0, L"cat… № 5, £3"), L"кошка… № 5, £3");
    EXPECT_EQ(TranslateOrFail(client, 1, L"кошка… № 5"), L"cat… № 5");
    // Words the engine leaves are decoded in the source language: Latin in Russian, Cyrillic in English.
    EXPECT_EQ(TranslateOrFail(client, 0, L"Big cat Zürich-Ärger"), L"Большой кошка Zürich-Ärger");
    EXPECT_EQ(TranslateOrFail(client, 1, L"Большой дом Москва"), L"Big house Москва");
    // A term's occurrences in the output are found without regard to case.
    EXPECT_EQ(TranslateOrFail(client, 1, L"Москва москва"), L"Москва москва");
}

TEST_F(EngineAccessTest, Runs_WidePathGivesTheSameText) {
    layout.AddDirection(L"ER", EnglishRussian());
    std::wstring folder = layout.Folder() + L"ER\\";
    layout.AddDirectionKey(L"ER wide", DirIdOf(L"ER"), L"ER", folder, 1);
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    ASSERT_EQ(translator.GetDirectionCount(), 2);
    int wide = translator.GetDirection(0)->GetTrans3() != 0 ? 0 : 1;
    std::wstring text = L"The big CATS ran, and Zürich… № 1 | the dogs  |  ice cream!\r\nfile";
    std::wstring narrowResult = TranslateOrFail(client, 1 - wide, text);
    std::wstring wideResult = TranslateOrFail(client, wide, text);
    EXPECT_EQ(wideResult, narrowResult);
    EXPECT_EQ(narrowResult, L"Этот большой КОШКА бежать, and Zürich… № 1 | этот собака  |  мороженое!\r\nнапильник");
}

TEST_F(EngineAccessTest, Stop_RequestedBeforeTranslateCancelsAndIsCleared) {
    layout.AddDirection(L"ER", EnglishRussian());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    int stop = 1;
    client.RegisterStopFlag(&stop);
    EXPECT_EQ(stop, 0);
    stop = 1;
    std::wstring result = L"kept";
    EXPECT_TRUE(Translate(client, 0, 0, L"cat", result));
    EXPECT_EQ(result, L"kept");
    EXPECT_EQ(stop, 0);
    EXPECT_TRUE(Translate(client, 0, 0, L"cat", result));
    EXPECT_EQ(result, L"кошка");
}

TEST_F(EngineAccessTest, Stop_DuringLongTranslationReturnsSoonAndDropsTheLateResult) {
    SlowDirection slow(layout);
    ASSERT_TRUE(slow.Ready());
    {
        CTranslator translator(layout.Folder(), layout.Key());
        CEngineClient client(translator);
        int stop = 0;
        client.RegisterStopFlag(&stop);
        std::thread stopper = slow.StopOnEntry(stop);
        std::wstring result = L"kept";
        auto begin = std::chrono::steady_clock::now();
        EXPECT_FALSE(Translate(client, 0, 0, L"first\nsecond", result));
        auto waited = std::chrono::steady_clock::now() - begin;
        stopper.join();
        EXPECT_LT(waited, std::chrono::milliseconds(1500));
        EXPECT_EQ(result, L"");
        EXPECT_EQ(stop, 0);
        // The stopped call finishes now, delivering into a run nobody waits for; the next one works.
        slow.Release();
        EXPECT_TRUE(Translate(client, 0, 0, L"again", result));
        EXPECT_EQ(result, L"[again]");
    } // the translator waits for the stopped worker before it unloads the engine
}

TEST_F(EngineAccessTest, Stop_InTheMiddleOfManyLinesKeepsTheLinesDoneAndNothingAfter) {
    SlowDirection slow(layout);
    ASSERT_TRUE(slow.Ready());
    std::wstring text, done;
    for (int i = 0; i < 300; ++i) {
        text += L"quick" + std::to_wstring(i) + L"\r\n";
        done += L"[quick" + std::to_wstring(i) + L"]\r\n";
    }
    text += L"slow\fquick after\n";
    {
        CTranslator translator(layout.Folder(), layout.Key());
        CEngineClient client(translator);
        int stop = 0;
        client.RegisterStopFlag(&stop);
        std::thread stopper = slow.StopOnEntry(stop);
        std::wstring result;
        CEngineClient::SetDirectionSetting(0);
        CEngineClient::SetSubjectSetting(0);
        CTranslationStop stopped;
        auto begin = std::chrono::steady_clock::now();
        EXPECT_FALSE(client.TranslateText(text, result, &stopped));
        auto waited = std::chrono::steady_clock::now() - begin;
        stopper.join();
        EXPECT_LT(waited, std::chrono::milliseconds(1500));
        // The lines before the stopped one, each with its breaks; nothing of the stopped line or after.
        EXPECT_EQ(result, done);
        EXPECT_TRUE(stopped.stopped);
        EXPECT_EQ(stopped.translatedLength, text.find(L"slow"));
        // The stopped run ends now; its text and the line after it must not reach the next call.
        slow.Release();
        EXPECT_TRUE(client.TranslateText(L"quick again\nslow", result, &stopped));
        EXPECT_EQ(result, L"[quick again]\n[slow]");
        EXPECT_FALSE(stopped.stopped);
        // Without a stop flag the same text comes back whole.
        client.RegisterStopFlag(nullptr);
        EXPECT_TRUE(Translate(client, 0, 0, text, result));
        EXPECT_EQ(result, done + L"[slow]\f[quick after]\n");
    }
}

TEST_F(EngineAccessTest, Failure_OfAnEarlierRunIsNotHiddenByALaterRunThatSucceeds) {
    SlowDirection slow(layout);
    ASSERT_TRUE(slow.Ready());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    std::wstring result;
    EXPECT_FALSE(Translate(client, 0, 0, L"fail here\nquick there", result));
    EXPECT_FALSE(Translate(client, 0, 0, L"quick first\nfail here\nquick there", result));
    EXPECT_TRUE(Translate(client, 0, 0, L"quick first\nquick there", result));
    EXPECT_EQ(result, L"[quick first]\n[quick there]");
}

TEST_F(EngineAccessTest, GetDirectionInfo_GivesTheCatalogueText) {
    layout.AddDirection(L"ER", EnglishRussian());
    layout.AddDirection(L"GR", {{L"Katze", L"кошка"}});
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    EXPECT_EQ(client.GetDirectionInfo(0), L"Англо-русский перевод.\r\nВторая строка");
    EXPECT_EQ(client.GetDirectionInfo(1), L""); // not in the catalogue
    EXPECT_EQ(client.GetDirectionInfo(2), L"");
    std::vector<std::wstring> names = {L"untouched"};
    ASSERT_TRUE(client.GetDirectionNames(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"ER", L"GR"}));
}

TEST_F(EngineAccessTest, BadCatalogue_MissingOrDamagedFailsInit) {
    layout.AddDirection(L"ER", EnglishRussian());
    DeleteFileW((layout.Folder() + L"dircat.dat").c_str());
    CTranslator missing(layout.Folder(), layout.Key());
    EXPECT_FALSE(missing.Init());
    layout.WriteCatalogue(std::string("\x00\xFF garbage\n[1]\n", 15));
    CTranslator damaged(layout.Folder(), layout.Key());
    EXPECT_FALSE(damaged.Init());
    layout.WriteCatalogue("OVRIN direction catalogue 1\n[not a number]\n");
    CTranslator badSection(layout.Folder(), layout.Key());
    EXPECT_FALSE(badSection.Init());
}

TEST_F(EngineAccessTest, CreateInstanceFromPath_ReportsLoadAndExportFailures) {
    void* object = reinterpret_cast<void*>(1);
    std::wstring garbage = layout.Folder() + L"garbage.dll";
    testsupport::WriteFileBytes(garbage, "MZ this is not a program");
    HRESULT result =
        CreateInstanceFromPath(garbage, ovrin::engine::kClsidLinguisticBase, IID_IClassFactory, IID_IUnknown, &object);
    EXPECT_EQ(HRESULT_FACILITY(result), FACILITY_WIN32);
    EXPECT_TRUE(FAILED(result));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CreateInstanceFromPath(layout.Folder() + L"absent.dll", ovrin::engine::kClsidLinguisticBase,
                                     IID_IClassFactory, IID_IUnknown, &object),
              HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    // A real DLL without the export.
    EXPECT_EQ(CreateInstanceFromPath(BesideProgram(L"XLATCP.dll"), ovrin::engine::kClsidLinguisticBase,
                                     IID_IClassFactory, IID_IUnknown, &object),
              E_UNEXPECTED);
    // The catalogue's entry comes straight from the export.
    IOvrinCatalogueEntry* entry = nullptr;
    ASSERT_EQ(CreateInstanceFromPath(layout.Folder() + L"dircat.dll", ovrin::engine::kClsidDirectionCatalogue,
                                     ovrin::engine::kIidCatalogueEntry, ovrin::engine::kIidCatalogueEntry,
                                     reinterpret_cast<void**>(&entry)),
              S_OK);
    entry->Release();
}

TEST_F(EngineAccessTest, BadText_LongTextsAndControlCharactersLoseNothing) {
    layout.AddDirection(L"ER", EnglishRussian());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    std::wstring text, expected;
    for (int i = 0; i < 250000; ++i) {
        text += L"cat ";
        expected += L"кошка ";
    }
    ASSERT_EQ(text.size(), 1000000u);
    EXPECT_EQ(TranslateOrFail(client, 0, text), expected);
    std::wstring unbroken(70000, L'x');
    EXPECT_EQ(TranslateOrFail(client, 0, unbroken), unbroken);
    std::wstring controls = std::wstring(L"cat\x01\x02") + L"dog\tcat" + L'\0' + L"dog\x18\x1b\x7f\x0b";
    std::wstring translated = std::wstring(L"кошка\x01\x02") + L"собака\tкошка" + L'\0' + L"собака\x18\x1b\x7f\x0b";
    EXPECT_EQ(TranslateOrFail(client, 0, controls), translated);
    std::wstring allControls;
    for (wchar_t c = 1; c < 32; ++c)
        allControls.push_back(c);
    EXPECT_EQ(TranslateOrFail(client, 0, allControls), allControls);
}

// Closing a direction while a stopped call is still inside its translator: the close returns at once
// and the translator's module stays loaded until that call has left it, then goes.
TEST_F(EngineAccessTest, CloseEngine_WhileAStoppedCallRuns_KeepsTheModuleUntilTheCallLeaves) {
    SlowDirection slow(layout);
    ASSERT_TRUE(slow.Ready());
    CTranslator translator(layout.Folder(), layout.Key());
    CEngineClient client(translator);
    int stop = 0;
    client.RegisterStopFlag(&stop);
    std::thread stopper = slow.StopOnEntry(stop);
    std::wstring result;
    EXPECT_FALSE(Translate(client, 0, 0, L"slow", result));
    stopper.join();
    std::wstring module = layout.Folder() + L"ER\\ERXLMAIN.DLL";
    ASSERT_NE(GetModuleHandleW(module.c_str()), nullptr);
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        translator.GetDirection(0)->CloseEngine();
        closed = true;
    });
    EXPECT_TRUE(testsupport::WaitUntil([&] { return closed.load(); }, std::chrono::seconds(10)))
        << "the close waited for the call";
    EXPECT_NE(GetModuleHandleW(module.c_str()), nullptr) << "unloaded under a running call";
    slow.Release();
    closer.join();
    EXPECT_TRUE(
        testsupport::WaitUntil([&] { return GetModuleHandleW(module.c_str()) == nullptr; }, std::chrono::seconds(10)))
        << "the module stays after the call left it";
}
