#include <random>

#include "render/entities.h"
#include "render/hud.h"
#include "render/lights.h"
#include "render/world.h"
#include "scene_setup.h"

// The fast paths (walls, ground and figure shapes from display lists, off-screen world blocks
// and entities skipped) must give the very frame of sending everything afresh.

// A fixed field on the game's grid, a lying bunny and a figure mid-stride with three parts
// hit, 1.2 in front of the eye at yaw 0; the flashlight on by night.
static void layOutKnownField(int day)
{
    emptyScene(day);
    std::mt19937 random(1234u);
    std::uniform_int_distribution<int> cell(-30, 29);
    for (Entity& bunny : bunnies) {
        bunny = Entity{cell(random) / 10.0f, 0.0f, cell(random) / 10.0f, 0.0f, 0,
                       static_cast<float>(cell(random) * 6), 0};
    }
    for (Entity& tree : trees) {
        tree = Entity{cell(random) / 10.0f, 0.0f, cell(random) / 10.0f, 0.0f, 0, 0.0f, 0};
    }
    bunnies[2] = at(0.35f, -1.0f, 30.0f, 1);
    figurePosition = Vector3(0.0f, 0.0f, -1.2f);
    figureHeading = 160.0f;
    figurePartHits[0] = figurePartHits[3] = figurePartHits[5] = 1;
    figureHipAngle[0] = figureElbowAngle[1] = 20.0f;
    figureHipAngle[1] = figureShoulderAngle[0] = -25.0f;
    figureKneeAngle[1] = 30.0f;
    flashlightOn = 1 - day;
    flashlightOn != 0 ? glEnable(GL_LIGHT1) : glDisable(GL_LIGHT1);
    shotsFired = 3;
    health = 0.5f;
}

// Eye at (x, 0.25, z), turned by yaw (0 faces -z) and pitched up by pitch.
struct View {
    float x, z, yaw, pitch;
};

// Turns round at two spots; a look up that leaves only the top of the figure's head in sight;
// three looks, found for this field, where only the fringe of a tree, a bunny, the figure shows;
// looks where a ground block (then a wall block) shows only a pixel or a one-pixel column at a
// frame corner or edge: culling them 2.5 mm too eagerly changes the frame.
static std::vector<View> views()
{
    std::vector<View> all{{0.0f, -0.446f, 0.0f, 1.047198f}, {1.055f, -0.01f, 0.457f, -1.231f},
                          {1.95f, -0.484f, -1.342f, 0.0f}, {1.631f, -0.449f, 5.302f, -0.913f},
                          {1.72646117f, -1.63635206f, 1.34035277f, -0.287466168f},
                          {0.301376343f, -0.304223061f, 1.25765085f, -1.05505788f},
                          {2.62318444f, 2.22930789f, 3.84288716f, 0.572864652f},
                          {-2.52990198f, 0.270506144f, 1.10060537f, -0.971022606f},
                          {0.966341972f, -0.986726165f, 0.448240459f, 0.62372148f},
                          {-2.76428962f, -0.674236059f, 0.176239625f, -0.965943635f},
                          {-0.588487864f, 1.97826648f, 4.93364382f, 0.193576574f},
                          {-0.751013756f, -1.25151765f, 5.26479387f, -0.139084697f},
                          {0.1f, -1.0f, -0.681476235f, 0.0f}, {-1.2f, 0.3f, -0.180013269f, 0.0f},
                          {0.1f, -1.5f, -0.445423692f, -1.00108242f},
                          {1.5f, 0.2f, 1.48381376f, -0.935821295f}};
    for (int step = 0; step < 6; ++step) {
        all.push_back({0.0f, 0.0f, step * 1.047198f, -0.08f});
        all.push_back({-2.0f, 0.5f, step * 1.047198f + 0.3f, 0.0f});
    }
    return all;
}

// The play frame sent afresh in its first order: the HUD, then the flashlight in eye space,
// the camera, the sun in world space and the scene, depth-tested against the HUD.
static std::vector<unsigned char> referenceFrame()
{
    setEntityFastPath(false);
    setWorldFastPath(false);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    drawHud();
    placeFlashlight();
    gluLookAt(eyePosition.x, eyePosition.y, eyePosition.z, lookAtPoint.x, lookAtPoint.y,
              lookAtPoint.z, upVector.x, upVector.y, upVector.z);
    placeSunLight();
    drawWorld();
    drawEntities(0);
    return readFrame();
}

TEST(FrameIdentity, FastPathsDrawTheReferenceFrame)
{
    // The second of two frames on the fast path, so state a frame leaves behind counts too.
    const auto fastFrame = [] {
        setEntityFastPath(true);
        setWorldFastPath(true);
        display();
        return drawGameFrame();
    };
    for (int day = 1; day >= 0; --day) {
        layOutKnownField(day);
        for (const View& v : views()) {
            const float c = 0.25f * std::cos(v.pitch);
            eyePosition = Vector3(v.x, 0.25f, v.z);
            lookAtPoint = Vector3(v.x + c * std::sin(v.yaw), 0.25f + 0.25f * std::sin(v.pitch),
                                  v.z - c * std::cos(v.yaw));
            EXPECT_TRUE(referenceFrame() == fastFrame())
                << "day " << day << ": " << v.x << " " << v.z << " " << v.yaw << " " << v.pitch;
        }
    }
    // The frames compared really show the entities.
    const std::vector<unsigned char> withEntities = fastFrame();
    emptyField();
    EXPECT_TRUE(fastFrame() != withEntities);
}
