#include <gtest/gtest.h>

#include <GL/glu.h>

#include <string>
#include <vector>

#include "assets/display_lists.h"
#include "render/hud.h"
#include "scene_setup.h"

namespace {

bool isTextRed(Rgb c) { return c.r > 150 && c.g < 80 && c.b < 80; }

Rgb pixelOf(const std::vector<unsigned char>& frame, int x, int y)
{
    const size_t k = (static_cast<size_t>(y) * testWindowWidth + x) * 3;
    return Rgb{frame[k], frame[k + 1], frame[k + 2]};
}

bool near(Rgb c, int r, int g, int b, int tolerance = 20)
{
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
           std::abs(c.b - b) <= tolerance;
}

// A play frame by day, looking at the far wall (callers empty the field first).
std::vector<unsigned char> hudFrame()
{
    enterTestPlay(1);
    placeCamera(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.0f, 0.45f, -0.25f));
    drawGameFrame();
    return readFrame();
}

// The four status lines as they should read, drawn by hand in red on a cleared frame at
// the HUD's text places: x -1.96 and y -1.0, -1.14, -1.28, -1.42 of a 3-unit-high view.
std::vector<unsigned char> expectedText(const std::vector<std::string>& lines)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-2.0, 2.0, -1.5, 1.5, -10.1, 15.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.0f, 0.0f);
    const float ys[4] = {-1.0f, -1.14f, -1.28f, -1.42f};
    for (size_t i = 0; i < lines.size(); ++i) {
        glRasterPos3f(-1.96f, ys[i], 10.0f);
        drawString(lines[i]);
    }
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFinish();
    return readFrame();
}

// Health bar sample row: the bar's middle at y -1.38, (1.5 - 1.38) / 3 of the height.
const int barRow = 31;
int barColumn(float x) { return static_cast<int>(512.0f + x * 256.0f); }

}  // namespace

