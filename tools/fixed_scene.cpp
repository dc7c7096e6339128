#include "fixed_scene.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/lifecycle.h"
#include "app/startup.h"
#include "render/lights.h"
#include "sim/player.h"

void openSceneWindow()
{
    static bool open = false;
    if (open) {
        return;
    }
    open = true;
    int argc = 1;
    char name[] = "vantreska-scene";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitWindowSize(sceneWidth, sceneHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Vantreska");
    glutDisplayFunc([] {});
    for (int k = 0; k < 20; ++k) { // let the window map
        glutMainLoopEvent();
        usleep(5000);
    }
    initGL();
    reshape(sceneWidth, sceneHeight);
}

bool loadSceneAssets(const std::string& dataDir)
{
    std::error_code error;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dataDir, error);
    if (error) {
        std::fprintf(stderr, "cannot enter the asset directory %s: %s\n", dataDir.c_str(),
                     error.message().c_str());
        return false;
    }
    loadAssets();
    std::filesystem::current_path(previous);
    initLights();
    return true;
}

void showMenu(int screen)
{
    sfxVolume = 80;
    crosshairColorIndex = 0;
    gravitySetting = 0;
    enterMenuMode();
    menuScreen = screen;
}

// The Park-Miller generator: the same numbers on every machine and library.
static unsigned nextRandom(unsigned& state)
{
    state = static_cast<unsigned>((static_cast<unsigned long long>(state) * 16807u) % 2147483647u);
    return state;
}

// A place on the game's grid, -3.0 to 2.9.
static float gridPlace(unsigned& state)
{
    return static_cast<float>(static_cast<int>(nextRandom(state) % 60u) / 10.0 - 3.0);
}

void startFixedGame(unsigned seed, int day, int flashlight, float figureTurn)
{
    newGame();
    unsigned state = seed == 0 ? 1u : seed;
    for (Entity& bunny : bunnies) {
        bunny.x = gridPlace(state);
        bunny.z = gridPlace(state);
        bunny.heading = static_cast<float>(nextRandom(state) % 360u);
    }
    for (Entity& tree : trees) {
        tree.x = gridPlace(state);
        tree.z = gridPlace(state);
    }
    figureHeading = figureTurn;
    daytime = day;
    flashlightOn = flashlight;
    enterPlayMode();
    // The eye drops from its start height to the ground, as the game's gravity moves it.
    for (int tick = 0; tick < 10000; ++tick) {
        const float height = eyePosition.y;
        gravityTick();
        if (eyePosition.y == height && playerVerticalSpeed == 0.0f) {
            break;
        }
    }
}

void placeBunny(int i, float x, float z, float heading, bool hit)
{
    bunnies[i] = Entity{x, 0.0f, z, 0.0f, 0, heading, hit ? 1 : 0};
}

void clearAround(float x, float z, float radius)
{
    for (int k = 0; k < bunnyCount + treeCount; ++k) {
        Entity& e = k < bunnyCount ? bunnies[k] : trees[k - bunnyCount];
        if (std::hypot(e.x - x, e.z - z) < radius) {
            e.x = -2.9f + 0.3f * static_cast<float>(k % 20);
            e.z = 2.9f;
        }
    }
}

void placeEye(float x, float z, float yaw, float pitch)
{
    eyePosition.x = x;
    eyePosition.z = z;
    lookYaw = yaw;
    lookPitch = pitch;
    const float c = std::cos(pitch);
    lookAtPoint = Vector3(x + 0.25f * c * std::cos(yaw), eyePosition.y + 0.25f * std::sin(pitch),
                          z + 0.25f * c * std::sin(yaw));
    upVector = Vector3(0.0f, 1.0f, 0.0f);
}

std::vector<unsigned char> drawSceneFrame()
{
    display();
    std::vector<unsigned char> bottomUp(sceneWidth * sceneHeight * 3);
    std::vector<unsigned char> frame(bottomUp.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK); // Mesa keeps the back buffer's pixels across the swap
    glReadPixels(0, 0, sceneWidth, sceneHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = sceneWidth * 3;
    for (int y = 0; y < sceneHeight; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<long>(row * (sceneHeight - 1 - y)), row,
                    frame.begin() + static_cast<long>(row * y));
    }
    return frame;
}
