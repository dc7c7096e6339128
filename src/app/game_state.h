#pragma once

// The game's shared state: plain globals, read and written by the toolkit's callbacks on
// the one thread. Defined once, with their start values, in game_state.cpp.

#include "assets/bmp.h"
#include "assets/mesh.h"
#include "assets/vector3.h"

// A bunny or a tree.
struct Entity {
    float x;              // world units
    float y;              // height of the base above the ground
    float z;              // world units
    float verticalSpeed;  // per 6 ms bunny tick, during a hop
    int airborne;         // 1 while a bunny is in a hop
    float heading;        // degrees
    int hits;             // times shot; above 0 = killed
};

const int bunnyCount = 20;
const int treeCount = 10;

// The game's picture: every frame is drawn, and every click picked, in a picture of this size,
// as on the 1024x768 display the game was made for. The window shows it in picturePlace.
const int pictureWidth = 1024;
const int pictureHeight = 768;

// A rectangle of the window in pixels, its corner counted from the window's lower left as
// GL's viewport counts.
struct WindowRect {
    int left;
    int bottom;
    int width;
    int height;
};

// Modes and screens
extern int playing;      // 1 play mode, 0 menu mode
extern int menuScreen;   // 0 main menu, 1 options, 2 help
extern int gameStarted;  // 1 once play mode has been entered; never cleared

// Player
extern float health;               // 1.0 full; exactly 0.0 once dead
extern Vector3 eyePosition;        // camera eye, world units
extern Vector3 lookAtPoint;        // eyePosition + 0.25 x look direction
extern Vector3 upVector;           // camera up; tipped onto its side at death
extern float lookPitch;            // radians, within +-1.3962632
extern float lookYaw;              // radians, within +-6.2829852
extern float playerVerticalSpeed;  // world units per 8 ms tick
extern int jumping;                // 1 from a jump until landing
extern int moveForward;            // W held
extern int moveBackward;           // S held
extern int strafeLeft;             // A held
extern int strafeRight;            // D held
extern int flashlightOn;           // GL_LIGHT1 switched on

// Score and clock
extern int elapsedSeconds;  // seconds played while alive
extern int shotsFired;      // shots in this game

// World and settings
extern int daytime;                 // 1 day, 0 night
extern float gravity;               // world units per tick per tick
extern int gravitySetting;          // 0 Earth, 1 Lunar, 2 Jupiter
extern int sfxVolume;               // percent, 0..100 in steps of 5
extern float crosshairColor[3];     // red, green, blue
extern int crosshairColorIndex;     // 0..8, position in the colour cycle
extern float fieldOfView;           // degrees, vertical
extern float pickRegionSize;        // pixels
extern int windowWidth;             // pixels, the window as the toolkit reports it
extern int windowHeight;            // pixels
extern WindowRect picturePlace;     // where the window shows the picture, scaled to fit
extern float mouseX;                // picture pixels: the point of the picture shown under the
extern float mouseY;                // pointer last seen in menu or at a click; y from the top
extern float figureTimerInterval;   // milliseconds, truncated when armed
extern const float mouseSensitivity;  // 0.1: a pixel turns 0.001745329 radians
extern const float walkSpeed;         // 0.22 of the look or strafe vector per walk tick

extern Entity bunnies[bunnyCount];  // bunny i has pick name pickFirstBunny + i
extern Entity trees[treeCount];     // tree j: pickFirstTrunk + j, pickFirstCrown + j
extern int hopIndex;                // bunny that may start a hop next; kept across games

// The walking figure
extern Vector3 figurePosition;       // world units; y stays 0
extern float figureHeading;          // degrees; 0 faces +z
extern int figurePartHits[6];        // head, torso, arms, legs (-x side first): pick order
extern float figureHipAngle[2];      // degrees; [0] the +x side's leg, [1] the -x side's
extern int figureHipStep[2];         // degrees per figure tick
extern float figureKneeAngle[2];     // degrees; [0] the +x side's leg, [1] the -x side's
extern float figureShoulderAngle[2]; // degrees; [0] the +x side's arm, [1] the -x side's
extern float figureElbowAngle[2];    // degrees; [0] the +x side's arm, [1] the -x side's

// Assets
extern Mesh bunnyMesh;  // the bunny, loaded once at start-up
extern float minX;      // smallest vertex x seen by the mesh reader
extern float maxX;      // largest vertex x
extern float minY;      // smallest vertex y
extern float maxY;      // largest vertex y
extern Image* image;    // the image of the latest texture load

// Timer chains
extern int playEntryCount;  // play entries so far; a walk or bunny chain carries its own
