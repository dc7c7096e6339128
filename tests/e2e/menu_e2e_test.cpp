#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/e2e_driver.h"

// Screen pixels (y from the top) of the menu controls in the 1024x768 window.
static const int startPanel[2] = {512, 326};
static const int optionsPanel[2] = {512, 422};
static const int helpPanel[2] = {512, 518};
static const int quitPanel[2] = {512, 614};
static const int volumeUp[2] = {550, 280};

// Where the game window's top-left corner lies on the screen.
static void windowOrigin(int& x, int& y)
{
    x = -1;
    y = -1;
    FILE* p = popen("xdotool search --name '^Vantreska$' getwindowgeometry 2>/dev/null", "r");
    if (p == nullptr) {
        return;
    }
    char line[256];
    while (fgets(line, sizeof line, p) != nullptr) {
        std::sscanf(line, " Position: %d,%d", &x, &y);
    }
    pclose(p);
}

// Starts the game and waits for its first menu frame.
static GameRun startAtMenu()
{
    GameRun run = startGame();
    EXPECT_GT(run.pid, 0);
    EXPECT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    pause(run, 500);
    return run;
}

// Reddish text pixels in a screen rectangle.
static int redPixels(const Screenshot& shot, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            count += (shot.at(x, y, 0) > 120 && shot.at(x, y, 1) < 80 && shot.at(x, y, 2) < 80);
        }
    }
    return count;
}

static bool isBlue(const Screenshot& shot, int x, int y)
{
    return shot.at(x, y, 0) < 30 && shot.at(x, y, 1) < 30 && shot.at(x, y, 2) > 200;
}

static bool isBlack(const Screenshot& shot, int x, int y)
{
    return shot.at(x, y, 0) == 0 && shot.at(x, y, 1) == 0 && shot.at(x, y, 2) == 0;
}

// The pause line "Press ESC to resume game" stands at the bottom right.
static int pauseLinePixels(const Screenshot& shot)
{
    return redPixels(shot, 740, 725, 1024, 755);
}

TEST(MenuE2e, HoverOverAPanelPrintsOnePickAndChangesNothing)
{
    GameRun run = startAtMenu();
    movePointer(100, 700);
    ASSERT_TRUE(waitForOutput(run, "number of hits 0\n", 5.0)) << run.out;
    movePointer(quitPanel[0], quitPanel[1]);
    EXPECT_TRUE(waitForOutput(run, "number of hits 1\ndepth: ", 5.0)) << run.out;
    EXPECT_TRUE(waitForOutput(run, "the name of the object(s) hit: 51 \n", 5.0)) << run.out;
    pause(run, 300);
    EXPECT_FALSE(run.ended) << "a hover over Quit must not quit";
    stopGame(run);
}

TEST(MenuE2e, OptionsAndHelpOpenByClickAndEscapeReturns)
{
    GameRun run = startAtMenu();
    const Screenshot menu = takeScreenshot();
    ASSERT_EQ(menu.width, 1024);
    EXPECT_FALSE(isBlack(menu, optionsPanel[0], optionsPanel[1]));
    EXPECT_FALSE(isBlue(menu, volumeUp[0], volumeUp[1]));
    EXPECT_EQ(pauseLinePixels(menu), 0) << "no pause line before a game";

    clickAt(optionsPanel[0], optionsPanel[1]);
    pause(run, 400);
    const Screenshot options = takeScreenshot();
    EXPECT_TRUE(isBlue(options, volumeUp[0], volumeUp[1]));
    EXPECT_TRUE(isBlack(options, optionsPanel[0], optionsPanel[1]));

    // The volume text changes with the up arrow.
    clickAt(volumeUp[0], volumeUp[1]);
    pause(run, 400);
    const Screenshot louder = takeScreenshot();
    int changed = 0;
    for (int y = 280; y < 310; ++y) {
        for (int x = 120; x < 420; ++x) {
            changed += options.at(x, y, 0) != louder.at(x, y, 0);
        }
    }
    EXPECT_GT(changed, 20);

    pressKey("Escape");
    pause(run, 400);
    const Screenshot back = takeScreenshot();
    EXPECT_FALSE(isBlack(back, optionsPanel[0], optionsPanel[1]));
    EXPECT_FALSE(isBlue(back, volumeUp[0], volumeUp[1]));

    clickAt(helpPanel[0], helpPanel[1]);
    pause(run, 400);
    const Screenshot help = takeScreenshot();
    EXPECT_GT(redPixels(help, 180, 290, 400, 310), 100) << "created by: Talvoren";
    EXPECT_TRUE(isBlack(help, helpPanel[0], helpPanel[1]));
    pressKey("Escape");
    pause(run, 400);
    EXPECT_FALSE(isBlack(takeScreenshot(), helpPanel[0], helpPanel[1]));
    stopGame(run);
}

TEST(MenuE2e, StartNewGamePlaysHoldsThePointerAndEscapePausesAndResumes)
{
    GameRun run = startAtMenu();
    clickAt(startPanel[0], startPanel[1]);
    pause(run, 500);
    int originX = 0;
    int originY = 0;
    windowOrigin(originX, originY);
    ASSERT_GE(originX, 0);
    movePointer(700, 500);
    pause(run, 300);
    int x = 0;
    int y = 0;
    pointerPosition(x, y);
    EXPECT_EQ(x, originX + 512);
    EXPECT_EQ(y, originY + 384);
    const Screenshot play = takeScreenshot();
    EXPECT_LT(pauseLinePixels(play), 40);

    pressKey("Escape");
    pause(run, 400);
    const Screenshot paused = takeScreenshot();
    EXPECT_GT(pauseLinePixels(paused), 100) << "Press ESC to resume game";
    EXPECT_FALSE(isBlack(paused, startPanel[0], startPanel[1]));
    movePointer(700, 500);
    pause(run, 300);
    pointerPosition(x, y);
    EXPECT_EQ(x, 700) << "the menu lets the pointer go";

    pressKey("Escape");
    pause(run, 400);
    EXPECT_LT(pauseLinePixels(takeScreenshot()), 40);
    movePointer(300, 200);
    pause(run, 300);
    pointerPosition(x, y);
    EXPECT_EQ(x, originX + 512) << "resumed play holds the pointer again";

    pressKey("q");
    EXPECT_EQ(waitForExit(run, 5.0), 0) << run.out << run.err;
    stopGame(run);
}

TEST(MenuE2e, QuitPanelEndsTheGameWithStatusZero)
{
    GameRun run = startAtMenu();
    clickAt(quitPanel[0], quitPanel[1]);
    EXPECT_EQ(waitForExit(run, 5.0), 0) << run.out << run.err;
    EXPECT_NE(run.out.find("the name of the object(s) hit: 51 "), std::string::npos) << run.out;
    stopGame(run);
}
