#include "input/picking.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/audio.h"
#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/pass_clock.h"
#include "render/entities.h"
#include "render/menus.h"

static GLuint selectBuffer[selectBufferSize];

// The crosshair colours the options cycle through, by crosshairColorIndex.
static const float crosshairColors[9][3] = {
    {1.0f, 1.0f, 1.0f},  // white
    {1.0f, 0.0f, 0.0f},  // red
    {0.0f, 1.0f, 0.0f},  // green
    {0.0f, 0.0f, 1.0f},  // blue
    {0.0f, 0.0f, 0.0f},  // black
    {0.2f, 0.2f, 0.2f},  // dark grey
    {1.0f, 1.0f, 0.0f},  // yellow
    {0.0f, 1.0f, 1.0f},  // cyan
    {1.0f, 0.0f, 1.0f},  // magenta
};

// Gravity per tick for Earth, Lunar and Jupiter, by gravitySetting.
static const float gravityValues[3] = {0.008f, 0.0008f, 0.02f};

// What one pass of processHits gathers for a shot.
struct ShotResult {
    int bestPartCloseness = -1;
    int hitPart = -1;  // figurePartHits index, -1 for none
    int bestTrunkCloseness = -1;
    int bunnyCount = 0;
    int bunnyIndex[4] = {0, 0, 0, 0};
    int bunnyCloseness[4] = {0, 0, 0, 0};
};

int closeness(GLuint minDepth, GLuint maxDepth)
{
    // The sum wraps at 32 bits and is then read as signed, as the game always has.
    const int32_t sum = static_cast<int32_t>(static_cast<uint32_t>(minDepth + maxDepth));
    return std::abs(sum / 2);
}

const GLuint* selectionBuffer()
{
    return selectBuffer;
}

