// The piece as note data: MIDI-style events for the instrument renderer and
// the few sounds the generator synthesises itself, all at millisecond times of
// the track. Parts append to one Score; the renderer sorts nothing it need not.
#pragma once

#include <cstdint>
#include <vector>

// General MIDI channels by role; the drum channel is the tenth.
enum Channel : std::uint8_t {
    PAD = 0,
    STRINGS = 1,
    BASS = 2,
    LEAD = 3,
    ARPEGGIO = 4,
    STABS = 5,
    HITS = 6,
    COUNTER = 7,
    TIMPANI = 8,
    DRUMS = 9,
    PIANO = 10,
    CHANNEL_COUNT = 11,
};

struct Note {
    std::int32_t startMs;
    std::int32_t lengthMs;
    std::uint8_t channel;
    std::uint8_t key;       // MIDI key, 60 = middle C
    std::uint8_t velocity;  // 1-127
};

struct Control {
    std::int32_t timeMs;
    std::uint8_t channel;
    std::uint8_t controller;  // MIDI controller number
    std::uint8_t value;
};

struct ProgramChoice {
    std::int32_t timeMs;
    std::uint8_t channel;
    std::uint8_t bank;     // 128 for drum kits
    std::uint8_t program;  // General MIDI program, 0-based
};

// Sounds made by the generator's own synthesis rather than the SoundFont.
enum class EffectKind : std::uint8_t {
    RISER,  // noise and tone sweeping up, ending at the effect's end
    BOOM,   // a sub-bass drop starting at the effect's start
    SUB,    // a sine sub-bass note under the bass
};

struct Effect {
    EffectKind kind;
    std::int32_t startMs;
    std::int32_t lengthMs;
    float pitchHz;  // the sub's pitch, the boom's starting pitch
    float level;    // peak amplitude, full scale 1
};

// MIDI controllers the parts use.
constexpr std::uint8_t CC_VOLUME = 7;
constexpr std::uint8_t CC_PAN = 10;
constexpr std::uint8_t CC_EXPRESSION = 11;
constexpr std::uint8_t CC_REVERB = 91;
constexpr std::uint8_t CC_CHORUS = 93;

struct Score {
    std::vector<Note> notes;
    std::vector<Control> controls;
    std::vector<ProgramChoice> programs;
    std::vector<Effect> effects;

    void Play(std::uint8_t channel, std::int32_t startMs, std::int32_t lengthMs, int key, int velocity);
    void Set(std::uint8_t channel, std::int32_t timeMs, std::uint8_t controller, int value);
    // Moves controller from one value to another in 50 ms steps over [startMs, endMs].
    void Ramp(std::uint8_t channel, std::int32_t startMs, std::int32_t endMs, std::uint8_t controller,
              int from, int to);
    void Choose(std::uint8_t channel, std::int32_t timeMs, int program, int bank = 0);
    void Add(EffectKind kind, std::int32_t startMs, std::int32_t lengthMs, float pitchHz, float level);
};
