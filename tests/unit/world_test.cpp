#include "render/world.h"
#include "scene_setup.h"

// Sent one by one, 101 x 101 ground cells and four walls of 101 columns (the float accumulator
// runs one past the corner) by 20 rows, counted in feedback mode in a box without the sky and
// the moon (GL may hand a quad back as two triangles). The reference frames show the rest.
TEST(World, GroundAndWallsRunOneCellPastTheCorners)
{
    emptyScene(1);
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
}
