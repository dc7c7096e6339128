#include "render/world.h"

#include <GL/freeglut.h>

#include <cmath>

#include "app/game_state.h"
#include "assets/display_lists.h"
#include "render/lights.h"

static const float fieldMin = -3.0f;
static const float fieldMax = 3.0f;
static const double cellSize = 6.0 / 100;  // added in double, stored back in float
static const float cellEdge = 0.06f;
static const float wallPlane = 2.998f;
static const float wallRowHeight = 0.05f;
static const float wallTexStep = 0.1f;
static const float groundTexPatch = 0.4f;
static const float moonAnchorX = -0.8f;
static const float moonAnchorY = 1.6f;
static const float moonAnchorZ = -4.0f;
static const float moonSize = 0.4f;
static const float degreesPerRadian = 0.01745329f;  // divisor: radians to degrees

enum WallSide { wallNorth, wallEast, wallSouth, wallWest };

// One wall vertex at position a along the wall and height y on the given side.
static void wallVertex(WallSide side, float a, float y)
{
    switch (side) {
    case wallNorth:
        glVertex3f(a, y, -wallPlane);
        break;
    case wallEast:
        glVertex3f(wallPlane, y, a);
        break;
    case wallSouth:
        glVertex3f(a, y, wallPlane);
        break;
    case wallWest:
        glVertex3f(-wallPlane, y, a);
        break;
    }
}

// One wall cell; the south and west walls run their columns the other way round so that
// every wall faces the field the same way.
static void drawWallCell(WallSide side, float a, float b, float s, float t)
{
    const bool reversed = side == wallSouth || side == wallWest;
    const float first = reversed ? a + cellEdge : a;
    const float second = reversed ? a : a + cellEdge;
    glBegin(GL_POLYGON);
        glTexCoord2f(s, t);
        wallVertex(side, first, b);
        glTexCoord2f(s, t + wallTexStep);
        wallVertex(side, first, b + wallRowHeight);
        glTexCoord2f(s + wallTexStep, t + wallTexStep);
        wallVertex(side, second, b + wallRowHeight);
        glTexCoord2f(s + wallTexStep, t);
        wallVertex(side, second, b);
    glEnd();
}

static bool fastPath = true;

void setWorldFastPath(bool on)
{
    fastPath = on;
}

// Draws draw(arg) through a display list compiled on first use, once the game's fixed lists
// exist (so a new list never takes their numbers). The same commands run, so the pixels are
// the same; sending the 18,281 cells and the sky once also keeps the GL driver from
// allocating a little more memory at every immediate-mode frame.
static void drawThroughList(GLuint& list, void (*draw)(int), int arg)
{
    if (!fastPath || !glIsList(bunnyList)) {
        draw(arg);
        return;
    }
    if (list == 0) {
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
            draw(arg);
        glEndList();
    }
    glCallList(list);
}

// One wall's cells: 101 columns (the float accumulator overshoots the corner) of 20 rows.
static void drawWallCells(int sideNumber)
{
    const WallSide side = static_cast<WallSide>(sideNumber);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 2);
    float s = 0.0f;
    float t = 0.0f;
    for (float a = fieldMin; a < fieldMax; a = static_cast<float>(a + cellSize)) {
        for (float b = 0.0f; b < 1.0f; b += wallRowHeight) {
            drawWallCell(side, a, b, s, t);
            t += wallTexStep;
            if (t > 1.0f) {
                t = 0.0f;
            }
        }
        s += wallTexStep;
        if (s > 1.0f) {
            s = 0.0f;
        }
    }
}

static void drawWall(WallSide side)
{
    static GLuint wallLists[4] = {0, 0, 0, 0};
    setMaterial(daytime != 0 ? wallDayMaterial : wallNightMaterial);
    drawThroughList(wallLists[side], drawWallCells, side);
}

static void drawWalls()
{
    glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        drawWall(wallNorth);
        drawWall(wallEast);
        drawWall(wallSouth);
        drawWall(wallWest);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

// The grass: 101 by 101 cells, each showing the same corner of the grass image.
static void drawGroundCells(int)
{
    setMaterial(grassMaterial);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 1);
    for (float x = fieldMin; x < fieldMax; x = static_cast<float>(x + cellSize)) {
        for (float z = fieldMin; z < fieldMax; z = static_cast<float>(z + cellSize)) {
            glBegin(GL_POLYGON);
                glTexCoord2f(0.0f, 0.0f);
                glVertex3f(x, 0.0f, z);
                glTexCoord2f(0.0f, groundTexPatch);
                glVertex3f(x + cellEdge, 0.0f, z);
                glTexCoord2f(groundTexPatch, groundTexPatch);
                glVertex3f(x + cellEdge, 0.0f, z + cellEdge);
                glTexCoord2f(groundTexPatch, 0.0f);
                glVertex3f(x, 0.0f, z + cellEdge);
            glEnd();
        }
    }
}

static void drawGround()
{
    static GLuint groundList = 0;
    glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        drawThroughList(groundList, drawGroundCells, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

static void drawSkySphere(int)
{
    glutSolidSphere(6.0, 50, 50);
}

static void drawSky()
{
    static GLuint skyList = 0;
    setMaterial(daytime != 0 ? daySkyMaterial : blackMaterial);
    drawThroughList(skyList, drawSkySphere, 0);
}

// The moon's turn towards the eye, in degrees. The quotients are not guarded: a zero
// divisor gives an infinite quotient and an arctangent of +-90 degrees.
static void moonAngles(float& heading, float& elevation)
{
    const Vector3 e = eyePosition;
    const float q = (e.z - moonAnchorZ) / (moonAnchorX - e.x);
    heading = std::atan(q) / degreesPerRadian;
    if (e.x > moonAnchorX) {
        heading += 180.0f;
    }
    const float dz = e.z - moonAnchorZ;
    const float dx = e.x - moonAnchorX;
    const float h = std::sqrt(dz * dz + dx * dx);
    elevation = std::atan(h / (e.y - moonAnchorY)) / degreesPerRadian;
    if (e.y < moonAnchorY) {
        elevation += 180.0f;
    }
}

// The moon square, turned to face the eye and drawn unlit at full texture brightness.
static void drawMoon()
{
    float heading = 0.0f;
    float elevation = 0.0f;
    moonAngles(heading, elevation);
    glPushMatrix();
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glTranslatef(moonAnchorX, moonAnchorY, moonAnchorZ);
        glRotatef(heading - 90.0f, 0.0f, 1.0f, 0.0f);
        glRotatef(elevation + 90.0f, 1.0f, 0.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 3);
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 1.0f, 1.0f);
        setMaterial(moonMaterial);
        glBegin(GL_POLYGON);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(0.0f, 0.0f, 0.0f);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(0.0f, moonSize, 0.0f);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(moonSize, moonSize, 0.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(moonSize, 0.0f, 0.0f);
        glEnd();
        glEnable(GL_LIGHTING);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glPopMatrix();
}

void drawWorld()
{
    glPushMatrix();
        drawWalls();
        drawGround();
        drawSky();
        if (daytime == 0) {
            drawMoon();
        }
    glPopMatrix();
}
