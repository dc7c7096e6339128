#include <gtest/gtest.h>

#include <GL/glu.h>

#include <vector>

#include "render/entities.h"
#include "scene_setup.h"

namespace {

// Red material, lit or in shade: red well above green and blue.
bool isRed(Rgb c) { return c.r > 40 && c.r > 3 * c.g + 10 && c.r > 3 * c.b + 10; }

// Red pixels of the current frame: their count and mean position.
struct RedArea {
    int count = 0;
    double x = 0.0;
    double y = 0.0;
    int top = -1;  // highest row with a red pixel, from the bottom
};

RedArea findRed(const std::vector<unsigned char>& frame)
{
    RedArea area;
    for (int y = 0; y < testWindowHeight; ++y) {
        for (int x = 0; x < testWindowWidth; ++x) {
            const unsigned char* p = &frame[(static_cast<size_t>(y) * testWindowWidth + x) * 3];
            if (isRed(Rgb{p[0], p[1], p[2]})) {
                area.count += 1;
                area.x += x;
                area.y += y;
                area.top = std::max(area.top, y);
            }
        }
    }
    if (area.count > 0) {
        area.x /= area.count;
        area.y /= area.count;
    }
    return area;
}

// Highest row (from the bottom) where two frames differ within the columns x0..x1.
int topChangedRow(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                  int x0, int x1)
{
    for (int y = testWindowHeight - 1; y >= 0; --y) {
        for (int x = x0; x < x1; ++x) {
            const size_t k = (static_cast<size_t>(y) * testWindowWidth + x) * 3;
            if (a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2]) {
                return y;
            }
        }
    }
    return -1;
}

// The HUD's red text is in the lower left; scene checks look above it.
std::vector<unsigned char> sceneOnly(std::vector<unsigned char> frame)
{
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 340; ++x) {
            const size_t k = (static_cast<size_t>(y) * testWindowWidth + x) * 3;
            frame[k] = frame[k + 1] = frame[k + 2] = 0;
        }
    }
    return frame;
}

// The figure stands at the origin facing +z (heading 0); the camera looks at it from +z,
// so the figure's +x side shows on the right.
void lookAtFigure()
{
    emptyField();
    figurePosition = Vector3(0.0f, 0.0f, 0.0f);
    placeCamera(Vector3(0.0f, 0.25f, 0.7f), Vector3(0.0f, 0.25f, 0.0f));
}

}  // namespace

// Each hit part turns red where that part is; an unhit figure shows no red.
TEST(Entities, HitFigurePartTurnsRedWhereThatPartIs)
{
    enterTestPlay(1);
    lookAtFigure();
    drawGameFrame();
    EXPECT_EQ(findRed(sceneOnly(readFrame())).count, 0) << "no part hit yet";

    RedArea part[6];
    for (int k = 0; k < 6; ++k) {
        lookAtFigure();
        figurePartHits[k] = 1;
        drawGameFrame();
        part[k] = findRed(sceneOnly(readFrame()));
        EXPECT_GT(part[k].count, 100) << "part " << k;
    }
    const RedArea& head = part[0];
    const RedArea& torso = part[1];
    // The head is above the torso, the torso above the legs, all on the middle line.
    EXPECT_GT(head.y, torso.y);
    EXPECT_GT(torso.y, part[4].y);
    EXPECT_GT(torso.y, part[5].y);
    EXPECT_NEAR(head.x, 512.0, 10.0);
    EXPECT_NEAR(torso.x, 512.0, 10.0);
    // Arm 5 and leg 7 are on the figure's -x side, arm 6 and leg 8 on its +x side.
    EXPECT_LT(part[2].x, 512.0 - 20.0);
    EXPECT_GT(part[3].x, 512.0 + 20.0);
    EXPECT_LT(part[4].x, 512.0);
    EXPECT_GT(part[5].x, 512.0);
    // The arms hang beside the body, above the legs.
    EXPECT_GT(part[2].y, part[4].y);
    EXPECT_GT(part[3].y, part[5].y);
    emptyField();
}

