#include "render/world.h"

#include <GL/freeglut.h>

#include <cmath>
#include <vector>

#include "app/game_state.h"
#include "assets/display_lists.h"
#include "render/lights.h"
#include "render/view_frustum.h"

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

// A box around cells, widened vertex by vertex.
struct Bounds {
    float low[3];
    float high[3];
};

static void widen(Bounds* bounds, float x, float y, float z)
{
    if (bounds == nullptr) {
        return;
    }
    const float p[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        bounds->low[axis] = p[axis] < bounds->low[axis] ? p[axis] : bounds->low[axis];
        bounds->high[axis] = p[axis] > bounds->high[axis] ? p[axis] : bounds->high[axis];
    }
}

// A run of cells in the order the whole surface sends them, compiled once into a display
// list, and the box that holds them.
struct CellBlock {
    GLuint list;
    Bounds bounds;
};

// Ground blocks run along z inside one column, wall blocks take whole columns: either way
// a block is a run of consecutive cells, so the cells drawn keep their order among themselves.
static const int groundBlockRows = 9;
static const int wallBlockColumns = 5;
static const int everyCell = 1 << 20;

static bool fastPath = true;

void setWorldFastPath(bool on)
{
    fastPath = on;
}

// One wall vertex, also counted into the bounds.
static void wallPoint(WallSide side, float a, float y, Bounds* bounds)
{
    wallVertex(side, a, y);
    switch (side) {
    case wallNorth:
        widen(bounds, a, y, -wallPlane);
        break;
    case wallEast:
        widen(bounds, wallPlane, y, a);
        break;
    case wallSouth:
        widen(bounds, a, y, wallPlane);
        break;
    case wallWest:
        widen(bounds, -wallPlane, y, a);
        break;
    }
}

// One wall cell; the south and west walls run their columns the other way round so that
// every wall faces the field the same way.
static void drawWallCell(WallSide side, float a, float b, float s, float t, Bounds* bounds)
{
    const bool reversed = side == wallSouth || side == wallWest;
    const float first = reversed ? a + cellEdge : a;
    const float second = reversed ? a : a + cellEdge;
    glBegin(GL_POLYGON);
        glTexCoord2f(s, t);
        wallPoint(side, first, b, bounds);
        glTexCoord2f(s, t + wallTexStep);
        wallPoint(side, first, b + wallRowHeight, bounds);
        glTexCoord2f(s + wallTexStep, t + wallTexStep);
        wallPoint(side, second, b + wallRowHeight, bounds);
        glTexCoord2f(s + wallTexStep, t);
        wallPoint(side, second, b, bounds);
    glEnd();
}

