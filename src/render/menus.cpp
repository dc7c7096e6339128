#include "render/menus.h"
void drawMenuScreens(int) {}
