#include "scene_setup.h"

static bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Grey shadows (inner pixels: the rim also covers the trunk's foot and the belly) on the grass
// under a tree and a bunny by day; by night bare ground there. A shot bunny lies red on its
// side, lower than a standing one, which is not red but for its eyes (seen above the HUD).
TEST(Entities, ShadowsByDayOnlyAndAShotBunnyLiesRedOnItsSide)
{
    std::vector<unsigned char> frames[5];  // by day empty, standing, shot; by night empty, standing
    for (int k = 0; k < 5; ++k) {
        emptyScene(k < 3, Vector3(0.0f, 0.5f, 0.3f), Vector3(0.0f, 0.3f, -0.25f));
        trees[0] = at(k % 3 != 0 ? 0.5f : -100.0f, -1.0f);
        bunnies[0] = at(k % 3 != 0 ? -0.4f : -100.0f, -0.6f, 30.0f, k == 2 ? 2 : 0);
        frames[k] = drawGameFrame();
    }
    const auto shadowAt = [&](int x, int y) {
        const Rgb c = pixelOf(frames[1], x, y), grass = pixelOf(frames[0], x, y);
        return grass.g > grass.r + 15 && c.r > 25 && c.r < 90 && std::abs(c.r - c.g) < 12 &&
               std::abs(c.g - c.b) < 12;
    };
    int shadow = 0, bunnyShadow = 0, unchangedAtNight = 0, red[2] = {0, 0}, top[2] = {0, 0};
    for (int y = 2; y < testWindowHeight - 2; ++y) {
        for (int x = 2; x < testWindowWidth - 2; ++x) {
            bool inner = true;
            for (int d = 0; d < 25 && inner; ++d) {
                inner = shadowAt(x + d % 5 - 2, y + d / 5 - 2);
            }
            shadow += inner ? 1 : 0;
            bunnyShadow += inner && x < 450 ? 1 : 0;
            unchangedAtNight += inner && same(pixelOf(frames[4], x, y), pixelOf(frames[3], x, y));
            for (int shot = 0; shot < 2 && x < 450 && y >= 160; ++shot) {
                const Rgb c = pixelOf(frames[1 + shot], x, y);
                top[shot] = same(c, pixelOf(frames[0], x, y)) ? top[shot] : y;
                red[shot] += isRed(c) && !same(c, pixelOf(frames[0], x, y)) ? 1 : 0;
            }
        }
    }
    EXPECT_TRUE(bunnyShadow > 30 && shadow > 1500) << bunnyShadow << " " << shadow;
    EXPECT_EQ(unchangedAtNight, shadow);
    EXPECT_TRUE(red[0] < 50 && red[1] > 1000) << red[0] << " " << red[1];
    EXPECT_GT(top[0] - top[1], 15) << "the ears no longer stand up";
    emptyField();
}