// One wall's cells from column firstColumn to lastColumn, of the 101 columns (the float
// accumulator overshoots the corner) of 20 rows. The texture accumulators run through the
// columns left out too, so every cell gets the coordinates the whole wall gives it.
static void sendWallCells(WallSide side, int firstColumn, int lastColumn, Bounds* bounds)
{
    float s = 0.0f;
    float t = 0.0f;
    int column = 0;
    for (float a = fieldMin; a < fieldMax; a = static_cast<float>(a + cellSize), ++column) {
        for (float b = 0.0f; b < 1.0f; b += wallRowHeight) {
            if (column >= firstColumn && column <= lastColumn) {
                drawWallCell(side, a, b, s, t, bounds);
            }
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

// The grass cells of columns (along x) firstColumn to lastColumn and rows (along z)
// firstRow to lastRow, of 101 by 101, each showing the same corner of the grass image.
static void sendGroundCells(int firstColumn, int lastColumn, int firstRow, int lastRow,
                            Bounds* bounds)
{
    int column = 0;
    for (float x = fieldMin; x < fieldMax; x = static_cast<float>(x + cellSize), ++column) {
        if (column < firstColumn || column > lastColumn) {
            continue;
        }
        int row = 0;
        for (float z = fieldMin; z < fieldMax; z = static_cast<float>(z + cellSize), ++row) {
            if (row < firstRow || row > lastRow) {
                continue;
            }
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
            widen(bounds, x, 0.0f, z);
            widen(bounds, x + cellEdge, 0.0f, z + cellEdge);
        }
    }
}

// The columns (or rows) the float accumulator makes across the field: 101.
static int cellLines()
{
    int count = 0;
    for (float a = fieldMin; a < fieldMax; a = static_cast<float>(a + cellSize)) {
        ++count;
    }
    return count;
}

// Compiles one block from what send draws; false when no list could be made.
template <typename Send>
static bool compileBlock(std::vector<CellBlock>& blocks, Send send)
{
    CellBlock block{glGenLists(1), {{1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f}}};
    if (block.list == 0) {
        return false;
    }
    glNewList(block.list, GL_COMPILE);
        send(&block.bounds);
    glEndList();
    blocks.push_back(block);
    return true;
}

static std::vector<CellBlock> wallBlocks[4];
static std::vector<CellBlock> groundBlocks;

// Compiles every block; false when one could not be made (the cells are then sent afresh).
static bool compileBlocks()
{
    const int lines = cellLines();
    bool made = true;
    for (int side = wallNorth; side <= wallWest; ++side) {
        for (int first = 0; first < lines && made; first += wallBlockColumns) {
            made = compileBlock(wallBlocks[side], [&](Bounds* b) {
                sendWallCells(static_cast<WallSide>(side), first, first + wallBlockColumns - 1,
                              b);
            });
        }
    }
    for (int column = 0; column < lines && made; ++column) {
        for (int first = 0; first < lines && made; first += groundBlockRows) {
            made = compileBlock(groundBlocks, [&](Bounds* b) {
                sendGroundCells(column, column, first, first + groundBlockRows - 1, b);
            });
        }
    }
    return made;
}

// Whether the blocks can be drawn: compiled on the first frame after the game's fixed lists
// exist (so a new list never takes their numbers). Sending the 18,281 cells once also keeps
// the GL driver from allocating a little more memory at every immediate-mode frame.
static bool blocksReady()
{
    static int state = 0;  // 0 not yet compiled, 1 ready, -1 failed
    if (!fastPath || !glIsList(bunnyList)) {
        return false;
    }
    if (state == 0) {
        state = compileBlocks() ? 1 : -1;
    }
    return state == 1;
}

// The blocks whose box reaches into the view, in their order. A block wholly outside the
// frustum would have been clipped away whole, so leaving it out changes no pixel.
static void drawVisibleBlocks(const std::vector<CellBlock>& blocks)
{
    for (const CellBlock& block : blocks) {
        if (!boxOutsideView(block.bounds.low, block.bounds.high)) {
            glCallList(block.list);
        }
    }
}

static void drawWall(WallSide side, bool fromBlocks)
{
    setMaterial(daytime != 0 ? wallDayMaterial : wallNightMaterial);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 2);
    if (fromBlocks) {
        drawVisibleBlocks(wallBlocks[side]);
    } else {
        sendWallCells(side, 0, everyCell, nullptr);
    }
}

static void drawWalls(bool fromBlocks)
{
    glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        drawWall(wallNorth, fromBlocks);
        drawWall(wallEast, fromBlocks);
        drawWall(wallSouth, fromBlocks);
        drawWall(wallWest, fromBlocks);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

static void drawGround(bool fromBlocks)
{
    glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        setMaterial(grassMaterial);
        glNormal3f(0.0f, 1.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, 1);
        if (fromBlocks) {
            drawVisibleBlocks(groundBlocks);
        } else {
            sendGroundCells(0, everyCell, 0, everyCell, nullptr);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

// Draws draw(arg) through a display list compiled on first use, once the game's fixed lists
// exist. The same commands run, so the pixels are the same.
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

// The sky before everything else, with the depth test (and so depth writes) off: the
// rasteriser then skips the depth buffer for it, and the sky still shows exactly where
// nothing else does. The eye (within 4.3 of the centre, even at the top of a lunar jump) and
// everything else lie inside the sphere (nothing else reaches 5 from the centre: a tree
// crown at a field corner about 4.7, the moon 4.95; the sky's faces are no nearer than 5.96),
// so on every ray anything else is nearer and would have won the pixel against the sky
// anyway; where only sky shows, the depth buffer holds 1.0 instead of the sky's depth, which
// lets through the same later fragments.
static void drawSkyFirst()
{
    glDisable(GL_DEPTH_TEST);
    drawSky();
    glEnable(GL_DEPTH_TEST);
}

void drawWorld()
{
    const bool fromBlocks = blocksReady();
    if (fromBlocks) {
        readViewFrustum();
    }
    glPushMatrix();
        if (fromBlocks) {
            drawSkyFirst();
        }
        drawWalls(fromBlocks);
        drawGround(fromBlocks);
        if (!fromBlocks) {
            drawSky();
        }
        if (daytime == 0) {
            drawMoon();
        }
    glPopMatrix();
}
