// The section table and the bar grid. Programs are General MIDI, 0-based;
// chords are written against each section's tonic. The table is data: one
// row a section, read as it stands.
#include "tools/datagen/music/sections.h"

#include <iterator>

#include "tools/datagen/music/form.h"

namespace {

constexpr Chord Minor(int root) { return {root, Quality::MINOR}; }
constexpr Chord Major(int root) { return {root, Quality::MAJOR}; }
constexpr Chord Power(int root) { return {root, Quality::POWER}; }
constexpr Chord Sus4(int root) { return {root, Quality::SUS4}; }

// Tonics in the bass register.
constexpr int C = 36;
constexpr int D = 38;
constexpr int E = 40;
constexpr int F = 41;

// The General MIDI programs the piece plays.
constexpr int GRAND_PIANO = 0;
constexpr int ELECTRIC_PIANO_1 = 4;
constexpr int ELECTRIC_PIANO_2 = 5;
constexpr int VIBRAPHONE = 11;
constexpr int OVERDRIVEN_GUITAR = 29;
constexpr int DISTORTION_GUITAR = 30;
constexpr int ACOUSTIC_BASS = 32;
constexpr int PICKED_BASS = 34;
constexpr int SYNTH_BASS_1 = 38;
constexpr int SYNTH_BASS_2 = 39;
constexpr int HARP = 46;
constexpr int STRING_ENSEMBLE = 48;
constexpr int SLOW_STRINGS = 49;
constexpr int SYNTH_STRINGS_1 = 50;
constexpr int CHOIR_AAHS = 52;
constexpr int BRASS_SECTION = 61;
constexpr int SYNTH_BRASS_1 = 62;
constexpr int FLUTE = 73;
constexpr int SAWTOOTH_LEAD = 81;
constexpr int VOICE_LEAD = 85;
constexpr int WARM_PAD = 89;
constexpr int CHOIR_PAD = 91;
constexpr int SWEEP_PAD = 95;
// Drum kits, programs of bank 128.
constexpr int STANDARD_KIT = 0;
constexpr int POWER_KIT = 16;
constexpr int TR808_KIT = 25;
constexpr int BRUSH_KIT = 40;

const std::vector<Chord> RACE = {Minor(0), Major(-2), Major(-4), Major(-2), Minor(0), Major(-2), Major(-4), Major(7)};
const std::vector<Chord> CREDITS = {Major(0), Minor(9), Major(5), Major(7), Major(0), Minor(4), Major(5), Major(7),
                                    Minor(9), Major(5), Major(0), Major(7), Major(5), Sus4(7), Major(5), Major(7)};
// pad, strings, bass, lead, arpeggio, stabs, counter, drums
const Programs CREDITS_BAND = {WARM_PAD, SLOW_STRINGS, ACOUSTIC_BASS, GRAND_PIANO, HARP, NONE, NONE, BRUSH_KIT};

// The piece in play order: name, scenes, style, tonic and mode, progression
// and bars a chord, programs (in the order of Programs), motif, lead octave,
// stretch, loudest velocity, and the bars before the late parts enter.
const Section SECTIONS[] = {
    // D minor: the home key. Pads and a bell-like piano arpeggio enter first,
    // then the theme at half speed on slow strings, then bass and beat.
    {"intro", 0, 0, Style::BUILD, D, Mode::MINOR,
     {Minor(0), Major(-4), Major(3), Major(-2), Minor(0), Major(-4), Minor(5), Major(7), Major(-4), Major(7)}, 2,
     {WARM_PAD, STRING_ENSEMBLE, SYNTH_BASS_1, SLOW_STRINGS, ELECTRIC_PIANO_2, NONE, NONE, STANDARD_KIT},
     Motif::THEME, 2, 2, 92, {4, 8, 12, 12}},
    {"rise", 1, 1, Style::RISE, D, Mode::MINOR, {Minor(0), Major(-4), Major(-2)}, 1,
     {WARM_PAD, NONE, SYNTH_BASS_1, NONE, ELECTRIC_PIANO_2, SYNTH_BRASS_1, NONE, STANDARD_KIT},
     Motif::THEME, 2, 1, 104},
    {"start pit", 2, 4, Style::PIT, D, Mode::MINOR, {Minor(0), Major(-2), Major(-4), Major(-2)}, 1,
     {WARM_PAD, NONE, SYNTH_BASS_1, SYNTH_BRASS_1, ELECTRIC_PIANO_2, NONE, NONE, STANDARD_KIT},
     Motif::CALL, 2, 1, 104},
    {"canyon run", 5, 14, Style::DRIVE, D, Mode::MINOR, RACE, 1,
     {NONE, SYNTH_STRINGS_1, SYNTH_BASS_1, SAWTOOTH_LEAD, NONE, SYNTH_BRASS_1, NONE, STANDARD_KIT},
     Motif::THEME, 2, 1, 112},
    // F major, the relative key: the theme slowed down on a flute over harp and choir.
    {"first interlude", 15, 15, Style::BREAKDOWN, F, Mode::MAJOR,
     {Major(5), Major(0), Major(7), Minor(9), Major(5), Major(7)}, 1,
     {CHOIR_PAD, SLOW_STRINGS, NONE, FLUTE, HARP, NONE, NONE, NONE},
     Motif::THEME, 2, 2, 84},
    // E minor, a tone up: the race again with a brass answer.
    {"big wall", 16, 19, Style::DRIVE, E, Mode::MINOR, RACE, 1,
     {NONE, SYNTH_STRINGS_1, SYNTH_BASS_1, SAWTOOTH_LEAD, NONE, SYNTH_BRASS_1, BRASS_SECTION, POWER_KIT},
     Motif::THEME, 2, 1, 116},
    // Turns towards C minor: Ab, F minor, Eb, and G as its dominant.
    {"second interlude", 20, 20, Style::BREAKDOWN, C, Mode::HARMONIC_MINOR,
     {Major(8), Minor(5), Major(3), Major(7)}, 1,
     {SWEEP_PAD, SLOW_STRINGS, NONE, VIBRAPHONE, HARP, NONE, NONE, NONE},
     Motif::THEME, 2, 2, 84},
    // C minor with its raised seventh, on an 808 kit with electric piano chords.
    {"city at night", 21, 28, Style::NIGHT, C, Mode::HARMONIC_MINOR,
     {Minor(0), Major(8), Minor(5), Major(7), Minor(0), Major(8), Major(1), Major(7)}, 1,
     {SWEEP_PAD, NONE, SYNTH_BASS_2, VOICE_LEAD, NONE, ELECTRIC_PIANO_1, NONE, TR808_KIT},
     Motif::THEME, 2, 1, 100},
    // D Phrygian power chords: a distorted guitar riff, the theme on an overdriven lead.
    {"garage", 29, 40, Style::HEAVY, D, Mode::PHRYGIAN,
     {Power(0), Power(0), Power(3), Power(1), Power(0), Power(0), Power(-2), Power(-4)}, 1,
     {NONE, STRING_ENSEMBLE, PICKED_BASS, OVERDRIVEN_GUITAR, NONE, DISTORTION_GUITAR, NONE, POWER_KIT},
     Motif::THEME, 2, 1, 120},
    // D major: the theme in the major mode, brass, choir and strings.
    {"goal", 41, 49, Style::CLIMAX, D, Mode::MAJOR,
     {Major(0), Major(7), Minor(9), Major(5), Major(0), Major(7), Major(5), Major(7)}, 1,
     {CHOIR_AAHS, STRING_ENSEMBLE, SYNTH_BASS_1, SAWTOOTH_LEAD, NONE, SYNTH_BRASS_1, BRASS_SECTION, POWER_KIT},
     Motif::THEME, 2, 1, 124},
    // D major, two bars a chord: the theme at half speed on the piano, brushes in the middle.
    {"credits", 50, 50, Style::CALM, D, Mode::MAJOR, CREDITS, 2, CREDITS_BAND, Motif::THEME, 2, 2, 88, {0, 0, 0, 8}},
    // The final chord ringing out after the last scene.
    {"coda", SCENE_COUNT, SCENE_COUNT, Style::CODA, D, Mode::MAJOR, {Major(0)}, 2, CREDITS_BAND,
     Motif::THEME, 2, 2, 88, {0, 0, 0, 8}},
};

// How a scene of steps sixteenths divides into bars.
std::vector<int> BarLengths(int steps)
{
    constexpr int LONGEST_EXTENSION = 4;  // a remainder up to a beat lengthens the last bar
    const int full = steps / BAR_STEPS;
    const int rest = steps % BAR_STEPS;
    if (full == 0)
        return {steps};
    std::vector<int> lengths(static_cast<std::size_t>(full), BAR_STEPS);
    if (rest > LONGEST_EXTENSION)
        lengths.push_back(rest);
    else
        lengths.back() += rest;
    return lengths;
}

const Section& SectionOf(int scene)
{
    for (const Section& section : Sections()) {
        if (scene <= section.lastScene)
            return section;
    }
    return Sections().back();
}

// A short fill bar keeps the chord before it; full bars walk the progression.
void AssignChords(std::vector<Bar>& bars)
{
    constexpr int SHORTEST_CHORD_BAR = 12;
    int slot = 0;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        Bar& bar = bars[i];
        if (bar.indexInSection == 0)
            slot = 0;
        const Section& section = *bar.section;
        const bool holds = bar.steps < SHORTEST_CHORD_BAR && bar.indexInSection > 0;
        if (holds) {
            bar.chord = bars[i - 1].chord;
            continue;
        }
        const std::size_t index = static_cast<std::size_t>(slot / section.barsPerChord) % section.chords.size();
        bar.chord = section.chords[index];
        ++slot;
    }
    for (std::size_t i = 0; i < bars.size(); ++i)
        bars[i].nextChord = i + 1 < bars.size() ? bars[i + 1].chord : bars[i].chord;
}

