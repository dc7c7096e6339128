#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/world.h"
#include "scene_setup.h"

// Cells drawWorld sends to GL through a -7..7 ortho box in feedback mode: {ground, walls,
// other}, leaving out the sky sphere. GL may hand a quad back as two triangles, half a cell each.
static std::vector<double> countCells()
{
    std::vector<GLfloat> buffer(2000000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glOrtho(-7.0, 7.0, -7.0, 7.0, -7.0, 7.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRenderMode(GL_FEEDBACK);
        drawWorld();
        const GLint used = glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_GT(used, 0) << "feedback buffer overflowed";
    std::vector<double> cells(3, 0.0);
    for (GLint i = 0; i < used && buffer[i] == GL_POLYGON_TOKEN;) {
        const int n = static_cast<int>(buffer[i + 1]);
        bool ground = true, wall = true, sky = true;
        for (int k = 0; k < n; ++k) {
            const GLfloat* v = &buffer[i + 2 + 3 * k];
            const float x = v[0] / testWindowWidth * 14.0f - 7.0f;
            const float y = v[1] / testWindowHeight * 14.0f - 7.0f;
            const float z = 7.0f - 14.0f * v[2];
            ground = ground && std::abs(y) < 0.002f;
            wall = wall && (std::abs(std::abs(x) - 2.998f) < 0.002f ||
                            std::abs(std::abs(z) - 2.998f) < 0.002f);
            sky = sky && std::abs(std::sqrt(x * x + y * y + z * z) - 6.0f) < 0.05f;
        }
        cells[ground ? 0 : wall ? 1 : 2] += sky ? 0.0 : (n - 2) / 2.0;
        i += 2 + 3 * n;
    }
    return cells;
}

static bool isBlue(Rgb c) { return c.b > 150 && c.b > c.r + 80 && c.b > c.g + 40; }

static bool isGreen(Rgb c) { return c.g > c.r + 15 && c.g > c.b + 15; }

// By day blue sky above the far wall and grass below; by night, looking away from the moon,
// black sky and unlit ground. Built of 101 x 101 ground cells and four walls of 101 columns by
// 20 rows (the float accumulator runs one column past the corner); by night the moon adds one.
TEST(World, SkyGroundAndCellsByDayAndNight)
{
    for (int day : {1, 0}) {
        emptyScene(day, Vector3(0.0f, 0.45f, 0.0f), Vector3(0.0f, 0.45f, day ? -0.25f : 0.25f));
        const std::vector<unsigned char> frame = drawGameFrame();
        for (int x : {100, 512, 900}) {
            const Rgb sky = pixelOf(frame, x, 700), ground = pixelOf(frame, x, 200);
            EXPECT_EQ(isBlue(sky), day == 1) << "day " << day << " x " << x;
            EXPECT_EQ(sky.r + sky.g + sky.b < 8, day == 0) << "day " << day << " x " << x;
            EXPECT_TRUE(day ? isGreen(ground) : ground.g < 60) << "day " << day << " x " << x;
        }
        const Rgb wall = pixelOf(frame, 700, 400);
        EXPECT_FALSE(isBlue(wall) || isGreen(wall)) << "the wall band between them";
        const std::vector<double> cells = countCells();
        EXPECT_DOUBLE_EQ(cells[0], 101.0 * 101.0) << "day " << day;
        EXPECT_DOUBLE_EQ(cells[1], 4.0 * 101.0 * 20.0) << "day " << day;
        EXPECT_DOUBLE_EQ(cells[2], day ? 0.0 : 1.0) << "day " << day;
    }
}

// Close by and head-on, the moon fills the lower right of the view. Drawn unlit, it shows its
// texture at full brightness whatever lights are on: its brightest pixel is the brightest texel.
TEST(World, NightMoonShowsItsTextureAtFullBrightness)
{
    const Vector3 corner(-0.8f, 1.6f, -4.0f);
    const float reach = 0.45f / std::sqrt(0.12f * 0.12f * 2.0f + 0.25f * 0.25f);
    emptyScene(0, Vector3(corner.x + 0.12f * reach, corner.y - 0.12f * reach,
                          corner.z + 0.25f * reach), corner);
    std::vector<unsigned char> texels(256 * 256 * 3), unlit;
    glBindTexture(GL_TEXTURE_2D, 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const int brightestTexel = *std::max_element(texels.begin(), texels.end());
    ASSERT_GT(brightestTexel, 100);
    for (GLenum light : {GL_LIGHT2, GL_LIGHT0, GL_LIGHT1}) {
        glEnable(light);
        const std::vector<unsigned char> frame = drawGameFrame();
        glDisable(light);
        std::vector<unsigned char> moon;
        for (int y = 20; y < 370; ++y) {
            const auto row = frame.begin() + (y * testWindowWidth + 530) * 3;
            moon.insert(moon.end(), row, row + 470 * 3);
        }
        EXPECT_NEAR(*std::max_element(moon.begin(), moon.end()), brightestTexel, 6);
        unlit = light == GL_LIGHT2 ? moon : unlit;
        EXPECT_EQ(moon, unlit) << "the light changed the moon";
    }
}
