// The music backend that really plays: SDL2_mixer on the audio device or on
// SDL's silent driver. platform/music.h's types are known; no SDL type leaks out.
#pragma once

#include "platform/music.h"

namespace platform {

// The one real music backend of the process; nothing opens until FSOUND_Init.
MusicBackend& RealMusic();

}  // namespace platform
