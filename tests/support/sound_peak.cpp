#include "support/sound_peak.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

int loudestSample(const std::string& path, long from)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(from & ~1L);
    int peak = 0;
    for (int16_t s = 0; in.read(reinterpret_cast<char*>(&s), 2);) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}
