#include "platform/Wait.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> g_answered{0};

LRESULT CALLBACK AnsweringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++g_answered;
        return 42;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI SendThreeTimes(void* window) {
    LRESULT answer = 0;
    for (int i = 0; i < 3; ++i)
        answer = SendMessageW(static_cast<HWND>(window), WM_APP, 0, 0);
    return static_cast<DWORD>(answer);
}

} // namespace

// A thread that sends this thread a message before it ends would wait for ever on a plain wait.
TEST(WaitTest, MessagesSentMeanwhileAreAnsweredAndTheWaitEndsWithTheThread) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = AnsweringProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OvrinWaitTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_answered = 0;
    CHandle sender(CreateThread(nullptr, 0, SendThreeTimes, window, 0, nullptr));
    ASSERT_TRUE(sender);
    EXPECT_EQ(platform::WaitAnsweringSentMessages(sender.Get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(g_answered.load(), 3);
    DWORD answer = 0;
    EXPECT_TRUE(GetExitCodeThread(sender.Get(), &answer));
    EXPECT_EQ(answer, 42u);
    DestroyWindow(window);
}

TEST(WaitTest, AnObjectNeverSignalledEndsTheWaitAtItsLimit) {
    CHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    EXPECT_EQ(platform::WaitAnsweringSentMessages(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(platform::WaitAnsweringSentMessages(event.Get(), 20), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(event.Get());
    EXPECT_EQ(platform::WaitAnsweringSentMessages(event.Get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(platform::WaitAnsweringSentMessages(nullptr, 0), static_cast<DWORD>(WAIT_FAILED));
}
