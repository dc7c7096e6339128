#include "render/entities.h"
void drawEntities(int) {}
void drawFigure(int) {}
void drawBunny(int, int, int) {}
void drawTree(int, int) {}
