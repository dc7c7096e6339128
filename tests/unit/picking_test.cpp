#include "input/mouse.h"
#include "input/picking.h"
#include "scene_setup.h"

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

// Closeness: the two depths summed with wrap-around, read as signed, halved toward zero,
// made positive.
TEST(ProcessHits, ClosenessWrapsHalvesTowardZeroAndIsPositive)
{
    const GLuint cases[][3] = {{0xFFFFFFFFu, 0xFFFFFFFFu, 1}, {0x80000000u, 0x80000000u, 0},
                               {0u, 0x80000000u, 1073741824}, {3u, 0u, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(closeness(c[0], c[1]), static_cast<int>(c[2])) << c[0] << " " << c[1];
    }
}

// A shot hits the nearest figure part and up to four bunnies nearer than every trunk, if
// alive. Each record is printed with its closeness, half the wrapped signed sum of its depths.
TEST(ProcessHits, ShotHitsTheNearestPartAndUpToFourBunniesNearerThanEveryTrunk)
{
    const int head = pickFigureHead, torso = pickFigureTorso, bunny = pickFirstBunny;
    const struct {
        std::vector<std::vector<int>> recs;
        std::vector<int> hit;  // figure parts 0 to 5, then bunny i as 6 + i
        float health = 1.0f;
        GLint count = 0;  // 0: every record
    } cases[] = {
        {{{192, bunny + 1}}, {7}},                            // its print checked
        {{{100, torso}, {300, head}, {200, head + 2}}, {0}},  // the nearest part
        {{{100, head + 2}, {100, head}}, {2}},                // equal: the first met
        {{{10, bunny}, {20, bunny + 1}, {30, bunny + 2}, {40, bunny + 3}, {900, bunny + 4}},
         {6, 7, 8, 9}},
        {{{100, bunny}, {200, pickFirstTrunk}, {300, bunny + 1}, {150, pickLastTrunk}}, {7}},
        {{{200, bunny}, {200, pickFirstTrunk + 1}}, {}},    // an equally near trunk blocks
        {{{500, pickFirstCrown}, {100, bunny + 4}}, {10}},  // a crown does not
        {{{900, pickFirstTrunk + 2}, {800, pickLastBunny}, {100, pickFigureLastPart}}, {5}},
        {{{100, head}, {200, bunny}}, {}, 0.0f},      // a dead player
        {{{100, head}, {200, bunny}}, {}, 1.0f, -1},  // overflow
    };
    for (const auto& c : cases) {
        emptyField();
        playing = 1;
        health = c.health;
        testing::internal::CaptureStdout();
        processHits(c.count != 0 ? c.count : GLint(c.recs.size()), records(c.recs).data(), 0);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(&c != cases || printed == "depth: -192 -192\n192\nthe name of the object(s) "
                                              "hit: " + std::to_string(bunny + 1) + " \n")
            << printed;
        for (int i = 0; i < 6 + bunnyCount; ++i) {
            const int hits = i < 6 ? figurePartHits[i] : bunnies[i - 6].hits;
            EXPECT_EQ(hits, std::count(c.hit.begin(), c.hit.end(), i)) << &c - cases << ": " << i;
        }
    }
    playing = 0;
    health = 1.0f;
}

// Clicks count a shot and hit what lies under the crosshair, wherever the pointer is: each
// figure part alone; bunny 4 and bunny 11 behind it, unless a trunk in front shields them,
// and through a crown 4 alone (11 lies below the ray); a killed bunny too.
TEST(ShotPicking, ClicksHitWhatLiesUnderTheCrosshair)
{
    const float aims[6][2] = {{0.0f, 0.43f},  {0.0f, 0.3f},    {-0.058f, 0.3f},
                              {0.058f, 0.3f}, {-0.024f, 0.1f}, {0.024f, 0.1f}};
    for (int part = 0; part < 6; ++part) {
        emptyScene(1, Vector3(aims[part][0], aims[part][1], 1.0f),
                   Vector3(aims[part][0], aims[part][1], 0.0f));
        figurePosition = Vector3(0.0f, 0.0f, 0.0f);
        shotsFired = 0;
        mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
        EXPECT_TRUE(shotsFired == 1 && figurePartHits[part] == 1 &&
                    std::count(figurePartHits, figurePartHits + 6, 0) == 5) << "part " << part;
    }
    // The bunny mesh sits about 0.017 to the -x side of its position, its middle 0.07 high.
    const float cases[][5] = {
        // eye y, tree x, tree z, hits on 4, hits on 11
        {0.07f, -100.0f, 0.0f, 1, 1}, {0.07f, 0.0f, 0.5f, 0, 0}, {0.5f, 0.1f, 0.6f, 1, 0}};
    for (const auto& c : cases) {
        emptyScene(1, Vector3(0.0f, c[0], 1.2f), Vector3(0.0f, 0.07f, 0.0f));
        trees[3] = at(c[1], c[2]);
        bunnies[4] = at(0.017f, 0.0f);
        bunnies[11] = at(0.017f, -0.6f);
        mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
        EXPECT_TRUE(bunnies[4].hits == c[3] && bunnies[11].hits == c[4]) << c[0] << ", " << c[2];
    }
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(bunnies[4].hits, 2) << "a killed bunny lies down and can still be hit";
    emptyField();
}
