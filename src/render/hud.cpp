#include "render/hud.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "app/game_state.h"
#include "assets/display_lists.h"

static const float hudDepth = 10.0f;    // eye-space z of every HUD element
static const float textLeft = -1.96f;   // 0.04 inside the left edge at 4:3
static const float firstLineY = -1.0f;
static const double lineSpacing = 0.14;
static const float healthBarX = -1.16f;

void drawCrosshairStrokes()
{
    glColor3f(crosshairColor[0], crosshairColor[1], crosshairColor[2]);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
        glVertex3f(-0.06f, 0.0f, 0.0f);
        glVertex3f(-0.02f, 0.0f, 0.0f);
        glVertex3f(0.02f, 0.0f, 0.0f);
        glVertex3f(0.06f, 0.0f, 0.0f);
        glVertex3f(0.0f, -0.06f, 0.0f);
        glVertex3f(0.0f, -0.02f, 0.0f);
        glVertex3f(0.0f, 0.02f, 0.0f);
        glVertex3f(0.0f, 0.06f, 0.0f);
    glEnd();
}

// The crosshair on the HUD plane, unlit.
static void drawCrosshair()
{
    glDisable(GL_LIGHTING);
    glTranslatef(0.0f, 0.0f, hudDepth);
    drawCrosshairStrokes();
    glEnable(GL_LIGHTING);
}

// One text line in the current colour at (textLeft, y) on the HUD plane.
static void drawTextLine(float y, const char* text)
{
    glRasterPos3f(textLeft, y, hudDepth);
    drawString(text);
}

// The health bar, 0.8 long at full health and shrinking to its left end, in front of a
// black frame that also shows as the empty part.
static void drawHealthBar(float lineY)
{
    glPushMatrix();
        glTranslatef(healthBarX, lineY + 0.04f, hudDepth);
        if (health > 0.6f) {
            glColor3f(0.4f, 1.0f, 0.1f);
        } else if (health > 0.3f) {
            glColor3f(1.0f, 1.0f, 0.0f);
        } else {
            glColor3f(1.0f, 0.0f, 0.0f);
        }
        const float right = 0.8f * health - 0.4f;
        glBegin(GL_POLYGON);
            glVertex3f(-0.4f, 0.05f, 0.01f);
            glVertex3f(right, 0.05f, 0.01f);
            glVertex3f(right, -0.05f, 0.01f);
            glVertex3f(-0.4f, -0.05f, 0.01f);
        glEnd();
        glColor3f(0.0f, 0.0f, 0.0f);
        glBegin(GL_POLYGON);
            glVertex3f(-0.41f, 0.06f, 0.0f);
            glVertex3f(0.41f, 0.06f, 0.0f);
            glVertex3f(0.41f, -0.06f, 0.0f);
            glVertex3f(-0.41f, -0.06f, 0.0f);
        glEnd();
    glPopMatrix();
}

// The next text line down, rounded to single precision like every line position.
static float nextLine(float y)
{
    return static_cast<float>(y - lineSpacing);
}

// Time, kills, accuracy and the health label in red, then the health bar.
static void drawStatus()
{
    char text[64];
    glPushMatrix();
        glDisable(GL_LIGHTING);
        glTranslatef(0.0f, 0.0f, 0.0f);
        glColor3f(1.0f, 0.0f, 0.0f);
        float y = firstLineY;
        std::snprintf(text, sizeof text, "Time: %d", elapsedSeconds);
        drawTextLine(y, text);
        const int kills = countKills();
        const float accuracy = computeAccuracy();
        y = nextLine(y);
        std::snprintf(text, sizeof text, "Kills: %d/%d", kills, bunnyCount);
        drawTextLine(y, text);
        y = nextLine(y);
        std::snprintf(text, sizeof text, "Accuracy: %.1f%%", accuracy);
        drawTextLine(y, text);
        y = nextLine(y);
        drawTextLine(y, "Health:");
        drawHealthBar(y);
        glEnable(GL_LIGHTING);
    glPopMatrix();
}

void drawHud()
{
    // An orthographic view 3 units high, as wide as the picture's aspect asks.
    const double halfWidth = pictureWidth * 1.5 / pictureHeight;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glOrtho(-halfWidth, halfWidth, -1.5, 1.5, -10.1, 15.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            drawCrosshair();
        glPopMatrix();
        drawStatus();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
}

int countKills()
{
    int kills = 0;
    for (const Entity& bunny : bunnies) {
        if (bunny.hits > 0) {
            kills += 1;
        }
    }
    return kills;
}

float computeAccuracy()
{
    float hitSum = 0.0f;
    for (const Entity& bunny : bunnies) {
        if (bunny.hits > 0) {
            hitSum += static_cast<float>(bunny.hits);
        }
    }
    for (const int hits : figurePartHits) {
        if (hits > 0) {
            hitSum += static_cast<float>(hits);
        }
    }
    if (hitSum > 0.0f) {
        return hitSum / static_cast<float>(shotsFired) * 100.0f;
    }
    return 0.0f;
}
