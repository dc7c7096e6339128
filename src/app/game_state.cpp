#include "app/game_state.h"

int playing = 0;
int menuScreen = 0;
int gameStarted = 0;

float health = 1.0f;
Vector3 eyePosition(0.0f, 0.0f, 0.0f);
Vector3 lookAtPoint(0.0f, 0.0f, 0.0f);
Vector3 upVector(0.0f, 0.0f, 0.0f);
float lookPitch = 0.0f;
float lookYaw = 0.0f;
float playerVerticalSpeed = 0.0f;
int jumping = 0;
int moveForward = 0;
int moveBackward = 0;
int strafeLeft = 0;
int strafeRight = 0;
int flashlightOn = 0;

int elapsedSeconds = 0;
int shotsFired = 0;

int daytime = 1;
float gravity = 0.008f;
int gravitySetting = 0;
int sfxVolume = 80;
float crosshairColor[3] = {1.0f, 1.0f, 1.0f};
int crosshairColorIndex = 0;
float fieldOfView = 90.0f;
float pickRegionSize = 1.0f;
int windowWidth = 0;
int windowHeight = 0;
WindowRect picturePlace = {0, 0, pictureWidth, pictureHeight};
float mouseX = 0.0f;
float mouseY = 0.0f;
float figureTimerInterval = 0.0f;
const float mouseSensitivity = 0.1f;
const float walkSpeed = 0.22f;

Entity bunnies[bunnyCount] = {};
Entity trees[treeCount] = {};
int hopIndex = 0;

Vector3 figurePosition(0.0f, 0.0f, 0.0f);
float figureHeading = 0.0f;
int figurePartHits[6] = {0, 0, 0, 0, 0, 0};
float figureHipAngle[2] = {0.0f, 0.0f};
int figureHipStep[2] = {0, 0};
float figureKneeAngle[2] = {0.0f, 0.0f};
float figureShoulderAngle[2] = {0.0f, 0.0f};
float figureElbowAngle[2] = {0.0f, 0.0f};

Mesh bunnyMesh;
float minX = 0.0f;
float maxX = 0.0f;
float minY = 0.0f;
float maxY = 0.0f;
Image* image = nullptr;

int playEntryCount = 0;
