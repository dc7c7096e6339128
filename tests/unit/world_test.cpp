#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "render/world.h"
#include "scene_setup.h"

namespace {

// One polygon as GL's feedback mode reports it (Mesa hands back polygons as triangles):
// window x, y, depth and texture s, t per vertex.
struct FeedbackPolygon {
    std::vector<float> x, y, z, s, t;
};

// Runs drawWorld in feedback mode under the current projection with the given modelview
// set up by setView, and returns every polygon GL would rasterise.
template <typename SetView>
std::vector<FeedbackPolygon> worldPolygons(SetView setView)
{
    std::vector<GLfloat> buffer(2000000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setView();
    drawWorld();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GT(used, 0) << "feedback buffer overflowed";
    std::vector<FeedbackPolygon> polygons;
    const int vertexSize = 3 + 4 + 4;  // window xyz, RGBA, texture strq
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i]);
        if (token == GL_POLYGON_TOKEN) {
            const int n = static_cast<int>(buffer[i + 1]);
            FeedbackPolygon p;
            for (int k = 0; k < n; ++k) {
                const GLfloat* v = &buffer[i + 2 + k * vertexSize];
                p.x.push_back(v[0]);
                p.y.push_back(v[1]);
                p.z.push_back(v[2]);
                p.s.push_back(v[7]);
                p.t.push_back(v[8]);
            }
            polygons.push_back(p);
            i += 2 + n * vertexSize;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 1 + 2 * vertexSize;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 2;
        } else {
            i += 1 + vertexSize;  // point, bitmap and pixel tokens carry one vertex
        }
    }
    return polygons;
}

// Texel (r, g, b) of a bound texture at texture coordinate (s, t), nearest texel.
struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    Rgb at(float s, float t) const
    {
        const int i = static_cast<int>(s * width);
        const int j = static_cast<int>(t * height);
        const size_t k = (static_cast<size_t>(j) * width + i) * 3;
        return Rgb{rgb[k], rgb[k + 1], rgb[k + 2]};
    }
};

TextureImage readTexture(GLuint name)
{
    TextureImage image;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

// Counts of field cells, by the plane their vertices lie in, seen through the ortho view
// (-7..7 on every axis) with an identity modelview. A cell counts once however GL splits it.
struct CellCounts {
    double ground = 0.0;
    double walls = 0.0;
    double other = 0.0;  // neither field nor sky: the moon
    float minX = 1e9f;
    float maxX = -1e9f;
};

CellCounts countCells(const std::vector<FeedbackPolygon>& polygons)
{
    CellCounts counts;
    for (const FeedbackPolygon& p : polygons) {
        bool onGround = true;
        bool onWall = true;
        bool onSky = true;
        for (size_t k = 0; k < p.x.size(); ++k) {
            const float x = p.x[k] / testWindowWidth * 14.0f - 7.0f;
            const float y = p.y[k] / testWindowHeight * 14.0f - 7.0f;
            const float z = 7.0f * (1.0f - 2.0f * p.z[k]);
            onGround = onGround && std::abs(y) < 0.002f;
            onWall = onWall && (std::abs(std::abs(x) - 2.998f) < 0.002f ||
                                std::abs(std::abs(z) - 2.998f) < 0.002f);
            onSky = onSky && std::abs(std::sqrt(x * x + y * y + z * z) - 6.0f) < 0.05f;
        }
        if (!onSky && (onGround || onWall)) {
            for (float wx : p.x) {
                counts.minX = std::min(counts.minX, wx / testWindowWidth * 14.0f - 7.0f);
                counts.maxX = std::max(counts.maxX, wx / testWindowWidth * 14.0f - 7.0f);
            }
        }
        // A quad split into triangles gives n - 2 = 1 per triangle, 2 per quad.
        const double share = (static_cast<double>(p.x.size()) - 2.0) / 2.0;
        if (onSky) {
            continue;
        }
        if (onGround) {
            counts.ground += share;
        } else if (onWall) {
            counts.walls += share;
        } else {
            counts.other += share;
        }
    }
    return counts;
}

bool isBlue(Rgb c) { return c.b > 150 && c.b > c.r + 80 && c.b > c.g + 40; }
bool isGreen(Rgb c) { return c.g > c.r + 15 && c.g > c.b + 15; }
bool isBlack(Rgb c) { return c.r < 8 && c.g < 8 && c.b < 8; }

const Vector3 standingEye(0.0f, 0.45f, 0.0f);
const Vector3 lookingNorth(0.0f, 0.45f, -0.25f);

}  // namespace

