// The section table and the bar grid. Programs are General MIDI, 0-based;
// chords are written against each section's tonic.
#include "tools/datagen/music/sections.h"

#include "tools/datagen/music/form.h"

namespace {

constexpr Chord Minor(int root) { return {root, Quality::MINOR}; }
constexpr Chord Major(int root) { return {root, Quality::MAJOR}; }
constexpr Chord Power(int root) { return {root, Quality::POWER}; }
constexpr Chord Sus4(int root) { return {root, Quality::SUS4}; }

// D minor: the home key. Pads and a bell-like piano arpeggio enter first,
// then the theme at half speed on slow strings, then bass and beat.
Section Intro()
{
    Section s;
    s.name = "intro";
    s.firstScene = s.lastScene = 0;
    s.style = Style::BUILD;
    s.chords = {Minor(0), Major(-4), Major(3), Major(-2), Minor(0), Major(-4), Minor(5), Major(7), Major(-4), Major(7)};
    s.barsPerChord = 2;
    s.pad = 89;       // warm pad
    s.strings = 48;   // string ensemble
    s.arpeggio = 5;   // electric piano 2
    s.lead = 49;      // slow strings
    s.bass = 38;      // synth bass 1
    s.drumKit = 0;
    s.stretch = 2;
    s.velocity = 92;
    s.enterBars[0] = 4;
    s.enterBars[1] = 8;
    s.enterBars[2] = 12;
    s.enterBars[3] = 12;
    return s;
}

Section Rise()
{
    Section s;
    s.name = "rise";
    s.firstScene = s.lastScene = 1;
    s.style = Style::RISE;
    s.chords = {Minor(0), Major(-4), Major(-2)};
    s.pad = 89;
    s.arpeggio = 5;
    s.bass = 38;
    s.stabs = 62;  // synth brass 1
    s.drumKit = 0;
    s.velocity = 104;
    return s;
}

Section StartPit()
{
    Section s;
    s.name = "start pit";
    s.firstScene = 2;
    s.lastScene = 4;
    s.style = Style::PIT;
    s.chords = {Minor(0), Major(-2), Major(-4), Major(-2)};
    s.pad = 89;
    s.arpeggio = 5;
    s.bass = 38;
    s.lead = 62;
    s.motif = Motif::CALL;
    s.drumKit = 0;
    s.velocity = 104;
    return s;
}

Section CanyonRun()
{
    Section s;
    s.name = "canyon run";
    s.firstScene = 5;
    s.lastScene = 14;
    s.style = Style::DRIVE;
    s.chords = {Minor(0), Major(-2), Major(-4), Major(-2), Minor(0), Major(-2), Major(-4), Major(7)};
    s.strings = 50;  // synth strings 1
    s.bass = 38;
    s.lead = 81;     // sawtooth lead
    s.stabs = 62;
    s.drumKit = 0;
    s.velocity = 112;
    return s;
}

// F major, the relative key: the theme slowed down on a flute over harp and choir.
Section FirstInterlude()
{
    Section s;
    s.name = "first interlude";
    s.firstScene = s.lastScene = 15;
    s.style = Style::BREAKDOWN;
    s.tonic = 41;
    s.mode = Mode::MAJOR;
    s.chords = {Major(5), Major(0), Major(7), Minor(9), Major(5), Major(7)};
    s.pad = 91;      // choir pad
    s.strings = 49;
    s.arpeggio = 46; // harp
    s.lead = 73;     // flute
    s.stretch = 2;
    s.velocity = 84;
    return s;
}

// E minor, a tone up: the theme again with a brass answer.
Section BigWall()
{
    Section s = CanyonRun();
    s.name = "big wall";
    s.firstScene = 16;
    s.lastScene = 19;
    s.tonic = 40;
    s.chords = {Minor(0), Major(-2), Major(-4), Major(-2), Minor(0), Major(-2), Major(-4), Major(7)};
    s.counter = 61;  // brass section
    s.drumKit = 16;  // power kit
    s.velocity = 116;
    return s;
}

// Turns towards C minor: Ab, F minor, Eb, and G as its dominant.
Section SecondInterlude()
{
    Section s;
    s.name = "second interlude";
    s.firstScene = s.lastScene = 20;
    s.style = Style::BREAKDOWN;
    s.tonic = 36;
    s.mode = Mode::HARMONIC_MINOR;
    s.chords = {Major(8), Minor(5), Major(3), Major(7)};
    s.pad = 95;      // sweep pad
    s.strings = 49;
    s.arpeggio = 46;
    s.lead = 11;     // vibraphone
    s.stretch = 2;
    s.velocity = 84;
    return s;
}

// C minor with its raised seventh, on an 808 kit with electric piano chords.
Section CityAtNight()
{
    Section s;
    s.name = "city at night";
    s.firstScene = 21;
    s.lastScene = 28;
    s.style = Style::NIGHT;
    s.tonic = 36;
    s.mode = Mode::HARMONIC_MINOR;
    s.chords = {Minor(0), Major(8), Minor(5), Major(7), Minor(0), Major(8), Major(1), Major(7)};
    s.pad = 95;
    s.bass = 39;   // synth bass 2
    s.lead = 85;   // voice lead
    s.stabs = 4;   // electric piano 1
    s.drumKit = 25;  // TR-808
    s.velocity = 100;
    return s;
}

// D Phrygian power chords: a distorted guitar riff, the theme on an overdriven lead.
Section Garage()
{
    Section s;
    s.name = "garage";
    s.firstScene = 29;
    s.lastScene = 40;
    s.style = Style::HEAVY;
    s.mode = Mode::PHRYGIAN;
    s.chords = {Power(0), Power(0), Power(3), Power(1), Power(0), Power(0), Power(-2), Power(-4)};
    s.strings = 48;  // string ensemble
    s.bass = 34;     // picked bass
    s.lead = 29;     // overdriven guitar
    s.stabs = 30;    // distortion guitar
    s.drumKit = 16;
    s.leadOctave = 2;
    s.velocity = 120;
    return s;
}

// D major: the theme in the major mode, brass, choir and strings.
Section Goal()
{
    Section s;
    s.name = "goal";
    s.firstScene = 41;
    s.lastScene = 49;
    s.style = Style::CLIMAX;
    s.mode = Mode::MAJOR;
    s.chords = {Major(0), Major(7), Minor(9), Major(5), Major(0), Major(7), Major(5), Major(7)};
    s.pad = 52;      // choir aahs
    s.strings = 48;
    s.bass = 38;
    s.lead = 81;
    s.counter = 61;
    s.stabs = 62;
    s.drumKit = 16;
    s.velocity = 124;
    return s;
}

// D major, two bars a chord: the theme at half speed on the piano, brushes in the middle.
Section Credits()
{
    Section s;
    s.name = "credits";
    s.firstScene = s.lastScene = 50;
    s.style = Style::CALM;
    s.mode = Mode::MAJOR;
    s.chords = {Major(0), Minor(9), Major(5), Major(7), Major(0), Minor(4), Major(5), Major(7),
                Minor(9), Major(5), Major(0), Major(7), Major(5), Sus4(7), Major(5), Major(7)};
    s.barsPerChord = 2;
    s.pad = 89;
    s.strings = 49;
    s.bass = 32;      // acoustic bass
    s.lead = 0;       // grand piano
    s.arpeggio = 46;
    s.drumKit = 40;   // brushes
    s.stretch = 2;
    s.velocity = 88;
    s.enterBars[3] = 8;
    return s;
}

Section Coda()
{
    Section s = Credits();
    s.name = "coda";
    s.firstScene = s.lastScene = SCENE_COUNT;
    s.style = Style::CODA;
    s.chords = {Major(0)};
    return s;
}

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
    static const std::vector<Section> sections = {Intro(), Rise(), StartPit(), CanyonRun(), FirstInterlude(),
                                                  BigWall(), SecondInterlude(), CityAtNight(), Garage(), Goal(),
                                                  Credits(), Coda()};
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
