// Holds the sound back by an amount that follows a target slowly, so that the
// music can wait for a picture that turned out slower than it was when the
// music started. The output is the mix of a moment ago, read between two
// frames while the delay moves: at most 0.4 % fast or slow, a pitch some
// seven cents off for the seconds a move takes, where a jump would click.
// Small changes of the target are let be, so that the frames' jitter does not
// make the pitch wander.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform {

class SoundDelay {
public:
    // For 16-bit stereo at rate frames per second, delays up to longest
    // microseconds; before the device runs. False without the memory, and then
    // nothing is delayed.
    bool Reserve(int rate, std::int64_t longestMicroseconds);
    // Any thread: the delay to move to, clamped to what was reserved.
    void Aim(std::int64_t microseconds);
    // Any thread: no delay from the next buffer on, at once (a new start).
    void Reset();
    // Audio thread: delays interleaved stereo frames in place.
    void Process(std::int16_t* samples, int frames);
    // The delay reached, in frames (the audio thread's, or a test's).
    double DelayFrames() const { return delay_; }

private:
    void Follow();
    void Delay(std::int16_t* frame);

    std::unique_ptr<std::int16_t[]> ring_;  // the last frames mixed, two samples each
    int capacity_ = 0;                      // frames in the ring
    int write_ = 0;                         // where the next frame goes
    int rate_ = 0;
    double delay_ = 0;                      // frames, moved by the audio thread only
    double goal_ = 0;                       // the target the audio thread moves to
    bool moving_ = false;
    std::atomic<std::int64_t> targetMicroseconds_{0};
    std::atomic<bool> reset_{false};
};

}  // namespace platform
