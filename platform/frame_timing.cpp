// The picture's latency from the swaps' times.
#include "platform/frame_timing.h"

namespace platform {

namespace {

constexpr std::int64_t MICROSECONDS_PER_SECOND = 1000000;
// Swaps further apart than this are not frames of a show (the black frames
// around loading are).
constexpr std::int64_t RUNNING_GAP_MICROSECONDS = 100000;

}  // namespace

void FrameTiming::Swapped(std::int64_t start, std::int64_t end)
{
    for (int i = INTERVALS; i > 0; --i)
        ends_[i] = ends_[i - 1];
    ends_[0] = end;
    swaps_ = swaps_ < INTERVALS + 1 ? swaps_ + 1 : swaps_;
    lastDuration_ = end - start;
}

std::int64_t FrameTiming::LatencyMicroseconds(std::int64_t frequency, std::int64_t refreshMicroseconds) const
{
    if (swaps_ == 0 || frequency <= 0)
        return 0;
    const std::int64_t gap = RUNNING_GAP_MICROSECONDS * frequency / MICROSECONDS_PER_SECOND;
    bool running = swaps_ == INTERVALS + 1;
    for (int i = 0; running && i < INTERVALS; ++i)
        running = ends_[i] - ends_[i + 1] < gap;
    std::int64_t period = lastDuration_ * MICROSECONDS_PER_SECOND / frequency;
    if (running)
        period = (ends_[0] - ends_[INTERVALS]) * MICROSECONDS_PER_SECOND / frequency / INTERVALS;
    else if (refreshMicroseconds > 0)
        period = refreshMicroseconds;
    return period * 3 / 2;
}

}  // namespace platform
