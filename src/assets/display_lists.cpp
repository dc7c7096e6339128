#include "assets/display_lists.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/game_state.h"
#include "render/lights.h"

// The mouth's two strokes from the corner of the mouth outwards, in the mouth's own plane.
static const float mouthLeft[9][2] = {{0.0f, 0.002f},    {0.0f, -0.004f},   {-0.001f, -0.005f},
                                      {-0.003f, -0.006f}, {-0.005f, -0.007f}, {-0.007f, -0.008f},
                                      {-0.009f, -0.007f}, {-0.011f, -0.006f}, {-0.013f, -0.005f}};
static const float mouthRight[9][2] = {{0.0f, 0.002f},   {0.0f, -0.004f},  {0.001f, -0.005f},
                                       {0.003f, -0.006f}, {0.005f, -0.007f}, {0.007f, -0.008f},
                                       {0.009f, -0.007f}, {0.011f, -0.006f}, {0.013f, -0.005f}};

// One triangle in the bunny colour, its vertex normals scaled by scale / extent.
void drawTri(const Tri& t, const Mesh& mesh)
{
    const size_t count = std::min(mesh.verts.size(), mesh.normals.size());
    for (int k : t.vertexIndex) {
        if (k < 1 || static_cast<size_t>(k) > count) {
            return;  // loadMesh drops such faces; never index past the vertices
        }
    }
    glBegin(GL_POLYGON);
        glColor3f(0.0f, 0.0f, 0.5f);
        for (int k : t.vertexIndex) {
            const Vector3& n = mesh.normals[k - 1];
            const Vector3& p = *mesh.verts[k - 1];
            // Not renormalised: the lit brightness follows scale / extent.
            glNormal3f(n.x * mesh.scale / mesh.extent, n.y * mesh.scale / mesh.extent,
                       n.z * mesh.scale / mesh.extent);
            glVertex3f(p.x, p.y, p.z);
        }
    glEnd();
}

// One glyph list per byte, relative to the list base set by buildFont.
void drawString(const std::string& text)
{
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
}

// 256 glyph lists, list base + c drawing character code c; the base stays the GL list base.
static void buildFont()
{
    GLuint base = glGenLists(256);
    if (base <= treeShadowList && base + 255 >= bunnyList) {
        // Other lists already existed: claim 260 to 263 first so the block avoids them.
        for (GLuint list = bunnyList; list <= treeShadowList; ++list) {
            glNewList(list, GL_COMPILE);
            glEndList();
        }
        glDeleteLists(base, 256);
        base = glGenLists(256);
    }
    for (int c = 0; c < 256; ++c) {
        glNewList(base + c, GL_COMPILE);
            glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, c);
        glEndList();
    }
    glListBase(base);
}

// A small red sphere at (x, y, z).
static void drawEye(float x, float y, float z)
{
    glPushMatrix();
        setMaterial(redMaterial);
        glTranslatef(x, y, z);
        glutSolidSphere(0.005, 20, 20);
    glPopMatrix();
}

// One line strip of the mouth in its own plane (z = 0).
static void drawMouthStroke(const float (&points)[9][2])
{
    glBegin(GL_LINE_STRIP);
        for (const auto& p : points) {
            glVertex3f(p[0], p[1], 0.0f);
        }
    glEnd();
}

// List 260: the mesh under the caller's material, then the eyes and the mouth.
static void buildBunnyList()
{
    glNewList(bunnyList, GL_COMPILE);
        glPushAttrib(GL_CURRENT_BIT);
        glPushMatrix();
            // The body takes the material current when the list is called.
            for (const Tri* t : bunnyMesh.tris) {
                drawTri(*t, bunnyMesh);
            }
            drawEye(-0.08f, 0.15f, 0.022f);
            drawEye(-0.06f, 0.15f, 0.026f);
            glPushMatrix();
                setMaterial(blackMaterial);
                glLineWidth(1.0f);
                glTranslatef(-0.076f, 0.14f, 0.052f);
                glRotatef(-6.0f, 0.0f, 1.0f, 0.0f);
                glRotatef(-3.0f, 1.0f, 0.0f, 0.0f);
                drawMouthStroke(mouthLeft);
                drawMouthStroke(mouthRight);
            glPopMatrix();
        glPopMatrix();
        glPopAttrib();
    glEndList();
}

// Lists 261 to 263: trunk, crown and the shadow disc, each with its own material.
static void buildTreeLists(GLUquadric* quadric)
{
    glNewList(trunkList, GL_COMPILE);
        glPushAttrib(GL_CURRENT_BIT);
        glPushMatrix();
            glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
            setMaterial(trunkMaterial);
            gluCylinder(quadric, 0.04, 0.01, 0.5, 20, 20);
        glPopMatrix();
        glPopAttrib();
    glEndList();

    glNewList(crownList, GL_COMPILE);
        glPushAttrib(GL_CURRENT_BIT);
        glPushMatrix();
            glTranslatef(0.0f, 0.5f / 2.0f, 0.0f);
            glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
            setMaterial(crownMaterial);
            glutSolidCone(0.3, 0.6, 20, 20);
        glPopMatrix();
        glPopAttrib();
    glEndList();

    glNewList(treeShadowList, GL_COMPILE);
        glPushAttrib(GL_CURRENT_BIT);
        glPushMatrix();
            glTranslatef(0.0f, 0.001f, 0.0f);
            setMaterial(shadowMaterial);
            glBegin(GL_POLYGON);
                for (int i = 0; i < 20; ++i) {
                    const double a = i * 6.2831852 / 20;
                    glVertex3f(static_cast<float>(std::cos(a) * 0.3),
                               0.0f, static_cast<float>(std::sin(a) * 0.3));
                }
            glEnd();
        glPopMatrix();
        glPopAttrib();
    glEndList();
}

// The font first, in a context without lists yet, then the fixed lists 260 to 263.
void buildDisplayLists()
{
    GLUquadric* quadric = gluNewQuadric();  // kept for the life of the process
    buildFont();
    buildBunnyList();
    buildTreeLists(quadric);
}
