#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "render/hud.h"
#include "scene_setup.h"

static bool near(Rgb c, const int want[3], int tolerance)
{
    return std::abs(c.r - want[0]) <= tolerance && std::abs(c.g - want[1]) <= tolerance &&
           std::abs(c.b - want[2]) <= tolerance;
}

// Which pixels left of x right (left of the health bar by default) on the status line with its
// baseline at row base are red text.
static std::vector<bool> lineMask(const std::vector<unsigned char>& frame, int base,
                                  int right = 105)
{
    std::vector<bool> mask;
    for (int y = base - 4; y < base + 12; ++y) {
        for (int x = 0; x < right; ++x) {
            const Rgb c = pixelOf(frame, x, y);
            mask.push_back(c.r > 150 && c.g < 80 && c.b < 80);
        }
    }
    return mask;
}

// Four red status lines at the lower left, 0.14 of a 4 x 3 view apart from y -1.0; the
// accuracy line (the third) follows the shots and the hits. Kills count bunnies with hits;
// accuracy is every hit (figure parts too) over the shots, uncapped, 0 with no shot fired.
TEST(Hud, StatusLinesKillsAndAccuracy)
{
    emptyScene(1);
    const int score[3][2] = {{4, 2}, {5, 2}, {5, 3}};  // shots, hits
    std::vector<unsigned char> frames[3];
    for (int k = 0; k < 3; ++k) {
        shotsFired = score[k][0];
        bunnies[0].hits = score[k][1];
        frames[k] = drawGameFrame();
    }
    for (int base : {128, 92, 56, 20, 164}) {
        const std::vector<bool> mask = lineMask(frames[0], base);
        EXPECT_EQ(std::count(mask.begin(), mask.end(), true) > 30, base < 160) << "row " << base;
    }
    EXPECT_NE(lineMask(frames[0], 56, 250), lineMask(frames[1], 56, 250)) << "shots changed";
    EXPECT_NE(lineMask(frames[1], 56, 250), lineMask(frames[2], 56, 250)) << "hits changed";
    EXPECT_TRUE(countKills() == 1 && std::fabs(computeAccuracy() - 60.0f) < 1e-4f);
    bunnies[9].hits = figurePartHits[5] = 1;
    shotsFired = 2;
    EXPECT_EQ(countKills(), 2) << "figure hits are no kills";
    EXPECT_NEAR(computeAccuracy(), 250.0f, 1e-3f) << "not capped at 100";
    emptyField();
    shotsFired = 0;
    EXPECT_EQ(computeAccuracy(), 0.0f);
}

// The crosshair's strokes run 5 to 15 pixels out from the centre in the chosen colour and
// leave the middle open. A 2-pixel line may sit on either side of the centre row or column.
TEST(Hud, CrosshairInTheChosenColourWithAnOpenMiddle)
{
    const int colours[3][3] = {{255, 255, 255}, {0, 255, 255}, {255, 0, 255}};
    for (const auto& c : colours) {
        emptyScene(1);
        for (int k = 0; k < 3; ++k) {
            crosshairColor[k] = c[k] / 255.0f;
        }
        const std::vector<unsigned char> frame = drawGameFrame();
        const auto strokeAt = [&](int x, int y) {
            bool seen = false;
            for (int d = -1; d <= 1; ++d) {
                seen = seen || near(pixelOf(frame, x + (x == 512) * d, y + (x != 512) * d), c, 2);
            }
            return seen;
        };
        EXPECT_TRUE(strokeAt(522, 384) && strokeAt(502, 384)) << c[0] << c[1] << c[2];
        EXPECT_TRUE(strokeAt(512, 394) && strokeAt(512, 374)) << c[0] << c[1] << c[2];
        EXPECT_FALSE(strokeAt(512, 384)) << "the middle stays open";
        EXPECT_FALSE(strokeAt(532, 384)) << "strokes end 15 pixels out";
    }
    crosshairColor[0] = crosshairColor[1] = crosshairColor[2] = 1.0f;
}

// Green above 0.6, yellow at 0.6, red at 0.3, 0.8 long at full health from x -1.56; the rest
// of the bar's black frame shows beyond it, all of it at 0.
TEST(Hud, HealthBarColourAndLengthFollowHealth)
{
    const float healths[] = {1.0f, 0.61f, 0.6f, 0.31f, 0.3f, 0.1f, 0.0f};
    const int colours[][3] = {{102, 255, 25}, {102, 255, 25}, {255, 255, 0}, {255, 255, 0},
                              {255, 0, 0},    {255, 0, 0},    {0, 0, 0}};
    for (int i = 0; i < 7; ++i) {
        emptyScene(1);
        health = healths[i];
        const std::vector<unsigned char> frame = drawGameFrame();
        const int left = 112, end = static_cast<int>(512.0f + (-1.56f + 0.8f * health) * 256.0f);
        for (int x = left + 2; x < left + 203; x += 3) {
            const Rgb p = pixelOf(frame, x, 31);  // the bar's middle row
            EXPECT_TRUE(x < end - 2 ? near(p, colours[i], 20)
                                    : x <= end + 2 || near(p, colours[6], 8))
                << health << " column " << x;
        }
    }
    health = 1.0f;
}
