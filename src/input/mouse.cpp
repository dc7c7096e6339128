#include "input/mouse.h"
void setUpCamera() {}
void mouseButton(int, int, int, int) {}
void mouseLook(int, int) {}
void mouseDrag(int, int) {}