// A bunny with hits lies red on its side, lower than a standing one; one without hits is
// not red. Compared against the same view with the bunny gone.
TEST(Entities, ShotBunnyLiesRedOnItsSide)
{
    enterTestPlay(1);
    emptyField();
    placeCamera(Vector3(0.0f, 0.2f, 0.6f), Vector3(0.0f, 0.1f, 0.0f));
    drawGameFrame();
    const std::vector<unsigned char> empty = readFrame();

    bunnies[0] = Entity{0.0f, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0};
    drawGameFrame();
    const std::vector<unsigned char> standing = readFrame();
    EXPECT_EQ(findRed(sceneOnly(standing)).count < 50, true) << "only its eyes may be red";

    bunnies[0].hits = 2;
    drawGameFrame();
    const std::vector<unsigned char> lying = readFrame();
    EXPECT_GT(findRed(sceneOnly(lying)).count, 2000);

    const int standingTop = topChangedRow(empty, standing, 340, testWindowWidth);
    const int lyingTop = topChangedRow(empty, lying, 340, testWindowWidth);
    ASSERT_GT(standingTop, 0);
    ASSERT_GT(lyingTop, 0);
    EXPECT_GT(standingTop - lyingTop, 40) << "the ears no longer stand up";
    emptyField();
}

// Dark shadow pixels under a tree and a bunny by day; by night the same pixels show the
// ground exactly as without them.
TEST(Entities, ShadowsByDayOnly)
{
    const auto placeThings = [] {
        trees[0] = Entity{0.5f, 0.0f, -1.0f, 0.0f, 0, 0.0f, 0};
        bunnies[0] = Entity{-0.4f, 0.0f, -0.6f, 0.0f, 0, 30.0f, 0};
    };
    std::vector<unsigned char> frames[2][2];  // [day][with things]
    for (int day : {1, 0}) {
        for (int with : {0, 1}) {
            enterTestPlay(day);
            emptyField();
            if (with == 1) {
                placeThings();
            }
            placeCamera(Vector3(0.0f, 0.5f, 0.3f), Vector3(0.0f, 0.3f, -0.25f));
            drawGameFrame();
            frames[day][with] = readFrame();
        }
    }
    // Shadow grey over what is grass without the things; the bunny's black mouth lines are
    // darker still.
    const auto shadowAt = [&](int x, int y) {
        const size_t k = (static_cast<size_t>(y) * testWindowWidth + x) * 3;
        const unsigned char* withThings = &frames[1][1][k];
        const unsigned char* ground = &frames[1][0][k];
        return ground[1] > ground[0] + 15 && withThings[0] > 25 && withThings[0] < 90 &&
               std::abs(withThings[0] - withThings[1]) < 12 &&
               std::abs(withThings[1] - withThings[2]) < 12;
    };
    int shadowPixels = 0;
    int bunnyShadowPixels = 0;
    int unchangedAtNight = 0;
    for (int y = 2; y < testWindowHeight - 2; ++y) {
        for (int x = 2; x < testWindowWidth - 2; ++x) {
            // Inner shadow pixels only: at its rim the shadow, a hair above the ground, also
            // covers the foot of the trunk and the bunny's sunken belly.
            bool inner = true;
            for (int dy = -2; dy <= 2 && inner; ++dy) {
                for (int dx = -2; dx <= 2 && inner; ++dx) {
                    inner = shadowAt(x + dx, y + dy);
                }
            }
            if (!inner) {
                continue;
            }
            shadowPixels += 1;
            bunnyShadowPixels += x < 450 ? 1 : 0;
            const size_t k = (static_cast<size_t>(y) * testWindowWidth + x) * 3;
            const bool same = frames[0][1][k] == frames[0][0][k] &&
                              frames[0][1][k + 1] == frames[0][0][k + 1] &&
                              frames[0][1][k + 2] == frames[0][0][k + 2];
            unchangedAtNight += same ? 1 : 0;
        }
    }
    EXPECT_GT(bunnyShadowPixels, 30);
    EXPECT_GT(shadowPixels, 1500);
    EXPECT_EQ(unchangedAtNight, shadowPixels);
    emptyField();
}

// Each drawing routine leaves the modelview matrix as it found it.
TEST(Entities, LeaveTheMatrixAsFound)
{
    enterTestPlay(1);
    emptyField();
    bunnies[3].hits = 1;
    figurePartHits[2] = 1;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.45, 0.0, 0.0, 0.45, -0.25, 0.0, 1.0, 0.0);
    GLfloat before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (int selecting : {0, 1}) {
        drawEntities(selecting);
        drawFigure(selecting);
        drawBunny(3, 1, selecting);
        drawBunny(4, 0, selecting);
        drawTree(2, selecting);
        GLfloat after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int k = 0; k < 16; ++k) {
            EXPECT_FLOAT_EQ(before[k], after[k]) << "selecting " << selecting;
        }
    }
    emptyField();
}
