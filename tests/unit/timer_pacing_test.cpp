#include <gtest/gtest.h>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/timer_pacing.h"
#include "sim/bunnies.h"
#include "sim/figure.h"
#include "sim/player.h"

static double fakeNow = 0.0;
static double fakeClock() { return fakeNow; }

static void (*const chains[])(int) = {gravityTimer, bunnyTimer, figureTimer, walkTimer,
                                      clockTimer};

// The game's five chains armed as start-up and a play entry arm them, on a test clock at 0,
// with the player safe: every bunny already shot, so none moves or bites.
static void startChains(int playEntries)
{
    setPaceClock(fakeClock);
    fakeNow = 0.0;
    resetPassClock();
    health = 1.0f;
    moveForward = moveBackward = strafeLeft = strafeRight = 0;
    for (Entity& bunny : bunnies) {
        bunny.hits = 1;
    }
    startGravityTimer();
    startFigureTimer();
    startClockTimer();
    for (int i = 0; i < playEntries; ++i) {
        enterMenuMode();
        enterPlayMode();
    }
}

// Ticks each chain runs while the clock advances by ms in frames of frameMs.
static std::vector<long> ticksOver(double ms, double frameMs)
{
    const double start = fakeNow;
    std::vector<long> before;
    for (auto chain : chains) {
        before.push_back(chainTicksRun(chain));
    }
    for (int frame = 1; frame * frameMs <= ms + 1e-9; ++frame) {
        fakeNow = start + frame * frameMs;
        EXPECT_LE(runDuePasses(), maxCatchUpPasses);
    }
    std::vector<long> ticks;
    for (size_t i = 0; i < before.size(); ++i) {
        ticks.push_back(chainTicksRun(chains[i]) - before[i]);
    }
    return ticks;
}

// One second is 60 passes whatever the frame time: no speed-up on a fast machine, catch-up
// on a slow one. Entering play twice within one pass still leaves one walk and one bunny chain.
TEST(PassClock, OneSecondRunsEachChainAtItsPassRate)
{
    const std::vector<long> perSecond = {60, 60, 60, 30, 1};
    for (const double frameMs : {1000.0 / 60, 40.0, 4.0}) {
        startChains(1);
        EXPECT_EQ(ticksOver(1000.0, frameMs), perSecond) << frameMs << " ms frames";
    }
    startChains(3);
    EXPECT_EQ(ticksOver(1000.0, 1000.0 / 60), perSecond) << "after quick pause and resume";
    enterMenuMode();
    const std::vector<long> paused = ticksOver(1000.0, 1000.0 / 60);
    EXPECT_EQ(paused[1] + paused[3], 2) << "walk and bunny chains end at their first tick";
    setPaceClock(nullptr);
}

// A long stall runs at most the catch-up limit at once and drops the rest.
TEST(PassClock, AStallRunsAtMostTheCatchUpLimit)
{
    startChains(0);
    fakeNow = 2000.0;
    EXPECT_EQ(runDuePasses(), maxCatchUpPasses);
    fakeNow += 1000.0 / 60;
    EXPECT_EQ(runDuePasses(), 1);
    setPaceClock(nullptr);
}
