#include "app/sound_layer.h"