// The four lines read exactly "Time: 42", "Kills: 3/20", "Accuracy: 150.0%", "Health:"
// in red at the lower left: the red pixels match the same strings drawn by hand.
TEST(Hud, StatusLinesReadTheStateInRedAtTheLowerLeft)
{
    emptyField();
    elapsedSeconds = 42;
    shotsFired = 4;  // 6 hits in 4 shots: accuracy is not capped
    bunnies[0].hits = 2;
    bunnies[5].hits = 1;
    bunnies[19].hits = 1;
    figurePartHits[1] = 2;
    const std::vector<unsigned char> frame = hudFrame();
    const std::vector<unsigned char> want =
        expectedText({"Time: 42", "Kills: 3/20", "Accuracy: 150.0%", "Health:"});
    int redWanted = 0;
    int mismatched = 0;
    for (int y = 0; y < 160; ++y) {
        // Left of the health bar on its line, the whole width of the text above it.
        const int right = y < 48 ? 105 : 400;
        for (int x = 0; x < right; ++x) {
            const bool wanted = isTextRed(pixelOf(want, x, y));
            redWanted += wanted ? 1 : 0;
            mismatched += wanted != isTextRed(pixelOf(frame, x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(redWanted, 500);
    EXPECT_EQ(mismatched, 0);
    emptyField();
    shotsFired = 0;
    elapsedSeconds = 0;
}

// The crosshair shows in the chosen colour round the centre, which it leaves open.
TEST(Hud, CrosshairInTheChosenColourWithAnOpenMiddle)
{
    emptyField();
    const float colours[3][3] = {{1.0f, 1.0f, 1.0f}, {0.0f, 1.0f, 1.0f}, {1.0f, 0.0f, 1.0f}};
    for (const auto& colour : colours) {
        for (int k = 0; k < 3; ++k) {
            crosshairColor[k] = colour[k];
        }
        const std::vector<unsigned char> frame = hudFrame();
        const int r = static_cast<int>(colour[0] * 255);
        const int g = static_cast<int>(colour[1] * 255);
        const int b = static_cast<int>(colour[2] * 255);
        // The strokes run from 0.02 to 0.06 out, 5 to 15 pixels; a 2-pixel line may sit on
        // either side of the centre row or column.
        const auto strokeAt = [&](int x, int y) {
            for (int d = -1; d <= 1; ++d) {
                const Rgb across = x == 512 ? pixelOf(frame, x + d, y) : pixelOf(frame, x, y + d);
                if (near(across, r, g, b, 2)) {
                    return true;
                }
            }
            return false;
        };
        EXPECT_TRUE(strokeAt(522, 384)) << "right stroke";
        EXPECT_TRUE(strokeAt(502, 384)) << "left stroke";
        EXPECT_TRUE(strokeAt(512, 394)) << "upper stroke";
        EXPECT_TRUE(strokeAt(512, 374)) << "lower stroke";
        EXPECT_FALSE(strokeAt(512, 384)) << "the middle stays open";
        EXPECT_FALSE(strokeAt(532, 384)) << "strokes end 15 pixels out";
    }
    crosshairColor[0] = crosshairColor[1] = crosshairColor[2] = 1.0f;
}

// Green above 0.6, yellow at 0.6, red at 0.3, only the black frame at 0; the bar shrinks
// towards its left end inside the frame.
TEST(Hud, HealthBarColourAndLengthFollowHealth)
{
    struct Case {
        float health;
        int r, g, b;
    };
    const Case cases[] = {
        {1.0f, 102, 255, 25}, {0.61f, 102, 255, 25}, {0.6f, 255, 255, 0},
        {0.31f, 255, 255, 0}, {0.3f, 255, 0, 0},     {0.1f, 255, 0, 0},
    };
    emptyField();
    const int barLeft = barColumn(-1.56f);
    for (const Case& c : cases) {
        hudFrame();
        health = c.health;
        drawGameFrame();
        const std::vector<unsigned char> frame = readFrame();
        const int barEnd = barColumn(-1.56f + 0.8f * c.health);
        EXPECT_TRUE(near(pixelOf(frame, barLeft + 3, barRow), c.r, c.g, c.b)) << c.health;
        EXPECT_TRUE(near(pixelOf(frame, barEnd - 3, barRow), c.r, c.g, c.b)) << c.health;
        if (c.health < 0.9f) {
            // The empty part of the bar is the black frame behind it.
            EXPECT_TRUE(near(pixelOf(frame, barEnd + 3, barRow), 0, 0, 0, 8)) << c.health;
        }
    }
    hudFrame();
    health = 0.0f;
    drawGameFrame();
    const std::vector<unsigned char> frame = readFrame();
    for (int x = barColumn(-1.57f) + 1; x < barColumn(-0.75f) - 1; x += 4) {
        EXPECT_TRUE(near(pixelOf(frame, x, barRow), 0, 0, 0, 8)) << "column " << x;
    }
    health = 1.0f;
}

// Kills count bunnies with hits; accuracy divides every hit (bunnies and figure parts) by
// the shots, uncapped, and is 0 without hits even when no shot was fired.
TEST(Hud, KillsAndAccuracy)
{
    emptyField();
    shotsFired = 0;
    EXPECT_EQ(countKills(), 0);
    EXPECT_FLOAT_EQ(computeAccuracy(), 0.0f);
    shotsFired = 7;
    EXPECT_FLOAT_EQ(computeAccuracy(), 0.0f);

    bunnies[2].hits = 3;
    bunnies[9].hits = 1;
    EXPECT_EQ(countKills(), 2);
    EXPECT_NEAR(computeAccuracy(), 4.0f / 7.0f * 100.0f, 1e-4f);

    figurePartHits[0] = 2;
    figurePartHits[5] = 1;
    EXPECT_EQ(countKills(), 2) << "figure hits are no kills";
    EXPECT_NEAR(computeAccuracy(), 100.0f, 1e-4f);

    shotsFired = 2;
    EXPECT_NEAR(computeAccuracy(), 350.0f, 1e-3f) << "not capped at 100";

    for (Entity& bunny : bunnies) {
        bunny.hits = 1;
    }
    EXPECT_EQ(countKills(), 20);
    emptyField();
    shotsFired = 0;
}
