#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reading the gun shot: the WAV header is checked by our own reader, the sound is decoded by
// SDL's WAV reader and converted by SDL's converter to the output's format, so the mixer only
// ever plays samples already in its format and no length passes through its own conversion.

// The longest sound taken, in seconds (the gun shot is a third of one); at the 44000 Hz
// 16-bit stereo output that is 1.76 MB of samples.
const int soundSecondsLimit = 10;

// Reads the WAV file at path (a regular file of at most assetSizeLimit bytes; its header is
// read first, the sound data only once the header passes) and decodes it to interleaved signed
// 16-bit samples in the machine's byte order at rate Hz with the given number of channels.
// Refused, with one line (without its end) giving the reason in whyNot: a header that is not
// a WAV's, one inconsistent with the file, a format SDL cannot decode, 0 or more than 8
// channels, a sample rate above 192000 Hz, no sound, or more than soundSecondsLimit seconds of
// it. whyNot stays empty for a file that does not exist. On failure samples is empty.
bool decodeWav(const char* path, int rate, int channels, std::vector<int16_t>& samples,
               std::string& whyNot);
