// The whole piece as note data: the bar grid of the show's form, every part
// written over it.
#pragma once

#include "tools/datagen/music/score.h"

Score ComposeShow();
