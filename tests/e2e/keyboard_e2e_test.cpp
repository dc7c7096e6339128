#include <gtest/gtest.h>

#include "support/e2e_driver.h"

// Screen pixels (y from the top) in the 1024x768 window.
static const int startPanel[2] = {512, 326};
static const int helpPanel[2] = {512, 518};

// Red pixels of the help screen's first credit line, "created by: Talvoren".
static int creditPixels(const Screenshot& shot)
{
    int count = 0;
    for (int y = 290; y < 310; ++y) {
        for (int x = 180; x < 400; ++x) {
            count += shot.at(x, y, 0) > 120 && shot.at(x, y, 1) < 80 && shot.at(x, y, 2) < 80;
        }
    }
    return count;
}

// The Help panel of the main menu: most of its area is lit (its metal has dark stripes).
static bool panelShown(const Screenshot& shot)
{
    int lit = 0;
    int all = 0;
    for (int y = helpPanel[1] - 20; y < helpPanel[1] + 20; ++y) {
        for (int x = helpPanel[0] - 30; x < helpPanel[0] + 30; ++x) {
            lit += shot.at(x, y, 0) + shot.at(x, y, 1) + shot.at(x, y, 2) > 60;
            ++all;
        }
    }
    return lit * 3 > all;
}

TEST(KeyboardE2e, QuitKeyActsOnlyInPlayAndHelpKeyWorksEverywhere)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    pause(run, 500);

    pressKey("q");
    pressKey("Q");
    pause(run, 400);
    EXPECT_FALSE(run.ended) << "Q in the main menu must not quit";

    pressKey("h");
    pause(run, 400);
    const Screenshot help = takeScreenshot();
    EXPECT_GT(creditPixels(help), 100) << "help screen after H";
    EXPECT_FALSE(panelShown(help));
    pressKey("q");
    pause(run, 300);
    EXPECT_FALSE(run.ended) << "Q on the help screen must not quit";
    pressKey("Escape");
    pause(run, 400);
    EXPECT_TRUE(panelShown(takeScreenshot())) << "Escape returns to the main menu";

    // From play, H shows help at once; Escape pauses on the main menu, a second resumes.
    clickAt(startPanel[0], startPanel[1]);
    pause(run, 500);
    pressKey("H");
    pause(run, 400);
    EXPECT_GT(creditPixels(takeScreenshot()), 100) << "help screen after H in play";
    pressKey("Escape");
    pause(run, 400);
    EXPECT_TRUE(panelShown(takeScreenshot()));
    pressKey("Escape");
    pause(run, 400);
    // Resumed play holds the pointer at the centre of the screen again.
    movePointer(300, 200);
    pause(run, 300);
    int x = 0;
    int y = 0;
    pointerPosition(x, y);
    EXPECT_NEAR(x, 512, 2) << "the game resumed";
    EXPECT_NEAR(y, 384, 2) << "the game resumed";
    pressKey("Q");
    EXPECT_EQ(waitForExit(run, 5.0), 0) << run.out << run.err;
    stopGame(run);
}
