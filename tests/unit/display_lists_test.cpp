#define GL_GLEXT_PROTOTYPES  // glWindowPos2i places text without touching the matrices
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup.h"
#include "assets/display_lists.h"
#include "render/lights.h"
#include "support/gl_env.h"

// Number of bright colour bytes on screen after text is drawn in white on black.
static long inkOf(const std::string& text)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glWindowPos2i(100, 300);
    drawString(text);
    const std::vector<unsigned char> frame = readFrame();
    return std::count_if(frame.begin(), frame.end(), [](unsigned char v) { return v > 128; });
}

TEST(DisplayLists, FixedListsAndTheGlyphBlockApartAndStringsDrawnThroughTheGlyphs)
{
    loadGameAssetsOnce();
    for (GLuint list = 260; list <= 263; ++list) {
        EXPECT_TRUE(glIsList(list)) << list;
    }
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_TRUE(glIsList(base) && glIsList(base + 255)) << "glyph block starts at " << base;
    EXPECT_TRUE(base + 255 < 260 || base > 263) << base;
    EXPECT_GT(inkOf("AB"), inkOf("A")) << "each glyph moves the raster position on";
    EXPECT_GT(inkOf("A"), 60);
}

TEST(DisplayLists, LightsStartOffAndTheBunnyIsDrawnLitInFrontOfTheCamera)
{
    loadGameAssetsOnce();
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
        glEnable(light);
    }
    glShadeModel(GL_SMOOTH);
    glDisable(GL_LIGHTING);
    initLights();
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
        EXPECT_FALSE(glIsEnabled(light)) << light - GL_LIGHT0;
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_FLAT);

    reshape(testWindowWidth, testWindowHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(-0.02, 0.11, 0.5, -0.02, 0.11, 0.0, 0.0, 1.0, 0.0);
    placeSunLight();
    glEnable(GL_LIGHT0);
    setMaterial(bunnyDayMaterial);
    glCallList(bunnyList);
    glDisable(GL_LIGHT0);
    glLoadIdentity();
    const Rgb centre = readPixel(testWindowWidth / 2, testWindowHeight / 2);
    const Rgb corner = readPixel(5, 5);
    // A grey material under a white light on black: a bright grey body, black around it.
    EXPECT_GT(centre.r, 60);
    EXPECT_NEAR(centre.b, centre.r, 3);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
}
