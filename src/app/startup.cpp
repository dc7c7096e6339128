#include "app/startup.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/audio.h"
#include "app/console.h"
#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/pass_clock.h"
#include "app/window_identity.h"
#include "assets/bmp.h"
#include "assets/display_lists.h"
#include "assets/mesh.h"
#include "input/keyboard.h"
#include "input/keyboard_focus.h"
#include "input/mouse.h"
#include "render/entities.h"
#include "render/hud.h"
#include "render/lights.h"
#include "render/menus.h"
#include "render/picture.h"
#include "render/world.h"
#include "sim/figure.h"
#include "sim/player.h"

static bool inGameMode = false;

// Whether the game runs in a Wayland session, through Xwayland. Xwayland offers video modes
// it only emulates, and its game-mode window is one the compositor never manages: it would
// never get the keyboard.
static bool inWaylandSession()
{
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return (display != nullptr && display[0] != '\0') ||
           (session != nullptr && std::strcmp(session, "wayland") == 0);
}

// Enters 1024x768 game mode, or falls back to a full-screen window where the display
// cannot switch modes (Xvfb, Wayland sessions and many virtual machines). Either window gets
// the game's name, class and icon.
static void openFullScreen()
{
    glutGameModeString("1024x768:32");
    if (!inWaylandSession() && glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        inGameMode = glutEnterGameMode() != 0 && glutGameModeGet(GLUT_GAME_MODE_ACTIVE);
    }
    if (!inGameMode) {
        std::printf("full-screen mode 1024x768:32 is not available; using a full-screen window\n");
        std::fflush(stdout);
        glutCreateWindow("Vantreska");
        glutFullScreen();
    }
    nameGameWindow();
}

static void registerCallbacks()
{
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyDown);
    glutKeyboardUpFunc(keyUp);
    glutMouseFunc(mouseButton);
    glutMotionFunc(mouseDrag);
    glutPassiveMotionFunc(mouseLook);
}

static void loadTextures()
{
    loadTexture("images/grass.bmp", 1);
    loadTexture("images/wall.bmp", 2);
    loadTexture("images/moon.bmp", 3);
    loadTexture("images/Gunmetal.bmp", 4);
    loadTexture("images/StartNewGame.bmp", 5);
    loadTexture("images/Options.bmp", 6);
    loadTexture("images/Help.bmp", 7);
    loadTexture("images/Quit.bmp", 8);
    loadTexture("images/Vantreska.bmp", 9);
    loadTexture("images/bunnyLeft.bmp", 10);
    loadTexture("images/bunnyRight.bmp", 11);
}

void startUp(int argc, char** argv, void (*betweenPasses)())
{
    // Diagnostics reach a console or a log pipe line by line.
    startConsoleOutput();
    glutInit(&argc, argv);
    glutInitWindowSize(800, 600);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    openFullScreen();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glutSetCursor(GLUT_CURSOR_NONE);
    registerCallbacks();
    placePicture(800, 600);
    initGL();
    loadAssets();
    watchKeyboardFocus();
    setUpCamera();
    initLights();
    enterMenuMode();
    startPassClock(betweenPasses);
    startGravityTimer();
    startFigureTimer();
    startClockTimer();
    initAudio();
}

void loadAssets()
{
    loadTextures();
    loadMesh("meshes/bunny500.m", bunnyMesh);
    buildDisplayLists();
}

void initGL()
{
    glEnable(GL_DEPTH_TEST);
}

void reshape(int width, int height)
{
    placePicture(width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, static_cast<double>(pictureWidth) / pictureHeight, 0.1, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glViewport(picturePlace.left, picturePlace.bottom, picturePlace.width, picturePlace.height);
}

void placePlayCamera()
{
    placeFlashlight();
    gluLookAt(eyePosition.x, eyePosition.y, eyePosition.z, lookAtPoint.x, lookAtPoint.y,
              lookAtPoint.z, upVector.x, upVector.y, upVector.z);
    placeSunLight();
}

// The play frame: flashlight in eye space, camera, sun in world space, scene, then the HUD.
// The HUD lies at window depth 0.004, in front of all but the nearest scene fragments, and
// depth testing settles each pixel the same whichever is drawn first; drawn last, its
// bitmap text no longer stalls the software rasteriser ahead of the whole scene.
static void drawPlayFrame()
{
    glPushMatrix();
        placePlayCamera();
        drawWorld();
        drawEntities(0);
    glPopMatrix();
    drawHud();
}

// The menu frame: a fixed camera at (0, 0, 1) looking at the origin.
static void drawMenuFrame()
{
    glPushMatrix();
        gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        placeMenuLight();
        drawMenuScreens(0);
    glPopMatrix();
}

void display()
{
    beginPictureFrame();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (playing == 1) {
        drawPlayFrame();
    } else {
        drawMenuFrame();
    }
    showPictureFrame();
}

void leaveFullScreen()
{
    if (inGameMode) {
        glutLeaveGameMode();
        inGameMode = false;
    }
}
