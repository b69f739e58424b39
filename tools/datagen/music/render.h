// Turning the score into sound: the instrument events through FluidSynth from
// a SoundFont, then the generator's own synthesised effects mixed on top.
#pragma once

#include <cstddef>

#include "tools/audio/pcm.h"
#include "tools/datagen/music/score.h"

// Renders the score's notes, controls and programs into pcm, frames long.
// False (reported) when FluidSynth or the SoundFont cannot be loaded.
bool RenderInstruments(const Score& score, const char* soundFontPath, std::size_t frames, Pcm* pcm);

// Adds the score's effects (risers, booms, sub-bass) to pcm.
void RenderEffects(const Score& score, Pcm* pcm);
