#include "render/world.h"
void drawWorld() {}
