// The parts of the arrangement. Each walks the bar grid and appends its notes
// to the score; together they make the piece. The grid and the section table
// are fixed before any part runs.
#pragma once

#include <vector>

#include "tools/datagen/music/score.h"
#include "tools/datagen/music/sections.h"

// Programs, volumes, pans and effect sends at the start of every section.
void WriteMix(const std::vector<Bar>& bars, Score* score);
// The kit's groove and the fills that lead into each cut.
void WriteDrums(const std::vector<Bar>& bars, Score* score);
// The bass line and the synthesised sub-bass under it.
void WriteBass(const std::vector<Bar>& bars, Score* score);
// Pads, strings, chord stabs or guitar riffs, and the arpeggio.
void WriteHarmony(const std::vector<Bar>& bars, Score* score);
// The lead's motifs and the counter line.
void WriteMelody(const std::vector<Bar>& bars, Score* score);
// What marks every cut: crash, kick and a hit on the new chord; risers into
// the big entries; the final chord.
void WriteAccents(const std::vector<Bar>& bars, Score* score);

// The velocity of a note the section plays at factor of its loudest.
int Velocity(const Bar& bar, double factor);
// True once the part has entered in the bar's section.
bool HasEntered(const Bar& bar, EnteringPart part);
