// What the listener hears at every cut: a crash and a full kick on the
// downbeat, with an orchestra hit on the new chord where the music drives, or
// a timpani stroke where it is calm; a section change adds a second crash and
// a sub-bass boom, and the big entries are announced by a riser. The intro's
// timpani pulse and roll, and the final chord, are here too.
#include <algorithm>

#include "tools/datagen/music/parts.h"

namespace {

constexpr int KICK = 36;
constexpr int CRASH = 49;
constexpr int CRASH_2 = 57;
constexpr int OCTAVE = 12;
constexpr int HIT_LOW = 60;
constexpr int TIMPANI_LOW = 38;
constexpr std::int32_t CRASH_MS = 3000;
constexpr std::int32_t HIT_MS = 450;
constexpr std::int32_t TIMPANI_MS = 1800;
constexpr std::int32_t BOOM_MS = 1400;
constexpr std::int32_t LONGEST_RISER_MS = 3200;
constexpr float BOOM_HZ = 62.0f;
constexpr float BOOM_LEVEL = 0.32f;
constexpr float RISER_LEVEL = 0.05f;

bool IsCalm(Style style) { return style == Style::BREAKDOWN || style == Style::CALM || style == Style::CODA; }

// The big entries: out of the intro, out of the first interlude, into the
// garage and into the goal.
bool AnnouncedByRiser(const Bar& bar)
{
    const Style style = bar.section->style;
    return style == Style::RISE || style == Style::HEAVY || style == Style::CLIMAX ||
           (style == Style::DRIVE && bar.section->programs.counter != NONE);
}

int TimpaniKey(const Bar& bar) { return RootKeyAround(bar.section->tonic, bar.chord, TIMPANI_LOW); }

void OrchestraHit(const Bar& bar, Score* score)
{
    std::vector<int> keys = ChordKeysAround(bar.section->tonic, bar.chord, HIT_LOW);
    keys.push_back(RootKeyAround(bar.section->tonic, bar.chord, HIT_LOW - OCTAVE));
    for (const int key : keys)
        score->Play(HITS, bar.startMs, HIT_MS, key, 118);
}

void MarkCut(const Bar& bar, Score* score)
{
    const Style style = bar.section->style;
    const bool sectionStart = bar.indexInSection == 0;
    const bool calm = IsCalm(style);
    score->Play(DRUMS, bar.startMs, CRASH_MS, CRASH, calm ? 100 : 122);
    score->Play(DRUMS, bar.startMs, CRASH_MS, KICK, 127);
    if (sectionStart)
        score->Play(DRUMS, bar.startMs, CRASH_MS, CRASH_2, calm ? 96 : 116);
    if (calm || style == Style::CLIMAX || style == Style::RISE)
        score->Play(TIMPANI, bar.startMs, TIMPANI_MS, TimpaniKey(bar), 124);
    if (!calm)
        OrchestraHit(bar, score);
    if (sectionStart)
        score->Add(EffectKind::BOOM, bar.startMs, BOOM_MS, BOOM_HZ, BOOM_LEVEL);
}

void AnnounceSection(const std::vector<Bar>& bars, std::size_t i, Score* score)
{
    const Bar& bar = bars[i];
    if (i == 0 || bar.indexInSection != 0 || !AnnouncedByRiser(bar))
        return;
    std::size_t first = i - 1;
    while (first > 0 && bars[first - 1].section == bars[i - 1].section)
        --first;
    const std::int32_t length = std::min(LONGEST_RISER_MS, bar.startMs - bars[first].startMs);
    score->Add(EffectKind::RISER, bar.startMs - length, length - BREATH_MS, 0.0f, RISER_LEVEL);
}

// The intro's timpani: a soft stroke to open the show and on every downbeat
// once the theme is in, and a roll through its last two bars.
void IntroTimpani(const Bar& bar, Score* score)
{
    if (bar.section->style != Style::BUILD || (bar.indexInSection != 0 && !HasEntered(bar, ENTER_LEAD)))
        return;
    const bool roll = bar.indexInSection >= bar.barsInSection - 2;
    if (!roll) {
        score->Play(TIMPANI, bar.startMs, TIMPANI_MS, TimpaniKey(bar), Velocity(bar, 0.6));
        return;
    }
    for (int step = 0; step < bar.steps; ++step) {
        const double swell = 0.35 + 0.55 * (step + 1) / bar.steps;
        score->Play(TIMPANI, bar.StepMs(step), STEP_MS, TimpaniKey(bar), Velocity(bar, swell));
    }
}

// The last chord: the piano spread over three octaves above the bass.
void FinalChord(const Bar& bar, Score* score)
{
    constexpr std::int32_t RING_MS = 3600;
    const int tonic = bar.section->tonic;
    for (const int low : {50, 62, 74}) {
        for (const int key : ChordKeysAround(tonic, bar.chord, low))
            score->Play(LEAD, bar.startMs, RING_MS, key, 96);
    }
    score->Play(LEAD, bar.startMs, RING_MS, tonic, 100);
}

}  // namespace

void WriteAccents(const std::vector<Bar>& bars, Score* score)
{
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        if (bar.startsScene && bar.scene > 0)
            MarkCut(bar, score);
        AnnounceSection(bars, i, score);
        IntroTimpani(bar, score);
        if (bar.section->style == Style::CODA)
            FinalChord(bar, score);
    }
}
