#include <gtest/gtest.h>

#include <vector>

#include "input/mouse.h"
#include "input/picking.h"
#include "scene_setup.h"

// A menu screen as display() draws it.
static std::vector<unsigned char> menuFrame(int screen)
{
    playing = 0;
    menuScreen = screen;
    return drawGameFrame();
}

// Reddish text pixels where the pause line "Press ESC to resume game" stands.
static int pauseLinePixels(const std::vector<unsigned char>& frame)
{
    int count = 0;
    for (int y = 15; y < 40; ++y) {
        for (int x = 742; x < 992; ++x) {
            const Rgb p = pixelOf(frame, x, y);
            count += (p.r > 120 && p.g < 80 && p.b < 80) ? 1 : 0;
        }
    }
    return count;
}

// The main menu shows its title between the two corner pictures, and the pause line once a
// game exists; the options screen shows the current values; an unknown screen draws nothing.
TEST(MenuScreens, TitlePicturesPauseLineOnceStartedOptionValuesAndNothingUnknown)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    for (int started : {0, 1}) {
        gameStarted = started;
        const std::vector<unsigned char> frame = menuFrame(0);
        for (const int x : {512, 888, 136}) {  // x 0 and +-0.98, at y 0.6
            const Rgb p = pixelOf(frame, x, 614);
            EXPECT_GT(p.r + p.g + p.b, 0) << x;
        }
        EXPECT_EQ(pauseLinePixels(frame) > 100, started == 1);
    }
    gameStarted = 0;
    sfxVolume = 80;
    gravitySetting = 0;
    const std::vector<unsigned char> start = menuFrame(1);
    sfxVolume = 85;
    const std::vector<unsigned char> louder = menuFrame(1);
    gravitySetting = 1;
    EXPECT_NE(louder, start);
    EXPECT_NE(menuFrame(1), louder);
    sfxVolume = 80;
    gravitySetting = 0;
    EXPECT_EQ(menuFrame(1), start);
    EXPECT_EQ(menuFrame(3), std::vector<unsigned char>(start.size(), 0));
    menuScreen = 0;
}

// The panels and arrows are picked where they are drawn and nothing between them; arrow
// clicks step the options within their limits and the last entries chosen take effect.
TEST(MenuPicking, PanelsUnderThePointerAndArrowClicksStepTheOptionsWithinTheirLimits)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
    const struct { int screen, x, y; std::vector<GLuint> names; } cases[] = {
        {0, 512, 326, {pickStartNewGame}}, {0, 627, 326, {pickStartNewGame}},
        {0, 512, 422, {pickOptions}},      {0, 512, 518, {pickHelp}},
        {0, 512, 614, {pickQuit}},         {0, 627, 422, {}},
        {0, 512, 374, {}},                 {1, 550, 280, {pickVolumeUp}},
        {1, 300, 307, {}}};
    for (const auto& c : cases) {
        menuScreen = c.screen;
        mouseX = static_cast<float>(c.x);
        mouseY = static_cast<float>(c.y);
        const GLint count = runSelectionPass();
        const GLuint* r = selectionBuffer();
        EXPECT_EQ(count, c.names.empty() ? 0 : 1) << c.screen << " " << c.x << "," << c.y;
        EXPECT_TRUE(count != 1 || std::vector<GLuint>(r + 3, r + 3 + r[0]) == c.names) << c.x;
    }
    // Options arrow clicks: start value, arrow pixel (y from the top), clicks, result.
    const struct { int* value; int start, x, y, times, expected; } steps[] = {
        {&sfxVolume, 0, 550, 280, 21, 100},          {&sfxVolume, 97, 550, 280, 1, 100},
        {&sfxVolume, 100, 550, 307, 19, 5},          {&sfxVolume, 3, 550, 307, 1, 0},
        {&crosshairColorIndex, 2, 564, 361, 7, 0},   {&crosshairColorIndex, 0, 537, 361, 1, 8},
        {&gravitySetting, 0, 564, 422, 4, 1},        {&gravitySetting, 0, 537, 422, 1, 2}};
    menuScreen = 1;
    for (const auto& c : steps) {
        *c.value = c.start;
        for (int i = 0; i < c.times; ++i) {
            mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, c.x, c.y);
        }
        EXPECT_EQ(*c.value, c.expected) << c.start << " " << c.x << "," << c.y << " x" << c.times;
    }
    // The last entries chosen take effect: a magenta crosshair and Jupiter's gravity.
    EXPECT_TRUE(crosshairColor[0] + crosshairColor[2] == 2.0f && crosshairColor[1] == 0.0f);
    EXPECT_EQ(gravity, 0.02f);
    crosshairColor[1] = 1.0f;
    gravity = 0.008f;
    gravitySetting = crosshairColorIndex = 0;
    sfxVolume = 80;
    menuScreen = 0;
}
