#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "support/e2e_driver.h"

// The real game under Xvfb, left alone after Start New Game. At the game's 60 Hz pace a bunny
// at the feet needs about 2 s to bite a player to death; a few bunnies at once, less.

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
    EXPECT_TRUE(waitForPointerHeld(run, 10.0)) << "play holds the pointer at the centre";
    pressKey("Escape");
    EXPECT_TRUE(waitForScreen(run, paused, 10.0)) << "the pause line";
    for (int burst = 0; burst < 5; ++burst) {  // nine presses a burst: resumed, then paused
        xdo("key --delay 1 Escape Escape Escape Escape Escape Escape Escape Escape Escape");
        EXPECT_TRUE(waitForScreen(run, burst % 2 ? titleShown : hudShown, 10.0)) << burst;
    }
    movePointer(700, 500);
    EXPECT_TRUE(waitForPointerHeld(run, 10.0)) << "resumed play holds the pointer";
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
        ASSERT_TRUE(waitForPointerHeld(run, 10.0)) << w << 'x' << h;
        const int had = picks();
        xdo("click 1");
        ASSERT_TRUE(waitFor(run, [&] { return picks() > had; }, 10.0)) << w << 'x' << h << run.err;
    }
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}

// The ways the keyboard leaves the window, with no window manager, while W is held: another
// window takes the focus, a popup opens under the pointer (the keyboard follows the pointer
// there, and X sends no focus event), the window is unmapped. W is released meanwhile, its
// key-up going elsewhere: back in the game the player stands still. W pressed as the focus
// comes back walks. A game where a tree stood in the way, or a bunny bit the player to death,
// proves nothing and does not count.
TEST(Play, MovementKeysFollowTheKeyboardFocus)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    setKeyRepeat(false);  // a held key's repeats would take up what its lost press did not
    const std::string window = commandOutput("xdotool search --name '^Vantreska$' | head -1");
    const std::string game = window.substr(0, window.find('\n'));
    const struct {
        const char* way;
        std::function<unsigned long()> away;  // the window that took the focus, if any
        std::string back;                     // else xdotool's way back
    } ways[] = {
        {"another window takes the focus", takeFocus, ""},
        {"a popup under the pointer", popUpUnderPointer, ""},
        {"the window unmapped", [&] { xdo("windowunmap --sync " + game); return 0UL; },
         "windowmap --sync " + game},
        {"W pressed as the focus comes back", [&] {
             const unsigned long other = openWindow();
             refocusPressing(other, std::stoul(game), "w");
             return other;
         }, ""}};
    for (const auto& w : ways) {
        const bool pressedBack = &w == &ways[3];
        int games = 0;
        for (int attempt = 0; attempt < 8 && games < 1; ++attempt) {
            pressKey("Escape");  // pauses the game before
            ASSERT_TRUE(waitForScreen(run, titleShown, 10.0)) << w.way << ": no main menu";
            clickAt(512, 326);  // Start New Game, facing the wall 3 units ahead
            Screenshot start;
            ASSERT_TRUE(waitForScreen(run, hudShown, 10.0, &start)) << w.way << ": no play frame";
            pause(run, 300);  // the eye drops to the ground
            start = takeScreenshot();
            if (pressedBack) {  // held, W takes the player to the wall: the sky ahead goes
                const auto sky = [](const Screenshot& s) {
                    return share(s, isSkyBlue, 400, 20, 624, 60);
                };
                const auto atTheWall = [&] {
                    const Screenshot s = takeScreenshot();
                    const bool alive = !isBlack(s.shown(118, 737, 0), s.shown(118, 737, 1),
                                                s.shown(118, 737, 2));
                    return sky(s) < 0.5 && hudShown(s) && alive;
                };
                if (sky(start) < 0.5) {
                    continue;  // a tree's crown ahead
                }
                const unsigned long other = w.away();
                const bool walked = waitFor(run, atTheWall, 6.0);  // a 2 s walk
                xdo("keyup w");
                closeWindow(other);
                xdo("keydown w");  // a tree in the way, or a bunny's bites, show here too
                const bool walkable = walked || waitFor(run, atTheWall, 6.0);
                xdo("keyup w");
                if (walkable) {
                    ++games;
                    EXPECT_TRUE(walked) << w.way << ": the key was lost";
                }
                continue;
            }
            xdo("keydown w");
            pause(run, 300);  // about half a unit of walking
            const double walked = changedAbove(start, takeScreenshot());
            const unsigned long other = w.away();
            xdo("keyup w");
            if (other != 0) {
                closeWindow(other);
            } else {
                xdo(w.back);
            }
            // A frame drawn since the return (one drawn before may lag behind the walk), then
            // the time for as much walking as above, were W still held.
            const Screenshot returned = takeScreenshot();
            Screenshot back;
            ASSERT_TRUE(waitForScreen(run, [&](const Screenshot& s) {
                return hudShown(s) && s.rgb != returned.rgb;
            }, 10.0, &back)) << w.way << ": no play frame";
            pause(run, 300);
            const double walkedOn = changedAbove(back, takeScreenshot());
            if (walked > 0.04 && !isBlack(back.shown(118, 737, 0), back.shown(118, 737, 1),
                                          back.shown(118, 737, 2))) {
                ++games;
                EXPECT_LT(walkedOn, 0.02) << w.way << ": walked on";
            }
        }
        EXPECT_GT(games, 0) << w.way << ": no game walked (or every press was lost)";
    }
    setKeyRepeat(true);
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}
