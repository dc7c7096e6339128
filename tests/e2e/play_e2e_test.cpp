#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/e2e_driver.h"

// The real game under Xvfb, left alone after Start New Game. At the game's 60 Hz pace a bunny
// at the feet needs about 2 s to bite a player to death; a few bunnies at once, less.

static bool isSkyBlue(int r, int g, int b) { return b > 150 && b > r + 80 && b > g + 40; }
static bool isGrass(int r, int g, int b) { return g > r + 15 && g > b + 15; }
static bool isBlack(int r, int g, int b) { return r < 8 && g < 8 && b < 8; }
static bool isPureRed(int r, int g, int b) { return r > 200 && g < 40 && b < 40; }
static bool isReddish(int r, int g, int b) { return r > 120 && g + b < 160; }

// Share of a rectangle (y from the top, every 4 pixels) whose colour passes the test.
static double share(const Screenshot& s, bool (*test)(int, int, int), int x0 = 0, int y0 = 0,
                    int x1 = 1024, int y1 = 768)
{
    int hits = 0, total = 0;
    for (int y = y0; y < y1; y += 4) {
        for (int x = x0; x < x1; x += 4, ++total) {
            hits += test(s.at(x, y, 0), s.at(x, y, 1), s.at(x, y, 2)) ? 1 : 0;
        }
    }
    return static_cast<double>(hits) / total;
}

// On its side the view's horizon runs down the screen: sky fills an edge from top to bottom
// (a tree may hide one of them) but no longer the band across the top.
static bool lyingOnSide(const Screenshot& s)
{
    const double edge =
        std::max(share(s, isSkyBlue, 4, 100, 60, 660), share(s, isSkyBlue, 964, 100, 1020, 660));
    return edge > 0.85 && share(s, isSkyBlue, 100, 4, 924, 60) < 0.7;
}

// Play holds the pointer at the screen centre.
static void expectPointerHeld(GameRun& run, const char* when)
{
    movePointer(700, 500);
    pause(run, 300);
    int x = 0, y = 0;
    pointerPosition(x, y);
    EXPECT_TRUE(std::abs(x - 512) <= 2 && std::abs(y - 384) <= 2) << when << ": " << x << "," << y;
}

// Without an audio device the game says so once and plays silently. Help shows its text. By
// day sky and grass show, and the player is still alive 1.0 s into each of a few new games;
// play holds the pointer, Escape pauses with the pause line, and bursts of Escape leave one
// game to resume. Left alone the player dies: the view lies on its side, the health bar is
// empty, and every click still runs a picking pass, also through sliver-sized windows.
TEST(Play, NewGamesPauseResumeAndLeftAloneByDayAndNight)
{
    GameRun run = startGame({"SDL_AUDIODRIVER=nonexistent-driver"});
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    EXPECT_EQ(countOccurrences(run.err, "[ERROR] Could not initialise audio (fmod)\n"), 1);
    clickAt(512, 518);  // Help
    pause(run, 400);
    EXPECT_GT(share(takeScreenshot(), isReddish, 180, 290, 400, 310), 0.01) << "created by: ...";
    bool sawDay = false;  // a tree may stand at the start point and fill one game's view
    for (int game = 0; game < 3; ++game) {
        pressKey("Escape");  // from Help, then pausing each game
        clickAt(512, 326);   // Start New Game
        pause(run, 1000);
        const Screenshot day = takeScreenshot();
        sawDay = sawDay || (share(day, isPureRed, 0, 600, 300, 768) > 0.01 &&
                            share(day, isSkyBlue) > 0.05 && share(day, isGrass) > 0.05);
        EXPECT_FALSE(isBlack(day.at(118, 737, 0), day.at(118, 737, 1), day.at(118, 737, 2)))
            << "the player died within 1.0 s of new game " << game;
    }
    EXPECT_TRUE(sawDay) << "no play frame with sky and grass by day";
    xdo("click 1");  // a silent shot
    expectPointerHeld(run, "play");
    pressKey("Escape");
    pause(run, 400);
    EXPECT_GT(share(takeScreenshot(), isReddish, 740, 725, 1024, 755), 0.01) << "the pause line";
    for (int burst = 0; burst < 5; ++burst) {  // nine presses a burst: paused, then resumed
        xdo("key --delay 1 Escape Escape Escape Escape Escape Escape Escape Escape Escape");
        pause(run, 100);
    }
    expectPointerHeld(run, "resumed play");
    Screenshot shot;
    const auto dead = [&] { return lyingOnSide(shot = takeScreenshot()); };
    ASSERT_TRUE(waitFor(run, dead, 10.0)) << "still standing after 10 s";
    // Empty: no red bar at its left end (a bunny at the feet may show through the HUD there).
    EXPECT_FALSE(isPureRed(shot.at(118, 737, 0), shot.at(118, 737, 1), shot.at(118, 737, 2)))
        << "the health bar is empty";
    const int passes = countOccurrences(run.out, "number of hits");
    xdo("click --repeat 3 --delay 50 1");
    const auto picked = [&] { return countOccurrences(run.out, "number of hits") == passes + 3; };
    EXPECT_TRUE(waitFor(run, picked, 3.0)) << run.out;
    EXPECT_TRUE(lyingOnSide(takeScreenshot())) << "the camera stays on its side";
    for (const char* size : {"1024 2", "3 768", "1 1", "1024 768"}) {
        xdo(std::string("search --name '^Vantreska$' windowsize ") + size);
        pause(run, 300);
        clickAt(512, 400);  // a picking pass through the new window size
        ASSERT_FALSE(run.ended) << "after resizing to " << size << "\n" << run.err;
    }
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 3.0), 0) << run.out << run.err;
    stopGame(run);
}

// Share of the pixels above the horizon that differ between two frames: walking moves the
// walls and trees there, while the bunnies stay below the eye.
static double changedAbove(const Screenshot& a, const Screenshot& b)
{
    int changed = 0;
    for (size_t i = 0; i < 380u * 1024 * 3; i += 12) {  // every fourth pixel of the top rows
        changed += std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                       std::abs(a.rgb[i + 2] - b.rgb[i + 2]) > 30;
    }
    return changed / (380.0 * 1024 / 4);
}

// A movement key held while another window takes the keyboard focus is let go, though its
// key-up goes to that window: the player stops. A game where a tree stopped the walk before the
// focus moved, or a bunny bit the player to death, proves nothing and does not count.
TEST(Play, AHeldKeyIsLetGoWhenTheFocusLeaves)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    int games = 0;
    for (int game = 0; game < 3; ++game) {
        pressKey("Escape");  // pauses the game before
        clickAt(512, 326);   // Start New Game
        pause(run, 300);     // the eye drops to the ground
        xdo("keydown w");
        const Screenshot start = takeScreenshot();
        pause(run, 300);
        const double walked = changedAbove(start, takeScreenshot());
        const unsigned long other = takeFocus();
        xdo("keyup w");
        pause(run, 100);
        const Screenshot left = takeScreenshot();
        pause(run, 400);
        const Screenshot later = takeScreenshot();
        closeWindow(other);
        if (walked > 0.04 &&
            !isBlack(later.at(118, 737, 0), later.at(118, 737, 1), later.at(118, 737, 2))) {
            ++games;
            EXPECT_LT(changedAbove(left, later), 0.02) << "walks on after the focus left";
        }
    }
    EXPECT_GT(games, 0) << "no game walked";
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 3.0), 0) << run.out << run.err;
    stopGame(run);
}
