// Keys, scales and chords: a section names its tonic and mode; chords are
// built on semitone offsets from the tonic; melodies are written in scale
// degrees so that one motif serves every key and mode of the piece.
#pragma once

#include <array>
#include <vector>

enum class Mode { MINOR, MAJOR, PHRYGIAN, HARMONIC_MINOR };

enum class Quality { MAJOR, MINOR, POWER, SUS4 };

struct Chord {
    int root;  // semitones above the section's tonic (may be negative)
    Quality quality;
};

// The MIDI key of scale degree degree (0 = the tonic; 7 = the tonic an octave
// up; negative degrees go down) in mode above tonicKey.
int DegreeKey(int tonicKey, Mode mode, int degree);

// The chord's tones above its root: third and fifth, or fifth and octave.
std::array<int, 3> ChordIntervals(Quality quality);

// The chord's tones as keys, each placed in [low, low + 12) and sorted.
std::vector<int> ChordKeysAround(int tonicKey, const Chord& chord, int low);

// The chord's root key in [low, low + 12).
int RootKeyAround(int tonicKey, const Chord& chord, int low);
