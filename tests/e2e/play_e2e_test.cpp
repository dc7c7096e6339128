#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/e2e_driver.h"

// The real game under Xvfb, left alone after Start New Game. At the game's 60 Hz pace a bunny
// at the feet needs about 2 s to bite a player to death; a few bunnies at once, less.

static bool isSkyBlue(int r, int g, int b) { return b > 150 && b > r + 80 && b > g + 40; }
static bool isGrass(int r, int g, int b) { return g > r + 15 && g > b + 15; }
static bool isBlack(int r, int g, int b) { return r < 8 && g < 8 && b < 8; }

// Help's text, waited for like the driver's screens.
static bool helpText(const Screenshot& s) { return share(s, isReddish, 180, 290, 400, 310) > 0.01; }

// On its side the view's horizon runs down the screen: sky fills an edge from top to bottom
// (a tree may hide one of them) but no longer the band across the top.
static bool lyingOnSide(const Screenshot& s)
{
    const double edge =
        std::max(share(s, isSkyBlue, 4, 100, 60, 660), share(s, isSkyBlue, 964, 100, 1020, 660));
    return edge > 0.85 && share(s, isSkyBlue, 100, 4, 924, 60) < 0.7;
}

// Without an audio device the game says so once and plays silently. Help shows its text. By
// day sky and grass show, and the player is still alive 1.0 s into each of a few new games;
// play holds the pointer, Escape pauses with the pause line, and bursts of Escape leave one
// game to resume. Left alone the player dies: the view lies on its side, the health bar is
// empty, and every click still runs a picking pass, also through sliver-sized windows.
TEST(Play, NewGamesPauseResumeAndLeftAloneByDayAndNight)
{
    GameRun run = startGame({"SDL_AUDIODRIVER=nonexistent-driver"});
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    EXPECT_EQ(countOccurrences(run.err, "[ERROR] Could not initialise audio (fmod)\n"), 1);
    clickAt(512, 518);  // Help
    EXPECT_TRUE(waitForScreen(run, helpText, 10.0)) << "created by: ...";
    Screenshot shot;
    bool sawDay = false;  // a tree may stand at the start point and fill one game's view
    for (int game = 0; game < 3; ++game) {
        pressKey("Escape");  // from Help, then pausing each game
        ASSERT_TRUE(waitForScreen(run, titleShown, 10.0)) << "no main menu before game " << game;
        clickAt(512, 326);  // Start New Game
        pause(run, 1000);   // then the frame on the screen, or the first one drawn
        ASSERT_TRUE(waitForScreen(run, hudShown, 5.0, &shot)) << "no play frame in game " << game;
        sawDay = sawDay || (share(shot, isSkyBlue) > 0.05 && share(shot, isGrass) > 0.05);
        EXPECT_FALSE(isBlack(shot.at(118, 737, 0), shot.at(118, 737, 1), shot.at(118, 737, 2)))
            << "the player died within 1.0 s of new game " << game;
    }
    EXPECT_TRUE(sawDay) << "no play frame with sky and grass by day";
    xdo("click 1");  // a silent shot
    movePointer(700, 500);
    EXPECT_TRUE(waitForPointer(run, 512, 384, 10.0)) << "play holds the pointer at the centre";
    pressKey("Escape");
    EXPECT_TRUE(waitForScreen(run, paused, 10.0)) << "the pause line";
    for (int burst = 0; burst < 5; ++burst) {  // nine presses a burst: resumed, then paused
        xdo("key --delay 1 Escape Escape Escape Escape Escape Escape Escape Escape Escape");
        EXPECT_TRUE(waitForScreen(run, burst % 2 ? titleShown : hudShown, 10.0)) << burst;
    }
    movePointer(700, 500);
    EXPECT_TRUE(waitForPointer(run, 512, 384, 10.0)) << "resumed play holds the pointer";
    ASSERT_TRUE(waitForScreen(run, lyingOnSide, 20.0, &shot)) << "still standing after 20 s";
    // Empty: no red bar at its left end (a bunny at the feet may show through the HUD there).
    EXPECT_FALSE(isPureRed(shot.at(118, 737, 0), shot.at(118, 737, 1), shot.at(118, 737, 2)))
        << "the health bar is empty";
    const auto picks = [&] { return countOccurrences(run.out, "number of hits"); };
    const int passes = picks();
    xdo("click --repeat 3 --delay 50 1");
    EXPECT_TRUE(waitFor(run, [&] { return picks() == passes + 3; }, 10.0)) << run.out;
    EXPECT_TRUE(lyingOnSide(takeScreenshot())) << "the camera stays on its side";
    const struct { int w, h; } sizes[] = {{1024, 2}, {3, 768}, {1, 1}, {1024, 768}};
    for (const auto& [w, h] : sizes) {  // held at each new window's centre, then a click in it
        xdo("search --name Vantreska windowsize " + std::to_string(w) + ' ' + std::to_string(h));
        movePointer(w, 1);  // into the window, off its centre
        ASSERT_TRUE(waitForPointer(run, w / 2, h / 2, 10.0)) << w << 'x' << h;
        const int had = picks();
        xdo("click 1");
        ASSERT_TRUE(waitFor(run, [&] { return picks() > had; }, 10.0)) << w << 'x' << h << run.err;
    }
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
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
// key-up goes to that window: the player stops at once, the sky still over the wall ahead,
// instead of walking on until the wall fills the top of the view. A game where a tree stood
// in the way, or a bunny bit the player to death, proves nothing and does not count.
TEST(Play, AHeldKeyIsLetGoWhenTheFocusLeaves)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    int games = 0;
    for (int game = 0; game < 8 && games < 2; ++game) {
        pressKey("Escape");  // pauses the game before
        ASSERT_TRUE(waitForScreen(run, titleShown, 10.0)) << "no main menu before game " << game;
        clickAt(512, 326);  // Start New Game, facing the wall 3 units ahead
        Screenshot start;
        ASSERT_TRUE(waitForScreen(run, hudShown, 10.0, &start)) << "no play frame";
        pause(run, 300);  // the eye drops to the ground
        start = takeScreenshot();
        xdo("keydown w");
        pause(run, 300);  // about half a unit of walking
        const double walked = changedAbove(start, takeScreenshot());
        const unsigned long other = takeFocus();
        xdo("keyup w");
        // The walk ends, at once or at the wall: frames a fifth of a second apart stay alike.
        Screenshot before = takeScreenshot(), settled;
        waitFor(run, [&] {
            pause(run, 200);
            settled = takeScreenshot();
            const bool still = changedAbove(before, settled) < 0.01;
            before = settled;
            return still;
        }, 10.0);
        closeWindow(other);
        const bool alive =
            !isBlack(settled.at(118, 737, 0), settled.at(118, 737, 1), settled.at(118, 737, 2));
        if (walked > 0.04 && alive && share(settled, isGrass, 400, 20, 624, 60) < 0.5) {
            ++games;
            EXPECT_GT(share(settled, isSkyBlue, 400, 20, 624, 60), 0.5) << "walked on to the wall";
        }
    }
    EXPECT_GT(games, 0) << "no game walked";
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}
