#include "render/lights.h"

#include <GL/gl.h>

static const float sunPosition[4] = {0.0f, 11.8f, 0.0f, 6.5f};
static const float sunAmbient[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const float sunDiffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const float sunSpecular[4] = {0.8f, 0.8f, 0.8f, 1.0f};
// Eye coordinates: 0.0225 behind the eye.
static const float flashlightPosition[4] = {0.0f, 0.0f, 0.45f, 20.0f};
static const float flashlightAmbient[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const float flashlightDiffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const float flashlightSpecular[4] = {0.8f, 0.8f, 0.8f, 1.0f};
static const float menuLightPosition[4] = {0.0f, 11.8f, 0.0f, 6.5f};
static const float spotlight_cutoff = 35.0f;  // degrees each side of the view direction
static const float spotlight_dropoff = 4.2f;

// Ambient, diffuse, specular and shininess for front and back faces.
void setMaterial(Material m)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &m.shininess);
}

// Colours of the three lights, the flashlight cone and attenuation; all three left off.
void initLights()
{
    glDisable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, sunDiffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, sunAmbient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, sunSpecular);

    glDisable(GL_LIGHT1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, flashlightDiffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, flashlightAmbient);
    glLightfv(GL_LIGHT1, GL_SPECULAR, flashlightSpecular);
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, spotlight_cutoff);
    glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, spotlight_dropoff);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.8f);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 0.2f);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.5f);

    glDisable(GL_LIGHT2);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, flashlightDiffuse);
    glLightfv(GL_LIGHT2, GL_AMBIENT, flashlightAmbient);
    glLightfv(GL_LIGHT2, GL_SPECULAR, flashlightSpecular);

    glShadeModel(GL_FLAT);
    glEnable(GL_LIGHTING);
}

void placeSunLight()
{
    glMatrixMode(GL_MODELVIEW);
    glLightfv(GL_LIGHT0, GL_POSITION, sunPosition);
}

void placeFlashlight()
{
    glMatrixMode(GL_MODELVIEW);
    glLightfv(GL_LIGHT1, GL_POSITION, flashlightPosition);
}

void placeMenuLight()
{
    glMatrixMode(GL_MODELVIEW);
    glLightfv(GL_LIGHT2, GL_POSITION, menuLightPosition);
}
