#include "input/mouse.h"
#include "input/picking.h"
#include "scene_setup.h"

// The panels are picked where they are drawn; arrow clicks step the options within their
// limits and the last entries chosen take effect. The reference frames show the screens.
TEST(Menus, ClicksPickThePanelsAndStepTheOptions)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
    // The widest panel picked at its end; nothing beside a panel, between two or off an arrow.
    const struct { int screen, x, y; GLuint name; } picks[] = {
        {0, 627, 326, pickStartNewGame}, {0, 627, 422, 0}, {0, 512, 374, 0}, {1, 300, 307, 0}};
    for (const auto& c : picks) {
        menuScreen = c.screen;
        mouseX = static_cast<float>(c.x);
        mouseY = static_cast<float>(c.y);
        const GLint hits = runSelectionPass();
        EXPECT_TRUE(hits == (c.name != 0) && (hits == 0 || selectionBuffer()[3] == c.name)) << c.x;
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
    EXPECT_TRUE(crosshairColor[0] + crosshairColor[2] == 2.0f && crosshairColor[1] == 0.0f &&
                gravity == 0.02f) << "not a magenta crosshair and Jupiter's gravity";
    gravity = 0.008f;
    gravitySetting = crosshairColorIndex = menuScreen = 0;
    sfxVolume = 80;
}
