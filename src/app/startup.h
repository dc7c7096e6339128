#pragma once

// Start-up and the callbacks that belong to no other module.

// Runs the whole start-up sequence up to, not including, the toolkit's main loop:
// window, callbacks, textures, mesh, display lists, focus watch, camera, lights, menu,
// timers, audio. The pass clock runs betweenPasses before each firing's passes.
void startUp(int argc, char** argv, void (*betweenPasses)());

// Loads the eleven textures (a bad image ends the process), the bunny mesh, and builds
// the display lists. Needs a current GL context; paths are relative to the working directory.
void loadAssets();

// Enables depth testing. Nothing else.
void initGL();

// Reshape callback: records the window's size and where it shows the game's picture
// (render/picture.h), sets the picture's 4:3 perspective and the viewport to its place.
// A size of 0 is taken as 1.
void reshape(int width, int height);

// Display callback: the play scene with its HUD, or the current menu screen, drawn as the
// game's 1024x768 picture and shown in its place in the window.
void display();

// With the modelview at the identity: the flashlight in eye space, then the camera
// (gluLookAt from the eye to the look-at point) and the sun in world space.
void placePlayCamera();

// Leaves full-screen game mode if start-up entered it; a window fallback is left alone.
void leaveFullScreen();
