// The piece's sections and its bar grid. Each section spans whole scenes and
// fixes a style, key, chord progression and instruments. The grid restarts at
// every cut: a scene is filled with bars of 16 sixteenths (100 ms each, 150
// BPM), and what is left over becomes a short fill bar before the cut, or
// lengthens the last bar when it is a beat or less, so every cut is a downbeat.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datagen/music/harmony.h"

constexpr std::int32_t STEP_MS = 100;  // one sixteenth
// All but the drums fall silent this long before every cut, so that the cut's
// hit rises out of a hush.
constexpr std::int32_t BREATH_MS = STEP_MS;
constexpr int BAR_STEPS = 16;
constexpr int NONE = -1;  // a part the section leaves silent

enum class Style {
    BUILD,      // the intro: layers enter one by one
    RISE,       // the intro's last stretch, building into the first groove
    PIT,        // half-time groove before the race
    DRIVE,      // the race: full drums, running bass
    BREAKDOWN,  // no beat: pads and the theme at half speed
    NIGHT,      // dark half-time groove on an electronic kit
    HEAVY,      // distorted guitars, double kick
    CLIMAX,     // four on the floor, brass and choir
    CALM,       // the credits: piano and strings
    CODA,       // the final chord ringing out
};

enum class Motif { THEME, CALL };

// The parts that may enter late in a section, indices of Section::enterBars.
enum EnteringPart { ENTER_ARPEGGIO = 0, ENTER_LEAD = 1, ENTER_BASS = 2, ENTER_DRUMS = 3 };

// General MIDI programs (0-based) of the parts, or NONE.
struct Programs {
    int pad = NONE;
    int strings = NONE;
    int bass = NONE;
    int lead = NONE;
    int arpeggio = NONE;
    int stabs = NONE;
    int counter = NONE;
    int drumKit = NONE;  // bank 128 program
};

struct Section {
    const char* name = "";
    int firstScene = 0;
    int lastScene = 0;  // inclusive; the coda is scene SCENE_COUNT
    Style style = Style::DRIVE;
    int tonic = 38;     // MIDI key of the tonic in the bass register
    Mode mode = Mode::MINOR;
    std::vector<Chord> chords;  // the progression, repeated
    int barsPerChord = 1;
    Programs programs;
    Motif motif = Motif::THEME;
    int leadOctave = 2;  // the melody's degree 0 lies this many octaves above the tonic
    int stretch = 1;     // 2 plays the melody at half speed
    int velocity = 100;  // the section's loudest ordinary note
    int enterBars[4] = {0, 0, 0, 0};  // bars before each EnteringPart plays
};

struct Bar {
    std::int32_t startMs = 0;
    int steps = BAR_STEPS;  // sixteenths: 4 to 21
    int scene = 0;
    int indexInSection = 0;
    int indexInScene = 0;
    int barsInSection = 0;
    bool startsScene = false;  // its downbeat is a cut or the show's start
    bool endsScene = false;    // a cut follows it
    bool endsSection = false;
    const Section* section = nullptr;
    Chord chord{0, Quality::MINOR};
    Chord nextChord{0, Quality::MINOR};  // the chord the next bar brings

    std::int32_t StepMs(int step) const { return startMs + step * STEP_MS; }
    std::int32_t EndMs() const { return StepMs(steps); }
};

// The sections in play order; the last is the coda after the final scene.
const std::vector<Section>& Sections();

// Every bar of the piece in time order, coda included.
std::vector<Bar> BuildBars();
