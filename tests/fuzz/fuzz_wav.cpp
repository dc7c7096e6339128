// A WAV file through the sound loader: our header checks, SDL's decoding and the conversion
// to the game's output format (44000 Hz, 16-bit stereo).
#include "assets/wav.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<int16_t> samples;
    std::string whyNot;
    if (decodeWav(writeFuzzInput(data, size), 44000, 2, samples, whyNot)) {
        // Whole stereo frames, no longer than the limit (with the resampler's rounding).
        if (samples.empty() || samples.size() % 2 != 0 ||
            samples.size() / 2 > (soundSecondsLimit + 1) * 44000u) {
            std::abort();
        }
    } else if (!samples.empty() || whyNot.empty()) {
        std::abort();  // a refusal keeps no samples and says why
    }
    return 0;
}
