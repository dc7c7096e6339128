#include <gtest/gtest.h>

#include "app/timer_pacing.h"

// A fake clock and a simulated toolkit loop: each pass draws a frame of frameMs, then runs
// every due timer once, as freeglut does.
static double fakeNow = 0.0;
static double fakeClock() { return fakeNow; }
static int ticks = 0;
static int ticksUntilStop = -1;
static bool countTick()
{
    ++ticks;
    return ticksUntilStop < 0 || ticks < ticksUntilStop;
}

// Ticks run in simulatedMs of toolkit loop with frames of frameMs, for a timer of intervalMs.
static int simulate(int intervalMs, double frameMs, double simulatedMs)
{
    fakeNow = 0.0;
    ticks = 0;
    setPaceClock(fakeClock);
    TimerPace pace;
    startPace(pace, intervalMs);
    double armedFor = intervalMs;  // when the toolkit will next fire the timer
    while (fakeNow < simulatedMs) {
        fakeNow += frameMs;
        if (fakeNow >= armedFor) {
            const int delay = runPacedTicks(pace, intervalMs, countTick);
            if (delay < 0) {
                break;
            }
            armedFor = fakeNow + delay;
        }
    }
    setPaceClock(nullptr);
    return ticks;
}

TEST(TimerPacing, TicksPerSecondMatchTheNominalRateWhateverTheFrameTime)
{
    ticksUntilStop = -1;
    for (const int interval : {6, 8, 16, 20, 1000}) {
        for (const double frame : {1.0, 7.0, 25.0, 40.0}) {
            const int expected = 10000 / interval;
            const int got = simulate(interval, frame, 10000.0);
            EXPECT_NEAR(got, expected, 1 + 40 / interval)
                << "interval " << interval << " ms, frame " << frame << " ms";
        }
    }
}

TEST(TimerPacing, OneFiringRunsAtMostTheCatchUpLimit)
{
    ticksUntilStop = -1;
    fakeNow = 0.0;
    ticks = 0;
    setPaceClock(fakeClock);
    TimerPace pace;
    startPace(pace, 8);
    fakeNow = 8.0 * 1000;  // a long stall: a thousand ticks overdue
    const int delay = runPacedTicks(pace, 8, countTick);
    EXPECT_EQ(ticks, maxCatchUpTicks);
    EXPECT_GE(delay, 0);
    EXPECT_LE(delay, 8);  // the backlog is dropped, not carried into the next firing
    ticks = 0;
    fakeNow += 8.0;
    runPacedTicks(pace, 8, countTick);
    EXPECT_LE(ticks, 2);
    setPaceClock(nullptr);
}

TEST(TimerPacing, ATickThatEndsTheChainStopsTheCatchUp)
{
    ticksUntilStop = 3;
    fakeNow = 0.0;
    ticks = 0;
    setPaceClock(fakeClock);
    TimerPace pace;
    startPace(pace, 6);
    fakeNow = 60.0;
    EXPECT_EQ(runPacedTicks(pace, 6, countTick), -1);
    EXPECT_EQ(ticks, 3);
    setPaceClock(nullptr);
    ticksUntilStop = -1;
}
