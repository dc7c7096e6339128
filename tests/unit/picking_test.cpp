#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "app/lifecycle.h"
#include "input/picking.h"
#include "support/gl_env.h"

// One hit record: its closeness (both depths read as -near) and its names.
struct Record {
    int near;
    std::vector<GLuint> names;
};

// A selection buffer holding the records in order.
static std::vector<GLuint> records(std::initializer_list<Record> list)
{
    std::vector<GLuint> buffer;
    for (const Record& r : list) {
        const GLuint depth = static_cast<GLuint>(-static_cast<long long>(r.near));
        buffer.push_back(static_cast<GLuint>(r.names.size()));
        buffer.push_back(depth);
        buffer.push_back(depth);
        buffer.insert(buffer.end(), r.names.begin(), r.names.end());
    }
    return buffer;
}

// A living player in play mode with no hits recorded anywhere.
static void startShotState()
{
    playing = 1;
    health = 1.0f;
    for (Entity& b : bunnies) {
        b.hits = 0;
    }
    for (int& h : figurePartHits) {
        h = 0;
    }
}

static int hitRecords(const std::vector<GLuint>& buffer)
{
    int count = 0;
    for (size_t i = 0; i < buffer.size(); i += 3 + buffer[i]) {
        ++count;
    }
    return count;
}

static std::vector<int> bunnyHits()
{
    std::vector<int> hits;
    for (const Entity& b : bunnies) {
        hits.push_back(b.hits);
    }
    return hits;
}

TEST(Closeness, WrapsTheSumReadsItSignedHalvesTowardZeroAndTakesTheMagnitude)
{
    const struct {
        GLuint minDepth, maxDepth;
        int expected;
    } cases[] = {
        {0xFFFFFFFFu, 0xFFFFFFFFu, 1},           // farthest: -1 and -1
        {0xF0000000u, 0xF0000000u, 268435456},   // nearer reads more negative
        {0x80000000u, 0x80000000u, 0},           // the sum wraps to 0
        {0x00000000u, 0x80000000u, 1073741824},  // the largest closeness, 2^30
        {0xFFFFFFFFu, 0x00000000u, 0},           // -1 / 2 truncates to 0
        {3u, 0u, 1},
        {0xFFFFFF00u, 0xFFFFFF80u, 192},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(closeness(c.minDepth, c.maxDepth), c.expected) << c.minDepth << " " << c.maxDepth;
    }
    EXPECT_GT(closeness(0xF0000000u, 0xF0000000u), closeness(0xFFFF0000u, 0xFFFF0000u));
}

TEST(ProcessHits, ShotHitsTheNearestPartAndBunniesNearerThanEveryTrunk)
{
    const struct {
        const char* what;
        std::vector<GLuint> buffer;
        int part;  // figurePartHits index expected to be 1, or -1
        std::vector<int> bunniesHit;
    } cases[] = {
        {"nearest part wins", records({{100, {4}}, {300, {3}}, {200, {5}}}), 0, {}},
        {"equal closeness keeps the first part", records({{100, {5}}, {100, {3}}}), 2, {}},
        {"first four bunnies listed whatever their closeness",
         records({{10, {9}}, {20, {10}}, {30, {11}}, {40, {12}}, {900, {13}}}), -1, {0, 1, 2, 3}},
        {"a nearer trunk blocks, a farther one does not",
         records({{100, {9}}, {200, {39}}, {300, {10}}, {150, {48}}}), -1, {1}},
        {"an equally near trunk blocks", records({{200, {9}}, {200, {40}}}), -1, {}},
        {"a crown blocks nothing", records({{500, {29}}, {100, {13}}}), -1, {4}},
        {"the part counts even behind a trunk and a bunny",
         records({{900, {41}}, {800, {20}}, {100, {8}}}), 5, {}},
        {"two bunnies in one record", records({{100, {15, 16}}}), -1, {6, 7}},
        {"menu names are no targets", records({{100, {49, 53, 2}}}), -1, {}},
    };
    for (const auto& c : cases) {
        startShotState();
        std::vector<int> expectedBunnies(bunnyCount, 0);
        for (int b : c.bunniesHit) {
            expectedBunnies[b] = 1;
        }
        processHits(hitRecords(c.buffer), c.buffer.data(), 0);
        for (int p = 0; p < 6; ++p) {
            EXPECT_EQ(figurePartHits[p], p == c.part ? 1 : 0) << c.what;
        }
        EXPECT_EQ(bunnyHits(), expectedBunnies) << c.what;
    }
    playing = 0;
}

