// The call key's press, poll step by poll step: every press is either long (it signalled) or short (it
// is replayed), whichever step it is released at, and a press after a long one starts afresh.
#include "HotKeyHook.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Step = CHeldKeyPress::Step;

// A press held down for the given number of poll steps and then released: what each step asked for.
std::vector<Step> PressFor(CHeldKeyPress& press, int stepsDown) {
    std::vector<Step> steps;
    press.Begin();
    for (int i = 0; i < stepsDown; ++i)
        steps.push_back(press.OnPollStep(true));
    steps.push_back(press.OnPollStep(false));
    return steps;
}

int Count(const std::vector<Step>& steps, Step wanted) {
    int count = 0;
    for (Step step : steps)
        count += step == wanted ? 1 : 0;
    return count;
}

} // namespace

// Released after any number of steps up to well past two thresholds: exactly one of the two outcomes,
// a replay when no signal went out and none otherwise.
TEST(HeldKeyPressTest, EveryPressIsEitherLongOrShort) {
    CHeldKeyPress press(CHotKeyHook::kPollIntervalMs, CHotKeyHook::kLongPressMs);
    for (int stepsDown = 0; stepsDown <= 50; ++stepsDown) {
        std::vector<Step> steps = PressFor(press, stepsDown);
        int signals = Count(steps, Step::Signal);
        int replays = Count(steps, Step::Replay);
        EXPECT_TRUE((signals > 0) != (replays > 0))
            << "held for " << stepsDown << " steps: " << signals << " signals, " << replays << " replays";
        EXPECT_LE(replays, 1);
    }
}

// 20 steps of 25 ms are exactly the half second: not more than it, so the press is short.
TEST(HeldKeyPressTest, ReleasedExactlyAtTheThreshold_IsReplayed) {
    CHeldKeyPress press(25, 500);
    std::vector<Step> steps = PressFor(press, 20);
    EXPECT_EQ(Count(steps, Step::Signal), 0);
    EXPECT_EQ(steps.back(), Step::Replay);
    // One step more is past it: the press signals and is not replayed.
    steps = PressFor(press, 21);
    EXPECT_EQ(steps[20], Step::Signal);
    EXPECT_EQ(steps.back(), Step::Released);
}

// Held on, the signal comes again every further half second; the release after a signal replays
// nothing, whenever it comes between two signals.
TEST(HeldKeyPressTest, HeldOn_SignalsEveryThreshold_ReleaseAfterASignalReplaysNothing) {
    CHeldKeyPress press(25, 500);
    std::vector<Step> steps = PressFor(press, 42);
    EXPECT_EQ(steps[20], Step::Signal);
    EXPECT_EQ(steps[41], Step::Signal);
    EXPECT_EQ(Count(steps, Step::Signal), 2);
    EXPECT_EQ(steps.back(), Step::Released);
    steps = PressFor(press, 40); // released exactly one threshold after the first signal
    EXPECT_EQ(Count(steps, Step::Signal), 1);
    EXPECT_EQ(steps.back(), Step::Released);
}

// A short press right after a long one is still short; its time starts at zero.
TEST(HeldKeyPressTest, PressAfterALongOne_StartsAfresh) {
    CHeldKeyPress press(25, 500);
    PressFor(press, 30);
    EXPECT_EQ(press.HeldTime(), 0u);
    EXPECT_FALSE(press.Fired());
    std::vector<Step> steps = PressFor(press, 4);
    EXPECT_EQ(Count(steps, Step::Signal), 0);
    EXPECT_EQ(steps.back(), Step::Replay);
}
