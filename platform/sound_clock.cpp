// The sound device's clock against the performance counter.
#include "platform/sound_clock.h"

#include <cmath>

namespace platform {

namespace {

constexpr double MICROSECONDS_PER_SECOND = 1e6;
// At 23 ms a mix: 64 mixes are a second and a half. The lead of one mix
// jitters by the audio thread's scheduling; its mean over as many does not.
constexpr int REFERENCE_MIXES = 64;
constexpr double SMOOTHING = 64;

}  // namespace

void SoundClock::Start(std::int64_t counter, std::int64_t frequency, int rate)
{
    start_ = counter;
    frequency_ = frequency > 0 ? static_cast<double>(frequency) : 1;
    rate_ = rate > 0 ? rate : 1;
    frames_ = 0;
    mixes_ = 0;
    inStep_ = smoothed_ = 0;
    ahead_ = 0;
}

void SoundClock::Mixed(std::int64_t counter, int frames)
{
    // The lead of this mix's first frame: the music time it starts at against
    // the time since the first mix.
    const double played = static_cast<double>(frames_) * MICROSECONDS_PER_SECOND / rate_;
    const double passed = static_cast<double>(counter - start_) * MICROSECONDS_PER_SECOND / frequency_;
    const double lead = played - passed;
    frames_ += frames;
    ++mixes_;
    if (mixes_ <= REFERENCE_MIXES) {
        inStep_ += (lead - inStep_) / mixes_;
        smoothed_ = inStep_;
        return;
    }
    smoothed_ += (lead - smoothed_) / SMOOTHING;
    ahead_ = std::llround(smoothed_ - inStep_);
}

}  // namespace platform
