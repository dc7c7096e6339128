#pragma once

// Fixed game states drawn with the game's own code: one GLUT window, the game's assets, a menu
// screen or a game with a seeded field, a set eye and HUD values, and the frame read back.
// Nothing here depends on the clock or on rand(), so the same state gives the same frame.

#include <string>
#include <vector>

#include "app/game_state.h"

const int sceneWidth = 1024;
const int sceneHeight = 768;

// Creates the window (once) at 1024x768 and makes it current. Needs an X display.
void openSceneWindow();

// Loads the textures, the mesh and the display lists from dataDir and sets the lights up, as
// start-up does, then returns to the working directory. Returns false with a message when
// dataDir cannot be entered; a missing image ends the process as it ends the game.
bool loadSceneAssets(const std::string& dataDir);

// The menu on screen 0 (main), 1 (options) or 2 (help), with the options at their defaults.
void showMenu(int screen);

// A new game in play mode by day (day 1) or by night, flashlight on or off, the eye on the
// ground. The bunnies and trees stand on the game's 0.1 grid as a generator seeded with seed
// lays them out, and the figure at the field's middle turned by figureTurn degrees.
void startFixedGame(unsigned seed, int day, int flashlight, float figureTurn = 30.0f);

// Puts bunny i at (x, z) on the ground, turned by heading degrees (0: its head towards -x),
// shot (laid on its side, red) when hit.
void placeBunny(int i, float x, float z, float heading, bool hit = false);

// Moves the trees and the other bunnies far from (x, z), out of a close-up's way.
void clearAround(float x, float z, float radius);

// The eye at (x, z) at the height it stands at, looking along yaw (radians: 0 towards +x, as
// a new game starts, growing towards +z) and pitch (radians, up).
void placeEye(float x, float z, float yaw, float pitch = 0.0f);

// Draws one frame with the game's display callback and returns it, RGB rows top-down.
std::vector<unsigned char> drawSceneFrame();
