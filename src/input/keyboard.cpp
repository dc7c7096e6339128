#include "input/keyboard.h"
void keyDown(unsigned char, int, int) {}
void keyUp(unsigned char, int, int) {}
