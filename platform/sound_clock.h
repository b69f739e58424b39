// How far the sound runs ahead of the performance counter since it started.
// The device takes the mix at its own clock's pace, which is not quite the
// counter's: the frames mixed against the time passed tell by how much. The
// first second and a half of mixes sets what counts as in step, since the
// device's buffer makes every mix early by an amount of its own; an underrun
// shows as the sound falling behind.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

class SoundClock {
public:
    // Audio thread: the first mix of what plays, at the counter value (counter
    // ticks of frequency a second), of frames at rate a second.
    void Start(std::int64_t counter, std::int64_t frequency, int rate);
    // Audio thread: every mix, the first one included.
    void Mixed(std::int64_t counter, int frames);
    // Any thread: microseconds the sound has run ahead; 0 until in step is known.
    std::int64_t AheadMicroseconds() const { return ahead_; }

private:
    std::int64_t start_ = 0;
    double frequency_ = 1;     // counter ticks a second
    int rate_ = 1;
    std::int64_t frames_ = 0;  // mixed since the start
    int mixes_ = 0;
    double inStep_ = 0;        // the mean lead of the first mixes, then the reference
    double smoothed_ = 0;      // the lead since
    std::atomic<std::int64_t> ahead_{0};
};

}  // namespace platform
