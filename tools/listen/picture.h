// The music picture: a spectrogram drawn by sox above the track's short-term
// loudness, with every cut of the show marked across both and each act's
// planned loudness drawn beside the measured curve.
#pragma once

#include "tools/audio/pcm.h"

// Reads the spectrogram PNG of the track's stretch [fromMs, toMs) (no axes),
// draws the picture and writes it to outPath. False (reported) on failure.
bool DrawMusicPicture(const Pcm& track, const char* spectrogramPath, const char* outPath, double fromMs,
                      double toMs);
