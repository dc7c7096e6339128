#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include <GL/glu.h>

#include "app/lifecycle.h"
#include "render/hud.h"
#include "render/lights.h"
#include "render/world.h"
#include "input/picking.h"
#include "render/entities.h"
#include "scene_setup.h"

// The fast paths (walls, ground and figure shapes from display lists, off-screen entities
// skipped) must give the very frame and the very hits of sending everything afresh.

// A new game, then a fixed field on the game's grid, a lying bunny and a figure mid-stride
// with three parts hit, 1.2 in front of the eye at yaw 0.
static void layOutKnownField(int day)
{
    newGame();
    std::mt19937 random(1234u);
    std::uniform_int_distribution<int> cell(-30, 29);
    for (Entity& bunny : bunnies) {
        bunny = Entity{cell(random) / 10.0f, 0.0f, cell(random) / 10.0f, 0.0f, 0,
                       static_cast<float>(cell(random) * 6), 0};
    }
    for (Entity& tree : trees) {
        tree = Entity{cell(random) / 10.0f, 0.0f, cell(random) / 10.0f, 0.0f, 0, 0.0f, 0};
    }
    bunnies[2] = Entity{0.35f, 0.0f, -1.0f, 0.0f, 0, 30.0f, 1};
    figurePosition = Vector3(0.0f, 0.0f, -1.2f);
    figureHeading = 160.0f;
    figurePartHits[0] = figurePartHits[3] = figurePartHits[5] = 1;
    figureHipAngle[0] = figureElbowAngle[1] = 20.0f;
    figureHipAngle[1] = figureShoulderAngle[0] = -25.0f;
    figureKneeAngle[1] = 30.0f;
    enterTestPlay(day);
    flashlightOn = 1 - day;  // the flashlight by night
    flashlightOn != 0 ? glEnable(GL_LIGHT1) : glDisable(GL_LIGHT1);
}

// One camera: eye at (x, 0.25, z), turned by yaw (0 faces -z) and pitched up by pitch.
struct View {
    float x, z, yaw, pitch;
};

static void look(const View& v)
{
    const float c = 0.25f * std::cos(v.pitch);
    placeCamera(Vector3(v.x, 0.25f, v.z),
                Vector3(v.x + c * std::sin(v.yaw), 0.25f + 0.25f * std::sin(v.pitch),
                        v.z - c * std::cos(v.yaw)));
}

// Turns round at two spots, plus one look up past the figure's centre: the bottom edge of
// the view leaves only the top of its head in sight.
static std::vector<View> views()
{
    std::vector<View> all;
    for (int step = 0; step < 6; ++step) {
        all.push_back({0.0f, 0.0f, step * 1.047198f, -0.08f});
        all.push_back({-2.0f, 0.5f, step * 1.047198f + 0.3f, 0.0f});
    }
    all.push_back({0.0f, -0.446f, 0.0f, 1.047198f});
    return all;
}

// The second of two frames on one path, so state a frame leaves behind counts too.
static std::vector<unsigned char> frameOnPath(bool fast)
{
    setEntityFastPath(fast);
    setWorldFastPath(fast);
    for (int k = 0; k < 2; ++k) {
        display();
        glFinish();
    }
    return readFrame();
}

// The hit count, then every word of the hit records (names, depths), in order.
static std::vector<GLuint> hitsOnPath(bool fast)
{
    setEntityFastPath(fast);
    const GLint count = runSelectionPass();
    const GLuint* words = selectionBuffer();
    size_t used = 0;
    for (GLint h = 0; h < count && used < static_cast<size_t>(selectBufferSize); ++h) {
        used = std::min<size_t>(used + 3 + words[used], selectBufferSize);
    }
    std::vector<GLuint> hits{static_cast<GLuint>(count)};
    hits.insert(hits.end(), words, words + used);
    return hits;
}

static size_t differingBytes(const std::vector<unsigned char>& a,
                             const std::vector<unsigned char>& b)
{
    return a.size() != b.size() ? a.size() + b.size()
                                : std::inner_product(a.begin(), a.end(), b.begin(), size_t{0},
                                                     std::plus<>(), std::not_equal_to<>());
}

// The play frame in its first order: the HUD, then the scene depth-tested against it.
static std::vector<unsigned char> hudFirstFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
        drawHud();
        placePlayCamera();
        drawWorld();
        drawEntities(0);
    glPopMatrix();
    glFinish();
    return readFrame();
}

// The fast path must give the reference's frames and hits; and display(), which draws the
// HUD after the scene, the frame of drawing it first with the scene depth-tested against it.
TEST(FrameIdentity, FastPathAndHudLastDrawTheSameFramesAndHitsAsTheReference)
{
    for (int day = 1; day >= 0; --day) {
        layOutKnownField(day);
        shotsFired = 3;
        health = 0.5f;
        for (const View& v : views()) {
            look(v);
            SCOPED_TRACE(::testing::Message() << "day " << day << " eye " << v.x << ", " << v.z
                                              << " yaw " << v.yaw << " pitch " << v.pitch);
            const std::vector<unsigned char> reference = frameOnPath(false);
            const std::vector<unsigned char> fast = frameOnPath(true);
            EXPECT_EQ(differingBytes(reference, fast), 0u);
            EXPECT_EQ(differingBytes(hudFirstFrame(), fast), 0u);
            EXPECT_EQ(hitsOnPath(true), hitsOnPath(false));
        }
    }
    setEntityFastPath(true);
    setWorldFastPath(true);
}

TEST(FrameIdentity, ComparedFramesReallyShowTheEntities)
{
    layOutKnownField(1);
    look({0.0f, 0.0f, 0.0f, -0.08f});
    const std::vector<unsigned char> withEntities = frameOnPath(true);
    const std::vector<GLuint> hits = hitsOnPath(true);
    emptyField();
    EXPECT_NE(frameOnPath(true), withEntities);
    EXPECT_GT(hits[0], 0u);  // the centre ray meets the figure
}
