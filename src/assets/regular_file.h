#pragma once

#include <cstdio>
#include <vector>

// Opening an asset file: only a regular file is read, and opening never blocks, so a FIFO,
// a device such as /dev/zero or a directory in an asset's place is refused at once.

// The most bytes a mesh or sound file may hold; the game's own are far smaller.
const long long assetSizeLimit = 64LL * 1024 * 1024;

// Opens path for binary reading when what opens is a regular file of at most maxBytes
// (0: any size). The checks look at the opened file, not the name, so a file swapped in
// between them does not count. A file that opens but is refused gets one line on report
// giving the reason, and refused is set; a file that does not open at all gets no line,
// so the caller's own message stands. Null in both cases.
std::FILE* openRegularFile(const char* path, long long maxBytes, std::FILE* report,
                           bool* refused = nullptr);

// Reads the whole of such a file into bytes. False, after the reason on report for a
// refused file or a failed read, when it cannot.
bool readRegularFile(const char* path, long long maxBytes, std::FILE* report,
                     std::vector<unsigned char>& bytes);
