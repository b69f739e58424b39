// Cost of the per-frame key evaluation: object, motion and envelope tracks of
// growing length, evaluated at frames that sweep the whole track as a scene's
// frames do, with the end behaviour applied first.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "scene/keys.h"

namespace {

constexpr float FRAMES_PER_KEY = 15.0f;
constexpr float FRAME_STEP = 0.37f;  // not a divisor of the key spacing, so segments vary
constexpr float FRAME_LIMIT = 8192.0f;  // past every track's end, so repeat wraps too

// The next frame of the sweep, kept small enough that the step never rounds away.
float NextFrame(float frame)
{
    const float next = frame + FRAME_STEP;
    return next < FRAME_LIMIT ? next : next - FRAME_LIMIT;
}

template <class Key>
std::vector<Key> MakeTrack(std::int64_t count)
{
    std::vector<Key> keys(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].frame = static_cast<float>(i) * FRAMES_PER_KEY;
        keys[i].tension = (i % 3 == 0) ? 0.5f : 0.0f;
        keys[i].continuity = (i % 4 == 1) ? -0.25f : 0.0f;
        keys[i].bias = (i % 5 == 2) ? 0.3f : 0.0f;
        keys[i].linear = (i % 7 == 6) ? 1 : 0;
        for (int c = 0; c < Key::CHANNEL_COUNT; ++c)
            keys[i].value[c] = static_cast<float>((i * 31 + static_cast<std::size_t>(c) * 17) % 101);
    }
    return keys;
}

template <class Key, void (*EVALUATE)(float, std::uint32_t, const Key*, float*)>
void EvaluateTrack(benchmark::State& state)
{
    const std::vector<Key> keys = MakeTrack<Key>(state.range(0));
    const std::uint32_t n = static_cast<std::uint32_t>(keys.size());
    float out[Key::CHANNEL_COUNT];
    float frame = 0.0f;
    for (auto _ : state) {
        const float t = ApplyEndBehaviour(frame, END_REPEAT, n, keys.data());
        EVALUATE(t, n, keys.data(), out);
        benchmark::DoNotOptimize(out);
        frame = NextFrame(frame);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_EvaluateObjectKeys(benchmark::State& state)
{
    EvaluateTrack<ObjectKey, EvaluateObjectKeys>(state);
}

void BM_EvaluateMotionKeys(benchmark::State& state)
{
    EvaluateTrack<MotionKey, EvaluateMotionKeys>(state);
}

void BM_EvaluateEnvelopeKeys(benchmark::State& state)
{
    EvaluateTrack<EnvelopeKey, EvaluateEnvelopeKeys>(state);
}

// The envelope pass of a scene's frame: every envelope in array order.
void BM_SceneEnvelopePass(benchmark::State& state)
{
    const std::size_t envelopeCount = static_cast<std::size_t>(state.range(0));
    const std::vector<EnvelopeKey> track = MakeTrack<EnvelopeKey>(8);
    std::vector<SceneEnvelope> envelopes(envelopeCount);
    std::vector<float> targets(envelopeCount);
    for (std::size_t i = 0; i < envelopeCount; ++i) {
        envelopes[i].endBehaviour = i % 2 == 0 ? END_REPEAT : END_HOLD;
        envelopes[i].keyCount = static_cast<std::uint32_t>(track.size());
        envelopes[i].keys = new EnvelopeKey[track.size()];
        std::copy(track.begin(), track.end(), envelopes[i].keys);
        envelopes[i].target = &targets[i];
    }
    float frame = 0.0f;
    for (auto _ : state) {
        for (const SceneEnvelope& envelope : envelopes)
            envelope.Evaluate(frame);
        benchmark::DoNotOptimize(targets.data());
        frame = NextFrame(frame);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_EvaluateObjectKeys)->RangeMultiplier(4)->Range(1, 256);
BENCHMARK(BM_EvaluateMotionKeys)->RangeMultiplier(4)->Range(1, 256);
BENCHMARK(BM_EvaluateEnvelopeKeys)->RangeMultiplier(4)->Range(1, 256);
BENCHMARK(BM_SceneEnvelopePass)->Arg(16)->Arg(128);

BENCHMARK_MAIN();
