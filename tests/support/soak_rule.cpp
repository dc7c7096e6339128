#include "support/soak_rule.h"

#include <algorithm>

// Lowest sampled floor of windows [from, to); -1 when none was sampled.
static long lowestFloor(const std::vector<long>& floors, size_t from, size_t to)
{
    long lowest = -1;
    for (size_t w = from; w < to && w < floors.size(); ++w) {
        if (floors[w] > 0 && (lowest < 0 || floors[w] < lowest)) {
            lowest = floors[w];
        }
    }
    return lowest;
}

SoakGrowth soakGrowth(const std::vector<long>& floors)
{
    SoakGrowth growth;
    const size_t n = floors.size();
    const size_t half = n / 2;
    if (n < 8) {
        return growth;
    }
    const long start = lowestFloor(floors, half, half + 2);
    const long end = lowestFloor(floors, n - 4, n);
    growth.climbKb = start > 0 && end > 0 ? std::max(0L, end - start) : 0;
    growth.judgedWindows = static_cast<int>(n - half - 1);
    for (size_t w = half + 1; w < n; ++w) {
        if (floors[w] > 0 && floors[w - 1] > 0 && floors[w] > floors[w - 1]) {
            growth.risingWindows += 1;
        }
    }
    return growth;
}

std::string soakMemoryFault(const std::vector<long>& floors)
{
    if (floors.size() < 8) {
        return "too few half minutes to tell a leak from the driver's caches; give at least "
               "240 s";
    }
    const SoakGrowth g = soakGrowth(floors);
    const std::string climb = std::to_string(g.climbKb) + " kB over the second half";
    if (g.climbKb >= 12288) {
        return "resident memory kept growing: " + climb;
    }
    if (g.climbKb >= 512 && 2 * g.risingWindows >= g.judgedWindows) {
        return "resident memory crept up: " + climb + ", rising in " +
               std::to_string(g.risingWindows) + " of " + std::to_string(g.judgedWindows) +
               " half minutes";
    }
    return "";
}
