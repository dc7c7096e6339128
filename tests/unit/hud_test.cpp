#include "render/hud.h"
#include "scene_setup.h"

static bool near(Rgb c, const int want[3], int tolerance)
{
    return std::abs(c.r - want[0]) <= tolerance && std::abs(c.g - want[1]) <= tolerance &&
           std::abs(c.b - want[2]) <= tolerance;
}

// Four red status lines at the lower left, 0.14 of a 4 x 3 view apart from y -1.0, the last
// ("Health:") on its baseline; the accuracy line (the third) follows the shots and the hits.
// The health bar, 0.8 long at full health from x -1.56, is green above 0.6, yellow above 0.3,
// red below, its black frame showing beyond. The crosshair's strokes run 5 to 14 pixels out
// from the centre in the chosen colour. Kills count bunnies with hits; accuracy is every hit
// (figure parts too) over the shots, uncapped, 0 with no shot fired.
TEST(Hud, StatusLinesHealthBarCrosshairKillsAndAccuracy)
{
    const int black[3] = {0, 0, 0};
    const struct { float health; int bar[3], crosshair[3], shots, hits; } cases[] = {
        {1.0f, {102, 255, 25}, {255, 255, 255}, 4, 2}, {0.61f, {102, 255, 25}, {0, 255, 255}, 5, 2},
        {0.6f, {255, 255, 0}, {255, 0, 255}, 5, 3},    {0.31f, {255, 255, 0}, {255, 0, 255}, 5, 3},
        {0.3f, {255, 0, 0}, {0, 255, 255}, 5, 3},      {0.0f, {0, 0, 0}, {255, 255, 255}, 5, 3}};
    std::vector<unsigned char> accuracyLine;
    for (int i = 0; i < 6; ++i) {
        const auto& c = cases[i];
        emptyScene(1);
        health = c.health;
        shotsFired = c.shots;
        bunnies[0].hits = c.hits;
        for (int k = 0; k < 3; ++k) {
            crosshairColor[k] = c.crosshair[k] / 255.0f;
        }
        const std::vector<unsigned char> frame = drawGameFrame();
        const auto inked = [&](int y) { return countPixels(frame, 0, y, 105, y + 1, isRed); };
        const auto up = [](int k) { return static_cast<int>(std::lround(0.14 * k * 256.0)); };
        std::vector<int> tops;  // the rows where each line's text ends, bottom line first
        for (int y = 0; y < 200; ++y) {
            tops.insert(tops.end(), inked(y) && !inked(y + 1) ? 1 : 0, y);
        }
        const int t = tops.empty() ? -1 : tops[0];
        EXPECT_EQ(tops, (std::vector<int>{t, t + up(1), t + up(2), t + up(3)}));
        EXPECT_TRUE(inked(static_cast<int>(std::lround(0.08 * 256.0))) && !inked(19)) << "Health:";
        const auto row = [&](int y) { return frame.begin() + y * testWindowWidth * 3; };
        const std::vector<unsigned char> line(row(50), row(75));
        EXPECT_EQ(line != accuracyLine,
                  i == 0 || c.shots != cases[i - 1].shots || c.hits != cases[i - 1].hits);
        accuracyLine = line;
        const int end = static_cast<int>(512.0f + (-1.56f + 0.8f * health) * 256.0f);
        for (int x = 114; x < 315; x += 3) {
            const Rgb p = pixelOf(frame, x, 31);  // the bar's middle row
            EXPECT_TRUE(x < end - 2 ? near(p, c.bar, 20) : x <= end + 2 || near(p, black, 8))
                << health << " column " << x;
        }
        for (int off = 0; off < 20; ++off) {
            for (const Rgb p : {pixelOf(frame, 512 + off, 384), pixelOf(frame, 511 - off, 384),
                                pixelOf(frame, 512, 384 + off), pixelOf(frame, 512, 383 - off)}) {
                EXPECT_EQ(near(p, c.crosshair, 2), off >= 5 && off < 15) << "crosshair " << off;
            }
        }
    }
    EXPECT_TRUE(countKills() == 1 && std::fabs(computeAccuracy() - 60.0f) < 1e-4f);
    bunnies[9].hits = figurePartHits[5] = 1;
    shotsFired = 2;
    EXPECT_EQ(countKills(), 2) << "figure hits are no kills";
    EXPECT_NEAR(computeAccuracy(), 250.0f, 1e-3f) << "not capped at 100";
    emptyField();
    shotsFired = 0;
    EXPECT_EQ(computeAccuracy(), 0.0f);
}
