#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "assets/display_lists.h"
#include "render/hud.h"
#include "scene_setup.h"

static bool isTextRed(Rgb c) { return c.r > 150 && c.g < 80 && c.b < 80; }

static bool near(Rgb c, const int want[3], int tolerance)
{
    return std::abs(c.r - want[0]) <= tolerance && std::abs(c.g - want[1]) <= tolerance &&
           std::abs(c.b - want[2]) <= tolerance;
}

// "Time: 42", "Kills: 3/20", "Accuracy: 150.0%" (6 hits in 4 shots: not capped) and "Health:"
// in red at the lower left, pixel for pixel as the same strings drawn by hand at x -1.96 and
// y -1.0 down in steps of 0.14 of a 4 x 3 view.
TEST(Hud, StatusLinesReadTheStateInRedAtTheLowerLeft)
{
    emptyScene(1);
    elapsedSeconds = 42;
    shotsFired = 4;
    bunnies[0].hits = 2;
    bunnies[5].hits = bunnies[19].hits = 1;
    figurePartHits[1] = 2;
    const std::vector<unsigned char> frame = drawGameFrame();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glOrtho(-2.0, 2.0, -1.5, 1.5, -10.1, 15.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 0.0f, 0.0f);
        const char* lines[] = {"Time: 42", "Kills: 3/20", "Accuracy: 150.0%", "Health:"};
        for (int i = 0; i < 4; ++i) {
            glRasterPos3f(-1.96f, -1.0f - 0.14f * i, 10.0f);
            drawString(lines[i]);
        }
        glEnable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFinish();
    const std::vector<unsigned char> want = readFrame();
    int redWanted = 0, mismatched = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < (y < 48 ? 105 : 400); ++x) {  // left of the health bar on its line
            redWanted += isTextRed(pixelOf(want, x, y)) ? 1 : 0;
            mismatched += isTextRed(pixelOf(want, x, y)) != isTextRed(pixelOf(frame, x, y));
        }
    }
    EXPECT_GT(redWanted, 500);
    EXPECT_EQ(mismatched, 0);
    emptyField();
    shotsFired = elapsedSeconds = 0;
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
    const int black[3] = {0, 0, 0};
    for (int i = 0; i < 7; ++i) {
        emptyScene(1);
        health = healths[i];
        const std::vector<unsigned char> frame = drawGameFrame();
        const int left = 112, end = static_cast<int>(512.0f + (-1.56f + 0.8f * health) * 256.0f);
        for (int x = left + 2; x < left + 203; x += 3) {
            const Rgb p = pixelOf(frame, x, 31);  // the bar's middle row
            EXPECT_TRUE(x < end - 2 ? near(p, colours[i], 20) : x <= end + 2 || near(p, black, 8))
                << health << " column " << x;
        }
    }
    health = 1.0f;
}

// Kills count bunnies with hits; accuracy is every hit (bunnies and figure parts) over the
// shots, uncapped, and 0 without hits even with no shot fired.
TEST(Hud, KillsAndAccuracy)
{
    emptyField();
    for (int shots : {0, 7}) {
        shotsFired = shots;
        EXPECT_EQ(countKills(), 0);
        EXPECT_FLOAT_EQ(computeAccuracy(), 0.0f) << shots;
    }
    bunnies[2].hits = 3;
    bunnies[9].hits = 1;
    EXPECT_EQ(countKills(), 2);
    EXPECT_NEAR(computeAccuracy(), 4.0f / 7.0f * 100.0f, 1e-4f);
    figurePartHits[0] = 2;
    figurePartHits[5] = 1;
    EXPECT_EQ(countKills(), 2) << "figure hits are no kills";
    shotsFired = 2;
    EXPECT_NEAR(computeAccuracy(), 350.0f, 1e-3f) << "not capped at 100";
    emptyField();
    shotsFired = 0;
}
