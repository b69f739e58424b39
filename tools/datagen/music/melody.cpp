// The lead and the counter line. Motifs are note lists in scale degrees of
// the section's mode, so the one theme is heard in D minor, F major, E minor,
// C harmonic minor, D Phrygian and D major. The lead reads its motif along
// the section's full bars (short fill bars rest), at half speed where the
// section stretches it; a lengthened last bar holds the last note.
#include <algorithm>

#include "tools/datagen/music/parts.h"

namespace {

constexpr int OCTAVE = 12;
constexpr int COUNTER_LOW = 55;
constexpr int SHORTEST_MELODY_BAR = 12;
constexpr double LEGATO = 0.92;

struct MotifNote {
    int step;    // from the motif's start
    int length;  // steps
    int degree;  // 0 = the section's tonic, 7 = an octave up
};

struct MotifLine {
    int steps;
    std::vector<MotifNote> notes;
};

// Eight bars: a rising call on the tonic, an answer over the seventh, a
// climb over the sixth and a half close; then the same with a full close.
const MotifLine& Theme()
{
    static const MotifLine theme = {
        128,
        {{0, 3, 7},    {3, 3, 4},    {6, 2, 7},    {8, 2, 8},    {10, 4, 9},   {14, 2, 8},   {16, 3, 8},
         {19, 3, 6},   {22, 2, 3},   {24, 4, 6},   {28, 2, 7},   {30, 2, 8},   {32, 3, 9},   {35, 3, 7},
         {38, 2, 5},   {40, 2, 9},   {42, 2, 10},  {44, 2, 9},   {46, 2, 8},   {48, 6, 8},   {54, 2, 7},
         {56, 8, 8},   {64, 3, 7},   {67, 3, 4},   {70, 2, 7},   {72, 2, 8},   {74, 4, 9},   {78, 2, 8},
         {80, 3, 8},   {83, 3, 6},   {86, 2, 3},   {88, 4, 6},   {92, 2, 7},   {94, 2, 8},   {96, 3, 9},
         {99, 3, 7},   {102, 2, 5},  {104, 2, 9},  {106, 2, 10}, {108, 2, 9},  {110, 2, 8},  {112, 4, 7},
         {116, 2, 6},  {118, 2, 4},  {120, 8, 7}}};
    return theme;
}

// Two bars of repeated notes that circle the fifth: the pit's fanfare.
const MotifLine& Call()
{
    static const MotifLine call = {32,
                                   {{0, 2, 4},
                                    {2, 1, 4},
                                    {3, 2, 6},
                                    {5, 1, 4},
                                    {6, 2, 3},
                                    {8, 2, 2},
                                    {10, 2, 3},
                                    {12, 4, 4},
                                    {16, 2, 7},
                                    {18, 1, 7},
                                    {19, 2, 6},
                                    {21, 1, 4},
                                    {22, 2, 3},
                                    {24, 8, 4}}};
    return call;
}

// Plays the notes of the motif that start inside the window of motif steps
// [from, from + span) stretched by stretch, at bar step 0 for from.
void PlayWindow(const Bar& bar, const MotifLine& motif, int from, int span, int stretch, Score* score)
{
    const Section& section = *bar.section;
    const int tonic = section.tonic + OCTAVE * section.leadOctave;
    const int played = std::min(bar.steps, BAR_STEPS);
    for (const MotifNote& note : motif.notes) {
        const int at = note.step * stretch - from;
        if (at < 0 || at >= span)
            continue;
        int length = std::min(note.length * stretch, bar.steps - at);
        // A note ending on the sixteenth step carries through a lengthened bar.
        if (at + length == played)
            length = bar.steps - at;
        const double accent = at % 4 == 0 ? 0.9 : 0.8;
        score->Play(LEAD, bar.StepMs(at), static_cast<std::int32_t>(length * STEP_MS * LEGATO),
                    DegreeKey(tonic, section.mode, note.degree), Velocity(bar, accent));
    }
}

void WriteLead(const std::vector<Bar>& bars, Score* score)
{
    int fullBars = 0;
    for (const Bar& bar : bars) {
        if (bar.indexInSection == 0)
            fullBars = 0;
        const Section& section = *bar.section;
        if (section.programs.lead == NONE || section.style == Style::CODA || bar.steps < SHORTEST_MELODY_BAR)
            continue;
        const int position = fullBars++;
        if (!HasEntered(bar, ENTER_LEAD))
            continue;
        const MotifLine& motif = section.motif == Motif::CALL ? Call() : Theme();
        const int cycle = motif.steps * section.stretch;
        const int from = (position - section.enterBars[ENTER_LEAD]) * BAR_STEPS % cycle;
        PlayWindow(bar, motif, from, BAR_STEPS, section.stretch, score);
    }
}

// Half notes on the chord's third and fifth, under the lead.
void WriteCounter(const std::vector<Bar>& bars, Score* score)
{
    for (const Bar& bar : bars) {
        if (bar.section->programs.counter == NONE)
            continue;
        const std::vector<int> tones = ChordKeysAround(bar.section->tonic, bar.chord, COUNTER_LOW);
        const int half = std::max(bar.steps / 2, 1);
        for (int i = 0; i < 2 && i * half < bar.steps; ++i) {
            const int key = tones[std::min<std::size_t>(1 + static_cast<std::size_t>(i), tones.size() - 1)];
            const int length = i == 0 ? half : bar.steps - half;
            score->Play(COUNTER, bar.StepMs(i * half), static_cast<std::int32_t>(length * STEP_MS * LEGATO), key,
                        Velocity(bar, 0.7));
        }
    }
}

}  // namespace

void WriteMelody(const std::vector<Bar>& bars, Score* score)
{
    WriteLead(bars, score);
    WriteCounter(bars, score);
}
