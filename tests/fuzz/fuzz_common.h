#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/mesh.h"

// The loaders print a line for most inputs; the fuzzers keep standard error for reports.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
    return 0;
}

// Writes the input to a private temporary file for the loaders to read; returns its path.
inline const char* writeFuzzInput(const uint8_t* data, size_t size)
{
    static char path[] = "/tmp/vantreska_fuzz_XXXXXX";
    static const int fd = mkstemp(path);
    std::FILE* f = fd < 0 ? nullptr : std::fopen(path, "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, size, 1, f) != 1)) {
        std::abort();
    }
    std::fclose(f);
    return path;
}
