#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/e2e_driver.h"

// The real game under Xvfb, left alone after Start New Game: bunnies bite the player to death
// within a few seconds, which every check here allows for.

namespace {

bool isSkyBlue(int r, int g, int b) { return b > 150 && b > r + 80 && b > g + 40; }
bool isGrass(int r, int g, int b) { return g > r + 15 && g > b + 15; }
bool isBlack(int r, int g, int b) { return r < 8 && g < 8 && b < 8; }
bool isPureRed(int r, int g, int b) { return r > 200 && g < 40 && b < 40; }

// Share of a rectangle (y from the top, every 4 pixels) whose colour passes the test.
double share(const Screenshot& s, bool (*test)(int, int, int), int x0 = 0, int y0 = 0,
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

// Median over the middle columns of the row where the sky ends going down: the top of the
// far wall, or of whatever stands before it.
int skyBottom(const Screenshot& s)
{
    std::vector<int> rows;
    for (int x = 200; x <= 800; x += 60) {
        int y = 0;
        while (y < s.height && isSkyBlue(s.at(x, y, 0), s.at(x, y, 1), s.at(x, y, 2))) {
            ++y;
        }
        rows.push_back(y);
    }
    std::nth_element(rows.begin(), rows.begin() + rows.size() / 2, rows.end());
    return rows[rows.size() / 2];
}

// On its side the view's horizon runs down the screen: sky fills an edge from top to bottom
// (a tree may hide one of them) but no longer the band across the top.
bool lyingOnSide(const Screenshot& s)
{
    const double edge =
        std::max(share(s, isSkyBlue, 4, 100, 60, 660), share(s, isSkyBlue, 964, 100, 1020, 660));
    return edge > 0.85 && share(s, isSkyBlue, 100, 4, 924, 60) < 0.7;
}

// The "Time: %d" line's red pixels, as a mask.
std::vector<bool> clockText(const Screenshot& s)
{
    std::vector<bool> mask;
    for (int y = 622; y < 652; ++y) {
        for (int x = 0; x < 220; ++x) {
            mask.push_back(isPureRed(s.at(x, y, 0), s.at(x, y, 1), s.at(x, y, 2)));
        }
    }
    return mask;
}

}  // namespace

// By day sky and grass show. The eye drops from 1.45, above the 1.0 walls, to 0.45, then the
// view lies on its side (the first two views may pass between screenshots; their order may not
// change). Dead, the health bar is empty, the clock stops, every click still runs a picking
// pass, and T turns the sky black.
TEST(Play, NewGameLeftAloneByDayAndNight)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    pause(run, 500);
    clickAt(512, 326);  // Start New Game
    // A play frame: the status lines are there, and the top right corner shows the blue sky.
    const auto playingByDay = [](const Screenshot& s) {
        return share(s, isPureRed, 0, 600, 300, 768) > 0.01 &&
               isSkyBlue(s.at(1000, 8, 0), s.at(1000, 8, 1), s.at(1000, 8, 2));
    };
    Screenshot shot = takeScreenshot();
    for (int i = 0; i < 100 && !playingByDay(shot); ++i) {
        pause(run, 20);
        shot = takeScreenshot();
    }
    ASSERT_TRUE(playingByDay(shot)) << "no play frame after Start New Game";
    EXPECT_GT(share(shot, isSkyBlue), 0.05);
    EXPECT_GT(share(shot, isGrass), 0.05);
    enum View { high, standing, lying, other };
    std::vector<View> views;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end && (views.empty() || views.back() != lying)) {
        const int wallTop = skyBottom(shot);
        const View view = lyingOnSide(shot)                  ? lying
                          : wallTop > 404                    ? high
                          : wallTop > 280 && wallTop < 380 ? standing
                                                             : other;
        if (views.empty() || views.back() != view) {
            views.push_back(view);
        }
        pause(run, 50);
        shot = takeScreenshot();
    }
    saveScreenshot(shot, std::string(VANTRESKA_BUILD) + "/play_dead.png");
    ASSERT_EQ(views.back(), lying) << "still standing after 10 s";
    for (size_t i = 1; i < views.size(); ++i) {
        EXPECT_TRUE(views[i] == other || views[i - 1] == other || views[i] > views[i - 1])
            << "view " << views[i] << " after " << views[i - 1];
    }
    EXPECT_TRUE(isBlack(shot.at(200, 737, 0), shot.at(200, 737, 1), shot.at(200, 737, 2)))
        << "the health bar is empty";
    const int passes = countOccurrences(run.out, "number of hits");
    for (int k = 0; k < 3; ++k) {
        xdo("click 1");
        pause(run, 50);
    }
    EXPECT_TRUE(waitForCount(run, "number of hits", passes + 3, 3.0)) << run.out;
    pause(run, 1200);
    const Screenshot later = takeScreenshot();
    EXPECT_EQ(clockText(shot), clockText(later)) << "the clock stopped";
    EXPECT_TRUE(lyingOnSide(later)) << "the camera stays on its side";

    pressKey("t");
    pause(run, 400);
    const Screenshot night = takeScreenshot();
    saveScreenshot(night, std::string(VANTRESKA_BUILD) + "/play_night.png");
    EXPECT_EQ(share(night, isSkyBlue), 0.0);
    EXPECT_GT(share(night, isBlack), 0.3) << "a black sky";
    EXPECT_FALSE(run.ended) << run.out << run.err;
    pressKey("q");  // quicker than stopping it from outside
    waitForExit(run, 3.0);
    stopGame(run);
}
