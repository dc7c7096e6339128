#include <gtest/gtest.h>

#include <vector>

#include "input/mouse.h"
#include "input/picking.h"
#include "scene_setup.h"

// The bunny mesh sits about 0.017 to the -x side of its position; its body's middle is about
// 0.07 high.
static const float bunnyShift = 0.017f, bunnyMiddle = 0.07f;

// Bunny 4 at z 0 and bunny 11 behind it, seen from z 1.2 (low, or high through a crown), and
// the figure's head in front of bunny 4: the head takes the hit, not the neck behind it.
TEST(ShotPicking, BunniesInLineTrunksCrownsAndTheFiguresHead)
{
    const float head = bunnyMiddle + (0.43f - bunnyMiddle) / 0.4f * 1.2f;
    const float cases[][7] = {
        // eye y, health, tree x, tree z, figure z, hits on 4, hits on 11
        {bunnyMiddle, 1.0f, -100.0f, 0.0f, -100.0f, 1, 1},  // two in line, both hit
        {bunnyMiddle, 1.0f, 0.0f, 0.5f, -100.0f, 0, 0},    // a trunk in front shields both
        {bunnyMiddle, 1.0f, 0.0f, -0.3f, -100.0f, 1, 0},   // a trunk between shields the far one
        {0.5f, 1.0f, 0.1f, 0.6f, -100.0f, 1, 0},           // through a crown; 11 below the ray
        {bunnyMiddle, 0.0f, -100.0f, 0.0f, -100.0f, 0, 0},  // a dead player's click
        {head, 1.0f, -100.0f, 0.0f, 0.4f, 1, 0},           // the head in front of 4
    };
    for (const auto& c : cases) {
        emptyScene(1, Vector3(0.0f, c[0], 1.2f), Vector3(0.0f, bunnyMiddle, 0.0f));
        health = c[1];
        trees[3] = at(c[2], c[3]);
        figurePosition = Vector3(0.0f, 0.0f, c[4]);
        bunnies[4] = at(bunnyShift, 0.0f);
        bunnies[11] = at(bunnyShift, c[0] == head ? 100.0f : -0.6f);
        pick(0);
        EXPECT_TRUE(bunnies[4].hits == c[5] && bunnies[11].hits == c[6]) << c[0] << ", " << c[3];
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(figurePartHits[k], c[0] == head && k == 0 ? 1 : 0) << "part " << k;
        }
    }
    health = 1.0f;
    pick(0);
    EXPECT_EQ(bunnies[4].hits, 2) << "a killed bunny lies down and can still be hit";
    emptyField();
}

// A click on each part of the figure (facing the eye) counts a shot and a hit on that part
// alone and turns it red under the crosshair.
TEST(ShotPicking, ClickOnAFigurePartTurnsItRed)
{
    const float aims[6][2] = {{0.0f, 0.43f},  {0.0f, 0.3f},    {-0.058f, 0.3f},
                              {0.058f, 0.3f}, {-0.024f, 0.1f}, {0.024f, 0.1f}};
    for (int part = 0; part < 6; ++part) {
        emptyScene(1, Vector3(aims[part][0], aims[part][1], 1.0f),
                   Vector3(aims[part][0], aims[part][1], 0.0f));
        figurePosition = Vector3(0.0f, 0.0f, 0.0f);
        shotsFired = 0;
        std::vector<unsigned char> frames[2] = {drawGameFrame()};
        mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);
        frames[1] = drawGameFrame();
        EXPECT_EQ(shotsFired, 1);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(figurePartHits[k], k == part ? 1 : 0) << "aimed at part " << part;
        }
        for (int after = 0; after < 2; ++after) {
            int red = 0;
            for (int d = 0; d < 121; ++d) {
                red += isRed(pixelOf(frames[after], 507 + d % 11, 379 + d / 11)) ? 1 : 0;
            }
            EXPECT_EQ(red > 30, after == 1) << "part " << part << ", red " << red;
        }
    }
    emptyField();
    shotsFired = 0;
}