// Looking along -z from the middle of the field: sky above the far wall, grass below.
TEST(World, DaySkyIsBlueAboveTheWallsAndTheGroundGreenBelow)
{
    enterTestPlay(1);
    emptyField();
    placeCamera(standingEye, lookingNorth);
    drawGameFrame();
    for (int x : {300, 512, 900}) {
        EXPECT_TRUE(isBlue(readPixel(x, 700))) << "sky at x " << x;
        EXPECT_TRUE(isGreen(readPixel(x, 200))) << "ground at x " << x;
    }
    // The wall band lies between them and is neither sky nor grass.
    const Rgb wall = readPixel(700, 400);
    EXPECT_FALSE(isBlue(wall));
    EXPECT_FALSE(isGreen(wall));
}

TEST(World, NightSkyIsBlackAndTheGroundDark)
{
    enterTestPlay(0);
    emptyField();
    // Looking away from the moon, which hangs towards -z.
    placeCamera(standingEye, Vector3(0.0f, 0.45f, 0.25f));
    drawGameFrame();
    for (int x : {100, 512, 900}) {
        EXPECT_TRUE(isBlack(readPixel(x, 700))) << "sky at x " << x;
        const Rgb ground = readPixel(x, 200);
        EXPECT_LT(ground.g, 60) << "unlit ground at x " << x;
    }
}

// Four walls of 101 columns by 20 rows and 101 x 101 ground cells: the float accumulator
// runs one column past the corner. By night the moon adds one more square.
TEST(World, FieldIsBuiltOf101ColumnsAndTheMoonOnlyByNight)
{
    enterTestPlay(1);
    placeCamera(standingEye, lookingNorth);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-7.0, 7.0, -7.0, 7.0, -7.0, 7.0);
    const auto identity = [] {};
    const std::vector<FeedbackPolygon> day = worldPolygons(identity);
    daytime = 0;
    const std::vector<FeedbackPolygon> night = worldPolygons(identity);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    const CellCounts dayCells = countCells(day);
    const CellCounts nightCells = countCells(night);
    EXPECT_DOUBLE_EQ(dayCells.ground, 101.0 * 101.0);
    EXPECT_DOUBLE_EQ(dayCells.walls, 4.0 * 101.0 * 20.0);
    EXPECT_DOUBLE_EQ(dayCells.other, 0.0);
    EXPECT_DOUBLE_EQ(nightCells.ground, 101.0 * 101.0);
    EXPECT_DOUBLE_EQ(nightCells.walls, 4.0 * 101.0 * 20.0);
    EXPECT_DOUBLE_EQ(nightCells.other, 1.0);
    // The last column ends at about 3.06; the first starts at the field's edge.
    EXPECT_NEAR(dayCells.maxX, 3.06f, 0.02f);
    EXPECT_NEAR(dayCells.minX, -3.0f, 0.02f);
}

