#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/e2e_driver.h"

// The real game under Xvfb: a new game shows the field by day, T turns it to night, and
// shots change the accuracy line.

namespace {

// The Start New Game panel's middle: (0, 0.15) of the menu plane on a 1024x768 screen.
const int startPanelX = 512;
const int startPanelY = 326;

bool isSkyBlue(const Screenshot& s, int x, int y)
{
    return s.at(x, y, 2) > 150 && s.at(x, y, 2) > s.at(x, y, 0) + 80;
}

bool isGrass(const Screenshot& s, int x, int y)
{
    return s.at(x, y, 1) > s.at(x, y, 0) + 10 && s.at(x, y, 1) > s.at(x, y, 2) + 10;
}

bool isBlack(const Screenshot& s, int x, int y)
{
    return s.at(x, y, 0) < 8 && s.at(x, y, 1) < 8 && s.at(x, y, 2) < 8;
}

// Starts the game and a new game from the main menu; the eye then drops to the ground.
GameRun startPlaying()
{
    GameRun run = startGame();
    EXPECT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    pause(run, 700);
    clickAt(startPanelX, startPanelY);
    EXPECT_TRUE(waitForOutput(run, "number of hits", 5.0)) << run.out;
    pause(run, 1500);
    return run;
}

// How many of the sample points along a row pass the test.
template <typename Test>
int countAlong(const Screenshot& s, int y, int x0, int x1, int step, Test test)
{
    int count = 0;
    for (int x = x0; x <= x1; x += step) {
        count += test(s, x, y) ? 1 : 0;
    }
    return count;
}

// Names of shootable things (figure parts 3..8, bunnies 9..28) in the printed hit lines.
int shootableNamesHit(const std::string& out)
{
    int count = 0;
    const std::string prefix = "the name of the object(s) hit: ";
    size_t at = 0;
    while ((at = out.find(prefix, at)) != std::string::npos) {
        at += prefix.size();
        std::istringstream names(out.substr(at, out.find('\n', at) - at));
        int name = 0;
        while (names >> name) {
            count += name >= 3 && name <= 28 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

// Standing on the ground looking along +x: blue sky above the wall, grass below; after T
// the sky is black.
TEST(Play, NewGameShowsTheFieldByDayAndTTurnsItToNight)
{
    GameRun run = startPlaying();
    const Screenshot day = takeScreenshot();
    ASSERT_EQ(day.width, 1024);
    saveScreenshot(day, std::string(VANTRESKA_BUILD) + "/play_day.png");
    // Trees or bunnies may stand in front of a few sample points; most must show the field.
    EXPECT_GE(countAlong(day, 60, 100, 900, 100, isSkyBlue), 6);
    EXPECT_GE(countAlong(day, 560, 400, 1000, 100, isGrass), 5);

    pressKey("t");
    pause(run, 500);
    const Screenshot night = takeScreenshot();
    saveScreenshot(night, std::string(VANTRESKA_BUILD) + "/play_night.png");
    EXPECT_GE(countAlong(night, 60, 100, 900, 100, isBlack), 6);
    EXPECT_EQ(countAlong(night, 60, 100, 900, 100, isSkyBlue), 0);
    EXPECT_FALSE(run.ended) << run.out << run.err;
    stopGame(run);
}

// A sweep of shots round the field, aimed a little down so the ray crosses the figure's
// body and the bunnies: every shot runs a selection pass, something is hit, and the
// accuracy line no longer reads what it did.
TEST(Play, ShotsThatHitChangeTheAccuracyLine)
{
    GameRun run = startPlaying();
    const Screenshot before = takeScreenshot();
    ASSERT_EQ(before.width, 1024);
    const size_t passesBefore = static_cast<size_t>(countOccurrences(run.out, "number of hits"));

    // Two turns round, the first about 6 degrees down (the figure's body and far bunnies),
    // the second about 14 (bunnies nearer by).
    const int shotsPerTurn = 90;
    const int shots = 2 * shotsPerTurn;
    for (const int down : {60, 80}) {
        xdo("mousemove_relative -- 0 " + std::to_string(down));
        pause(run, 100);
        for (int k = 0; k < shotsPerTurn; ++k) {
            xdo("click 1");
            xdo("mousemove_relative -- 40 0");  // about 4 degrees round
            pause(run, 30);
        }
    }
    pause(run, 500);
    const Screenshot after = takeScreenshot();
    saveScreenshot(after, std::string(VANTRESKA_BUILD) + "/play_shots.png");

    EXPECT_TRUE(waitForCount(run, "number of hits", static_cast<int>(passesBefore) + shots, 5.0))
        << "every click runs a selection pass";
    ASSERT_GT(shootableNamesHit(run.out), 0) << "no shot met the figure or a bunny";
    // The accuracy line (third red line, about 0.09 of the height above the bottom) differs.
    int changed = 0;
    for (int y = 690; y < 716; ++y) {
        for (int x = 8; x < 200; ++x) {
            const bool redBefore = before.at(x, y, 0) > 150 && before.at(x, y, 1) < 80;
            const bool redAfter = after.at(x, y, 0) > 150 && after.at(x, y, 1) < 80;
            changed += redBefore != redAfter ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 20);
    stopGame(run);
}
