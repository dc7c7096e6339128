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
    // Frames are drawn: the title's orange stands at the top of the otherwise black menu.
    int lit = 0;
    for (int x = 300; x < 724; x += 4) {
        lit += shot.at(x, 160, 0) > 150 ? 1 : 0;
    }
    EXPECT_GT(lit, 10);
    EXPECT_LT(shot.at(20, 700, 0) + shot.at(20, 700, 1) + shot.at(20, 700, 2), 30);
    stopGame(run);
}
