#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <chrono>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/timer_pacing.h"
#include "sim/bunnies.h"
#include "sim/player.h"

// Runs the toolkit's loop for about ms milliseconds.
static void runLoop(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        glutMainLoopEvent();
    }
}

// Leaving and re-entering play faster than a walk tick must not leave two chains running:
// a second chain would double the ticks, and with them the walking and hopping speed.
TEST(TimerChains, RapidPauseAndResumeLeavesOneWalkAndOneBunnyChain)
{
    health = 1.0f;
    moveForward = moveBackward = strafeLeft = strafeRight = 0;
    for (int i = 0; i < 10; ++i) {
        enterPlayMode();
        enterMenuMode();
    }
    enterPlayMode();
    runLoop(200);  // let the stale chains reach their next tick and end
    const long walkBefore = pacedTicksRun(walkTimer);
    const long bunnyBefore = pacedTicksRun(bunnyTimer);
    runLoop(1000);
    const long walkTicks = pacedTicksRun(walkTimer) - walkBefore;
    const long bunnyTicks = pacedTicksRun(bunnyTimer) - bunnyBefore;
    enterMenuMode();
    runLoop(50);
    // One chain gives 50 walk and about 167 bunny ticks a second; two would give twice that.
    EXPECT_GT(walkTicks, 35);
    EXPECT_LT(walkTicks, 75);
    EXPECT_GT(bunnyTicks, 120);
    EXPECT_LT(bunnyTicks, 250);
}

// Once play is left, the chains end and run no more ticks.
TEST(TimerChains, LeavingPlayEndsTheChains)
{
    health = 1.0f;
    enterPlayMode();
    runLoop(100);
    enterMenuMode();
    runLoop(100);
    const long walkBefore = pacedTicksRun(walkTimer);
    const long bunnyBefore = pacedTicksRun(bunnyTimer);
    runLoop(300);
    EXPECT_EQ(pacedTicksRun(walkTimer), walkBefore);
    EXPECT_EQ(pacedTicksRun(bunnyTimer), bunnyBefore);
}
