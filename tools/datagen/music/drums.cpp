// The drum part. Grooves are written as one character per sixteenth:
// '.' rest, '-' ghost, '+' soft, 'o' normal, 'x' accent, 'X' full. A fill replaces the
// last steps of the bar before a cut; a roll fills the last bar of a section
// that builds. The cut's own downbeat belongs to the accents.
#include <algorithm>

#include "tools/datagen/music/parts.h"

namespace {

// General MIDI drum keys.
constexpr int KICK = 36;
constexpr int SIDE_STICK = 37;
constexpr int SNARE = 38;
constexpr int CLAP = 39;
constexpr int LOW_TOM = 45;
constexpr int CLOSED_HAT = 42;
constexpr int PEDAL_HAT = 44;
constexpr int OPEN_HAT = 46;
constexpr int MID_TOM = 47;
constexpr int HIGH_TOM = 50;
constexpr int RIDE = 51;
constexpr int TAMBOURINE = 54;

constexpr std::int32_t DRUM_NOTE_MS = 400;
constexpr int FILL_STEPS = 4;
constexpr int SECTION_FILL_STEPS = 8;

struct DrumLine {
    int key;
    const char* hits;  // 16 characters for a groove, 8 for a fill
};

struct Groove {
    std::vector<DrumLine> bar;
    std::vector<DrumLine> fill;
};

const Groove& GrooveOf(Style style)
{
    static const Groove none;
    static const Groove build = {{{KICK, "x.......o......."}, {CLOSED_HAT, "..o...o...o...o."}}, {}};
    static const Groove rise = {
        {{KICK, "x...x...x...x..."}, {SNARE, "....o.......o..."}, {CLOSED_HAT, "-.o.-.o.-.o.-.o."}},
        {{SNARE, "o.o.oooo"}, {KICK, "x...x..."}}};
    static const Groove pit = {
        {{KICK, "x.........x..-.."}, {SNARE, "........x......."}, {CLOSED_HAT, "o-o-o-o-o-o-o-o-"},
         {OPEN_HAT, "......o.......o."}},
        {{SNARE, "..o.o.xx"}, {HIGH_TOM, "o......."}, {KICK, "x...x..."}}};
    static const Groove drive = {
        {{KICK, "o.....-.o.-....."}, {SNARE, "....o.......o..-"}, {CLOSED_HAT, "o-o-o-o-o-o-o-o-"},
         {OPEN_HAT, "..............o."}},
        {{SNARE, "o.o.oo.."}, {HIGH_TOM, "......x."}, {MID_TOM, ".......x"}, {KICK, "x...x..."}}};
    static const Groove night = {
        {{KICK, "o......-..o....."}, {CLAP, "........+......."}, {SIDE_STICK, "...-......-....-"},
         {CLOSED_HAT, "-.-.-.-.-.-.-.-."}},
        {{CLAP, "..o.o.ox"}, {LOW_TOM, ".o.o...."}, {KICK, "x......."}}};
    static const Groove heavy = {
        {{KICK, "o.-.o.--o.-.o.--"}, {SNARE, "....+.......+..."}, {RIDE, "o...o...o...o..."},
         {CLOSED_HAT, "..o...o...o...o."}},
        {{SNARE, "oo.oo.oo"}, {HIGH_TOM, "..o....."}, {LOW_TOM, ".....o.."}, {KICK, "oooooooo"}}};
    static const Groove climax = {
        {{KICK, "o...o...o...o..."}, {SNARE, "....o.......o..."}, {OPEN_HAT, "..o...o...o...o."},
         {CLOSED_HAT, "o-.-o-.-o-.-o-.-"}, {TAMBOURINE, "-.o.-.o.-.o.-.o."}},
        {{SNARE, "o.o.oooo"}, {HIGH_TOM, "....o..."}, {MID_TOM, ".....o.."}, {KICK, "o...o..."}}};
    static const Groove calm = {
        {{KICK, "o.........-....."}, {SNARE, "....-.......-..."}, {PEDAL_HAT, "..-...-...-...-."}},
        {{SNARE, "--o-o-oo"}}};
    switch (style) {
    case Style::BUILD:
        return build;
    case Style::RISE:
        return rise;
    case Style::PIT:
        return pit;
    case Style::DRIVE:
        return drive;
    case Style::NIGHT:
        return night;
    case Style::HEAVY:
        return heavy;
    case Style::CLIMAX:
        return climax;
    case Style::CALM:
        return calm;
    case Style::BREAKDOWN:
    case Style::CODA:
        break;
    }
    return none;
}

double HitFactor(char hit)
{
    switch (hit) {
    case '-':
        return 0.4;
    case '+':
        return 0.55;
    case 'o':
        return 0.7;
    case 'x':
        return 0.88;
    case 'X':
        return 1.0;
    default:
        return 0.0;
    }
}

bool Builds(Style style) { return style == Style::BUILD || style == Style::RISE || style == Style::BREAKDOWN; }

// How many of the bar's last steps the fill takes.
int FillSteps(const Bar& bar)
{
    if (!bar.endsScene)
        return 0;
    return std::min(bar.endsSection ? SECTION_FILL_STEPS : FILL_STEPS, bar.steps);
}

void PlayGroove(const Bar& bar, int steps, double dynamics, Score* score)
{
    for (const DrumLine& line : GrooveOf(bar.section->style).bar) {
        for (int step = 0; step < steps; ++step) {
            const double factor = HitFactor(line.hits[step % BAR_STEPS]);
            // The cut's downbeat kick is the accents'.
            if (factor == 0.0 || (step == 0 && bar.startsScene && line.key == KICK))
                continue;
            score->Play(DRUMS, bar.StepMs(step), DRUM_NOTE_MS, line.key, Velocity(bar, factor * dynamics));
        }
    }
}

// The fill's last steps end the bar, growing louder towards the cut.
void PlayFill(const Bar& bar, int steps, Score* score)
{
    for (const DrumLine& line : GrooveOf(bar.section->style).fill) {
        for (int i = 0; i < steps; ++i) {
            const int step = bar.steps - steps + i;
            const double factor = HitFactor(line.hits[SECTION_FILL_STEPS - steps + i]);
            const double swell = 0.8 + 0.2 * (i + 1) / steps;
            score->Play(DRUMS, bar.StepMs(step), DRUM_NOTE_MS, line.key, Velocity(bar, factor * swell));
        }
    }
}

// A snare roll over the whole bar, from a whisper to loud, into the next section.
void PlayRoll(const Bar& bar, Score* score)
{
    for (int step = 0; step < bar.steps; ++step) {
        const double swell = 0.2 + 0.6 * (step + 1) / bar.steps;
        score->Play(DRUMS, bar.StepMs(step), DRUM_NOTE_MS, SNARE, Velocity(bar, swell));
    }
}

}  // namespace

void WriteDrums(const std::vector<Bar>& bars, Score* score)
{
    for (const Bar& bar : bars) {
        const Style style = bar.section->style;
        if (Builds(style) && bar.endsSection && style != Style::RISE) {
            PlayRoll(bar, score);
            continue;
        }
        if (bar.section->programs.drumKit == NONE || !HasEntered(bar, ENTER_DRUMS))
            continue;
        const int fill = FillSteps(bar);
        const double dynamics =
            style == Style::BUILD ? 0.5 + 0.5 * bar.indexInSection / std::max(bar.barsInSection, 1) : 1.0;
        PlayGroove(bar, bar.steps - fill, dynamics, score);
        PlayFill(bar, fill, score);
    }
}
