#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "render/lights.h"
#include "render/menus.h"
#include "support/gl_env.h"

// Draws a menu screen as the menu frame does; returns the back buffer.
static std::vector<unsigned char> drawMenu(int screen)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    menuScreen = screen;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
        gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        placeMenuLight();
        drawMenuScreens(0);
    glPopMatrix();
    menuScreen = 0;
    return readFrame();
}

// Reddish text pixels where the pause line "Press ESC to resume game" stands.
static int pauseLinePixels()
{
    int count = 0;
    for (int y = 15; y < 40; ++y) {
        for (int x = 742; x < 992; ++x) {
            const Rgb p = readPixel(x, y);
            count += (p.r > 120 && p.g < 80 && p.b < 80) ? 1 : 0;
        }
    }
    return count;
}

TEST(MenuScreens, ShowPanelsPauseLineOnceStartedAndOptionValuesAndNothingUnknown)
{
    gameStarted = 0;
    drawMenu(0);
    // Panels (Start New Game at both ends) and title drawn; between, beside, below them black.
    const struct { float x, y; bool drawn; } points[] = {
        {0.0f, 0.15f, true},   {0.3f, 0.15f, true},    {0.0f, -0.1f, true}, {0.0f, -0.35f, true},
        {0.0f, -0.6f, true},   {0.0f, 0.6f, true},     {0.98f, 0.6f, true}, {-0.98f, 0.6f, true},
        {0.0f, 0.025f, false}, {0.0f, -0.225f, false}, {0.3f, -0.1f, false}, {0.0f, -0.75f, false}};
    for (const auto& at : points) {
        const Rgb p = readPixel(int(512 + at.x * 384), int(384 + at.y * 384));
        EXPECT_EQ(p.r + p.g + p.b > 0, at.drawn) << at.x << "," << at.y;
    }
    EXPECT_EQ(pauseLinePixels(), 0);
    gameStarted = 1;
    drawMenu(0);
    EXPECT_GT(pauseLinePixels(), 100);
    gameStarted = 0;

    // The options screen shows the current values; an unknown screen draws nothing.
    sfxVolume = 80;
    gravitySetting = 0;
    const std::vector<unsigned char> start = drawMenu(1);
    sfxVolume = 85;
    const std::vector<unsigned char> louder = drawMenu(1);
    gravitySetting = 1;
    EXPECT_NE(louder, start);
    EXPECT_NE(drawMenu(1), louder);
    sfxVolume = 80;
    gravitySetting = 0;
    EXPECT_EQ(drawMenu(1), start);
    EXPECT_EQ(drawMenu(3), std::vector<unsigned char>(start.size(), 0));
}
