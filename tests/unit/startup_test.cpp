#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/game_state.h"
#include "app/startup.h"
#include "support/gl_env.h"

// A committed file under data/, whole.
static std::string readAssetFile(const std::string& relative)
{
    std::ifstream in(std::string(VANTRESKA_DATA) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The committed images are power-of-two 24-bit BMPs of exact size, loaded as textures 1 to 11
// in this order (the loader takes only 24 bits); the bunny has about 500 faces, every one kept
// by the reader and wound outwards.
TEST(Startup, CommittedImagesAndBunnyLoadWhole)
{
    loadGameAssetsOnce();
    const char* names[11] = {"grass", "wall", "moon", "Gunmetal", "StartNewGame", "Options",
                             "Help", "Quit", "Vantreska", "bunnyLeft", "bunnyRight"};
    for (GLuint id = 1; id <= 11; ++id) {
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        EXPECT_TRUE(w > 0 && h > 0 && (w & (w - 1)) == 0 && (h & (h - 1)) == 0 &&
                    readAssetFile(std::string("images/") + names[id - 1] + ".bmp").size() ==
                        54u + size_t(w) * h * 3) << names[id - 1];
    }
    const std::string text = "\n" + readAssetFile("meshes/bunny500.m");
    size_t faces = 0;
    for (size_t at = text.find("\nFace "); at != std::string::npos; ++faces) {
        at = text.find("\nFace ", at + 1);
    }
    EXPECT_TRUE(faces >= 480 && faces <= 520 && bunnyMesh.tris.size() == faces) << faces;
    double volume6 = 0.0;  // signed tetrahedra from the origin: positive when wound outwards
    for (const Tri* t : bunnyMesh.tris) {
        const int* k = t->vertexIndex;
        volume6 += dot(*bunnyMesh.verts[k[0] - 1],
                       cross(*bunnyMesh.verts[k[1] - 1], *bunnyMesh.verts[k[2] - 1]));
    }
    EXPECT_GT(volume6, 0.0);
}
