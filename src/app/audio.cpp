#include "app/audio.h"
void initAudio() {}
void playGunSound() {}
void shutdownAudio() {}
