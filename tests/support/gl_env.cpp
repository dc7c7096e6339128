#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <filesystem>

#include "app/startup.h"
#include "render/lights.h"

void ensureGlWindow()
{
    static bool windowMade = false;
    if (!windowMade) {
        windowMade = true;
        int argc = 1;
        char name[] = "vantreska-tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitWindowSize(testWindowWidth, testWindowHeight);
        glutInitWindowPosition(0, 0);  // all on the screen, where what it shows can be read
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutCreateWindow("vantreska tests");
        glutDisplayFunc([] {});
        for (int k = 0; k < 20; ++k) {  // let the window map
            glutMainLoopEvent();
            usleep(5000);
        }
        initGL();
        reshape(testWindowWidth, testWindowHeight);
    }
}

void resizeGlWindow(int width, int height)
{
    glutReshapeWindow(width, height);
    for (int k = 0; k < 400 && (glutGet(GLUT_WINDOW_WIDTH) != width ||
                                glutGet(GLUT_WINDOW_HEIGHT) != height); ++k) {
        glutMainLoopEvent();
        usleep(5000);
    }
    glutSwapBuffers();  // where a GL takes the window's new size in
    reshape(width, height);
}

void loadGameAssetsOnce()
{
    ensureGlWindow();
    static bool assetsLoaded = false;
    if (!assetsLoaded) {
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(VANTRESKA_DATA);
        loadAssets();
        std::filesystem::current_path(previous);
        initLights();
        assetsLoaded = true;
    }
}

std::vector<unsigned char> readFrame(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
