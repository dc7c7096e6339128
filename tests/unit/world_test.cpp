#include "render/world.h"
#include "scene_setup.h"

// By day blue sky over grass; by night, looking away from the moon, black sky and unlit ground.
// Sent one by one, 101 x 101 ground cells and four walls of 101 columns (the float accumulator
// runs one past the corner) by 20 rows, counted in feedback mode in a box without the sky and
// the moon (GL may hand a quad back as two triangles). Close by, the moon fills the lower
// right of the view; unlit, it shows its brightest texel whatever lights are on.
TEST(World, SkyGroundCellsAndTheUnlitMoon)
{
    for (int day : {1, 0}) {
        emptyScene(day, Vector3(0.0f, 0.45f, 0.0f), Vector3(0.0f, 0.45f, day ? -0.25f : 0.25f));
        const std::vector<unsigned char> frame = drawGameFrame();
        const Rgb sky = pixelOf(frame, 512, 700), ground = pixelOf(frame, 512, 200);
        EXPECT_TRUE(day ? sky.b > 150 && sky.b > sky.r + 80 && sky.b > sky.g + 40 &&
                              ground.g > ground.r + 15 && ground.g > ground.b + 15
                        : sky.r + sky.g + sky.b < 8 && ground.g < 60)
            << "day " << day;
    }
    std::vector<GLfloat> buffer(2000000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3.1, 3.1, -3.1, 3.1, -3.1, 3.1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setWorldFastPath(false);
    glRenderMode(GL_FEEDBACK);
    drawWorld();
    const GLint used = glRenderMode(GL_RENDER);
    setWorldFastPath(true);
    double cells = 0.0;
    for (GLint i = 0; i < used && buffer[i] == GL_POLYGON_TOKEN; i += 2 + 3 * int(buffer[i + 1])) {
        cells += (buffer[i + 1] - 2.0) / 2.0;
    }
    EXPECT_EQ(cells, 101.0 * 101.0 + 4.0 * 101.0 * 20.0);

    // 0.45 from the moon's corner, towards the eye the moon turns to.
    const float reach = 0.45f / std::sqrt(0.12f * 0.12f * 2.0f + 0.25f * 0.25f);
    emptyScene(0, Vector3(-0.8f + 0.12f * reach, 1.6f - 0.12f * reach, -4.0f + 0.25f * reach),
               Vector3(-0.8f, 1.6f, -4.0f));
    std::vector<unsigned char> texels(256 * 256 * 3), moon[2];
    glBindTexture(GL_TEXTURE_2D, 3);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    const int brightestTexel = *std::max_element(texels.begin(), texels.end());
    for (int lit = 1; lit >= 0; --lit) {  // all lights on, then all off
        for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
            lit != 0 ? glEnable(light) : glDisable(light);
        }
        const std::vector<unsigned char> frame = drawGameFrame();
        for (int y = 20; y < 370; ++y) {
            const auto row = frame.begin() + (y * testWindowWidth + 530) * 3;
            moon[lit].insert(moon[lit].end(), row, row + 470 * 3);
        }
    }
    EXPECT_TRUE(brightestTexel > 100 && moon[0] == moon[1]) << "the lights changed the moon";
    EXPECT_NEAR(*std::max_element(moon[0].begin(), moon[0].end()), brightestTexel, 6);
}
