// Mastering: each act brought to its planned loudness, peaks held under a
// ceiling by a look-ahead limiter, the ending faded to silence.
#pragma once

#include "tools/audio/pcm.h"

// Masters pcm in place; ceilingDb is the highest sample peak allowed, in dB
// of full scale.
void Master(Pcm* pcm, double ceilingDb);