void AppendScene(int scene, std::int32_t startMs, int steps, std::vector<Bar>& bars)
{
    const Section& section = SectionOf(scene);
    // The coda is one long bar: the final chord and its ringing.
    const std::vector<int> lengths = scene == SCENE_COUNT ? std::vector<int>{steps} : BarLengths(steps);
    std::int32_t at = startMs;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        Bar bar;
        bar.startMs = at;
        bar.steps = lengths[i];
        bar.scene = scene;
        bar.indexInScene = static_cast<int>(i);
        bar.startsScene = i == 0;
        bar.endsScene = i + 1 == lengths.size();
        bar.section = &section;
        bar.indexInSection = bars.empty() || bars.back().section != &section ? 0 : bars.back().indexInSection + 1;
        bars.push_back(bar);
        at = bar.EndMs();
    }
}

void MarkSectionEnds(std::vector<Bar>& bars)
{
    for (std::size_t i = bars.size(); i-- > 0;) {
        const bool last = i + 1 == bars.size() || bars[i + 1].section != bars[i].section;
        bars[i].endsSection = last;
        bars[i].barsInSection = last ? bars[i].indexInSection + 1 : bars[i + 1].barsInSection;
    }
}

}  // namespace

const std::vector<Section>& Sections()
{
    static const std::vector<Section> sections(std::begin(SECTIONS), std::end(SECTIONS));
    return sections;
}

std::vector<Bar> BuildBars()
{
    std::vector<Bar> bars;
    for (int scene = 0; scene < SCENE_COUNT; ++scene) {
        const int steps = (SCENE_END_MS[scene] - SceneStartMs(scene)) / STEP_MS;
        AppendScene(scene, SceneStartMs(scene), steps, bars);
    }
    AppendScene(SCENE_COUNT, SCENE_END_MS.back(), (TRACK_LENGTH_MS - SCENE_END_MS.back()) / STEP_MS, bars);
    MarkSectionEnds(bars);
    AssignChords(bars);
    return bars;
}
