#include "render/entities.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>

#include "app/game_state.h"
#include "assets/display_lists.h"
#include "input/picking.h"
#include "render/lights.h"
#include "render/view_frustum.h"

static const int figureDetail = 50;  // slices and stacks of every sphere and cylinder
static const int shadowVertexCount = 20;

// The one quadric every figure cylinder is drawn with, made on first use.
static GLUquadric* figureQuadric = nullptr;

// Off: every figure shape is tessellated afresh and nothing is culled (the reference path).
static bool fastPath = true;

// Set per drawFigure: the fast path is on and the fixed lists exist, so new list names
// cannot collide with them.
static bool shapeListsUsable = false;

// One figure shape compiled into a display list, known by its kind and dimensions.
struct ShapeList {
    bool cylinder;
    double a;  // sphere radius, or cylinder base radius
    double b;  // cylinder top radius
    double c;  // cylinder height
    GLuint list;
};

static const int maxShapeLists = 32;
static ShapeList shapeLists[maxShapeLists];
static int shapeListCount = 0;

static GLUquadric* quadric()
{
    if (figureQuadric == nullptr) {
        figureQuadric = gluNewQuadric();
    }
    return figureQuadric;
}

static void freshShape(bool isCylinder, double a, double b, double c)
{
    if (isCylinder) {
        gluCylinder(quadric(), a, b, c, figureDetail, figureDetail);
    } else {
        glutSolidSphere(a, figureDetail, figureDetail);
    }
}

// The list holding this shape, compiled on first use; 0 when no list could be made.
static GLuint shapeList(bool isCylinder, double a, double b, double c)
{
    for (int k = 0; k < shapeListCount; ++k) {
        const ShapeList& s = shapeLists[k];
        if (s.cylinder == isCylinder && s.a == a && s.b == b && s.c == c) {
            return s.list;
        }
    }
    if (shapeListCount == maxShapeLists) {
        return 0;
    }
    const GLuint list = glGenLists(1);
    if (list == 0) {
        return 0;
    }
    glNewList(list, GL_COMPILE);
        freshShape(isCylinder, a, b, c);
    glEndList();
    shapeLists[shapeListCount++] = {isCylinder, a, b, c, list};
    return list;
}

// The same commands whichever way: replayed from a list, or tessellated now.
static void shape(bool isCylinder, double a, double b, double c)
{
    const GLuint list = shapeListsUsable ? shapeList(isCylinder, a, b, c) : 0;
    if (list != 0) {
        glCallList(list);
    } else {
        freshShape(isCylinder, a, b, c);
    }
}

static void sphere(double radius)
{
    shape(false, radius, 0.0, 0.0);
}

static void cylinder(double baseRadius, double topRadius, double height)
{
    shape(true, baseRadius, topRadius, height);
}

void setEntityFastPath(bool on)
{
    fastPath = on;
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
        glLoadName(pickFigureTorso);
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
    glLoadName(pickFigureHead);
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
        glLoadName(pickFigureHead + static_cast<GLuint>(counter));
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
        glLoadName(pickFigureHead + static_cast<GLuint>(counter));
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
    shapeListsUsable = fastPath && glIsList(bunnyList) && glIsList(treeShadowList);
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
        static GLuint shadowList = 0;
        if (shapeListsUsable && shadowList != 0) {
            glCallList(shadowList);
        } else {
            const bool compile = shapeListsUsable;
            if (compile) {
                shadowList = glGenLists(1);
                glNewList(shadowList, GL_COMPILE_AND_EXECUTE);
            }
            glBegin(GL_POLYGON);
                for (int k = 0; k < shadowVertexCount; ++k) {
                    const double theta = k * 6.2831852 / shadowVertexCount;
                    glVertex3f(static_cast<float>(std::cos(theta) * 0.08), 0.0f,
                               static_cast<float>(std::sin(theta) * 0.05));
                }
            glEnd();
            if (compile) {
                glEndList();
            }
        }
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
        glLoadName(pickFirstTrunk + static_cast<GLuint>(j));
        glCallList(trunkList);
        glLoadName(pickFirstCrown + static_cast<GLuint>(j));
        glCallList(crownList);
        if (selecting == 0 && daytime != 0) {
            glCallList(treeShadowList);
        }
    glPopMatrix();
}

// Farthest point of the bunny list from its origin: the mesh, the eyes or the mouth.
static double bunnyListRadius()
{
    double farthest = 0.2;  // eyes and mouth lie within 0.19
    for (const Vector3* v : bunnyMesh.verts) {
        const double d = std::sqrt(static_cast<double>(v->x) * v->x +
                                   static_cast<double>(v->y) * v->y +
                                   static_cast<double>(v->z) * v->z);
        farthest = d > farthest ? d : farthest;
    }
    return farthest;
}

// Whether any part of bunny i (lying or sitting, and its shadow) could be seen. The body
// sphere allows for the 0.04 drop of a sitting bunny and the 0.072 shift of a lying one;
// the shadow ellipse lies within 0.11 of the bunny's ground point.
static bool bunnyVisible(int i, double bodyRadius)
{
    const Entity& b = bunnies[i];
    return !sphereOutsideView(b.x, b.y, b.z, bodyRadius + 0.1) ||
           !sphereOutsideView(b.x, 0.0, b.z, 0.15);
}

// Trunk (to 0.5), crown (radius 0.3 from 0.25 up to 0.85) and the 0.3 shadow disc all lie
// within 0.53 of a point 0.425 up the trunk.
static bool treeVisible(int j)
{
    return !sphereOutsideView(trees[j].x, trees[j].y + 0.425, trees[j].z, 0.6);
}

// Every part of the figure, limbs swinging, lies within 0.3 of a point 0.24 up its body.
static bool figureVisible()
{
    return !sphereOutsideView(figurePosition.x, figurePosition.y + 0.24, figurePosition.z, 0.45);
}

void drawEntities(int selecting)
{
    // Culling only while drawing: an object wholly outside the view yields no fragment, and
    // every drawing sets its own material. The selection pass draws everything.
    const bool cull = fastPath && selecting == 0;
    double bodyRadius = 0.0;
    if (cull) {
        readViewFrustum();
        bodyRadius = bunnyListRadius();
    }
    if (!cull || figureVisible()) {
        glPushMatrix();
            glTranslatef(0.0f, 0.0f, 0.0f);
            drawFigure(selecting);
        glPopMatrix();
    }
    for (int i = 0; i < bunnyCount; ++i) {
        if (cull && !bunnyVisible(i, bodyRadius)) {
            continue;
        }
        glPushMatrix();
            glLoadName(pickFirstBunny + static_cast<GLuint>(i));
            drawBunny(i, bunnies[i].hits, selecting);
        glPopMatrix();
    }
    for (int j = 0; j < treeCount; ++j) {
        if (cull && !treeVisible(j)) {
            continue;
        }
        glPushMatrix();
            glTranslatef(trees[j].x, trees[j].y, trees[j].z);
            drawTree(j, selecting);
        glPopMatrix();
    }
}
