#include "render/entities.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>

#include "app/game_state.h"
#include "assets/display_lists.h"
#include "render/lights.h"

static const int figureDetail = 50;  // slices and stacks of every sphere and cylinder
static const int shadowVertexCount = 20;

// The one quadric every figure cylinder is drawn with, made on first use.
static GLUquadric* figureQuadric = nullptr;

static GLUquadric* quadric()
{
    if (figureQuadric == nullptr) {
        figureQuadric = gluNewQuadric();
    }
    return figureQuadric;
}

static void sphere(double radius)
{
    glutSolidSphere(radius, figureDetail, figureDetail);
}

static void cylinder(double baseRadius, double topRadius, double height)
{
    gluCylinder(quadric(), baseRadius, topRadius, height, figureDetail, figureDetail);
}

// A limb segment hanging down from the current origin (drawn 0.01 above it).
static void hangingCylinder(double radius, double length)
{
    glPushMatrix();
        glTranslatef(0.0f, 0.01f, 0.0f);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        cylinder(radius, radius, length);
    glPopMatrix();
}

// Red once the part has been hit, the figure's blue otherwise.
static void partMaterial(int counter)
{
    setMaterial(figurePartHits[counter] > 0 ? redMaterial : figureMaterial);
}

// Shoulders, neck, hips and body.
static void drawTorso()
{
    partMaterial(1);
    glPushMatrix();
        glLoadName(4);
        glPushMatrix();
            glTranslatef(0.0f, 0.38f, 0.0f);
            glPushMatrix();
                glScalef(1.0f, 0.2f, 1.0f);
                sphere(0.0399);
            glPopMatrix();
            glTranslatef(0.0f, 0.03f, 0.0f);
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
            cylinder(0.026, 0.03, 0.03);
        glPopMatrix();
        glTranslatef(0.0f, 0.23f, 0.0f);
        glPushMatrix();
            glScalef(1.0f, 0.6f, 1.0f);
            sphere(0.0392);
        glPopMatrix();
        glTranslatef(0.0f, -0.01f, 0.0f);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        cylinder(0.04, 0.04, 0.16);
    glPopMatrix();
}

static void drawHead()
{
    partMaterial(0);
    glLoadName(3);
    glPushMatrix();
        glTranslatef(0.0f, 0.43f, 0.0f);
        sphere(0.044);
    glPopMatrix();
}

// One arm: sigma -1 for the arm on the figure's -x side, +1 for the +x side.
static void drawArm(int counter, float sigma, float shoulder, float elbow)
{
    partMaterial(counter);
    glPushMatrix();
        glLoadName(static_cast<GLuint>(3 + counter));
        glTranslatef(sigma * 0.054f, 0.35f, 0.0f);
        glPushMatrix();
            glTranslatef(0.0f, 0.006f, 0.0f);
            sphere(0.015);
            glTranslatef(-sigma * 0.018f, 0.0f, 0.0f);
            sphere(0.02);
        glPopMatrix();
        glRotatef(-shoulder, 1.0f, 0.0f, 0.0f);
        glRotatef(sigma * 4.0f, 0.0f, 0.0f, 1.0f);
        hangingCylinder(0.014, 0.07);
        glPushMatrix();
            glTranslatef(0.0f, -0.06f, 0.0f);
            sphere(0.014);
            glRotatef(-elbow, 1.0f, 0.0f, 0.0f);
            hangingCylinder(0.012, 0.07);
            glPushMatrix();
                glTranslatef(0.0f, -0.07f, 0.0f);
                sphere(0.012);
            glPopMatrix();
        glPopMatrix();
    glPopMatrix();
}

