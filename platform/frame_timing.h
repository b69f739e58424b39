// How long the picture of a moment takes to be seen, from the swaps made so
// far: a frame drawn for clock time t shows once it is drawn and presented, a
// frame period later, and the first frame after a moment begins half a frame
// after it on average; one and a half frame periods in all. The period is
// what the last frames took when frames are running, else the display's
// refresh when swaps wait for it, else what the last swap took, the least a
// frame can. Pure arithmetic on performance-counter values.
#pragma once

#include <cstdint>

namespace platform {

class FrameTiming {
public:
    // A swap that was called at start and returned at end.
    void Swapped(std::int64_t start, std::int64_t end);
    // refreshMicroseconds is the display's refresh period when swaps wait for
    // it, else 0. 0 before the first swap.
    std::int64_t LatencyMicroseconds(std::int64_t frequency, std::int64_t refreshMicroseconds) const;

private:
    static constexpr int INTERVALS = 4;  // between the last swaps, that make a frame period
    std::int64_t ends_[INTERVALS + 1] = {};  // of the last swaps, the latest first
    int swaps_ = 0;                          // counted up to INTERVALS + 1
    std::int64_t lastDuration_ = 0;
};

}  // namespace platform
