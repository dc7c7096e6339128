#include <gtest/gtest.h>

#include <vector>

#include "app/lifecycle.h"
#include "app/pass_clock.h"
#include "scene_setup.h"
#include "sim/bunnies.h"
#include "sim/figure.h"
#include "sim/player.h"

static double fakeNow = 0.0;
static double fakeClock() { return fakeNow; }

// The five chains armed as start-up and quick play entries arm them, on a test clock: one
// second is 60 passes whatever the frame time (no speed-up on a fast machine, catch-up on a
// slow one), and three entries within one pass still leave one walk and one bunny chain. A
// 2 s stall runs at most the catch-up limit at once and drops the rest.
TEST(PassClock, EachChainRunsAtItsPassRateAndAStallIsCutShort)
{
    void (*const chains[])(int) = {gravityTimer, bunnyTimer, figureTimer, walkTimer, clockTimer};
    const std::vector<long> perSecond = {60, 60, 60, 30, 1};
    const double cases[][2] = {{1000.0 / 60, 1}, {40.0, 1}, {4.0, 1}, {1000.0 / 60, 3}};
    setPaceClock(fakeClock);
    health = 1.0f;
    emptyField();  // the player safe: no bunny near enough to bite
    for (const auto& c : cases) {  // frame ms, play entries
        fakeNow = 0.0;
        resetPassClock();
        startGravityTimer();
        startFigureTimer();
        startClockTimer();
        for (int i = 0; i < c[1]; ++i) {
            enterMenuMode();
            enterPlayMode();
        }
        std::vector<long> ticks;
        for (auto chain : chains) {
            ticks.push_back(chainTicksRun(chain));
        }
        for (int frame = 1; frame * c[0] <= 1000.0 + 1e-9; ++frame) {
            fakeNow = frame * c[0];
            runDuePasses();
        }
        for (size_t i = 0; i < ticks.size(); ++i) {
            ticks[i] = chainTicksRun(chains[i]) - ticks[i];
        }
        EXPECT_EQ(ticks, perSecond) << c[0] << " ms frames, " << c[1] << " play entries";
    }
    fakeNow += 2000.0;
    EXPECT_EQ(runDuePasses(), maxCatchUpPasses);
    fakeNow += 1000.0 / 60;
    EXPECT_EQ(runDuePasses(), 1);
    setPaceClock(nullptr);
}
