#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "assets/display_lists.h"
#include "render/lights.h"
#include "support/gl_env.h"

// A pixel-space projection for 2-D text, lighting and depth off.
static void beginText()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, testWindowWidth, 0.0, testWindowHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

static void endText()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    reshape(testWindowWidth, testWindowHeight);
}

struct Ink {
    int pixels = 0;
    int rightmost = -1;
};

static Ink measureInk()
{
    const std::vector<unsigned char> frame = readFrame();
    Ink ink;
    for (int y = 0; y < testWindowHeight; ++y) {
        for (int x = 0; x < testWindowWidth; ++x) {
            const unsigned char* p = &frame[(static_cast<size_t>(y) * testWindowWidth + x) * 3];
            if (p[0] > 128 && p[1] > 128 && p[2] > 128) {
                ++ink.pixels;
                ink.rightmost = std::max(ink.rightmost, x);
            }
        }
    }
    return ink;
}

static Ink drawText(const std::string& text)
{
    beginText();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(100, 300);
    drawString(text);
    const Ink ink = measureInk();
    endText();
    return ink;
}

TEST(DisplayLists, FixedListsExistAndTheGlyphBlockAvoidsThem)
{
    loadGameAssetsOnce();
    for (GLuint list = 260; list <= 263; ++list) {
        EXPECT_TRUE(glIsList(list)) << list;
    }
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    ASSERT_GT(base, 0);
    for (GLint c = 0; c < 256; ++c) {
        ASSERT_TRUE(glIsList(base + c)) << c;
    }
    EXPECT_TRUE(base + 255 < 260 || base > 263) << "glyph block starts at " << base;
}

TEST(DisplayLists, StringsAreDrawnThroughTheGlyphLists)
{
    loadGameAssetsOnce();
    const Ink a = drawText("A");
    const Ink ab = drawText("AB");
    const Ink abab = drawText("ABAB");
    EXPECT_GT(a.pixels, 20);
    EXPECT_GT(a.rightmost, 100);
    // Each glyph moves the raster position on, so B lands to the right of A.
    EXPECT_GT(ab.pixels, a.pixels);
    EXPECT_GT(ab.rightmost, a.rightmost + 5);
    EXPECT_GT(abab.rightmost, ab.rightmost + 20);
    EXPECT_EQ(drawText("").pixels, 0);
}

TEST(DisplayLists, TriangleNormalsAreScaledByScaleOverExtent)
{
    ensureGlWindow();
    Vector3 corners[3] = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    Mesh mesh;
    for (Vector3& v : corners) {
        mesh.verts.push_back(&v);
        mesh.normals.push_back(Vector3(0.0f, 0.0f, 1.0f));
    }
    mesh.scale = 1.0f;
    mesh.extent = 0.5f;
    Tri t;
    t.vertexIndex[0] = 1;
    t.vertexIndex[1] = 2;
    t.vertexIndex[2] = 3;
    glNormal3f(0.0f, 1.0f, 0.0f);
    drawTri(t, mesh);
    float normal[3];
    float color[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(normal[0], 0.0f);
    EXPECT_FLOAT_EQ(normal[2], 2.0f);
    EXPECT_FLOAT_EQ(color[0], 0.0f);
    EXPECT_FLOAT_EQ(color[2], 0.5f);

    // A triangle naming a vertex the mesh lacks is not drawn at all.
    glNormal3f(0.0f, 1.0f, 0.0f);
    t.vertexIndex[2] = 4;
    drawTri(t, mesh);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[1], 1.0f);
}

TEST(DisplayLists, ListsRestoreTheCurrentColourAndLeaveTheirMaterial)
{
    loadGameAssetsOnce();
    const struct {
        GLuint list;
        float diffuseRed;
    } cases[] = {{bunnyList, 0.0f}, {trunkList, 0.3f}, {crownList, 0.0f}, {treeShadowList, 0.0f}};
    for (const auto& c : cases) {
        setMaterial(moonMaterial);
        glColor3f(0.3f, 0.6f, 0.9f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glCallList(c.list);
        float color[4];
        glGetFloatv(GL_CURRENT_COLOR, color);
        EXPECT_FLOAT_EQ(color[2], 0.9f) << c.list;
        float diffuse[4];
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        EXPECT_FLOAT_EQ(diffuse[0], c.diffuseRed) << c.list;
        EXPECT_LT(diffuse[0] + diffuse[1] + diffuse[2], 1.0f) << c.list;  // not the moon's 1s
        float matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[0], 1.0f) << c.list;
        EXPECT_FLOAT_EQ(matrix[13], 0.0f) << c.list;
    }
}

TEST(DisplayLists, BunnyIsDrawnLitInFrontOfTheCamera)
{
    loadGameAssetsOnce();
    ASSERT_FALSE(bunnyMesh.tris.empty()) << "meshes/bunny500.m did not load";
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(testWindowWidth) / testWindowHeight, 0.05, 5.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(-0.02, 0.11, 0.5, -0.02, 0.11, 0.0, 0.0, 1.0, 0.0);
    initLights();
    placeSunLight();
    glEnable(GL_LIGHT0);
    setMaterial(bunnyDayMaterial);
    glCallList(bunnyList);
    const Rgb centre = readPixel(testWindowWidth / 2, testWindowHeight / 2);
    const Rgb corner = readPixel(5, 5);
    glDisable(GL_LIGHT0);
    glLoadIdentity();
    reshape(testWindowWidth, testWindowHeight);
    // A grey material under a white light: a bright grey body, black around it.
    EXPECT_GT(centre.r, 60);
    EXPECT_NEAR(centre.r, centre.g, 3);
    EXPECT_NEAR(centre.r, centre.b, 3);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
}
