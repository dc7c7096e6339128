#include <gtest/gtest.h>

#include <vector>

#include "input/mouse.h"
#include "input/picking.h"
#include "scene_setup.h"

// Shots through the real selection pass, at things placed on purpose on the crosshair ray.

namespace {

// The bunny mesh sits about 0.017 to the -x side of its position; its body's middle is about
// 0.07 high.
const float bunnyShift = 0.017f;
const float bunnyMiddle = 0.07f;

Entity at(float x, float z) { return Entity{x, 0.0f, z, 0.0f, 0, 0.0f, 0}; }

}  // namespace

// Bunny 4 at z 0 and bunny 11 behind it, seen from z 1.2 (low, or high through a crown).
TEST(ShotPicking, BunniesInLineTrunksAndCrowns)
{
    struct Case {
        const char* name;
        float eyeY, health, treeX, treeZ;
        int hits4, hits11;
    } const cases[] = {
        {"two in line, both hit", bunnyMiddle, 1.0f, -100.0f, 0.0f, 1, 1},
        {"a trunk in front shields both", bunnyMiddle, 1.0f, 0.0f, 0.5f, 0, 0},
        {"a trunk between them shields the far one", bunnyMiddle, 1.0f, 0.0f, -0.3f, 1, 0},
        {"seen through a crown, the far one below the ray", 0.5f, 1.0f, 0.1f, 0.6f, 1, 0},
        {"a dead player's click", bunnyMiddle, 0.0f, -100.0f, 0.0f, 0, 0},
    };
    for (const Case& c : cases) {
        emptyScene(1, Vector3(0.0f, c.eyeY, 1.2f), Vector3(0.0f, bunnyMiddle, 0.0f));
        health = c.health;
        bunnies[4] = at(bunnyShift, 0.0f);
        bunnies[11] = at(bunnyShift, -0.6f);
        trees[3] = at(c.treeX, c.treeZ);
        pick(0);
        EXPECT_EQ(bunnies[4].hits, c.hits4) << c.name;
        EXPECT_EQ(bunnies[11].hits, c.hits11) << c.name;
    }
    health = 1.0f;
    pick(0);
    pick(0);
    EXPECT_EQ(bunnies[4].hits, 2) << "a killed bunny lies down and can still be hit";
    emptyField();
}

// The head in front of a bunny: the head takes the hit, not the neck behind it on the same
// ray, and the bunny beyond is hit too.
TEST(ShotPicking, FigureHeadInFrontOfABunny)
{
    const float slope = (0.43f - bunnyMiddle) / 0.4f;  // the ray through the head's middle
    emptyScene(1, Vector3(0.0f, bunnyMiddle + slope * 1.2f, 1.2f),
               Vector3(0.0f, bunnyMiddle, 0.0f));
    figurePosition = Vector3(0.0f, 0.0f, 0.4f);
    bunnies[15] = at(bunnyShift, 0.0f);
    pick(0);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(figurePartHits[k], k == 0 ? 1 : 0) << "part " << k;
    }
    EXPECT_EQ(bunnies[15].hits, 1);
    emptyField();
}

// A click on each part of the figure (facing the eye) counts a shot and a hit on that part
// alone, turns it red under the crosshair, and changes the accuracy line from 0.0% to 100.0%.
TEST(ShotPicking, ClickOnAFigurePartTurnsItRedAndChangesTheAccuracy)
{
    const float aims[6][2] = {{0.0f, 0.43f},    {0.0f, 0.3f},     {-0.058f, 0.3f},
                              {0.058f, 0.3f},   {-0.024f, 0.1f},  {0.024f, 0.1f}};
    for (int part = 0; part < 6; ++part) {
        const float x = aims[part][0], y = aims[part][1];
        emptyScene(1, Vector3(x, y, 1.0f), Vector3(x, y, 0.0f));
        figurePosition = Vector3(0.0f, 0.0f, 0.0f);
        shotsFired = 0;
        const std::vector<unsigned char> before = drawGameFrame();
        mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);
        const std::vector<unsigned char> after = drawGameFrame();
        EXPECT_EQ(shotsFired, 1);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(figurePartHits[k], k == part ? 1 : 0) << "aimed at part " << part;
        }
        int redBefore = 0, redAfter = 0, centreRed = 0, accuracyChanged = 0;
        for (int py = 160; py < testWindowHeight; ++py) {
            for (int px = 0; px < testWindowWidth; ++px) {
                redBefore += isRed(pixelOf(before, px, py)) ? 1 : 0;
                redAfter += isRed(pixelOf(after, px, py)) ? 1 : 0;
            }
        }
        for (int d = 0; d < 25; ++d) {
            centreRed += isRed(pixelOf(after, 510 + d % 5, 382 + d / 5)) ? 1 : 0;
        }
        for (int py = 45; py < 72; ++py) {  // the third status line
            for (int px = 0; px < 250; ++px) {
                accuracyChanged += isRed(pixelOf(before, px, py)) !=
                                   isRed(pixelOf(after, px, py)) ? 1 : 0;
            }
        }
        EXPECT_EQ(redBefore, 0) << part;
        EXPECT_GT(redAfter, 100) << part;
        EXPECT_GT(centreRed, 0) << part;
        EXPECT_GT(accuracyChanged, 20) << part;
    }
    emptyField();
    shotsFired = 0;
}
