#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"
#include "input/picking.h"
#include "support/gl_env.h"

// A selection buffer of {closeness, names...} records (both depths stored as -closeness).
static std::vector<GLuint> records(std::vector<std::vector<int>> list)
{
    std::vector<GLuint> buffer;
    for (const std::vector<int>& r : list) {
        buffer.insert(buffer.end(), {GLuint(r.size() - 1), GLuint(-r[0]), GLuint(-r[0])});
        buffer.insert(buffer.end(), r.begin() + 1, r.end());
    }
    return buffer;
}

TEST(Closeness, HalvesTheWrappedSignedSumAndIsPrintedWithEachRecord)
{
    const struct { GLuint lo, hi; int expected; } cases[] = {
        {0xFFFFFFFFu, 0xFFFFFFFFu, 1}, {0xF0000000u, 0xF0000000u, 268435456},
        {0x80000000u, 0x80000000u, 0}, {0x00000000u, 0x80000000u, 1073741824}, {3u, 0u, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(closeness(c.lo, c.hi), c.expected) << c.lo << " " << c.hi;
    }
    playing = 0;
    menuScreen = 2;  // a record on the help screen is only printed
    const GLuint buffer[] = {1, 0xFFFFFF00u, 0xFFFFFF80u, pickFirstBunny};
    testing::internal::CaptureStdout();
    processHits(1, buffer, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "depth: -256 -128\n192\nthe name of the object(s) hit: " +
                  std::to_string(pickFirstBunny) + " \n");
}

TEST(ProcessHits, ShotHitsTheNearestPartAndUpToFourBunniesNearerThanEveryTrunk)
{
    const int head = pickFigureHead, torso = pickFigureTorso, bunny = pickFirstBunny;
    const int trunk = pickFirstTrunk;
    const struct {
        std::vector<std::vector<int>> recs;
        int part;  // figurePartHits index expected at 1, or -1
        std::vector<int> bunniesHit;
        float health = 1.0f;
        GLint count = 0;  // 0: every record
    } cases[] = {
        {{{100, torso}, {300, head}, {200, head + 2}}, 0, {}},  // the nearest part
        {{{100, head + 2}, {100, head}}, 2, {}},                // equal: the first met
        {{{10, bunny}, {20, bunny + 1}, {30, bunny + 2}, {40, bunny + 3}, {900, bunny + 4}}, -1,
         {0, 1, 2, 3}},
        {{{100, bunny}, {200, trunk}, {300, bunny + 1}, {150, pickLastTrunk}}, -1, {1}},
        {{{200, bunny}, {200, trunk + 1}}, -1, {}},     // an equally near trunk blocks
        {{{500, pickFirstCrown}, {100, bunny + 4}}, -1, {4}},  // a crown does not
        {{{900, trunk + 2}, {800, pickLastBunny}, {100, pickFigureLastPart}}, 5, {}},
        {{{100, head}, {200, bunny}}, -1, {}, 0.0f},      // a dead player
        {{{100, head}, {200, bunny}}, -1, {}, 1.0f, -1},  // overflow
    };
    for (const auto& c : cases) {
        playing = 1;
        health = c.health;
        std::fill(figurePartHits, figurePartHits + 6, 0);
        for (int b = 0; b < bunnyCount; ++b) {
            bunnies[b].hits = 0;
        }
        processHits(c.count != 0 ? c.count : GLint(c.recs.size()), records(c.recs).data(), 0);
        for (int i = 0; i < 6 + bunnyCount; ++i) {
            const int hits = i < 6 ? figurePartHits[i] : bunnies[i - 6].hits;
            const bool listed = std::count(c.bunniesHit.begin(), c.bunniesHit.end(), i - 6) > 0;
            EXPECT_EQ(hits, i == c.part || listed ? 1 : 0) << "case " << &c - cases << " at " << i;
        }
    }
    playing = 0;
    health = 1.0f;
}

TEST(Pick, MenuSelectionFindsThePanelsAndClicksStepTheOptionsWithinTheirLimits)
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
        {&sfxVolume, 80, 550, 280, 6, 100},          {&sfxVolume, 97, 550, 280, 1, 100},
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
