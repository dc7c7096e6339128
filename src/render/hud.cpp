#include "render/hud.h"
void drawHud() {}
int countKills() { return 0; }
float computeAccuracy() { return 0.0f; }
