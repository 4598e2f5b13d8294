// The runs of one translation on the worker, driven on the test's own thread with a translator inside
// the test: what a stop seen between two runs leaves in the output, without a caller racing the worker.
#include "Workers.h"

#include "platform/ComObject.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Answers each run in brackets; the run "stop" sets the caller's stop flag while the engine works on
// it, as a Back press during that run does.
class FlagSettingTranslator final : public CComObject<IOvrinTranslator> {
public:
    explicit FlagSettingTranslator(int& flag) : m_flag(flag) {}
    HRESULT STDMETHODCALLTYPE Init(const char*, const char*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Translate(const char* text, IOvrinTranslateCallBack* callback) override {
        if (std::string(text) == "stop")
            m_flag = 1;
        std::string output = "[" + std::string(text) + "]";
        return callback->PutText(static_cast<int>(output.size()), output.c_str());
    }

private:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, ovrin::engine::kIidTranslator))
            return static_cast<IOvrinTranslator*>(this);
        return nullptr;
    }
    int& m_flag;
};

} // namespace

TEST(RunRequestTest, StopSeenBetweenRuns_EndsTheTextAfterTheRunsDone) {
    int stop = 0;
    auto* engine = new FlagSettingTranslator(stop);
    auto request = std::make_shared<RunRequest>(engine, 2 << 16 | 1, &stop, std::make_shared<WorkerTracker>());
    engine->Release();
    // The text "one\nstop\r\nthree\n".
    request->runs = {{L"", "one", 0, 3, L""}, {L"\n", "stop", 4, 8, L""}, {L"\r\n", "three", 10, 15, L""}};
    request->tail = L"\n";
    request->textLength = 16;
    request->TranslateAll();
    std::wstring output;
    std::size_t translated = 0;
    // The run that was under way when the stop came is done; nothing after it, and the text is known
    // to be cut short where the untranslated rest begins.
    EXPECT_EQ(request->Collect(output, translated), E_ABORT);
    EXPECT_EQ(output, L"[one]\n[stop]\r\n");
    EXPECT_EQ(translated, 10u);
}

TEST(RunRequestTest, WholeTextCoversItAll_StopBeforeTheFirstRunCoversNothing) {
    int stop = 0;
    auto* engine = new FlagSettingTranslator(stop);
    auto whole = std::make_shared<RunRequest>(engine, 2 << 16 | 1, &stop, std::make_shared<WorkerTracker>());
    whole->runs = {{L"\n", "one", 1, 4, L""}};
    whole->tail = L"\f";
    whole->textLength = 5;
    whole->TranslateAll();
    std::wstring output;
    std::size_t translated = 0;
    EXPECT_EQ(whole->Collect(output, translated), S_OK);
    EXPECT_EQ(output, L"\n[one]\f");
    EXPECT_EQ(translated, 5u);

    stop = 1;
    auto stopped = std::make_shared<RunRequest>(engine, 2 << 16 | 1, &stop, std::make_shared<WorkerTracker>());
    engine->Release();
    stopped->runs = {{L"\n", "one", 1, 4, L""}};
    stopped->textLength = 4;
    stopped->TranslateAll();
    output.clear();
    EXPECT_EQ(stopped->Collect(output, translated), E_ABORT);
    EXPECT_EQ(output, L"\n");
    EXPECT_EQ(translated, 1u);
}
