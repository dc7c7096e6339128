#pragma once

// Mouse look, the left button, and the camera's starting pose.

// Eye at (0, 1.45, 1), both look angles 0, up (0, 1, 0), look-at 0.25 ahead.
void setUpCamera();

// glutMouseFunc: the left button going down shoots in play mode and clicks in menu mode.
void mouseButton(int button, int state, int x, int y);

// glutPassiveMotionFunc: turns the view in play mode (pointer held at the centre) while the
// window has the keyboard focus; runs a hover picking pass in menu mode.
void mouseLook(int x, int y);

// glutMotionFunc: as mouseLook in play mode; nothing in menu mode.
void mouseDrag(int x, int y);

// Play holds the pointer: hidden and warped to the window's centre, where every move turns
// the view. Only while the window has the keyboard focus.
void catchPointer();

// Play lets the pointer go to whoever has the keyboard focus: shown as the desktop draws it.
void letPointerGo();
