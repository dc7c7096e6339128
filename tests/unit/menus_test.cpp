#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "app/startup.h"
#include "render/lights.h"
#include "render/menus.h"
#include "support/gl_env.h"

// Draws the current menu screen as the menu frame does, into the back buffer.
static void drawMenu()
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
        gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        placeMenuLight();
        drawMenuScreens(0);
    glPopMatrix();
}

// The pixel showing the point (x, y) of the menu plane z = 0.
static Rgb menuPixel(float x, float y)
{
    return readPixel(static_cast<int>(512.0f + x * 384.0f), static_cast<int>(384.0f + y * 384.0f));
}

static bool isBlack(Rgb p) { return p.r == 0 && p.g == 0 && p.b == 0; }

// Pixels in a rectangle of the back buffer (y from the bottom) that are reddish text.
static int redPixels(int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb p = readPixel(x, y);
            count += (p.r > 120 && p.g < 80 && p.b < 80) ? 1 : 0;
        }
    }
    return count;
}

// Text rows of the menu plane: (x, y) of the raster position, as a box above the baseline.
static int redTextAt(float x, float y, int width)
{
    const int px = static_cast<int>(512.0f + x * 384.0f);
    const int py = static_cast<int>(384.0f + y * 384.0f);
    return redPixels(px, py - 4, px + width, py + 20);
}

TEST(MainMenu, PanelsAndTitleAreTexturedAndTheGapsStayBlack)
{
    menuScreen = 0;
    gameStarted = 0;
    drawMenu();
    // Panel centres: Start New Game, Options, Help, Quit; then the title and corners.
    const float shown[][2] = {{0.0f, 0.15f}, {0.3f, 0.15f}, {0.0f, -0.1f}, {0.0f, -0.35f},
                              {0.0f, -0.6f}, {0.0f, 0.6f},  {-0.7f, 0.6f}, {0.98f, 0.6f},
                              {-0.98f, 0.6f}};
    for (const auto& at : shown) {
        EXPECT_FALSE(isBlack(menuPixel(at[0], at[1]))) << at[0] << "," << at[1];
    }
    // Between panels, beside the narrow ones, and below the last.
    const float empty[][2] = {{0.0f, 0.025f}, {0.0f, -0.225f}, {0.3f, -0.1f}, {0.0f, -0.75f}};
    for (const auto& at : empty) {
        EXPECT_TRUE(isBlack(menuPixel(at[0], at[1]))) << at[0] << "," << at[1];
    }
}

TEST(MainMenu, PauseLineAppearsOnlyOnceAGameHasStarted)
{
    menuScreen = 0;
    gameStarted = 0;
    drawMenu();
    EXPECT_EQ(redTextAt(0.6f, -0.95f, 250), 0);
    gameStarted = 1;
    drawMenu();
    EXPECT_GT(redTextAt(0.6f, -0.95f, 250), 100);
    gameStarted = 0;
}

TEST(MenuScreens, LeaveMatricesLightingAndTexturingAsFound)
{
    for (int screen = 0; screen <= 3; ++screen) {
        menuScreen = screen;
        glEnable(GL_LIGHTING);
        GLint modelDepth = 0;
        GLint projDepth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelDepth);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projDepth);
        drawMenu();
        GLint after = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
        EXPECT_EQ(after, modelDepth) << screen;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after);
        EXPECT_EQ(after, projDepth) << screen;
        glGetIntegerv(GL_MATRIX_MODE, &after);
        EXPECT_EQ(after, GL_MODELVIEW) << screen;
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << screen;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << screen;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << screen;
    }
    // An unknown screen leaves the cleared frame alone.
    const std::vector<unsigned char> frame = readFrame();
    for (unsigned char c : frame) {
        ASSERT_EQ(c, 0);
    }
    menuScreen = 0;
}

TEST(OptionsScreen, ArrowsAreBlueAndThePreviewTakesTheCrosshairColour)
{
    menuScreen = 1;
    crosshairColor[0] = 1.0f;
    crosshairColor[1] = 1.0f;
    crosshairColor[2] = 0.0f;
    drawMenu();
    const float arrows[][2] = {{0.1f, 0.27f},  {0.1f, 0.2f},    {0.135f, 0.06f},
                               {0.065f, 0.06f}, {0.135f, -0.1f}, {0.065f, -0.1f}};
    for (const auto& at : arrows) {
        const Rgb p = menuPixel(at[0], at[1]);
        EXPECT_TRUE(p.r == 0 && p.g == 0 && p.b == 255) << at[0] << "," << at[1];
    }
    // The preview's left stroke runs 0.012 to 0.036 left of its centre at (-0.2, 0.06).
    const Rgb stroke = menuPixel(-0.224f, 0.06f);
    EXPECT_TRUE(stroke.r == 255 && stroke.g == 255 && stroke.b == 0);
    EXPECT_TRUE(isBlack(menuPixel(-0.2f, 0.06f)));  // the crosshair's open centre
    crosshairColor[2] = 1.0f;
    menuScreen = 0;
}

// The red channel of the settings rows of the options screen.
static std::vector<int> optionRows()
{
    menuScreen = 1;
    drawMenu();
    std::vector<int> red;
    for (int y = 320; y < 480; y += 2) {
        for (int x = 128; x < 420; ++x) {
            red.push_back(readPixel(x, y).r);
        }
    }
    return red;
}

TEST(OptionsScreen, ShowsTheCurrentVolumeAndGravity)
{
    sfxVolume = 80;
    gravitySetting = 0;
    const std::vector<int> earth80 = optionRows();
    sfxVolume = 85;
    const std::vector<int> earth85 = optionRows();
    EXPECT_NE(earth85, earth80);
    gravitySetting = 1;
    const std::vector<int> lunar85 = optionRows();
    gravitySetting = 2;
    const std::vector<int> jupiter85 = optionRows();
    EXPECT_NE(lunar85, earth85);
    EXPECT_NE(jupiter85, lunar85);
    sfxVolume = 80;
    gravitySetting = 0;
    EXPECT_EQ(optionRows(), earth80);
    menuScreen = 0;
}

TEST(HelpScreen, TextLinesAndReturnLineAreDrawnInTheirOwnProjection)
{
    menuScreen = 2;
    drawMenu();
    // Orthographic x from -1.5 W/H to 1.5 W/H, y from -1.5 to 1.5 over the window.
    const float halfWidth = 1.5f * 1024.0f / 768.0f;
    const auto textAt = [&](float x, float y) {
        const int px = static_cast<int>((x / halfWidth + 1.0f) * 512.0f);
        const int py = static_cast<int>((y / 1.5f + 1.0f) * 384.0f);
        return redPixels(px, py - 4, px + 150, py + 20);
    };
    EXPECT_GT(textAt(-1.3f, 0.3f), 50);    // "created by: Talvoren"
    EXPECT_GT(textAt(-1.3f, -1.32f), 50);  // the last mouse line
    EXPECT_GT(textAt(0.55f, -1.4f), 50);   // "Press ESC to return to main menu"
    EXPECT_EQ(textAt(-1.3f, -1.45f), 0);   // nothing below the last line
    EXPECT_FALSE(isBlack(menuPixel(0.0f, 0.56f)));  // the title picture
    menuScreen = 0;
}
