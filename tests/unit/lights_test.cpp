#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "render/lights.h"
#include "support/gl_env.h"

static void expectLight(GLenum light, GLenum param, const float (&want)[4], const char* what)
{
    float got[4] = {-9.0f, -9.0f, -9.0f, -9.0f};
    glGetLightfv(light, param, got);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(got[i], want[i]) << what << " component " << i;
    }
}

TEST(Lights, InitLeavesAllThreeOffWithTheirColoursAndTheFlashlightCone)
{
    ensureGlWindow();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    initLights();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_FLAT);

    const float grey6[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    const float grey8[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
        expectLight(light, GL_AMBIENT, grey6, "ambient");
        expectLight(light, GL_DIFFUSE, grey6, "diffuse");
        expectLight(light, GL_SPECULAR, grey8, "specular");
    }
    const struct {
        GLenum light;
        GLenum param;
        float value;
    } scalars[] = {
        {GL_LIGHT1, GL_SPOT_CUTOFF, 35.0f},          {GL_LIGHT1, GL_SPOT_EXPONENT, 4.2f},
        {GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.8f},  {GL_LIGHT1, GL_LINEAR_ATTENUATION, 0.2f},
        {GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.5f},
    };
    for (const auto& s : scalars) {
        float got = -1.0f;
        glGetLightfv(s.light, s.param, &got);
        EXPECT_FLOAT_EQ(got, s.value) << "light " << s.light - GL_LIGHT0 << " param " << s.param;
    }
    const float ahead[4] = {0.0f, 0.0f, -1.0f, 0.0f};
    float direction[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, direction);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(direction[i], ahead[i]);
    }
}

TEST(Lights, PositionsAreTakenThroughTheModelviewMatrix)
{
    ensureGlWindow();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    placeFlashlight();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expectLight(GL_LIGHT1, GL_POSITION, {0.0f, 0.0f, 0.45f, 20.0f}, "flashlight");

    glMatrixMode(GL_PROJECTION);
    placeMenuLight();
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expectLight(GL_LIGHT2, GL_POSITION, {0.0f, 11.8f, 0.0f, 6.5f}, "menu light");

    glPushMatrix();
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_PROJECTION);
        placeSunLight();
        // (0, 11.8, 0, 6.5) moved by the translation times w.
        expectLight(GL_LIGHT0, GL_POSITION, {6.5f, 24.8f, 19.5f, 6.5f}, "sun");
    glPopMatrix();
}
