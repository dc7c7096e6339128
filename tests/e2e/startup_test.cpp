#include <gtest/gtest.h>

#include "support/e2e_driver.h"

TEST(Startup, FallsBackToAFullScreenWindowAndStaysUp)
{
    GameRun run = startGame();
    ASSERT_GT(run.pid, 0);
    EXPECT_TRUE(waitForOutput(run, "using a full-screen window", 10.0)) << run.out << run.err;
    EXPECT_TRUE(waitForWindow(run, 10.0));
    pause(run, 500);
    EXPECT_FALSE(run.ended) << run.out << run.err;
    const Screenshot shot = takeScreenshot();
    ASSERT_EQ(shot.width, 1024);
    ASSERT_EQ(shot.height, 768);
    stopGame(run);
}
