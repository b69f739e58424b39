// The bass part. Lines are written as one character per sixteenth: 'r' the
// chord's root, 'o' its octave, 'f' its fifth, 'n' the next chord's root,
// '-' holds the note before, '.' rests; upper case is accented. Under some
// styles a synthesised sine doubles the root an octave down.
#include <cctype>
#include <cmath>

#include "tools/datagen/music/parts.h"

namespace {

constexpr double DETACHED = 0.85;  // share of its length a bass note sounds
constexpr int FIFTH = 7;
constexpr int OCTAVE = 12;

const char* LineOf(Style style)
{
    switch (style) {
    case Style::BUILD:
    case Style::CODA:
        return "r---------------";
    case Style::RISE:
        return "R.o.r.o.R.o.r.o.";
    case Style::PIT:
        return "R--.r.o.r--.r.f.";
    case Style::DRIVE:
    case Style::CLIMAX:
        return "R.o.r.o.R.o.r.on";
    case Style::NIGHT:
        return "R--.r..f-.r..o..";
    case Style::HEAVY:
        return "R.r.r.r.R..rr.rn";
    case Style::CALM:
        return "R-------f-------";
    case Style::BREAKDOWN:
        break;
    }
    return "";
}

float Hertz(int key) { return static_cast<float>(440.0 * std::pow(2.0, (key - 69) / 12.0)); }

int KeyOf(char symbol, const Bar& bar)
{
    const int tonic = bar.section->tonic;
    const int low = tonic - 5;
    switch (std::tolower(static_cast<unsigned char>(symbol))) {
    case 'o':
        return RootKeyAround(tonic, bar.chord, low) + OCTAVE;
    case 'f':
        return RootKeyAround(tonic, bar.chord, low) + FIFTH;
    case 'n':
        return RootKeyAround(tonic, bar.nextChord, low);
    default:
        return RootKeyAround(tonic, bar.chord, low);
    }
}

// Steps the note at step lasts: itself and the holds after it, within the bar.
int HeldSteps(const char* line, int step, int barSteps)
{
    int length = 1;
    while (step + length < barSteps && line[(step + length) % BAR_STEPS] == '-')
        ++length;
    return length;
}

bool HasSub(Style style) { return style == Style::NIGHT || style == Style::HEAVY || style == Style::BREAKDOWN; }

void PlayLine(const Bar& bar, Score* score)
{
    const char* const line = LineOf(bar.section->style);
    if (line[0] == '\0')
        return;
    for (int step = 0; step < bar.steps; ++step) {
        const char symbol = line[step % BAR_STEPS];
        if (symbol == '.' || symbol == '-')
            continue;
        const int held = HeldSteps(line, step, bar.steps);
        const double accent = std::isupper(static_cast<unsigned char>(symbol)) ? 1.0 : 0.82;
        const int key = KeyOf(symbol, bar);
        const auto length = static_cast<std::int32_t>(held * STEP_MS * DETACHED);
        score->Play(BASS, bar.StepMs(step), length, key, Velocity(bar, accent));
        if (HasSub(bar.section->style))
            score->Add(EffectKind::SUB, bar.StepMs(step), length, Hertz(key - OCTAVE), 0.1f);
    }
}

// Without a bass line, the sub holds each chord's root alone.
void PlaySubOnly(const Bar& bar, Score* score)
{
    const int key = RootKeyAround(bar.section->tonic, bar.chord, bar.section->tonic - 5);
    score->Add(EffectKind::SUB, bar.startMs, bar.EndMs() - bar.startMs, Hertz(key - OCTAVE), 0.07f);
}

}  // namespace

void WriteBass(const std::vector<Bar>& bars, Score* score)
{
    for (const Bar& bar : bars) {
        if (bar.section->programs.bass == NONE) {
            if (HasSub(bar.section->style))
                PlaySubOnly(bar, score);
            continue;
        }
        if (HasEntered(bar, ENTER_BASS))
            PlayLine(bar, score);
    }
}
