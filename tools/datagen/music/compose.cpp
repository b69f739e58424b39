// Runs every part over the bar grid, and the helpers the parts share.
#include "tools/datagen/music/compose.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/music/form.h"
#include "tools/datagen/music/parts.h"

namespace {

// The hush before the first cut after startMs: [start, cut), or an empty
// range past the last cut.
std::pair<std::int32_t, std::int32_t> HushAfter(std::int32_t startMs)
{
    const auto cut = std::upper_bound(SCENE_END_MS.begin(), SCENE_END_MS.end(), startMs);
    if (cut == SCENE_END_MS.end())
        return {TRACK_LENGTH_MS, TRACK_LENGTH_MS};
    return {*cut - BREATH_MS, *cut};
}

// Shortens what sounds into the hush and drops what would start in it.
template <typename Sound>
void Hush(std::vector<Sound>& sounds, bool (*keeps)(const Sound&))
{
    std::vector<Sound> kept;
    for (Sound sound : sounds) {
        const auto hush = HushAfter(sound.startMs);
        if (!keeps(sound) && sound.startMs >= hush.first)
            continue;
        if (!keeps(sound) && sound.startMs + sound.lengthMs > hush.first)
            sound.lengthMs = hush.first - sound.startMs;
        kept.push_back(sound);
    }
    sounds.swap(kept);
}

bool KeepsNothing(const Note&) { return false; }
bool IsRiser(const Effect& effect) { return effect.kind == EffectKind::RISER; }

}  // namespace

int Velocity(const Bar& bar, double factor)
{
    return std::clamp(static_cast<int>(std::lround(bar.section->velocity * factor)), 0, 127);
}

bool HasEntered(const Bar& bar, EnteringPart part) { return bar.indexInSection >= bar.section->enterBars[part]; }

Score ComposeShow()
{
    const std::vector<Bar> bars = BuildBars();
    Score score;
    WriteMix(bars, &score);
    WriteDrums(bars, &score);
    WriteBass(bars, &score);
    WriteHarmony(bars, &score);
    WriteMelody(bars, &score);
    WriteAccents(bars, &score);
    Hush(score.notes, KeepsNothing);
    Hush(score.effects, IsRiser);
    return score;
}