// One leg: the knee bends the other way from the hip.
static void drawLeg(int counter, float sigma, float hip, float knee)
{
    partMaterial(counter);
    glPushMatrix();
        glLoadName(static_cast<GLuint>(3 + counter));
        glTranslatef(sigma * 0.019f, 0.2f, 0.0f);
        glRotatef(-hip, 1.0f, 0.0f, 0.0f);
        glRotatef(sigma * 3.0f, 0.0f, 0.0f, 1.0f);
        hangingCylinder(0.018, 0.1);
        glPushMatrix();
            glTranslatef(0.0f, -0.09f, 0.0f);
            sphere(0.02);
            glRotatef(knee, 1.0f, 0.0f, 0.0f);
            hangingCylinder(0.016, 0.1);
            glPushMatrix();
                glTranslatef(0.0f, -0.09f, 0.018f);
                glScalef(1.0f, 1.1f, 2.0f);
                sphere(0.018);
            glPopMatrix();
        glPopMatrix();
    glPopMatrix();
}

void drawFigure(int)
{
    glPushMatrix();
        glTranslatef(figurePosition.x, figurePosition.y, figurePosition.z);
        glRotatef(figureHeading, 0.0f, 1.0f, 0.0f);
        drawTorso();
        drawHead();
        drawArm(2, -1.0f, figureShoulderAngle[1], figureElbowAngle[1]);
        drawArm(3, 1.0f, figureShoulderAngle[0], figureElbowAngle[0]);
        drawLeg(4, -1.0f, figureHipAngle[1], figureKneeAngle[1]);
        drawLeg(5, 1.0f, figureHipAngle[0], figureKneeAngle[0]);
    glPopMatrix();
}

// The flat ellipse under a bunny, 0.16 long and 0.1 wide, kept on the ground.
static void drawBunnyShadow(const Entity& bunny)
{
    glPushMatrix();
        glTranslatef(bunny.x, 0.0f, bunny.z);
        glRotatef(bunny.heading, 0.0f, 1.0f, 0.0f);
        glTranslatef(-0.02f, 0.001f, 0.018f);
        setMaterial(shadowMaterial);
        glBegin(GL_POLYGON);
            for (int k = 0; k < shadowVertexCount; ++k) {
                const double theta = k * 6.2831852 / shadowVertexCount;
                glVertex3f(static_cast<float>(std::cos(theta) * 0.08), 0.0f,
                           static_cast<float>(std::sin(theta) * 0.05));
            }
        glEnd();
    glPopMatrix();
}

void drawBunny(int i, int hits, int selecting)
{
    const Entity& bunny = bunnies[i];
    glPushMatrix();
        glTranslatef(bunny.x, bunny.y, bunny.z);
        glRotatef(bunny.heading, 0.0f, 1.0f, 0.0f);
        if (hits > 0) {
            // A shot bunny lies red on its side.
            glTranslatef(0.0f, 0.04f, -0.06f);
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
            setMaterial(redMaterial);
        } else {
            glTranslatef(0.0f, -0.04f, 0.0f);
            setMaterial(daytime != 0 ? bunnyDayMaterial : bunnyNightMaterial);
        }
        glCallList(bunnyList);
    glPopMatrix();
    if (selecting == 0 && daytime != 0) {
        drawBunnyShadow(bunny);
    }
}

void drawTree(int j, int selecting)
{
    glPushMatrix();
        glLoadName(static_cast<GLuint>(39 + j));
        glCallList(trunkList);
        glLoadName(static_cast<GLuint>(29 + j));
        glCallList(crownList);
        if (selecting == 0 && daytime != 0) {
            glCallList(treeShadowList);
        }
    glPopMatrix();
}

void drawEntities(int selecting)
{
    glPushMatrix();
        glTranslatef(0.0f, 0.0f, 0.0f);
        drawFigure(selecting);
    glPopMatrix();
    for (int i = 0; i < bunnyCount; ++i) {
        glPushMatrix();
            glLoadName(static_cast<GLuint>(9 + i));
            drawBunny(i, bunnies[i].hits, selecting);
        glPopMatrix();
    }
    for (int j = 0; j < treeCount; ++j) {
        glPushMatrix();
            glTranslatef(trees[j].x, trees[j].y, trees[j].z);
            drawTree(j, selecting);
        glPopMatrix();
    }
}
