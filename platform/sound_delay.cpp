// The delay line behind the music's following of the picture.
#include "platform/sound_delay.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace platform {

namespace {

constexpr std::int64_t MICROSECONDS_PER_SECOND = 1000000;
constexpr int CHANNELS = 2;
// Frames the delay moves per frame played.
constexpr double SLEW = 0.004;
// A target this far from the delay reached starts a move; the move goes all
// the way. 1 ms is well inside what a viewer notices at a cut.
constexpr std::int64_t DEAD_BAND_MICROSECONDS = 1000;

}  // namespace

bool SoundDelay::Reserve(int rate, std::int64_t longestMicroseconds)
{
    ring_.reset();
    capacity_ = 0;
    rate_ = 0;
    if (rate <= 0 || longestMicroseconds < 0)
        return false;
    // The delay reached plus the frame just written and the one after it.
    const int frames = static_cast<int>(longestMicroseconds * rate / MICROSECONDS_PER_SECOND) + 2;
    ring_.reset(new (std::nothrow) std::int16_t[static_cast<std::size_t>(frames) * CHANNELS]());
    if (!ring_)
        return false;
    capacity_ = frames;
    rate_ = rate;
    write_ = 0;
    delay_ = goal_ = 0;
    moving_ = false;
    return true;
}

void SoundDelay::Aim(std::int64_t microseconds) { targetMicroseconds_ = microseconds; }

void SoundDelay::Reset()
{
    targetMicroseconds_ = 0;
    reset_ = true;
}

// Once per buffer: the target as frames within the ring, and whether it is
// far enough from the delay to move to.
void SoundDelay::Follow()
{
    if (reset_.exchange(false)) {
        delay_ = goal_ = 0;
        moving_ = false;
    }
    const double longest = capacity_ - 2;
    const double target =
        std::clamp(static_cast<double>(targetMicroseconds_) * rate_ / MICROSECONDS_PER_SECOND, 0.0, longest);
    const double deadBand = static_cast<double>(DEAD_BAND_MICROSECONDS) * rate_ / MICROSECONDS_PER_SECOND;
    if (moving_ || std::fabs(target - delay_) > deadBand) {
        goal_ = target;
        moving_ = true;
    }
}

void SoundDelay::Delay(std::int16_t* frame)
{
    std::copy(frame, frame + CHANNELS, &ring_[static_cast<std::size_t>(write_) * CHANNELS]);
    if (moving_) {
        const double left = goal_ - delay_;
        moving_ = std::fabs(left) > SLEW;
        delay_ = moving_ ? delay_ + std::copysign(SLEW, left) : goal_;
    }
    double at = write_ - delay_;
    if (at < 0)
        at += capacity_;
    if (at >= capacity_)  // a delay too small to tell from none
        at = write_;
    const int before = static_cast<int>(at);
    const double weight = at - before;  // of the frame after it
    const int after = before + 1 == capacity_ ? 0 : before + 1;
    for (int channel = 0; channel < CHANNELS; ++channel) {
        const double mixed = ring_[static_cast<std::size_t>(before) * CHANNELS + channel] * (1.0 - weight) +
                             ring_[static_cast<std::size_t>(after) * CHANNELS + channel] * weight;
        frame[channel] = static_cast<std::int16_t>(std::lround(mixed));
    }
    write_ = write_ + 1 == capacity_ ? 0 : write_ + 1;
}

void SoundDelay::Process(std::int16_t* samples, int frames)
{
    if (!ring_)
        return;
    Follow();
    for (int frame = 0; frame < frames; ++frame)
        Delay(samples + static_cast<std::ptrdiff_t>(frame) * CHANNELS);
}

}  // namespace platform
