#include "render/menus.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/game_state.h"
#include "assets/display_lists.h"
#include "input/picking.h"
#include "render/hud.h"

// Red used for every menu text.
static const float textRed[3] = {0.9f, 0.1f, 0.1f};

// Draws text in the given colour starting at a raster position.
static void drawText(const float colour[3], float x, float y, const char* text)
{
    glColor3f(colour[0], colour[1], colour[2]);
    glRasterPos3f(x, y, 0.0f);
    drawString(text);
}

// One textured quad of half-width w and half-height h centred on (x, y) in the plane z = 0.
static void drawTexturedQuad(unsigned int texture, float x, float y, float w, float h)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glPushMatrix();
        glTranslatef(x, y, 0.0f);
        glBegin(GL_POLYGON);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(-w, -h, 0.0f);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(-w, h, 0.0f);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(w, h, 0.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(w, -h, 0.0f);
        glEnd();
    glPopMatrix();
}

// Texturing on with the nicest perspective correction, lighting off, white.
static void beginTexturedDrawing()
{
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// The two bunny pictures in the upper corners.
static void drawCornerPictures()
{
    drawTexturedQuad(11, 0.98f, 0.6f, 0.2f, 0.2f);
    drawTexturedQuad(10, -0.98f, 0.6f, 0.2f, 0.2f);
}

// Title, the four panels and, once a game exists, the pause line.
static void drawMainMenu(int selecting)
{
    glPushMatrix();
        beginTexturedDrawing();
        if (selecting == 0) {
            drawCornerPictures();
            drawTexturedQuad(9, 0.0f, 0.6f, 0.8f, 0.2f);
        }
        glLoadName(pickStartNewGame);
        drawTexturedQuad(5, 0.0f, 0.15f, 0.4f, 0.1f);
        glLoadName(pickOptions);
        drawTexturedQuad(6, 0.0f, -0.1f, 0.2f, 0.1f);
        glLoadName(pickHelp);
        drawTexturedQuad(7, 0.0f, -0.35f, 0.2f, 0.1f);
        glLoadName(pickQuit);
        drawTexturedQuad(8, 0.0f, -0.6f, 0.2f, 0.1f);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    if (gameStarted != 0 && selecting == 0) {
        drawText(textRed, 0.6f, -0.95f, "Press ESC to resume game");
    }
    glEnable(GL_LIGHTING);
}

// One solid blue triangle.
static void drawTriangle(float x0, float y0, float x1, float y1, float x2, float y2)
{
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_POLYGON);
        glVertex3f(x0, y0, 0.0f);
        glVertex3f(x1, y1, 0.0f);
        glVertex3f(x2, y2, 0.0f);
    glEnd();
}

// A right-pointing arrow at (x, y) named rightName and a left-pointing one 0.03 to its left.
static void drawArrowPair(float x, float y, GLuint rightName, GLuint leftName)
{
    glPushMatrix();
        glLoadName(rightName);
        glTranslatef(x, y, 0.0f);
        drawTriangle(0.0f, 0.055f, 0.055f, 0.0f, 0.0f, -0.055f);
        glLoadName(leftName);
        glTranslatef(-0.03f, 0.0f, 0.0f);
        drawTriangle(0.0f, 0.055f, 0.0f, -0.055f, -0.055f, 0.0f);
    glPopMatrix();
}

// The volume text and its up and down arrows.
static void drawVolumeRow(int selecting, float y0)
{
    if (selecting == 0) {
        char text[48];
        std::snprintf(text, sizeof text, "Sound Effects Volume: %d%%", sfxVolume);
        drawText(textRed, -1.0f, y0, text);
    }
    glPushMatrix();
        glTranslatef(0.1f, y0 + 0.05f, 0.0f);
        glLoadName(pickVolumeUp);
        drawTriangle(-0.055f, 0.0f, 0.0f, 0.055f, 0.055f, 0.0f);
        glTranslatef(0.0f, -0.03f, 0.0f);
        glLoadName(pickVolumeDown);
        drawTriangle(-0.055f, 0.0f, 0.055f, 0.0f, 0.0f, -0.055f);
    glPopMatrix();
}

