#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/game_state.h"
#include "app/startup.h"
#include "render/lights.h"

static bool windowMade = false;
static bool assetsLoaded = false;

void ensureGlWindow()
{
    if (windowMade) {
        return;
    }
    int argc = 1;
    char name[] = "vantreska-tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitWindowSize(testWindowWidth, testWindowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("vantreska tests");
    glutDisplayFunc([] {});
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    windowMade = true;
    pumpEvents(100);
    initGL();
    reshape(testWindowWidth, testWindowHeight);
    glReadBuffer(GL_BACK);
}

void loadGameAssetsOnce()
{
    ensureGlWindow();
    if (assetsLoaded) {
        return;
    }
    char* previous = getcwd(nullptr, 0);
    if (chdir(VANTRESKA_DATA) != 0) {
        std::perror("chdir to data");
    }
    loadAssets();
    if (previous != nullptr && chdir(previous) != 0) {
        std::perror("chdir back");
    }
    std::free(previous);
    initLights();
    assetsLoaded = true;
}

void pumpEvents(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
}

Rgb readPixel(int x, int y)
{
    unsigned char p[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return Rgb{p[0], p[1], p[2]};
}

std::vector<unsigned char> readFrame()
{
    std::vector<unsigned char> pixels(static_cast<size_t>(testWindowWidth) * testWindowHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, testWindowWidth, testWindowHeight, GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    return pixels;
}
