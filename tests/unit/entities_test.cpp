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
        for (int y = 160; y < testWindowHeight; ++y) {
            for (int x = 340; x < testWindowWidth; ++x) {
                red[hits / 2] += isRed(pixelOf(frame, x, y)) ? 1 : 0;
                top[hits / 2] = same(pixelOf(frame, x, y), pixelOf(empty, x, y)) ? top[hits / 2]
                                                                                 : y;
            }
        }
    }
    EXPECT_TRUE(red[0] < 50 && red[1] > 2000) << red[0] << " " << red[1];
    EXPECT_TRUE(top[1] > 0 && top[0] - top[1] > 40) << "the ears no longer stand up";
    emptyField();
}

// Grey shadow pixels (inner ones: the rim also covers the trunk's foot and the belly) over the
// grass under a tree and a bunny by day; by night the same pixels show the bare ground.
TEST(Entities, ShadowsByDayOnly)
{
    std::vector<unsigned char> frames[2][2];  // [day][with the tree and bunny]
    for (int k = 0; k < 4; ++k) {
        emptyScene(k / 2, Vector3(0.0f, 0.5f, 0.3f), Vector3(0.0f, 0.3f, -0.25f));
        trees[0] = Entity{k % 2 ? 0.5f : -100.0f, 0.0f, -1.0f, 0.0f, 0, 0.0f, 0};
        bunnies[0] = Entity{k % 2 ? -0.4f : -100.0f, 0.0f, -0.6f, 0.0f, 0, 30.0f, 0};
        frames[k / 2][k % 2] = drawGameFrame();
    }
    const auto shadowAt = [&](int x, int y) {
        const Rgb c = pixelOf(frames[1][1], x, y), grass = pixelOf(frames[1][0], x, y);
        return grass.g > grass.r + 15 && c.r > 25 && c.r < 90 && std::abs(c.r - c.g) < 12 &&
               std::abs(c.g - c.b) < 12;
    };
    int shadow = 0, bunnyShadow = 0, unchangedAtNight = 0;
    for (int y = 2; y < testWindowHeight - 2; ++y) {
        for (int x = 2; x < testWindowWidth - 2; ++x) {
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
    EXPECT_TRUE(bunnyShadow > 30 && shadow > 1500) << bunnyShadow << " " << shadow;
    EXPECT_EQ(unchangedAtNight, shadow);
    emptyField();
}
