#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "scene_setup.h"

static bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A bunny with hits lies red on its side, its top lower than a standing one's; one without
// hits is not red (but for its eyes). Rows compared right of the HUD's text.
TEST(Entities, ShotBunnyLiesRedOnItsSide)
{
    emptyScene(1, Vector3(0.0f, 0.2f, 0.6f), Vector3(0.0f, 0.1f, 0.0f));
    const std::vector<unsigned char> empty = drawGameFrame();
    int red[2] = {0, 0}, top[2] = {-1, -1};
    for (int hits : {0, 2}) {
        bunnies[0] = Entity{0.0f, 0.0f, 0.0f, 0.0f, 0, 0.0f, hits};
        const std::vector<unsigned char> frame = drawGameFrame();
        const int k = hits / 2;
        for (int y = 160; y < testWindowHeight; ++y) {
            for (int x = 340; x < testWindowWidth; ++x) {
                red[k] += isRed(pixelOf(frame, x, y)) ? 1 : 0;
                top[k] = same(pixelOf(frame, x, y), pixelOf(empty, x, y)) ? top[k] : y;
            }
        }
    }
    EXPECT_LT(red[0], 50);
    EXPECT_GT(red[1], 2000);
    EXPECT_GT(top[1], 0);
    EXPECT_GT(top[0] - top[1], 40) << "the ears no longer stand up";
    emptyField();
}

// Grey shadow pixels over the grass under a tree and a bunny by day; by night the same pixels
// show the ground exactly as without them.
TEST(Entities, ShadowsByDayOnly)
{
    std::vector<unsigned char> frames[2][2];  // [day][with the tree and bunny]
    for (int day : {1, 0}) {
        for (int with : {0, 1}) {
            emptyScene(day, Vector3(0.0f, 0.5f, 0.3f), Vector3(0.0f, 0.3f, -0.25f));
            if (with == 1) {
                trees[0] = Entity{0.5f, 0.0f, -1.0f, 0.0f, 0, 0.0f, 0};
                bunnies[0] = Entity{-0.4f, 0.0f, -0.6f, 0.0f, 0, 30.0f, 0};
            }
            frames[day][with] = drawGameFrame();
        }
    }
    const auto shadowAt = [&](int x, int y) {
        const Rgb c = pixelOf(frames[1][1], x, y), grass = pixelOf(frames[1][0], x, y);
        return grass.g > grass.r + 15 && c.r > 25 && c.r < 90 && std::abs(c.r - c.g) < 12 &&
               std::abs(c.g - c.b) < 12;
    };
    int shadow = 0, bunnyShadow = 0, unchangedAtNight = 0;
    for (int y = 2; y < testWindowHeight - 2; ++y) {
        for (int x = 2; x < testWindowWidth - 2; ++x) {
            // Inner pixels only: the shadow's rim also covers the trunk's foot and the belly.
            bool inner = true;
            for (int d = 0; d < 25 && inner; ++d) {
                inner = shadowAt(x + d % 5 - 2, y + d / 5 - 2);
            }
            shadow += inner ? 1 : 0;
            bunnyShadow += inner && x < 450 ? 1 : 0;
            unchangedAtNight +=
                inner && same(pixelOf(frames[0][1], x, y), pixelOf(frames[0][0], x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(bunnyShadow, 30);
    EXPECT_GT(shadow, 1500);
    EXPECT_EQ(unchangedAtNight, shadow);
    emptyField();
}
