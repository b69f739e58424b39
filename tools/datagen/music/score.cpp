// Appending to the score, with keys and values kept in their MIDI ranges.
#include "tools/datagen/music/score.h"

#include <algorithm>

namespace {

constexpr std::int32_t RAMP_STEP_MS = 50;

std::uint8_t Midi(int value, int low = 0) { return static_cast<std::uint8_t>(std::clamp(value, low, 127)); }

}  // namespace

void Score::Play(std::uint8_t channel, std::int32_t startMs, std::int32_t lengthMs, int key, int velocity)
{
    if (lengthMs > 0 && velocity > 0)
        notes.push_back({startMs, lengthMs, channel, Midi(key), Midi(velocity, 1)});
}

void Score::Set(std::uint8_t channel, std::int32_t timeMs, std::uint8_t controller, int value)
{
    controls.push_back({timeMs, channel, controller, Midi(value)});
}

void Score::Ramp(std::uint8_t channel, std::int32_t startMs, std::int32_t endMs, std::uint8_t controller,
                 int from, int to)
{
    const std::int32_t span = std::max(endMs - startMs, RAMP_STEP_MS);
    for (std::int32_t t = startMs; t <= endMs; t += RAMP_STEP_MS)
        Set(channel, t, controller, from + (to - from) * (t - startMs) / span);
}

void Score::Choose(std::uint8_t channel, std::int32_t timeMs, int program, int bank)
{
    programs.push_back({timeMs, channel, static_cast<std::uint8_t>(std::clamp(bank, 0, 255)), Midi(program)});
}

void Score::Add(EffectKind kind, std::int32_t startMs, std::int32_t lengthMs, float pitchHz, float level)
{
    effects.push_back({kind, startMs, lengthMs, pitchHz, level});
}
