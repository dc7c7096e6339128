#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/mesh.h"

// The loaders print a line for most inputs; the fuzzers keep standard error for reports.
inline void silenceStdout()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
}

// A private temporary file that each input is written to before it is loaded.
inline const char* fuzzInputPath()
{
    static char path[] = "/tmp/vantreska_fuzz_XXXXXX";
    static bool made = false;
    if (!made) {
        const int fd = mkstemp(path);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        made = true;
    }
    return path;
}

inline void writeFuzzInput(const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(fuzzInputPath(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, size, 1, f) != 1)) {
        std::abort();
    }
    std::fclose(f);
}

// Every vertex number left in a mesh must name a vertex.
inline void checkFacesInRange(const Mesh& mesh)
{
    for (const Tri* t : mesh.tris) {
        for (int k : t->vertexIndex) {
            if (k < 1 || static_cast<size_t>(k) > mesh.verts.size()) {
                std::abort();
            }
        }
    }
    if (mesh.normals.size() != mesh.verts.size()) {
        std::abort();
    }
}
