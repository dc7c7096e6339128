// A whole .m file through loadMesh: reading, the range check of the faces and the normals.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeFuzzInput(data, size);
    Mesh mesh;
    loadMesh(fuzzInputPath(), mesh);
    checkFacesInRange(mesh);
    releaseMesh(mesh);
    return 0;
}
