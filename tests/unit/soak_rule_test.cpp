#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/soak_rule.h"

// Twenty half-minute floors: a warm-up window, base through the first half, then a climb of
// perWindow every stepEvery windows over the second half.
static std::vector<long> floorsWith(long base, long perWindow, int stepEvery)
{
    std::vector<long> floors = {118000};
    for (int w = 1; w < 20; ++w) {
        const int steps = w < 10 ? 0 : (w - 9) / stepEvery;
        floors.push_back(base + steps * perWindow);
    }
    return floors;
}

// Driver-like floors pass (warm-up steps, two allocator steps late in the run, a window held
// high for a minute at the end, a higher level held to the end, a window without a sample);
// leaks fail, steady or in steps.
TEST(SoakRule, DriverCachesPassAndLeaksFail)
{
    const std::vector<long> lateSteps = {119868, 153300, 153324, 153324, 153324, 161340, 161340,
                                         161388, 161388, 161444, 161444, 161444, 161444, 161444,
                                         161444, 161444, 161444, 161960, 161960, 162476};
    std::vector<long> spikeAtEnd = floorsWith(160324, 0, 1);
    spikeAtEnd[18] = spikeAtEnd[19] = 169176;
    spikeAtEnd[12] = -1;
    const std::vector<long> heldLevel = {117800, 131064, 131632, 131640, 131640, 132156, 132672,
                                         163964, 163964, 163964, 163964, 164008, 164008, 164008,
                                         164008, 168624, 168624, 168444, 168444, 168444};
    const struct {
        const char* name;
        std::vector<long> floors;
        std::string fault;  // the start of the reason, empty for a pass
    } cases[] = {
        {"two late allocator steps", lateSteps, ""},
        {"a minute held high at the end", spikeAtEnd, ""},
        {"100 kB every half minute", floorsWith(160000, 100, 1), "resident memory crept up"},
        {"a level 4.5 MB up to the end", heldLevel, ""},
        {"516 kB every minute", floorsWith(160000, 516, 2), "resident memory crept up"},
        {"4 MB every minute", floorsWith(160000, 4096, 2), "resident memory kept growing"},
        {"too short", std::vector<long>(7, 160000), "too few half minutes"},
    };
    for (const auto& c : cases) {
        const std::string fault = soakMemoryFault(c.floors);
        EXPECT_EQ(fault.substr(0, c.fault.size()), c.fault) << c.name << ": " << fault;
        EXPECT_EQ(fault.empty(), c.fault.empty()) << c.name << ": " << fault;
    }
    const SoakGrowth g = soakGrowth(lateSteps);
    EXPECT_EQ(g.climbKb, 0);  // the last two minutes' lowest floor is the first minute's
    EXPECT_EQ(g.risingWindows, 2);
    EXPECT_EQ(g.judgedWindows, 9);
}
