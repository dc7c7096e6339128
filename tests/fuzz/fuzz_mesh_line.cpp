// One line of a .m file, straight into the line parser.
#include <string>

#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    Mesh mesh;
    parseMeshLine(line.c_str(), mesh, 1);
    if (mesh.tris.size() + mesh.verts.size() > 1) {
        std::abort();  // one line makes at most one record
    }
    releaseMesh(mesh);
    return 0;
}
