#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"
#include "support/gl_env.h"

// Window pixels (y from the top) of the six arrows of the options screen, names 53..58.
enum Arrow { volumeUp, volumeDown, colourRight, colourLeft, gravityRight, gravityLeft };
static const int arrowAt[6][2] = {{550, 280}, {550, 307}, {564, 361},
                                  {537, 361}, {564, 422}, {537, 422}};

// A left click on an arrow through the real mouse callback and selection pass.
static void click(Arrow arrow, int times = 1)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
    menuScreen = 1;
    for (int i = 0; i < times; ++i) {
        mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, arrowAt[arrow][0], arrowAt[arrow][1]);
    }
}

TEST(Options, VolumeStepsByFiveWithinZeroToHundred)
{
    const struct {
        int start;
        Arrow arrow;
        int times, expected;
    } cases[] = {{80, volumeUp, 1, 85},   {80, volumeUp, 6, 100}, {100, volumeDown, 19, 5},
                 {5, volumeDown, 2, 0},   {97, volumeUp, 1, 100}, {3, volumeDown, 1, 0}};
    for (const auto& c : cases) {
        sfxVolume = c.start;
        click(c.arrow, c.times);
        EXPECT_EQ(sfxVolume, c.expected) << c.start << " x" << c.times;
    }
    sfxVolume = 80;
    menuScreen = 0;
}

TEST(Options, CrosshairColourAndGravityCycleAndWrapBothWays)
{
    crosshairColorIndex = 0;
    click(colourLeft);
    EXPECT_EQ(crosshairColorIndex, 8);
    EXPECT_EQ(std::vector<float>(crosshairColor, crosshairColor + 3),
              std::vector<float>({1.0f, 0.0f, 1.0f}));  // magenta
    click(colourRight, 6);
    EXPECT_EQ(crosshairColorIndex, 5);
    EXPECT_EQ(std::vector<float>(crosshairColor, crosshairColor + 3),
              std::vector<float>({0.2f, 0.2f, 0.2f}));  // dark grey
    click(colourRight, 4);
    EXPECT_EQ(crosshairColorIndex, 0);
    EXPECT_EQ(std::vector<float>(crosshairColor, crosshairColor + 3),
              std::vector<float>({1.0f, 1.0f, 1.0f}));

    gravitySetting = 0;
    const int upSettings[] = {1, 2, 0};
    const float upValues[] = {0.0008f, 0.02f, 0.008f};
    for (int i = 0; i < 3; ++i) {
        click(gravityRight);
        EXPECT_EQ(gravitySetting, upSettings[i]);
        EXPECT_EQ(gravity, upValues[i]);
    }
    const int downSettings[] = {2, 1, 0};
    const float downValues[] = {0.02f, 0.0008f, 0.008f};
    for (int i = 0; i < 3; ++i) {
        click(gravityLeft);
        EXPECT_EQ(gravitySetting, downSettings[i]);
        EXPECT_EQ(gravity, downValues[i]);
    }
    menuScreen = 0;
}
