// A whole .m file through loadMesh: reading, the range check of the faces and the normals.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Mesh mesh;
    loadMesh(writeFuzzInput(data, size), mesh);
    for (const Tri* t : mesh.tris) {
        for (int k : t->vertexIndex) {
            if (k < 1 || static_cast<size_t>(k) > mesh.verts.size()) {
                std::abort();  // every vertex number left must name a vertex
            }
        }
    }
    if (mesh.normals.size() != mesh.verts.size()) {
        std::abort();
    }
    releaseMesh(mesh);
    return 0;
}
