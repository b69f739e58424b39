// The generator's own synthesis, added to the rendered instruments: sine
// sub-bass notes, pitch-dropping booms, and risers of swelling noise and a
// rising tone. Noise comes from a fixed-seed generator, so every run is alike.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/datagen/music/render.h"

namespace {

constexpr double TWO_PI = 6.283185307179586;
constexpr double EDGE_SECONDS = 0.008;  // fade in and out of every effect, against clicks

// A small linear congruential generator: the same noise on every machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

double Edges(double t, double length)
{
    return std::clamp(std::min(t, length - t) / EDGE_SECONDS, 0.0, 1.0);
}

void AddMono(Pcm* pcm, std::size_t frame, double value)
{
    if (frame >= pcm->Frames())
        return;
    pcm->samples[2 * frame] += static_cast<float>(value);
    pcm->samples[2 * frame + 1] += static_cast<float>(value);
}

void RenderSub(const Effect& effect, Pcm* pcm)
{
    const std::size_t first = FrameAt(effect.startMs);
    const std::size_t count = FrameAt(effect.lengthMs);
    const double length = static_cast<double>(count) / PCM_RATE;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / PCM_RATE;
        AddMono(pcm, first + i, effect.level * Edges(t, length) * std::sin(TWO_PI * effect.pitchHz * t));
    }
}

// Starts at its pitch and falls an octave, dying away.
void RenderBoom(const Effect& effect, Pcm* pcm)
{
    constexpr double DECAY_SECONDS = 0.38;
    constexpr double FALL_SECONDS = 0.25;
    const std::size_t first = FrameAt(effect.startMs);
    const std::size_t count = FrameAt(effect.lengthMs);
    const double length = static_cast<double>(count) / PCM_RATE;
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / PCM_RATE;
        const double pitch = effect.pitchHz * (0.5 + 0.5 * std::exp(-t / FALL_SECONDS));
        phase += TWO_PI * pitch / PCM_RATE;
        const double envelope = std::exp(-t / DECAY_SECONDS) * Edges(t, length);
        AddMono(pcm, first + i, effect.level * envelope * std::sin(phase));
    }
}

// Noise brightening through a rising high-pass, and a tone gliding up three
// octaves, both swelling to the effect's end where they stop.
void RenderRiser(const Effect& effect, Pcm* pcm, std::uint32_t seed)
{
    const std::size_t first = FrameAt(effect.startMs);
    const std::size_t count = FrameAt(effect.lengthMs);
    const double length = static_cast<double>(count) / PCM_RATE;
    Noise left(seed), right(seed ^ 0x9E3779B9u);
    double lowLeft = 0.0, lowRight = 0.0, phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < pcm->Frames(); ++i) {
        const double t = static_cast<double>(i) / PCM_RATE;
        const double progress = t / length;
        const double cutoff = 200.0 * std::pow(40.0, progress);
        const double smoothing = 1.0 - std::exp(-TWO_PI * cutoff / PCM_RATE);
        const double nl = left.Next(), nr = right.Next();
        lowLeft += smoothing * (nl - lowLeft);
        lowRight += smoothing * (nr - lowRight);
        phase += TWO_PI * 180.0 * std::pow(8.0, progress) / PCM_RATE;
        const double swell = effect.level * progress * progress * Edges(t, length);
        const double tone = 0.35 * std::sin(phase);
        pcm->samples[2 * (first + i)] += static_cast<float>(swell * (nl - lowLeft + tone));
        pcm->samples[2 * (first + i) + 1] += static_cast<float>(swell * (nr - lowRight + tone));
    }
}

}  // namespace

void RenderEffects(const Score& score, Pcm* pcm)
{
    std::uint32_t seed = 1;
    for (const Effect& effect : score.effects) {
        switch (effect.kind) {
        case EffectKind::SUB:
            RenderSub(effect, pcm);
            break;
        case EffectKind::BOOM:
            RenderBoom(effect, pcm);
            break;
        case EffectKind::RISER:
            RenderRiser(effect, pcm, seed++);
            break;
        }
    }
}
