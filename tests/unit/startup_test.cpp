#include <gtest/gtest.h>

#include <GL/gl.h>

#include "app/game_state.h"
#include "app/startup.h"
#include "support/gl_env.h"

// Reshape records the size and sets the viewport and the perspective's aspect at once; a
// height of 0 is taken as 1 instead of an infinite aspect.
TEST(Startup, ReshapeSetsTheSizeViewportAndAspect)
{
    struct Case {
        int width, height, expectHeight;
    };
    for (const Case& c : {Case{640, 480, 480}, Case{1023, 768, 768}, Case{300, 0, 1}}) {
        reshape(c.width, c.height);
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_EQ(windowWidth, c.width);
        EXPECT_EQ(windowHeight, c.expectHeight);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.expectHeight);
        // A 90-degree field of view: y scale 1, x scale height / width.
        EXPECT_NEAR(projection[5], 1.0f, 1e-5f);
        EXPECT_NEAR(projection[0], static_cast<float>(c.expectHeight) / c.width, 1e-5f);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
    reshape(testWindowWidth, testWindowHeight);
}