// Seen head-on from close by, every sampled point of the moon square shows its texel
// unchanged: drawn unlit, so neither the sun nor the flashlight brightens or dims it.
TEST(World, NightMoonShowsItsTextureAtFullBrightness)
{
    enterTestPlay(0);
    emptyField();
    const Vector3 moonCorner(-0.8f, 1.6f, -4.0f);
    // Any eye on one ray from the moon's corner turns the moon alike; this one is close enough
    // for the square (anchored at its corner, in the middle of the view) to fill the view's
    // lower right with about 1.3 pixels per texel.
    const Vector3 away(0.12f, -0.12f, 0.25f);
    const float reach = 0.45f / std::sqrt(dot(away, away));
    const Vector3 eye(moonCorner.x + away.x * reach, moonCorner.y + away.y * reach,
                      moonCorner.z + away.z * reach);
    placeCamera(eye, moonCorner);
    const TextureImage moon = readTexture(3);
    ASSERT_GT(moon.width, 0);

    const std::vector<FeedbackPolygon> polygons = worldPolygons([&] {
        gluLookAt(eye.x, eye.y, eye.z, moonCorner.x, moonCorner.y, moonCorner.z, 0.0, 1.0, 0.0);
    });
    // The moon is drawn last: its corners are the last four distinct texture coordinates.
    ASSERT_GE(polygons.size(), 2u);
    float cornerX[2][2] = {{-1.0f, -1.0f}, {-1.0f, -1.0f}};
    float cornerY[2][2] = {{-1.0f, -1.0f}, {-1.0f, -1.0f}};
    for (size_t n = polygons.size() - 2; n < polygons.size(); ++n) {
        const FeedbackPolygon& p = polygons[n];

        for (size_t k = 0; k < p.x.size(); ++k) {
            const int i = p.s[k] > 0.5f ? 1 : 0;
            const int j = p.t[k] > 0.5f ? 1 : 0;
            cornerX[i][j] = p.x[k];
            cornerY[i][j] = p.y[k];
        }
    }
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            ASSERT_GE(cornerX[i][j], 0.0f) << "moon corner " << i << j << " not seen";
        }
    }
    // The square faces the eye: its screen image is large, not an edge-on sliver.
    const float sx = cornerX[1][0] - cornerX[0][0];
    const float sy = cornerY[1][0] - cornerY[0][0];
    const float tx = cornerX[0][1] - cornerX[0][0];
    const float ty = cornerY[0][1] - cornerY[0][0];
    EXPECT_GT(std::abs(sx * ty - sy * tx), 200.0f * 200.0f);

    for (int lights = 0; lights < 3; ++lights) {
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHT1);
        if (lights == 1) {
            glEnable(GL_LIGHT0);
        } else if (lights == 2) {
            glEnable(GL_LIGHT1);
        }
        drawGameFrame();
        int samples = 0;
        int matching = 0;
        // Sample at texel centres, so a pixel rounding off by half a pixel meets the same texel.
        for (int i = 8; i < moon.width; i += 16) {
            for (int j = 8; j < moon.height; j += 16) {
                const float u = (i + 0.5f) / moon.width;
                const float v = (j + 0.5f) / moon.height;
                const int px = static_cast<int>(cornerX[0][0] + u * sx + v * tx);
                const int py = static_cast<int>(cornerY[0][0] + u * sy + v * ty);
                const Rgb seen = readPixel(px, py);
                const Rgb texel = moon.at(u, v);
                samples += 1;
                matching += std::abs(seen.r - texel.r) <= 12 && std::abs(seen.g - texel.g) <= 12 &&
                                    std::abs(seen.b - texel.b) <= 12
                                ? 1
                                : 0;
            }
        }
        EXPECT_GE(matching, samples * 9 / 10) << "lights case " << lights;
    }
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
}

// The world leaves the matrix, lighting and texturing as it found them, night and day.
TEST(World, LeavesMatrixLightingAndTexturingAsFound)
{
    enterTestPlay(1);
    for (int day : {1, 0}) {
        daytime = day;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 0.45, 0.0, 0.0, 0.45, -0.25, 0.0, 1.0, 0.0);
        GLfloat before[16];
        GLfloat after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        drawWorld();
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int k = 0; k < 16; ++k) {
            EXPECT_FLOAT_EQ(before[k], after[k]);
        }
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        GLint hint = 0;
        glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
        EXPECT_EQ(hint, GL_FASTEST);
    }
}
