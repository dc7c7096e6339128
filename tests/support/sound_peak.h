#pragma once

#include <string>

// Loudest 16-bit sample of raw audio (the disk audio driver's output, a WAV's data) in the
// file at path from byte offset from on.
int loudestSample(const std::string& path, long from);
