#pragma once

#include <string>
#include <vector>

// The soak's judgement of memory, from the lowest resident size (kB) of each half minute of
// play; a window without a sample holds -1.
//
// The soak runs the game on Mesa's softpipe with freed heap pages handed back (demo.cpp says
// why), where the floor holds within a few hundred kB after the first minute. A GL driver
// that compiles shaders fills its caches as new drawing states come up: in large steps over
// the first minutes, then now and then by one allocator step of about 512 kB or a level about
// 4.5 MB higher, held to the end or for a minute only. A leak climbs and stays up. So the
// first half only warms up, and the second half is judged from its first minute to its last
// two: a climb of 12 MB or more fails, and so does one of 512 kB or more when the floor rose
// in at least half of its half-minute windows. Over ten minutes that catches a leak that
// climbs steadily from about 170 kB a minute, and one that climbs in large steps from about
// 4 MB a minute.
struct SoakGrowth {
    long climbKb = 0;    // from the lowest floor of the second half's first minute to that
                         // of its last two minutes
    int risingWindows = 0;  // windows of the second half that stand above the one before
    int judgedWindows = 0;  // windows of the second half after its first
};

SoakGrowth soakGrowth(const std::vector<long>& floors);

// Why the floors fail the soak, or empty when they pass. Needs at least 8 windows.
std::string soakMemoryFault(const std::vector<long>& floors);
