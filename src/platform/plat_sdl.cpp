// Placeholder until the SDL platform lands.
#include "platform/plat_sdl.h"
