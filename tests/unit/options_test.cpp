#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"
#include "render/lights.h"
#include "render/menus.h"
#include "support/gl_env.h"

// Window pixels (y from the top) of the six arrows of the options screen.
static const int volumeUp[2] = {550, 280};
static const int volumeDown[2] = {550, 307};
static const int colourRight[2] = {564, 361};
static const int colourLeft[2] = {537, 361};
static const int gravityRight[2] = {564, 422};
static const int gravityLeft[2] = {537, 422};

// The options screen in menu mode, ready for clicks.
static void openOptions()
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
    menuScreen = 1;
}

// A left click through the real mouse callback and selection pass.
static void click(const int at[2])
{
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, at[0], at[1]);
}

// The pixels of the settings text rows, drawn as the menu frame draws them.
static std::vector<unsigned char> drawnRows()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
        gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        placeMenuLight();
        drawMenuScreens(0);
    glPopMatrix();
    std::vector<unsigned char> rows;
    for (int y = 320; y < 480; ++y) {  // from the gravity row up to the volume row
        for (int x = 128; x < 420; ++x) {
            const Rgb p = readPixel(x, y);
            rows.push_back(static_cast<unsigned char>(p.r));
        }
    }
    return rows;
}

TEST(Options, VolumeStepsByFiveAndStaysWithinZeroToHundred)
{
    openOptions();
    sfxVolume = 80;
    const std::vector<unsigned char> at80 = drawnRows();
    click(volumeUp);
    EXPECT_EQ(sfxVolume, 85);
    EXPECT_NE(drawnRows(), at80) << "the volume text follows the value";
    for (int i = 0; i < 5; ++i) {
        click(volumeUp);
    }
    EXPECT_EQ(sfxVolume, 100);
    for (int i = 0; i < 19; ++i) {
        click(volumeDown);
    }
    EXPECT_EQ(sfxVolume, 5);
    click(volumeDown);
    click(volumeDown);
    EXPECT_EQ(sfxVolume, 0);
    sfxVolume = 97;  // off the grid: one step up meets the limit
    click(volumeUp);
    EXPECT_EQ(sfxVolume, 100);
    sfxVolume = 3;
    click(volumeDown);
    EXPECT_EQ(sfxVolume, 0);
    sfxVolume = 80;
    menuScreen = 0;
}

TEST(Options, CrosshairColourCyclesThroughNineColoursAndWrapsBothWays)
{
    openOptions();
    crosshairColorIndex = 0;
    click(colourLeft);
    EXPECT_EQ(crosshairColorIndex, 8);
    EXPECT_EQ(crosshairColor[0], 1.0f);  // magenta
    EXPECT_EQ(crosshairColor[1], 0.0f);
    EXPECT_EQ(crosshairColor[2], 1.0f);
    click(colourRight);
    EXPECT_EQ(crosshairColorIndex, 0);
    EXPECT_EQ(crosshairColor[1], 1.0f);  // white
    click(colourRight);
    EXPECT_EQ(crosshairColorIndex, 1);
    EXPECT_EQ(crosshairColor[1], 0.0f);  // red
    click(colourLeft);
    click(colourLeft);
    EXPECT_EQ(crosshairColorIndex, 8);
    // Nine colours, each different, from white round to magenta.
    std::vector<std::vector<float>> seen;
    for (int i = 0; i < 9; ++i) {
        click(colourRight);
        const std::vector<float> c(crosshairColor, crosshairColor + 3);
        for (const std::vector<float>& earlier : seen) {
            EXPECT_NE(c, earlier);
        }
        seen.push_back(c);
    }
    EXPECT_EQ(seen.front(), std::vector<float>({1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(seen.back(), std::vector<float>({1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(seen[5], std::vector<float>({0.2f, 0.2f, 0.2f}));
    click(colourRight);  // back to white for the tests that follow
    menuScreen = 0;
}

TEST(Options, GravityCyclesBothWaysWithItsLabel)
{
    openOptions();
    gravitySetting = 0;
    gravity = 0.008f;
    const std::vector<unsigned char> earth = drawnRows();
    const float expectedUp[] = {0.0008f, 0.02f, 0.008f};
    std::vector<std::vector<unsigned char>> frames;
    for (int i = 0; i < 3; ++i) {
        click(gravityRight);
        EXPECT_EQ(gravitySetting, (i + 1) % 3);
        EXPECT_EQ(gravity, expectedUp[i]);
        frames.push_back(drawnRows());
    }
    EXPECT_NE(frames[0], earth);  // Lunar
    EXPECT_NE(frames[1], earth);  // Jupiter
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_EQ(frames[2], earth);
    click(gravityLeft);
    EXPECT_EQ(gravitySetting, 2);
    EXPECT_EQ(gravity, 0.02f);
    click(gravityLeft);
    EXPECT_EQ(gravitySetting, 1);
    EXPECT_EQ(gravity, 0.0008f);
    click(gravityLeft);
    EXPECT_EQ(gravitySetting, 0);
    EXPECT_EQ(gravity, 0.008f);
    menuScreen = 0;
}