// The crosshair as the HUD draws it, shrunk, in the chosen colour.
static void drawCrosshairPreview(float y1)
{
    glPushMatrix();
        glTranslatef(-0.2f, y1 + 0.02f, 0.0f);
        glScalef(0.6f, 0.6f, 1.0f);
        drawCrosshairStrokes();
    glPopMatrix();
}

// The label of the current gravity setting.
static const char* gravityLabel()
{
    switch (gravitySetting) {
    case 0:
        return "Gravity: Earth";
    case 1:
        return "Gravity: Lunar";
    case 2:
        return "Gravity: Jupiter";
    default:
        return "";
    }
}

// Title and the volume, crosshair and gravity rows with their six named arrows.
static void drawOptionsScreen(int selecting)
{
    glPushMatrix();
        beginTexturedDrawing();
        if (selecting == 0) {
            drawCornerPictures();
            drawTexturedQuad(6, 0.0f, 0.56f, 0.6f, 0.2f);
        }
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glPushMatrix();
        // Row heights are stepped in single precision.
        const float y0 = 0.2f;
        const float y1 = y0 - 0.16f;
        const float y2 = y1 - 0.16f;
        drawVolumeRow(selecting, y0);
        if (selecting == 0) {
            drawText(textRed, -1.0f, y1, "Crosshair Color:");
            drawCrosshairPreview(y1);
        }
        drawArrowPair(0.116f, y1 + 0.02f, pickCrosshairNext, pickCrosshairPrevious);
        if (selecting == 0) {
            drawText(textRed, -1.0f, y2, gravityLabel());
        }
        drawArrowPair(0.116f, y2 + 0.02f, pickGravityNext, pickGravityPrevious);
        if (selecting == 0) {
            drawText(textRed, 0.4f, -0.95f, "Press ESC to return to main menu");
        }
        glEnable(GL_LIGHTING);
    glPopMatrix();
}

// The help text, top to bottom; each entry's y is the previous one minus its step.
struct HelpLine {
    float step;
    const char* text;
};

static const HelpLine helpLines[] = {
    {0.0f, "created by: Talvoren"},
    {0.14f, "Pelloran"},
    {0.2f, "**Keyboard Controls**"},
    {0.12f, " W - Move Forward"},
    {0.12f, " S - Move Backward"},
    {0.12f, " D - Strafe Right"},
    {0.12f, " A - Strafe Left"},
    {0.12f, " Space - Jump"},
    {0.12f, " T - Toggle Day/Night Mode"},
    {0.12f, " L - Toggle Flashlight On/Off"},
    {0.2f, "**Mouse Controls**"},
    {0.12f, " Left Button - Fire Primary Weapon"},
    {0.12f, " Mouse Movement - Look Around"},
};

// The help lines in an orthographic projection of their own.
static void drawHelpText(int selecting)
{
    const double aspect = static_cast<double>(pictureWidth) / pictureHeight;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glOrtho(-1.5 * aspect, 1.5 * aspect, -1.5, 1.5, -0.25, 15.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            glDisable(GL_LIGHTING);
            glColor3f(0.9f, 0.2f, 0.2f);
            float y = 0.3f;
            for (const HelpLine& line : helpLines) {
                y -= line.step;
                glRasterPos3f(-1.3f, y, 0.0f);
                drawString(line.text);
            }
            if (selecting == 0) {
                drawText(textRed, 0.55f, -1.4f, "Press ESC to return to main menu");
            }
            glEnable(GL_LIGHTING);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// Pictures and title (drawn while selecting too), then the text.
static void drawHelpScreen(int selecting)
{
    glPushMatrix();
        beginTexturedDrawing();
        drawCornerPictures();
        drawTexturedQuad(7, 0.0f, 0.56f, 0.6f, 0.2f);
        glEnable(GL_LIGHTING);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    drawHelpText(selecting);
}

void drawMenuScreens(int selecting)
{
    switch (menuScreen) {
    case 0:
        drawMainMenu(selecting);
        break;
    case 1:
        drawOptionsScreen(selecting);
        break;
    case 2:
        drawHelpScreen(selecting);
        break;
    default:
        break;
    }
}
