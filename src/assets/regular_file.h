#pragma once

#include <cstdio>
#include <string>

// Opening an asset file: only a regular file is read, and opening never blocks, so a FIFO,
// a device such as /dev/zero or a directory in an asset's place is refused at once. Each
// platform opens and examines files its own way (regular_file_<platform>.cpp).

// The most bytes a mesh or sound file may hold; the game's own are far smaller.
const long long assetSizeLimit = 64LL * 1024 * 1024;

// Opens path for binary reading when what opens is a regular file of at most maxBytes
// (0: any size). The checks look at the opened file, not the name, so a file swapped in
// between them does not count. Null when it is refused or does not open; whyNot then holds one
// line (without its end) giving the reason, the system's own when the open failed (no
// descriptor left, no permission), or stays empty for a file that does not exist, which the
// caller's own message says. The caller prints its message first and the reason after it.
std::FILE* openRegularFile(const char* path, long long maxBytes, std::string& whyNot);

// The reason lines of the platform files, in the same words on every platform: path is kind
// ("a directory") instead of a regular file, holds size bytes over maxBytes, or could not be
// opened for the system's own reason.
std::string notRegularLine(const char* path, const char* kind);
std::string tooLargeLine(const char* path, long long size, long long maxBytes);
std::string notOpenedLine(const char* path, const std::string& reason);