GLint runSelectionPass()
{
    // Picked in the game's picture, whatever size the window shows it at.
    GLint viewport[4] = {0, 0, pictureWidth, pictureHeight};
    glSelectBuffer(selectBufferSize, selectBuffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(static_cast<GLuint>(-1));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        if (playing == 1) {
            gluPickMatrix(pictureWidth / 2.0, pictureHeight / 2.0, pickRegionSize, pickRegionSize,
                          viewport);
        } else {
            gluPickMatrix(mouseX, pictureHeight - mouseY, pickRegionSize, pickRegionSize,
                          viewport);
        }
        gluPerspective(fieldOfView, static_cast<double>(pictureWidth) / pictureHeight, 0.1, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            if (playing == 1) {
                gluLookAt(eyePosition.x, eyePosition.y, eyePosition.z, lookAtPoint.x,
                          lookAtPoint.y, lookAtPoint.z, upVector.x, upVector.y, upVector.z);
                drawEntities(1);
            } else {
                gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
                drawMenuScreens(1);
            }
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    return glRenderMode(GL_RENDER);
}

void pick(int hover)
{
    const GLint hitCount = runSelectionPass();
    std::printf("number of hits %i\n", hitCount);
    if (hitCount != 0) {
        processHits(hitCount, selectBuffer, hover);
    }
}

// Sorts one name of a shot into the nearest part, the bunny list or the nearest trunk.
static void recordShotName(GLuint name, int hitCloseness, ShotResult& shot)
{
    if (name >= pickFigureHead && name <= pickFigureLastPart) {
        if (hitCloseness > shot.bestPartCloseness) {
            shot.bestPartCloseness = hitCloseness;
            shot.hitPart = static_cast<int>(name - pickFigureHead);
        }
    } else if (name >= pickFirstBunny && name <= pickLastBunny) {
        if (shot.bunnyCount < 4) {
            shot.bunnyIndex[shot.bunnyCount] = static_cast<int>(name - pickFirstBunny);
            shot.bunnyCloseness[shot.bunnyCount] = hitCloseness;
            shot.bunnyCount += 1;
        }
    } else if (name >= pickFirstTrunk && name <= pickLastTrunk) {
        if (hitCloseness > shot.bestTrunkCloseness) {
            shot.bestTrunkCloseness = hitCloseness;
        }
    }
}

// A click on a main-menu panel: start, options, help or quit.
static void mainMenuAction(GLuint name)
{
    if (name == pickStartNewGame) {
        newGame();
        enterPlayMode();
    } else if (name == pickOptions) {
        menuScreen = 1;
        requestRedisplay();
    } else if (name == pickHelp) {
        menuScreen = 2;
        requestRedisplay();
    } else if (name == pickQuit) {
        leaveFullScreen();
        quitGame(0);
    }
}

// Moves the crosshair colour along its cycle by step (+1 or -1), wrapping at both ends.
static void stepCrosshairColor(int step)
{
    crosshairColorIndex += step;
    if (crosshairColorIndex > 8) {
        crosshairColorIndex = 0;
    } else if (crosshairColorIndex < 0) {
        crosshairColorIndex = 8;
    }
    for (int c = 0; c < 3; ++c) {
        crosshairColor[c] = crosshairColors[crosshairColorIndex][c];
    }
}

// Moves the gravity setting by step (+1 or -1) through Earth, Lunar, Jupiter and round.
static void stepGravity(int step)
{
    gravitySetting = (gravitySetting + step + 3) % 3;
    gravity = gravityValues[gravitySetting];
}

// A click on an options arrow; every name asks for a redisplay.
static void optionsAction(GLuint name)
{
    if (name == pickVolumeUp) {
        if (sfxVolume < 100) {
            sfxVolume += 5;
        }
        if (sfxVolume > 100) {
            sfxVolume = 100;
        }
        playGunSound();
    } else if (name == pickVolumeDown) {
        if (sfxVolume > 0) {
            sfxVolume -= 5;
        }
        if (sfxVolume < 0) {
            sfxVolume = 0;
        }
        playGunSound();
    } else if (name == pickCrosshairNext) {
        stepCrosshairColor(1);
    } else if (name == pickCrosshairPrevious) {
        stepCrosshairColor(-1);
    } else if (name == pickGravityNext) {
        stepGravity(1);
    } else if (name == pickGravityPrevious) {
        stepGravity(-1);
    }
    requestRedisplay();
}

// Adds the shot's hits: the nearest part, and each listed bunny nearer than every trunk.
static void applyShot(const ShotResult& shot)
{
    if (shot.hitPart >= 0) {
        figurePartHits[shot.hitPart] += 1;
    }
    for (int i = 0; i < shot.bunnyCount; ++i) {
        if (shot.bunnyCloseness[i] > shot.bestTrunkCloseness) {
            bunnies[shot.bunnyIndex[i]].hits += 1;
        }
    }
}

void processHits(GLint hitCount, const GLuint* buffer, int hover)
{
    ShotResult shot;
    const GLuint* record = buffer;
    for (GLint h = 0; h < hitCount; ++h) {
        const GLuint nameCount = record[0];
        const GLuint minDepth = record[1];
        const GLuint maxDepth = record[2];
        const GLuint* names = record + 3;
        std::printf("depth: %d %d\n", static_cast<int>(minDepth), static_cast<int>(maxDepth));
        const int hitCloseness = closeness(minDepth, maxDepth);
        std::printf("%d\n", hitCloseness);
        std::printf("the name of the object(s) hit: ");
        for (GLuint n = 0; n < nameCount; ++n) {
            std::printf("%d ", static_cast<int>(names[n]));
            // The mode is tested per name: Start New Game switches to play mid-pass.
            if (playing == 1 && health > 0.0f) {
                recordShotName(names[n], hitCloseness, shot);
            } else if (hover == 0) {
                if (menuScreen == 0) {
                    mainMenuAction(names[n]);
                } else if (menuScreen == 1) {
                    optionsAction(names[n]);
                }
            }
        }
        std::printf("\n");
        record = names + nameCount;
    }
    applyShot(shot);
}
