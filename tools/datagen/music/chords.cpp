// The harmony parts: pads and strings hold each chord for as long as it
// lasts; stabs, electric-piano comping or the guitar riff play patterns (one
// character per sixteenth: 'x' or 'X' a hit, '.' rest); the arpeggio runs up
// and down the chord.
#include <algorithm>
#include <cctype>

#include "tools/datagen/music/parts.h"

namespace {

constexpr int OCTAVE = 12;
constexpr int FIFTH = 7;
constexpr int PAD_LOW = 55;     // G3: pad voicings lie in the octave above
constexpr int STRINGS_LOW = 62; // D4
constexpr int STAB_LOW = 60;
constexpr int ARPEGGIO_LOW = 62;
constexpr int GUITAR_LOW = 38;  // the riff's roots lie in D2 to C#3
constexpr std::int32_t CODA_HOLD_MS = 2600;  // the final chord is let go before the track ends

bool SameChord(const Chord& a, const Chord& b) { return a.root == b.root && a.quality == b.quality; }

// The end of the chord that begins at bar index first: the next change, the
// end of the section, or the end of the piece.
std::int32_t ChordEndMs(const std::vector<Bar>& bars, std::size_t first)
{
    std::size_t last = first;
    while (last + 1 < bars.size() && bars[last + 1].section == bars[first].section &&
           SameChord(bars[last + 1].chord, bars[first].chord) && !bars[last + 1].startsScene)
        ++last;
    if (bars[first].section->style == Style::CODA)
        return bars[first].startMs + CODA_HOLD_MS;
    return bars[last].EndMs();
}

bool ChordBegins(const std::vector<Bar>& bars, std::size_t i)
{
    return i == 0 || bars[i].startsScene || bars[i].section != bars[i - 1].section ||
           !SameChord(bars[i].chord, bars[i - 1].chord);
}

void HoldChord(std::uint8_t channel, const Bar& bar, std::int32_t endMs, int low, double factor, Score* score)
{
    const std::int32_t length = endMs - bar.startMs;
    for (const int key : ChordKeysAround(bar.section->tonic, bar.chord, low))
        score->Play(channel, bar.startMs, length, key, Velocity(bar, factor));
    // The root an octave below gives the pad its floor.
    if (channel == PAD)
        score->Play(channel, bar.startMs, length, RootKeyAround(bar.section->tonic, bar.chord, low - OCTAVE),
                    Velocity(bar, factor * 0.9));
}

void WriteHeldChords(const std::vector<Bar>& bars, Score* score)
{
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        if (!ChordBegins(bars, i))
            continue;
        const std::int32_t endMs = ChordEndMs(bars, i);
        if (bar.section->programs.pad != NONE)
            HoldChord(PAD, bar, endMs, PAD_LOW, 0.62, score);
        if (bar.section->programs.strings != NONE)
            HoldChord(STRINGS, bar, endMs, STRINGS_LOW, 0.58, score);
    }
}

const char* StabLine(Style style)
{
    switch (style) {
    case Style::RISE:
        return "x.x.x.x.x.x.x.x.";
    case Style::DRIVE:
    case Style::CLIMAX:
        return "..x...x...x..x..";
    case Style::NIGHT:
        return "x.....x.....x...";
    case Style::HEAVY:
        return "X.x.x.x.X..xx.x.";
    default:
        return "";
    }
}

std::int32_t StabLength(Style style, char hit)
{
    if (style == Style::NIGHT)
        return 450;
    if (style == Style::HEAVY)
        return std::isupper(static_cast<unsigned char>(hit)) ? 180 : 85;
    return 140;
}

// A power chord stacked on the root: root, fifth, octave.
std::vector<int> GuitarKeys(const Bar& bar)
{
    const int root = RootKeyAround(bar.section->tonic, bar.chord, GUITAR_LOW);
    return {root, root + FIFTH, root + OCTAVE};
}

void WriteStabs(const std::vector<Bar>& bars, Score* score)
{
    for (const Bar& bar : bars) {
        const Style style = bar.section->style;
        const char* const line = StabLine(style);
        if (bar.section->programs.stabs == NONE || line[0] == '\0')
            continue;
        const std::vector<int> keys = style == Style::HEAVY
                                          ? GuitarKeys(bar)
                                          : ChordKeysAround(bar.section->tonic, bar.chord, STAB_LOW);
        for (int step = 0; step < bar.steps; ++step) {
            const char hit = line[step % BAR_STEPS];
            if (hit == '.')
                continue;
            const double factor = std::isupper(static_cast<unsigned char>(hit)) ? 0.8 : 0.6;
            for (const int key : keys)
                score->Play(STABS, bar.StepMs(step), StabLength(style, hit), key, Velocity(bar, factor));
        }
    }
}

// Up two octaves of the chord and down again, one note every rate steps.
void PlayArpeggio(const Bar& bar, int rate, int low, Score* score)
{
    std::vector<int> tones = ChordKeysAround(bar.section->tonic, bar.chord, low);
    const std::size_t size = tones.size();
    for (std::size_t i = 0; i < size; ++i)
        tones.push_back(tones[i] + OCTAVE);
    const int cycle = static_cast<int>(2 * tones.size() - 2);
    for (int step = 0, n = 0; step < bar.steps; step += rate, ++n) {
        const int position = n % cycle;
        const int index = position < static_cast<int>(tones.size()) ? position : cycle - position;
        const double accent = step % 4 == 0 ? 0.62 : 0.5;
        score->Play(ARPEGGIO, bar.StepMs(step), rate * STEP_MS, tones[static_cast<std::size_t>(index)],
                    Velocity(bar, accent));
    }
}

void WriteArpeggio(const std::vector<Bar>& bars, Score* score)
{
    for (const Bar& bar : bars) {
        if (bar.section->programs.arpeggio == NONE || !HasEntered(bar, ENTER_ARPEGGIO) || bar.section->style == Style::CODA)
            continue;
        const Style style = bar.section->style;
        const bool slow = style == Style::BREAKDOWN || style == Style::CALM ||
                          (style == Style::BUILD && bar.indexInSection < 12);
        PlayArpeggio(bar, slow ? 2 : 1, slow ? PAD_LOW : ARPEGGIO_LOW, score);
    }
}

}  // namespace

void WriteHarmony(const std::vector<Bar>& bars, Score* score)
{
    WriteHeldChords(bars, score);
    WriteStabs(bars, score);
    WriteArpeggio(bars, score);
}
