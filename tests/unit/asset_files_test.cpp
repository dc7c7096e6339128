// Checks the committed asset files, so a broken regeneration by tools/ is caught.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/game_state.h"
#include "support/gl_env.h"

static std::string readAssetFile(const std::string& relative)
{
    std::ifstream in(std::string(VANTRESKA_DATA) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The little-endian number of size bytes at offset at.
static uint32_t le(const std::string& bytes, size_t at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; i--) {
        v = v * 256u + static_cast<unsigned char>(bytes[at + i]);
    }
    return v;
}

TEST(AssetFiles, ImagesArePowerOfTwo24BitBmpsOfExactSizeAsTexturesOneToEleven)
{
    loadGameAssetsOnce();  // textures 1 to 11 in this order; the loader takes only 24 bits
    const char* names[11] = {"grass", "wall", "moon", "Gunmetal", "StartNewGame", "Options",
                             "Help", "Quit", "Vantreska", "bunnyLeft", "bunnyRight"};
    for (GLuint id = 1; id <= 11; ++id) {
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        EXPECT_TRUE(w > 0 && h > 0 && (w & (w - 1)) == 0 && (h & (h - 1)) == 0) << names[id - 1];
        EXPECT_EQ(readAssetFile(std::string("images/") + names[id - 1] + ".bmp").size(),
                  54u + size_t(w) * h * 3) << names[id - 1];
    }
}

TEST(AssetFiles, BunnyMeshIsAbout500FacesWoundOutwards)
{
    loadGameAssetsOnce();
    const std::string text = "\n" + readAssetFile("meshes/bunny500.m");
    size_t faces = 0;
    for (size_t at = text.find("\nFace "); at != std::string::npos; ++faces) {
        at = text.find("\nFace ", at + 1);
    }
    EXPECT_TRUE(faces >= 480 && faces <= 520) << faces;
    // The reader drops a face naming a vertex that does not exist: every face must survive.
    ASSERT_EQ(bunnyMesh.tris.size(), faces);
    double volume6 = 0.0;  // signed tetrahedra from the origin: positive when wound outwards
    for (const Tri* t : bunnyMesh.tris) {
        const int* k = t->vertexIndex;
        volume6 += dot(*bunnyMesh.verts[k[0] - 1],
                       cross(*bunnyMesh.verts[k[1] - 1], *bunnyMesh.verts[k[2] - 1]));
    }
    EXPECT_GT(volume6, 0.0);
}

TEST(AssetFiles, GunShotIsShortAndAudible)
{
    const std::string w = readAssetFile("sounds/gun1.wav");
    ASSERT_EQ(w.substr(0, 4) + w.substr(8, 4) + w.substr(36, 4), "RIFFWAVEdata");
    ASSERT_EQ(le(w, 34, 2), 16u);
    const double seconds = double(le(w, 40, 4)) / (le(w, 22, 2) * le(w, 24, 4) * 2);
    EXPECT_TRUE(seconds > 0.1 && seconds < 0.5) << seconds;
    int peak = 0;
    for (size_t i = 44; i + 1 < w.size(); i += 2) {
        peak = std::max(peak, std::abs(int(int16_t(le(w, i, 2)))));
    }
    EXPECT_GT(peak, 16000);
}
