#include "render/lights.h"
void setMaterial(Material) {}
void initLights() {}
void placeSunLight() {}
void placeFlashlight() {}
void placeMenuLight() {}