TEST(ProcessHits, DeadPlayerOrOverflowChangesNothing)
{
    const std::vector<GLuint> buffer = records({{100, {3}}, {200, {9}}});
    startShotState();
    health = 0.0f;
    processHits(2, buffer.data(), 0);
    startShotState();
    processHits(-1, buffer.data(), 0);
    EXPECT_EQ(figurePartHits[0], 0);
    EXPECT_EQ(bunnies[0].hits, 0);
    // A killed bunny can be hit again.
    bunnies[0].hits = 1;
    processHits(2, buffer.data(), 0);
    EXPECT_EQ(bunnies[0].hits, 2);
    playing = 0;
}

TEST(ProcessHits, PrintsTheLinesOfEachRecord)
{
    playing = 0;
    menuScreen = 2;  // the help screen acts on nothing
    const GLuint buffer[] = {1, 0xFFFFFF00u, 0xFFFFFF80u, 9};
    testing::internal::CaptureStdout();
    processHits(1, buffer, 0);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "depth: -256 -128\n192\nthe name of the object(s) hit: 9 \n");
    testing::internal::CaptureStdout();
    processHits(-3, buffer, 0);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    menuScreen = 0;
}

TEST(ProcessHits, MainMenuClicksAct)
{
    playing = 0;
    menuScreen = 0;
    const GLuint options[] = {1, 0xFFFFFF00u, 0xFFFFFF00u, 50};
    processHits(1, options, 1);
    EXPECT_EQ(menuScreen, 0) << "a hover acts on nothing";
    processHits(1, options, 0);
    EXPECT_EQ(menuScreen, 1);
    menuScreen = 0;
    const GLuint help[] = {1, 0xFFFFFF00u, 0xFFFFFF00u, 52};
    processHits(1, help, 0);
    EXPECT_EQ(menuScreen, 2);

    // Start New Game switches to play mid-pass: the next name already counts as a shot.
    menuScreen = 0;
    loadGameAssetsOnce();
    const GLuint start[] = {2, 0xFFFFFF00u, 0xFFFFFF00u, 49, 3};
    processHits(1, start, 0);
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(gameStarted, 1);
    EXPECT_EQ(figurePartHits[0], 1);
    EXPECT_EQ(shotsFired, 0);
    enterMenuMode();
    gameStarted = 0;
}

TEST(ProcessHitsDeathTest, QuitPanelEndsTheProcessWithStatusZero)
{
    playing = 0;
    menuScreen = 0;
    const GLuint quit[] = {1, 0xFFFFFF00u, 0xFFFFFF00u, 51};
    EXPECT_EXIT(processHits(1, quit, 0), testing::ExitedWithCode(0), "");
}

// Names of every record a menu selection pass finds at window pixel (x, y from the top).
static std::vector<GLuint> namesAt(int x, int y)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
    mouseX = static_cast<float>(x);
    mouseY = static_cast<float>(y);
    const GLint count = runSelectionPass();
    std::vector<GLuint> names;
    const GLuint* record = selectionBuffer();
    for (GLint h = 0; h < count; ++h) {
        names.insert(names.end(), record + 3, record + 3 + record[0]);
        record += 3 + record[0];
    }
    return names;
}

TEST(Pick, MenuSelectionFindsEachPanelAndArrowUnderThePointer)
{
    // The help screen names nothing, and its text, drawn in its own projection, lies
    // in every pick region.
    const GLuint none = 0xFFFFFFFFu;
    const struct {
        int screen, x, y;  // y from the top: 384 - plane y * 384
        std::vector<GLuint> names;
    } cases[] = {
        {0, 512, 326, {49}},  {0, 627, 326, {49}}, {0, 512, 422, {50}}, {0, 512, 518, {52}},
        {0, 512, 614, {51}},  {0, 627, 422, {}},   {0, 512, 374, {}},   {0, 512, 154, {}},
        {1, 550, 280, {53}},  {1, 550, 307, {54}}, {1, 564, 361, {55}}, {1, 537, 361, {56}},
        {1, 564, 422, {57}},  {1, 537, 422, {58}}, {1, 512, 169, {}},   {1, 300, 307, {}},
        {2, 512, 169, {none}}, {2, 300, 700, {none}},
    };
    for (const auto& c : cases) {
        menuScreen = c.screen;
        EXPECT_EQ(namesAt(c.x, c.y), c.names) << c.screen << " " << c.x << "," << c.y;
    }
    menuScreen = 0;
}
